// The host name rules: both sets, Windows' device names, and how each host
// tells two names apart.
#include "host_names.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "shift_jis.h"

namespace d88 {

namespace {

// Characters that Windows does not allow in a file name.
bool windowsRefuses(char c)
{
    constexpr unsigned char kFirstPrintable = 0x20;
    return static_cast<unsigned char>(c) < kFirstPrintable ||
           (c != '\0' && std::strchr("\\:*?\"<>|", c) != nullptr);
}

bool sameLetters(const char* name, const char* upper, int length)
{
    for (int i = 0; i < length; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != upper[i]) {
            return false;
        }
    }
    return true;
}

// Superscripts 1, 2 and 3 in Windows' Western code page (1252): Windows
// takes them for the digits of COM and LPT too.
constexpr char kSuperscriptDigits[] = "\xB9\xB2\xB3";

// Windows opens these as the device in whatever directory they are named:
// "nul", "Con.txt" and "AUX  .BAS" alike.
bool isWindowsDevice(const char* name)
{
    int base = 0;
    while (name[base] != '\0' && name[base] != '.') {
        ++base;
    }
    while (base > 0 && name[base - 1] == ' ') {
        --base;
    }
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        const int length = static_cast<int>(std::strlen(device));
        if (base == length && sameLetters(name, device, length)) {
            return true;
        }
    }
    constexpr int kPortNameBytes = 4; // "COM1", "LPT9"
    if (base != kPortNameBytes || !(sameLetters(name, "COM", 3) || sameLetters(name, "LPT", 3))) {
        return false;
    }
    // name[3] is neither the terminator nor a dot: base is 4.
    return std::isdigit(static_cast<unsigned char>(name[3])) ||
           std::strchr(kSuperscriptDigits, name[3]) != nullptr;
}

// Windows drops a name's trailing dots and blanks; of such a name nothing
// would be left.
bool onlyDotsAndBlanks(const char* name)
{
    for (; *name != '\0'; ++name) {
        if (*name != '.' && *name != ' ') {
            return false;
        }
    }
    return true;
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

} // namespace

void hostFileName(const char* stored, char (&host)[kHostNameBytes], host::NameRules rules)
{
    constexpr int kLongest = kHostNameBytes - 2; // room for a '_' in front and the terminator
    static_assert(kLongest >= kNameBytes, "every stored name fits whole");
    hostName(stored, kLongest, host, rules);
}

void hostName(const char* stored, int kLongest, char* host, host::NameRules rules)
{
    // "." and ".." would name the directory itself or its parent.
    if (std::strcmp(stored, ".") == 0) {
        stored = "_";
    } else if (std::strcmp(stored, "..") == 0) {
        stored = "__";
    }
    const bool windows = rules == host::NameRules::Windows;
    // Mapped one place to the right, leaving room for a '_' in front.
    char* name = host + 1;
    int length = 0;
    for (; length < kLongest && stored[length] != '\0'; ++length) {
        const char c = stored[length];
        name[length] = c == '/' || (windows && windowsRefuses(c)) ? '_' : c;
    }
    name[length] = '\0';
    if (windows && (isWindowsDevice(name) || onlyDotsAndBlanks(name))) {
        host[0] = '_';
    } else {
        std::memmove(host, name, static_cast<std::size_t>(length) + 1);
    }
}

void outputName(const char* stored, bool readable, host::NameRules rules,
                char (&host)[kHostNameBytes])
{
    if (!readable) {
        hostFileName(stored, host, rules);
        return;
    }
    char name[kReadableNameBytes];
    readableName(stored, kNameBytes, name, sizeof name);
    hostFileName(name, host, rules);
}

bool hostNameKey(const char* name, host::NameRules rules, host::NameEncoding encoding, char* key,
                 std::size_t room)
{
    const std::size_t length = std::strlen(name);
    if (length >= room) {
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
        // The byte after a lead byte is the second half of a character,
        // never a letter of its own.
        if (isShiftJisLead(c) && i + 1 < end) {
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

std::uint32_t hashOfKey(const char* key)
{
    std::uint32_t hash = 2166136261u;
    for (; *key != '\0'; ++key) {
        hash = (hash ^ static_cast<unsigned char>(*key)) * 16777619u;
    }
    return hash;
}

} // namespace d88
