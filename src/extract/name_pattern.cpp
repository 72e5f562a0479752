// Wildcard matching for "-n". Iterative on purpose: names and patterns come
// from untrusted disks and command lines, and a recursive matcher can be
// driven into exponential time or a deep stack by a pattern such as
// "*a*a*a*a*b".
#include "name_pattern.h"

#include <cstdint>

namespace d88 {

namespace {

// One element of a name or pattern: a byte, or with UTF-8 a character. A
// byte that begins no well-formed character is a unit of its own, whose
// value no character has.
struct Unit {
    std::uint32_t code;
    std::size_t width; // bytes it takes
};

constexpr std::uint32_t kLoneByte = 0x110000; // past every code point

// The unit at `text`, of which at most `left` bytes are there.
Unit unitAt(const unsigned char* text, std::size_t left, bool utf8)
{
    const unsigned char b = text[0];
    if (!utf8 || b < 0x80) {
        return {b, 1};
    }
    const std::size_t width = b >= 0xC2 && b <= 0xDF   ? 2
                              : b >= 0xE0 && b <= 0xEF ? 3
                              : b >= 0xF0 && b <= 0xF4 ? 4
                                                       : 0;
    std::uint32_t code = b & (0xFFu >> (width + 1));
    bool wellFormed = width > 0 && width <= left;
    for (std::size_t k = 1; wellFormed && k < width; ++k) {
        wellFormed = (text[k] & 0xC0) == 0x80;
        code = code << 6 | (text[k] & 0x3Fu);
    }
    return wellFormed ? Unit{code, width} : Unit{kLoneByte + b, 1};
}

// Patterns end at their NUL, which no unit reads past.
constexpr std::size_t kToTheEnd = 4;

struct ElementMatch {
    bool matches;
    std::size_t width; // pattern bytes the element takes up
};

// Matches one unit against the bracket expression starting at `open`, the
// '['. A bracket that is never closed is a literal '['.
ElementMatch matchBracket(const unsigned char* open, std::uint32_t unit, bool utf8)
{
    const unsigned char* p = open + 1;
    const bool negated = *p == '!' || *p == '^';
    if (negated) {
        ++p;
    }
    bool member = false;
    // The first unit of the set may be ']' and is then a member.
    const unsigned char* first = p;
    while (*p != '\0' && (*p != ']' || p == first)) {
        const Unit low = unitAt(p, kToTheEnd, utf8);
        p += low.width;
        Unit high = low;
        if (p[0] == '-' && p[1] != '\0' && p[1] != ']') {
            high = unitAt(p + 1, kToTheEnd, utf8);
            p += 1 + high.width;
        }
        member = member || (unit >= low.code && unit <= high.code);
    }
    if (*p == '\0') {
        return {unit == '[', 1};
    }
    return {member != negated, static_cast<std::size_t>(p + 1 - open)};
}

ElementMatch matchElement(const unsigned char* element, std::uint32_t unit, bool utf8)
{
    switch (*element) {
    case '?':
        return {true, 1};
    case '[':
        return matchBracket(element, unit, utf8);
    default: {
        const Unit own = unitAt(element, kToTheEnd, utf8);
        return {own.code == unit, own.width};
    }
    }
}

} // namespace

bool namePatternMatches(const char* pattern, const char* name, std::size_t length, bool utf8)
{
    const auto* pat = reinterpret_cast<const unsigned char*>(pattern);
    const auto* text = reinterpret_cast<const unsigned char*>(name);
    std::size_t p = 0, n = 0;
    // Every element but '*' takes exactly one unit, so only the latest '*'
    // ever needs to be retried: it swallows one unit more each time.
    bool starSeen = false;
    std::size_t afterStar = 0, starTaken = 0;
    while (n < length) {
        if (pat[p] == '*') {
            starSeen = true;
            afterStar = ++p;
            starTaken = n;
            continue;
        }
        const Unit unit = unitAt(text + n, length - n, utf8);
        if (pat[p] != '\0') {
            const ElementMatch m = matchElement(pat + p, unit.code, utf8);
            if (m.matches) {
                p += m.width;
                n += unit.width;
                continue;
            }
        }
        if (!starSeen) {
            return false;
        }
        p = afterStar;
        starTaken += unitAt(text + starTaken, length - starTaken, utf8).width;
        n = starTaken;
    }
    while (pat[p] == '*') {
        ++p;
    }
    return pat[p] == '\0';
}

} // namespace d88
