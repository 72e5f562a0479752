// Stored file names as each host's rules write them, and which of them the
// host takes for the same name. The POSIX column is what scripts on Linux
// rely on; the Windows one keeps every file off the devices and inside its
// directory.
#include <gtest/gtest.h>

#include <cstdio>

#include <string>

#include "host_names.h"
#include "name_registry.h"

namespace {

using d88::host::NameEncoding;
using d88::host::NameRules;

std::string mapped(const char* stored, NameRules rules)
{
    char host[d88::kHostNameBytes];
    d88::hostFileName(stored, host, rules);
    return host;
}

TEST(HostFileName, BothRuleSets)
{
    const struct {
        const char* stored;
        const char* posix;
        const char* windows;
    } cases[] = {
        // Both hosts.
        {"GAME     ", "GAME     ", "GAME     "},
        {"A/B", "A_B", "A_B"},
        {"/", "_", "_"},
        {".", "_", "_"},
        {"..", "__", "__"},
        {"\xb1\xb2\xb3 X", "\xb1\xb2\xb3 X", "\xb1\xb2\xb3 X"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0",
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ0"},
        // Characters Windows refuses; the second byte of a Shift_JIS
        // character is no exception.
        {"A\\B:C*D?E", "A\\B:C*D?E", "A_B_C_D_E"},
        {"\"<>|", "\"<>|", "____"},
        {"\x01TAB\tX\x1f", "\x01TAB\tX\x1f", "_TAB_X_"},
        {"\x83\x5c", "\x83\x5c", "\x83_"},
        // Device names, alone or before a dot, trailing blanks ignored.
        {"CON", "CON", "_CON"},
        {"con.txt", "con.txt", "_con.txt"},
        {"Nul  .X", "Nul  .X", "_Nul  .X"},
        {"AUX.", "AUX.", "_AUX."},
        {"PRN      ", "PRN      ", "_PRN      "},
        {"COM1", "COM1", "_COM1"},
        {"lpt9.BAS", "lpt9.BAS", "_lpt9.BAS"},
        {"LPT0", "LPT0", "_LPT0"},
        {"COM\xb9", "COM\xb9", "_COM\xb9"},
        {"conout$", "conout$", "_conout$"},
        {"CON.12345", "CON.12345", "_CON.12345"},
        // Not devices.
        {"CONSOLE", "CONSOLE", "CONSOLE"},
        {"COM", "COM", "COM"},
        {"COM10", "COM10", "COM10"},
        {"XCON", "XCON", "XCON"},
        {" NUL", " NUL", " NUL"},
        {"COM1:", "COM1:", "COM1_"},
        // Nothing left once Windows drops trailing dots and blanks.
        {"...", "...", "_..."},
        {". .", ". .", "_. ."},
        {"         ", "         ", "_         "},
        {"A..", "A..", "A.."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mapped(c.stored, NameRules::Posix), c.posix) << c.stored;
        EXPECT_EQ(mapped(c.stored, NameRules::Windows), c.windows) << c.stored;
    }
}

// With -u a stored name is written as it reads, decoded from Shift_JIS to
// UTF-8, under the same host rules; what cannot be named is written so that
// it stays visible and tells the bytes it stands for.
TEST(HostFileName, NamesAsTheyRead)
{
    const struct {
        const char* stored;
        const char* posix;
        const char* windows = nullptr; // when not `posix`
    } cases[] = {
        {"\x83\x51\x81\x5b\x83\x80   ", "ゲーム"},
        {"\xb9\xde\xb0\xd1", "ｹﾞｰﾑ"},
        {"\x93\xfa\x96\x7b\x81\x40\x8c\xea", "日本\xE3\x80\x80語"},
        {"\x87\x54", "Ⅰ"}, // CP932 has two codes for it
        {"\xfa\x4a", "Ⅰ"},
        // A second byte 0x5C is part of its character, not a backslash.
        {"\x83\x5c", "ソ"},
        // Bytes that decode to nothing, and controls.
        {"A\x80"
         "B\xfd",
         "A%80B%FD"},
        {"X\x83", "X%83"},
        {"\x83 Z", "%83 Z"},
        {"\x85\x40", "%85@"},
        {"A\x01"
         "B\x1b",
         "A%01B%1B"},
        {"\x7f", "%7F"},
        // A '%' of the name, so that every name reads apart.
        {"100%", "100%25"},
        {"%41", "%2541"},
        // Trailing blanks go; a name of blanks alone keeps one, visibly.
        {"GAME     ", "GAME"},
        {" A B ", " A B"},
        {"         ", "%20"},
        // The rules of each host on what is left.
        {"A/B", "A_B"},
        {".", "_"},
        {"..", "__"},
        {"A\\B:C", "A\\B:C", "A_B_C"},
        {"CON  ", "CON", "_CON"},
        {"nul.\x83\x51", "nul.ゲ", "_nul.ゲ"},
        {"...", "...", "_..."},
    };
    for (const auto& c : cases) {
        for (const NameRules rules : {NameRules::Posix, NameRules::Windows}) {
            char host[d88::kHostNameBytes];
            d88::outputName(c.stored, true, rules, host);
            const char* want = rules == NameRules::Windows && c.windows ? c.windows : c.posix;
            EXPECT_EQ(std::string(host), want) << c.stored;
        }
    }
}

// Which names a host takes for the same file: a later name is found in the
// registry exactly when the host would open the earlier one by it.
TEST(NameRegistry, NamesClashAsTheHostComparesThem)
{
    const struct {
        const char* earlier;
        const char* later;
        bool posix, windows; // the same file there
        bool utf8 = false;   // names as they read ("-u")
    } cases[] = {
        {"GAME", "GAME", true, true},
        {"GAME     ", "GAME", false, true}, // Windows drops trailing blanks
        {"GAME.", "GAME", false, true},     // and dots
        {"GAME. .", "GAME", false, true},
        {".GAME", "GAME", false, false}, // not leading ones
        {"G AME", "GAME", false, false},
        {"game", "GAME", false, true},
        {"Data.Bin", "DATA.BIN", false, true},
        {"GAME~1", "GAME", false, false},
        // Full-width, Greek and Cyrillic letters have case on Windows too.
        {"\x82\x81", "\x82\x60", false, true}, // a, A (full width)
        {"\x83\xbf", "\x83\x9f", false, true}, // alpha, Alpha
        {"\x84\x70", "\x84\x40", false, true}, // a, A (Cyrillic)
        {"\x84\x80", "\x84\x4f", false, true}, // o, O: past the gap at 0x7F
        {"\x84\x91", "\x84\x60", false, true}, // ya, Ya
        // A second byte that reads as a letter is not one.
        {"\x83"
         "a",
         "\x83"
         "A",
         false, false},
        {"\x95"
         "z",
         "\x95"
         "Z",
         false, false},
        {"\x83"
         "a"
         "b",
         "\x83"
         "a"
         "B",
         false, true}, // ... but the letter after it is
        {"\xb1"
         "a",
         "\xb1"
         "A",
         false, true}, // a half-width kana is one byte
        // Names as they read: UTF-8, whose letters Windows compares without case too.
        {"ゲーム", "ゲーム", true, true, true},
        {"ゲーム. ", "ゲーム", false, true, true},
        {"ａｂ", "ＡＢ", false, true, true},
        {"αя", "ΑЯ", false, true, true},
        {"ё", "Ё", false, true, true},
        {"ⅰ", "Ⅰ", false, true, true},
        {"ア", "ｱ", false, false, true},
        {"ぁa", "ぁA", false, true, true}, // not a Shift_JIS lead and trail
        {"%83", "%83", true, true, true},
        {"%83", "%8", false, false, true},
    };
    d88::NameRegistry& registry = *new d88::NameRegistry(); // too large for the stack
    for (const auto& c : cases) {
        for (const NameRules rules : {NameRules::Posix, NameRules::Windows}) {
            SCOPED_TRACE(std::string(c.earlier) + " / " + c.later +
                         (rules == NameRules::Posix ? " on POSIX" : " on Windows"));
            registry.clear(rules, c.utf8 ? NameEncoding::Utf8 : NameEncoding::Bytes);
            ASSERT_TRUE(registry.add(c.earlier, 3, "STORED"));
            const d88::NameOwner* owner = registry.find(c.later);
            ASSERT_EQ(owner != nullptr, rules == NameRules::Posix ? c.posix : c.windows);
            if (owner != nullptr) {
                EXPECT_EQ(owner->image, 3);
                EXPECT_STREQ(owner->stored, "STORED");
            }
        }
    }
    delete &registry;
}

// The registry holds every file of 64 full images, each also going round
// a name with "-r", forgets them on clear (and holds as many again after
// it), and the latest file of a name is its owner.
TEST(NameRegistry, HoldsAWholeRun)
{
    auto& registry = *new d88::NameRegistry();
    registry.clear(NameRules::Posix, NameEncoding::Bytes);
    char name[d88::kTakenNameBytes];
    char base[d88::kTakenNameBytes];
    for (const char* prefix : {"F", "G"}) {
        SCOPED_TRACE(prefix);
        for (int i = 0; i < d88::NameRegistry::kCapacity; ++i) {
            ASSERT_TRUE(d88::suffixedName(prefix, i, name));
            ASSERT_TRUE(registry.add(name, i / d88::kEntryCount, prefix));
            // The name it went round, which no file took.
            std::snprintf(base, sizeof base, "%s%d", prefix, i);
            registry.suffixTaken(base, i);
        }
        // Full: another name is refused, a name it has changes hands.
        EXPECT_FALSE(registry.add("OTHER", 0, "OTHER"));
        ASSERT_TRUE(d88::suffixedName(prefix, 7, name));
        ASSERT_TRUE(registry.add(name, 63, "LATER"));
        EXPECT_EQ(registry.find(name)->image, 63);
        EXPECT_STREQ(registry.find(name)->stored, "LATER");
        for (int i = 0; i < d88::NameRegistry::kCapacity; i += 97) {
            ASSERT_TRUE(d88::suffixedName(prefix, i, name));
            ASSERT_NE(registry.find(name), nullptr) << name;
            std::snprintf(base, sizeof base, "%s%d", prefix, i);
            EXPECT_EQ(registry.find(base), nullptr) << base;
            EXPECT_EQ(registry.nextSuffix(base), i + 1) << base;
        }
        registry.clear(NameRules::Posix, NameEncoding::Bytes);
        EXPECT_EQ(registry.find(name), nullptr);
        EXPECT_EQ(registry.nextSuffix("F5"), 0);
        // Every name is forgotten, also one whose slot came after another's
        // in its probe, once that other slot is taken again.
        constexpr int kHalf = d88::NameRegistry::kCapacity / 2;
        for (int i = 0; i < kHalf; ++i) {
            ASSERT_TRUE(d88::suffixedName(prefix, i, name));
            ASSERT_TRUE(registry.add(name, 1, "AGAIN"));
        }
        for (int i = kHalf; i < d88::NameRegistry::kCapacity; ++i) {
            ASSERT_TRUE(d88::suffixedName(prefix, i, name));
            ASSERT_EQ(registry.find(name), nullptr) << name;
        }
        registry.clear(NameRules::Posix, NameEncoding::Bytes);
    }
    EXPECT_TRUE(registry.add("OTHER", 0, "OTHER"));
    // The suffix comes after trailing blanks, and a name too long is refused.
    ASSERT_TRUE(d88::suffixedName("GAME     ", 12, name));
    EXPECT_STREQ(name, "GAME     ~12");
    EXPECT_FALSE(d88::suffixedName("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567", 12345, name));
    delete &registry;
}

// "-r" goes on from the last number a name went to, never back, and names
// that the host takes for one share it.
TEST(NameRegistry, RemembersTheNextSuffix)
{
    auto& registry = *new d88::NameRegistry();
    for (const NameRules rules : {NameRules::Posix, NameRules::Windows}) {
        registry.clear(rules, NameEncoding::Bytes);
        EXPECT_EQ(registry.nextSuffix("GAME"), 0);
        registry.suffixTaken("GAME", 5);
        registry.suffixTaken("GAME", 3);
        EXPECT_EQ(registry.nextSuffix("GAME"), 6);
        EXPECT_EQ(registry.nextSuffix("game."), rules == NameRules::Windows ? 6 : 0);
        // Going round a name does not take it.
        EXPECT_EQ(registry.find("GAME"), nullptr);
        ASSERT_TRUE(registry.add("GAME", 1, "GAME"));
        EXPECT_EQ(registry.nextSuffix("GAME"), 6);
        ASSERT_NE(registry.find("GAME"), nullptr);
    }
    delete &registry;
}

} // namespace
