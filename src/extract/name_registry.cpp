// The names taken in a run: a fixed hash table over a fixed array.
#include "name_registry.h"

#include <cstdio>
#include <cstring>

namespace d88 {

namespace {

// Shift_JIS lead bytes: the byte after one is the second half of a
// character, never a letter of its own.
bool isLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Windows compares names without case, also for the full-width Latin,
// Greek and Cyrillic letters of Shift_JIS: lower case becomes upper case.
void upperDoubleByte(unsigned char lead, unsigned char& trail)
{
    if (lead == 0x82 && trail >= 0x81 && trail <= 0x9A) {
        trail = static_cast<unsigned char>(trail - 0x21); // full-width a-z
    } else if (lead == 0x83 && trail >= 0xBF && trail <= 0xD6) {
        trail = static_cast<unsigned char>(trail - 0x20); // Greek
    } else if (lead == 0x84 && trail >= 0x70 && trail <= 0x91 && trail != 0x7F) {
        // Cyrillic: the lower case skips 0x7F, which is no trail byte.
        trail = static_cast<unsigned char>(0x40 + trail - (trail < 0x7F ? 0x70 : 0x71));
    }
}

// The upper case Windows compares a lower-case letter by, for the letters
// a name read from Shift_JIS can hold: Latin, Greek and Cyrillic, the small
// Roman numerals and the full-width Latin letters. Each keeps the length
// of its UTF-8.
std::uint32_t upperOf(std::uint32_t c)
{
    const struct {
        std::uint32_t first, last, down;
    } ranges[] = {
        {'a', 'z', 0x20},     {0x3B1, 0x3C9, 0x20},   {0x430, 0x44F, 0x20},
        {0x450, 0x45F, 0x50}, {0x2170, 0x217F, 0x10}, {0xFF41, 0xFF5A, 0x20},
    };
    for (const auto& range : ranges) {
        // Final sigma (U+03C2), which no Shift_JIS name holds, has its
        // capital elsewhere.
        if (c >= range.first && c <= range.last && c != 0x3C2) {
            return c - range.down;
        }
    }
    return c;
}

// Upper-cases the UTF-8 characters of `text` in place.
void upperUtf8(char* text, std::size_t length)
{
    for (std::size_t i = 0; i < length;) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : 1;
        if (i + n > length) {
            return;
        }
        std::uint32_t code = n == 1 ? b : n == 2 ? (b & 0x1Fu) : (b & 0x0Fu);
        for (std::size_t k = 1; k < n; ++k) {
            code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        const std::uint32_t upper = upperOf(code);
        if (upper != code) {
            if (n == 1) {
                text[i] = static_cast<char>(upper);
            } else if (n == 2) {
                text[i] = static_cast<char>(0xC0 | upper >> 6);
                text[i + 1] = static_cast<char>(0x80 | (upper & 0x3F));
            } else {
                text[i] = static_cast<char>(0xE0 | upper >> 12);
                text[i + 1] = static_cast<char>(0x80 | (upper >> 6 & 0x3F));
                text[i + 2] = static_cast<char>(0x80 | (upper & 0x3F));
            }
        }
        i += n;
    }
}

// FNV-1a over the key's bytes.
std::uint32_t hashOf(const char* key)
{
    std::uint32_t hash = 2166136261u;
    for (; *key != '\0'; ++key) {
        hash = (hash ^ static_cast<unsigned char>(*key)) * 16777619u;
    }
    return hash;
}

} // namespace

void NameRegistry::clear(host::NameRules rules, host::NameEncoding encoding)
{
    rules_ = rules;
    encoding_ = encoding;
    // Only the slots in use are cleared: a run of one small image stays cheap.
    for (int i = 0; i < count_; ++i) {
        slots_[slotOf(taken_[i].key)] = 0;
    }
    count_ = 0;
}

bool hostNameKey(const char* name, host::NameRules rules, host::NameEncoding encoding,
                 char (&key)[kTakenNameBytes])
{
    const std::size_t length = std::strlen(name);
    if (length >= sizeof key) {
        return false;
    }
    std::memcpy(key, name, length + 1);
    if (rules == host::NameRules::Posix) {
        return true;
    }
    std::size_t end = length;
    while (end > 0 && (key[end - 1] == '.' || key[end - 1] == ' ')) {
        --end;
    }
    key[end] = '\0';
    if (encoding == host::NameEncoding::Utf8) {
        upperUtf8(key, end);
        return true;
    }
    for (std::size_t i = 0; i < end; ++i) {
        const auto c = static_cast<unsigned char>(key[i]);
        if (isLeadByte(c) && i + 1 < end) {
            auto trail = static_cast<unsigned char>(key[i + 1]);
            upperDoubleByte(c, trail);
            key[i + 1] = static_cast<char>(trail);
            ++i;
        } else if (c >= 'a' && c <= 'z') {
            key[i] = static_cast<char>(c - 'a' + 'A');
        }
    }
    return true;
}

int NameRegistry::slotOf(const char (&key)[kTakenNameBytes]) const
{
    int slot = static_cast<int>(hashOf(key) & (kSlots - 1));
    // The table is never full (kSlots > kCapacity): an empty slot ends the probe.
    while (slots_[slot] != 0 && std::strcmp(taken_[slots_[slot] - 1].key, key) != 0) {
        slot = (slot + 1) & (kSlots - 1);
    }
    return slot;
}

const NameOwner* NameRegistry::find(const char* name) const
{
    char key[kTakenNameBytes];
    if (!hostNameKey(name, rules_, encoding_, key)) {
        return nullptr;
    }
    const int slot = slotOf(key);
    return slots_[slot] == 0 ? nullptr : &taken_[slots_[slot] - 1].owner;
}

bool NameRegistry::add(const char* name, int image, const char* stored)
{
    char key[kTakenNameBytes];
    if (!hostNameKey(name, rules_, encoding_, key)) {
        return false;
    }
    const int slot = slotOf(key);
    // A new name needs room; one already taken only changes hands.
    if (slots_[slot] == 0 && count_ >= kCapacity) {
        return false;
    }
    Taken& taken = slots_[slot] != 0 ? taken_[slots_[slot] - 1] : taken_[count_];
    if (slots_[slot] == 0) {
        std::memcpy(taken.key, key, sizeof key);
        slots_[slot] = static_cast<std::uint16_t>(++count_);
    }
    // The latest file of a name owns it: it is the one on disk.
    taken.owner.image = image;
    std::snprintf(taken.owner.stored, sizeof taken.owner.stored, "%s", stored);
    return true;
}

bool suffixedName(const char* name, int number, char (&into)[kTakenNameBytes])
{
    const int length = std::snprintf(into, sizeof into, "%s~%d", name, number);
    return length > 0 && length < static_cast<int>(sizeof into);
}

} // namespace d88
