// The text of one JSON record: numbers, lowercase hexadecimal, strings
// escaped and decoded to UTF-8, in fixed storage, written whole.
#include "json_writer.h"

#include <cstdio>
#include <cstring>

#include "shift_jis.h"

namespace d88 {

void JsonWriter::put(const char* text, int length)
{
    // A record past its room is not written as it stands (see write()).
    if (length_ + length > kJsonRecordBytes) {
        cut_ = true;
        return;
    }
    std::memcpy(text_ + length_, text, static_cast<std::size_t>(length));
    length_ += length;
}

void JsonWriter::put(const char* text)
{
    put(text, static_cast<int>(std::strlen(text)));
}

void JsonWriter::putNumber(std::uint64_t value)
{
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    char out[24];
    for (int i = 0; i < n; ++i) {
        out[i] = digits[n - 1 - i];
    }
    put(out, n);
}

void JsonWriter::putSigned(std::int64_t value)
{
    if (value < 0) {
        put("-", 1);
        putNumber(static_cast<std::uint64_t>(-(value + 1)) + 1);
        return;
    }
    putNumber(static_cast<std::uint64_t>(value));
}

void JsonWriter::putHexString(const std::uint8_t* bytes, int count)
{
    if (bytes == nullptr) {
        put("null");
        return;
    }
    put("\"");
    putHex(bytes, count);
    put("\"");
}

void JsonWriter::putHex(const std::uint8_t* bytes, int count)
{
    constexpr const char* kDigits = "0123456789abcdef";
    char two[2];
    for (int i = 0; i < count; ++i) {
        two[0] = kDigits[bytes[i] >> 4];
        two[1] = kDigits[bytes[i] & 0x0F];
        put(two, 2);
    }
}

void JsonWriter::putString(const std::uint8_t* bytes, int length, bool shiftJis)
{
    // Each byte decodes to at most three.
    constexpr int kTextBytes = 4096;
    char text[kTextBytes];
    const int clamped = length < kTextBytes / 3 ? length : kTextBytes / 3;
    const int n = shiftJis ? shiftJisToUtf8(bytes, clamped, text, kTextBytes)
                           : cleanUtf8(bytes, clamped, text, kTextBytes);
    put("\"", 1);
    for (int i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            const char escaped[2] = {'\\', static_cast<char>(c)};
            put(escaped, 2);
        } else if (c < 0x20) {
            constexpr const char* kDigits = "0123456789abcdef";
            const char escaped[6] = {'\\', 'u', '0', '0', kDigits[c >> 4], kDigits[c & 0x0F]};
            put(escaped, 6);
        } else {
            put(text + i, 1);
        }
    }
    put("\"", 1);
}

void JsonWriter::putText(const char* text, bool shiftJis)
{
    putString(reinterpret_cast<const std::uint8_t*>(text), static_cast<int>(std::strlen(text)),
              shiftJis);
}

void JsonWriter::putName(const char* name)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(name);
    const int length = static_cast<int>(std::strlen(name));
    put("{\"hex\":\"");
    putHex(bytes, length);
    put("\",\"text\":");
    putString(bytes, length, true);
    put("}");
}

void JsonWriter::putKey(const char* key)
{
    put(",\"");
    put(key);
    put("\":");
}

void JsonWriter::write()
{
    if (cut_) {
        // Its type survives, at the start of the record; the rest would be
        // cut at any byte, so it is left out.
        const char* const start = "{\"type\":\"";
        const int typeEnd = static_cast<int>(std::strcspn(text_ + std::strlen(start), "\""));
        length_ = static_cast<int>(std::strlen(start)) + typeEnd;
        cut_ = false;
        put("\",\"truncated\":true}");
    }
    put("\n", 1);
    std::fwrite(text_, 1, static_cast<std::size_t>(length_), stdout);
    length_ = 0;
    cut_ = false;
}

} // namespace d88
