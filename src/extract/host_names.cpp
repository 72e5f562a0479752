// The host name rules: both sets, and Windows' device names.
#include "host_names.h"

#include <cctype>
#include <cstring>
#include <initializer_list>

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

} // namespace

void hostFileName(const char* stored, char (&host)[kHostNameBytes], host::NameRules rules)
{
    constexpr int kLongest = kHostNameBytes - 2; // room for a '_' in front and the terminator
    static_assert(kLongest >= kNameBytes, "every stored name fits whole");
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

} // namespace d88
