// The forms of every console text must agree: each Shift_JIS text converted
// by the C library gives its UTF-8 twin byte for byte, and the English one is
// plain ASCII taking the same printf values in the same order.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "console_text.h"
#include "host.h"
#include "listing.h"
#include "report.h"

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

// The conversion letters of a printf format, in order.
std::string conversions(const char* format)
{
    std::string letters;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p == '%') {
            p += std::strspn(p + 1, "-0123456789") + 1;
            letters += *p;
        }
    }
    return letters;
}

TEST(ConsoleTextTest, EveryFormAgrees)
{
    for (const d88::ConsoleText* text : d88::kAllConsoleTexts) {
        SCOPED_TRACE(text->english);
        EXPECT_EQ(shiftJisToUtf8(text->shiftJis), text->utf8);
        ASSERT_NE(text->english, nullptr);
        EXPECT_TRUE(std::all_of(text->english, text->english + std::strlen(text->english),
                                [](char c) { return c == '\n' || (c >= 0x20 && c < 0x7f); }));
        EXPECT_EQ(conversions(text->english), conversions(text->utf8));
    }
}

// The kinds the JSON document lists: the code spans of the first column of
// its table of kinds.
std::set<std::string> documentedKinds()
{
    std::ifstream document(D88UNPACK_JSON_DOC);
    EXPECT_TRUE(document.is_open()) << D88UNPACK_JSON_DOC;
    std::set<std::string> kinds;
    bool inTable = false;
    for (std::string line; std::getline(document, line);) {
        if (line == "| kind | in | what |") {
            inTable = true;
        } else if (inTable && (line.empty() || line[0] != '|')) {
            break;
        } else if (inTable) {
            const std::string cell = line.substr(0, line.find('|', 1));
            for (std::size_t open = cell.find('`'); open != std::string::npos;) {
                const std::size_t close = cell.find('`', open + 1);
                if (close == std::string::npos) {
                    break;
                }
                kinds.insert(cell.substr(open + 1, close - open - 1));
                open = cell.find('`', close + 1);
            }
        }
    }
    return kinds;
}

// The document lists the kind of every problem, and nothing else. Two
// problems may share a kind: one fact met in two ways is one kind.
TEST(ConsoleTextTest, ProblemKindsAsDocumented)
{
    std::set<std::string> kinds;
    for (const d88::ProblemId id : d88::kAllProblems) {
        kinds.insert(d88::problemKindName(id));
    }
    const std::set<std::string> documented = documentedKinds();
    for (const std::string& kind : kinds) {
        EXPECT_EQ(documented.count(kind), 1U) << kind << " is not in the document";
    }
    for (const std::string& kind : documented) {
        EXPECT_EQ(kinds.count(kind), 1U) << kind << " is documented but is no problem's";
    }
}

TEST(ConsoleTextTest, LanguageOfLocale)
{
    using d88::Language;
    const struct {
        const char* locale;
        Language language;
    } cases[] = {
        {"ja", Language::Japanese},         {"ja_JP.UTF-8", Language::Japanese},
        {"ja:en", Language::Japanese},      {"C", Language::Japanese},
        {"C.UTF-8", Language::Japanese},    {"POSIX", Language::Japanese},
        {"en_US.UTF-8", Language::English}, {"de_DE.UTF-8", Language::English},
        {"en:ja", Language::English},       {"jam", Language::English},
        {"Cx", Language::English},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(d88::host::languageOfLocale(c.locale), c.language) << c.locale;
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

// On a terminal, control bytes are shown and never obeyed, and the escape
// stays unambiguous: a stored backslash is doubled, except as the second
// byte of a Shift_JIS character.
TEST(ConsoleTextTest, EscapeForTerminal)
{
    using d88::ConsoleEncoding;
    constexpr ConsoleEncoding kUtf8 = ConsoleEncoding::Utf8;
    const struct {
        const char* stored;
        const char* shown;
        int room = d88::kEscapedBytes;
        ConsoleEncoding encoding = ConsoleEncoding::ShiftJis;
    } rows[] = {
        {"GAME     ", "GAME     "},
        {"A\x1b[2J\a\nB", "A\\x1b[2J\\a\\nB"},
        {"\t\r\b\f\v\x7f\x01", "\\t\\r\\b\\f\\v\\x7f\\x01"},
        {"C\\D", "C\\\\D"},
        {"\x83\x5c\x83\x41", "\x83\x5c\x83\x41"}, // two characters, the first ending in 0x5C
        {"\x83", "\x83"},                         // a lone lead byte at the end
        {"\x83\x1b", "\x83\\x1b"},                // a lead byte before no trail byte
        {"\xb1\\", "\xb1\\\\"},                   // a one-byte katakana is no lead byte
        {"AB\x1b", "AB", 6},                      // cut before an escape that does not fit
        {"ABCDE", "ABCDE", 6},
        // A UTF-8 terminal: the C1 controls too, and every backslash, as no
        // UTF-8 character holds that byte.
        {"A\xC2\x9B"
         "2J\xC2\x9D"
         "0;X\xC2\x9C",
         "A\\u009b2J\\u009d0;X\\u009c", d88::kEscapedBytes, kUtf8},
        {"\xC2\x80\xC2\x9F\xC2\xA0\xC3\x80", "\\u0080\\u009f\xC2\xA0\xC3\x80", d88::kEscapedBytes,
         kUtf8},
        {"\x1b\x7f", "\\x1b\\x7f", d88::kEscapedBytes, kUtf8},
        {"\xE3\x81\x81\\", "\xE3\x81\x81\\\\", d88::kEscapedBytes, kUtf8},
        {"\x83\x5c", "\x83\\\\", d88::kEscapedBytes, kUtf8},
        {"A\xC2", "A\xC2", d88::kEscapedBytes, kUtf8},
        {"AB\xC2\x9B", "AB", 8, kUtf8},
        {"AB\xC2\x9B", "AB\\u009b", 9, kUtf8},
        // A Shift_JIS terminal reads those bytes as characters.
        {"\xC2\x9B\x5C", "\xC2\x9B\x5C"},
    };
    for (const auto& row : rows) {
        char out[d88::kEscapedBytes];
        const int length = d88::escapeForTerminal(row.stored, out, row.room, row.encoding);
        EXPECT_EQ(std::string(out), row.shown) << row.stored;
        EXPECT_EQ(length, static_cast<int>(std::strlen(row.shown)));
    }
    // A listing line keeps its columns after an escaped name.
    d88::DirectoryEntry entry{};
    std::snprintf(entry.name, sizeof entry.name, "%s", "\x1b");
    char line[d88::kListingLineBytes];
    const int length = d88::formatListingLine(entry, {1, 2, 3}, line, true);
    EXPECT_EQ(std::string(line, static_cast<std::size_t>(length)),
              "\\x1b      0001 0002 0003 00/00/00 00:00\n");
}
