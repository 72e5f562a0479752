// The Shift_JIS and UTF-8 forms of every console text must say the same
// thing: each Shift_JIS text converted by the C library must give its UTF-8
// twin byte for byte.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "console_text.h"
#include "listing.h"
#include "host.h"

namespace {

std::string shiftJisToUtf8(const char* text)
{
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "the C library cannot convert CP932";
        return {};
    }
    std::string in(text), out(in.size() * 3 + 1, '\0');
    char* src = in.data();
    char* dst = out.data();
    std::size_t srcLeft = in.size(), dstLeft = out.size();
    const std::size_t result = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    EXPECT_NE(result, static_cast<std::size_t>(-1)) << "not valid Shift_JIS: " << text;
    out.resize(out.size() - dstLeft);
    return out;
}

} // namespace

TEST(ConsoleTextTest, ShiftJisAndUtf8Agree)
{
    for (const d88::ConsoleText* text : d88::kAllConsoleTexts) {
        EXPECT_EQ(shiftJisToUtf8(text->shiftJis), text->utf8);
    }
}

TEST(ConsoleTextTest, LocaleNamesUtf8)
{
    struct Case {
        const char* locale;
        bool utf8;
    } cases[] = {{"ja_JP.UTF-8", true}, {"C.utf8", true},  {"en_US.Utf-8@euro", true},
                 {"ja_JP.SJIS", false}, {"C", false},      {"POSIX", false},
                 {"utf", false},        {"UTF-16", false}, {"", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(d88::host::localeNamesUtf8(c.locale), c.utf8) << c.locale;
    }
}

// The listing line is formatted by hand for speed; printf with its format
// is the reference, over names of every length and values past the usual
// widths (a stamp byte that is not BCD decodes above 99).
TEST(ConsoleTextTest, ListingLineIsItsFormat)
{
    const struct {
        const char* name;
        d88::FileHeader header;
        int stamp[5];
    } rows[] = {
        {"", {0, 0, 0}, {0, 0, 0, 0, 0}},
        {"GAME     ", {0x6000, 0x1234, 0xabcd}, {24, 3, 15, 9, 30}},
        {"ABCDEFGHI", {0xffff, 0x0001, 0x00f0}, {99, 12, 31, 23, 59}},
        {"\xb1\xb2 A", {0x12345, 7, 0x10}, {165, 5, 150, 100, 9}},
    };
    for (const auto& row : rows) {
        d88::DirectoryEntry entry{};
        std::snprintf(entry.name, sizeof entry.name, "%s", row.name);
        std::copy(std::begin(row.stamp), std::end(row.stamp), entry.stamp);
        char want[d88::kListingLineBytes];
        const int wantLength = std::snprintf(want, sizeof want, d88::kListingLine.shiftJis,
                                             entry.name, row.header.loadAddress, row.header.size,
                                             row.header.execAddress, entry.stamp[0], entry.stamp[1],
                                             entry.stamp[2], entry.stamp[3], entry.stamp[4]);
        char got[d88::kListingLineBytes];
        const int length = d88::formatListingLine(entry, row.header, got);
        EXPECT_EQ(std::string(got, static_cast<std::size_t>(length)),
                  std::string(want, static_cast<std::size_t>(wantLength)));
    }
}
