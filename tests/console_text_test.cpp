// The Shift_JIS and UTF-8 forms of every console text must say the same
// thing: each Shift_JIS text converted by the C library must give its UTF-8
// twin byte for byte.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "extract/console_text.h"
#include "extract/host.h"

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
