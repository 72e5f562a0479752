// The Shift_JIS decoder and the UTF-8 check, over the generated code point
// tables of the two ranges of lead bytes.
#include "shift_jis.h"

#include <iterator>

#include "shift_jis_table_81.h"
#include "shift_jis_table_e0.h"

namespace d88 {

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;
constexpr int kMaxUtf8Bytes = 3; // every code point here is in the BMP

// Appends `code` (below 0x10000) as UTF-8; false when it does not fit whole.
bool put(std::uint32_t code, char* out, int capacity, int& written)
{
    char bytes[kMaxUtf8Bytes];
    int n = 0;
    if (code < 0x80) {
        bytes[n++] = static_cast<char>(code);
    } else if (code < 0x800) {
        bytes[n++] = static_cast<char>(0xC0 | code >> 6);
        bytes[n++] = static_cast<char>(0x80 | (code & 0x3F));
    } else {
        bytes[n++] = static_cast<char>(0xE0 | code >> 12);
        bytes[n++] = static_cast<char>(0x80 | (code >> 6 & 0x3F));
        bytes[n++] = static_cast<char>(0x80 | (code & 0x3F));
    }
    if (written + n > capacity) {
        return false;
    }
    for (int i = 0; i < n; ++i) {
        out[written++] = bytes[i];
    }
    return true;
}

// Each lead byte has a row of the tables, a column for each trail byte.
constexpr int kTrailCount = kLastTrail - kFirstTrail + 1;
static_assert(std::size(kShiftJisTable81) == (kLastLeadLow - kFirstLeadLow + 1) * kTrailCount);
static_assert(std::size(kShiftJisTableE0) == (kLastLeadHigh - kFirstLeadHigh + 1) * kTrailCount);

// The row of a lead byte's code points, or nullptr when the byte leads no
// character.
const std::uint16_t* leadRow(std::uint8_t b)
{
    if (!isShiftJisLead(b)) {
        return nullptr;
    }
    return b <= kLastLeadLow ? kShiftJisTable81 + (b - kFirstLeadLow) * kTrailCount
                             : kShiftJisTableE0 + (b - kFirstLeadHigh) * kTrailCount;
}

// One character of Shift_JIS: its code point (kReplacement when it decodes
// to none) and the bytes it takes. A lead byte whose trail makes no
// character stands for itself alone; the trail byte is looked at again.
struct Decoded {
    std::uint32_t code;
    int used;
};

Decoded decodeOne(const std::uint8_t* bytes, int length)
{
    const std::uint8_t b = bytes[0];
    if (b < 0x80) {
        return {b, 1};
    }
    if (b >= 0xA1 && b <= 0xDF) {
        return {0xFF61u + (b - 0xA1u), 1}; // half-width katakana
    }
    if (const std::uint16_t* row = leadRow(b); row != nullptr && length > 1) {
        const std::uint8_t trail = bytes[1];
        // The row has a column for each trail byte in range.
        if (trail >= kFirstTrail && trail <= kLastTrail && row[trail - kFirstTrail] != 0) {
            return {row[trail - kFirstTrail], 2};
        }
    }
    return {kReplacement, 1};
}

} // namespace

int shiftJisToUtf8(const std::uint8_t* bytes, int length, char* out, int capacity)
{
    int written = 0;
    for (int i = 0; i < length;) {
        const Decoded one = decodeOne(bytes + i, length - i);
        if (!put(one.code, out, capacity, written)) {
            break;
        }
        i += one.used;
    }
    return written;
}

int readableName(const char* name, int length, char* out, int capacity)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(name);
    int end = 0;
    while (end < length && bytes[end] != 0) {
        ++end;
    }
    const int stored = end;
    // No trail byte is a blank: the blanks at the end are whole characters.
    while (end > 0 && bytes[end - 1] == ' ') {
        --end;
    }
    constexpr char kHex[] = "0123456789ABCDEF";
    int written = 0;
    const auto escape = [&](std::uint8_t b) {
        out[written++] = '%';
        out[written++] = kHex[b >> 4];
        out[written++] = kHex[b & 0x0F];
    };
    if (capacity <= kReadableBytesPerByte) {
        if (capacity > 0) {
            out[0] = '\0';
        }
        return 0;
    }
    // Nothing would be left of the name but its blanks.
    if (end == 0 && stored > 0) {
        escape(' ');
    }
    // Each character takes at most three bytes; a name too long for `out`
    // is cut there.
    for (int i = 0; i < end && written + kReadableBytesPerByte < capacity;) {
        const Decoded one = decodeOne(bytes + i, end - i);
        if (one.code == kReplacement || one.code < 0x20 || one.code == 0x7F) {
            escape(bytes[i]);
        } else if (one.code == '%') {
            escape('%');
        } else {
            put(one.code, out, capacity, written);
        }
        i += one.used;
    }
    out[written] = '\0';
    return written;
}

int cleanUtf8(const std::uint8_t* bytes, int length, char* out, int capacity)
{
    int written = 0;
    for (int i = 0; i < length;) {
        const std::uint8_t b = bytes[i];
        int n = b < 0x80             ? 1
                : (b & 0xE0) == 0xC0 ? 2
                : (b & 0xF0) == 0xE0 ? 3
                : (b & 0xF8) == 0xF0 ? 4
                                     : 0;
        bool wellFormed = n > 0 && i + n <= length;
        std::uint32_t code = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; wellFormed && k < n; ++k) {
            wellFormed = (bytes[i + k] & 0xC0) == 0x80;
            code = code << 6 | (bytes[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        wellFormed =
            wellFormed && code >= kLeast[n] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (!wellFormed) {
            if (!put(kReplacement, out, capacity, written)) {
                break;
            }
            ++i;
            continue;
        }
        if (written + n > capacity) {
            break;
        }
        for (int k = 0; k < n; ++k) {
            out[written++] = static_cast<char>(bytes[i + k]);
        }
        i += n;
    }
    return written;
}

} // namespace d88
