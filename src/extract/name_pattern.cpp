// Wildcard matching for "-n". Iterative on purpose: names and patterns come
// from untrusted disks and command lines, and a recursive matcher can be
// driven into exponential time or a deep stack by a pattern such as
// "*a*a*a*a*b".
#include "name_pattern.h"

namespace d88 {

namespace {

struct ElementMatch {
    bool matches;
    std::size_t width; // pattern bytes the element takes up
};

// Matches one byte against the bracket expression starting at `open`, the
// '['. A bracket that is never closed is a literal '['.
ElementMatch matchBracket(const unsigned char* open, unsigned char byte)
{
    const unsigned char* p = open + 1;
    const bool negated = *p == '!' || *p == '^';
    if (negated) {
        ++p;
    }
    bool member = false;
    // The first byte of the set may be ']' and is then a member.
    const unsigned char* first = p;
    while (*p != '\0' && (*p != ']' || p == first)) {
        unsigned char low = *p, high = *p;
        if (p[1] == '-' && p[2] != '\0' && p[2] != ']') {
            high = p[2];
            p += 3;
        } else {
            p += 1;
        }
        member = member || (byte >= low && byte <= high);
    }
    if (*p == '\0') {
        return {byte == '[', 1};
    }
    return {member != negated, static_cast<std::size_t>(p + 1 - open)};
}

ElementMatch matchElement(const unsigned char* element, unsigned char byte)
{
    switch (*element) {
    case '?':
        return {true, 1};
    case '[':
        return matchBracket(element, byte);
    default:
        return {*element == byte, 1};
    }
}

} // namespace

bool namePatternMatches(const char* pattern, const char* name, std::size_t length)
{
    const auto* pat = reinterpret_cast<const unsigned char*>(pattern);
    const auto* text = reinterpret_cast<const unsigned char*>(name);
    std::size_t p = 0, n = 0;
    // Every element but '*' takes exactly one byte, so only the latest '*'
    // ever needs to be retried: it swallows one byte more each time.
    bool starSeen = false;
    std::size_t afterStar = 0, starTaken = 0;
    while (n < length) {
        if (pat[p] == '*') {
            starSeen = true;
            afterStar = ++p;
            starTaken = n;
            continue;
        }
        if (pat[p] != '\0') {
            const ElementMatch m = matchElement(pat + p, text[n]);
            if (m.matches) {
                p += m.width;
                ++n;
                continue;
            }
        }
        if (!starSeen) {
            return false;
        }
        p = afterStar;
        n = ++starTaken;
    }
    while (pat[p] == '*') {
        ++p;
    }
    return pat[p] == '\0';
}

} // namespace d88
