// Names as the JSON listing gives them: Shift_JIS (code page 932) decoded
// to UTF-8, and bytes meant as UTF-8 checked; U+FFFD for anything else.
#include <gtest/gtest.h>

#include <string>

#include "shift_jis.h"

namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

std::string decode(const std::string& bytes, bool shiftJis, int capacity = 256)
{
    char out[256];
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const int length = static_cast<int>(bytes.size());
    const int n = shiftJis ? d88::shiftJisToUtf8(p, length, out, capacity)
                           : d88::cleanUtf8(p, length, out, capacity);
    return std::string(out, static_cast<std::size_t>(n));
}

} // namespace

TEST(JsonText, ShiftJisDecodes)
{
    const struct {
        const char* what;
        std::string bytes;
        std::string utf8;
    } rows[] = {
        {"ASCII, backslash and tilde as they are", "GAME\\~ 1", "GAME\\~ 1"},
        {"half-width katakana, first and last", "\xA1\xB1\xDF", "｡ｱﾟ"},
        {"kanji and kana of both lead ranges", "\x93\xFA\x96\x7B\x82\xA0\xE0\x40", "日本あ漾"},
        {"a full-width space", "\x81\x40", "\xE3\x80\x80"},
        {"a lead byte at the end", "A\x82", "A" + kReplacement},
        {"a lead byte before a byte that trails nothing", "\x82\x20X", kReplacement + " X"},
        {"a trail of 0x7F", "\x81\x7F", kReplacement + "\x7F"},
        {"bytes that lead nothing", "\x80\xA0\xFD\xFE\xFF",
         kReplacement + kReplacement + kReplacement + kReplacement + kReplacement},
        {"a code point cp932 leaves empty", "\x85\x40", kReplacement + "@"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(decode(row.bytes, true), row.utf8) << row.what;
    }
    // A character that does not fit whole is left out, not cut.
    EXPECT_EQ(decode("A\x93\xFA", true, 3), "A");
}

TEST(JsonText, Utf8IsCleaned)
{
    const struct {
        const char* what;
        std::string bytes;
        std::string utf8;
    } rows[] = {
        {"well formed", "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80",
         "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80"},
        {"a lone continuation",
         "\x80"
         "a",
         kReplacement + "a"},
        {"a sequence cut short", "\xE6\x97", kReplacement + kReplacement},
        {"an overlong form", "\xC0\xAF", kReplacement + kReplacement},
        {"a surrogate", "\xED\xA0\x80", kReplacement + kReplacement + kReplacement},
        {"past U+10FFFF", "\xF4\x90\x80\x80",
         kReplacement + kReplacement + kReplacement + kReplacement},
        {"Shift_JIS is not UTF-8", "\x83\x41", kReplacement + "A"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(decode(row.bytes, false), row.utf8) << row.what;
    }
}
