// The text listing, with a formatter for its per-file line that keeps
// printf's output at a fraction of its cost.
#include "listing.h"

#include <initializer_list>

namespace d88 {

namespace {

// printf's "%0*x" and "%0*d" for the values a listing line holds: at
// least `digits` digits, more when the value needs them. Base and width are
// constants, so the divisions come down to shifts and multiplications, and
// a value that fits its field (nearly all do) needs no digit counting.
template <unsigned base, int digits> char* appendNumber(char* out, unsigned value)
{
    constexpr unsigned kFieldLimit = [] {
        unsigned limit = 1;
        for (int k = 0; k < digits; ++k) {
            limit *= base;
        }
        return limit;
    }();
    constexpr const char* kDigits = "0123456789abcdef";
    int count = digits;
    for (unsigned rest = value / kFieldLimit; rest != 0; rest /= base) {
        ++count;
    }
    // Written from the last digit back; once the value is used up the
    // leading places get zeros.
    for (int k = count - 1; k >= 0; --k) {
        out[k] = kDigits[value % base];
        value /= base;
    }
    return out + count;
}

} // namespace

int formatListingLine(const DirectoryEntry& entry, const FileHeader& header,
                      char (&line)[kListingLineBytes])
{
    // "%-9s %04x %04x %04x %02d/%02d/%02d %02d:%02d\n"
    constexpr int kNameWidth = 9;
    static_assert(kNameBytes <= kNameWidth);
    constexpr int kHexDigits = 4;
    constexpr int kDecimalDigits = 2;
    char* out = line;
    int i = 0;
    // The name is at most kNameBytes bytes and terminated.
    for (; i < kNameBytes && entry.name[i] != '\0'; ++i) {
        *out++ = entry.name[i];
    }
    for (; i < kNameWidth; ++i) {
        *out++ = ' ';
    }
    for (const unsigned field : {header.loadAddress, header.size, header.execAddress}) {
        *out++ = ' ';
        out = appendNumber<16, kHexDigits>(out, field);
    }
    const char separators[kStampCount] = {' ', '/', '/', ' ', ':'};
    for (int k = 0; k < kStampCount; ++k) {
        *out++ = separators[k];
        // Decoded BCD is never negative.
        out = appendNumber<10, kDecimalDigits>(out, static_cast<unsigned>(entry.stamp[k]));
    }
    *out++ = '\n';
    return static_cast<int>(out - line);
}

void Listing::runStart(bool headerCut)
{
    switch (style_) {
    case ListingStyle::Text:
        if (headerCut) {
            std::fputs(textFor(kCuttingHeader, console_), stdout);
        }
        return;
    case ListingStyle::ProblemsOnly:
        return;
    }
}

void Listing::imageStart(const char* imageName, const char* subdirectory)
{
    switch (style_) {
    case ListingStyle::Text:
        if (subdirectory != nullptr) {
            std::printf(textFor(kImageLine, console_), imageName, subdirectory);
        }
        std::fputs(textFor(kColumnHeader, console_), stdout);
        return;
    case ListingStyle::ProblemsOnly:
        return;
    }
}

void Listing::file(const DirectoryEntry& entry, const FileHeader& header)
{
    switch (style_) {
    case ListingStyle::Text: {
        char line[kListingLineBytes];
        std::fwrite(line, 1, static_cast<std::size_t>(formatListingLine(entry, header, line)),
                    stdout);
        return;
    }
    case ListingStyle::ProblemsOnly:
        return;
    }
}

bool Listing::runEnd()
{
    switch (style_) {
    case ListingStyle::Text:
        return std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    case ListingStyle::ProblemsOnly:
        // The standard output is the files' then, and its failures theirs.
        return true;
    }
    return true;
}

} // namespace d88
