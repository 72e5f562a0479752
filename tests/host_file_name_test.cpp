// Stored file names as each host's rules write them. The POSIX column is
// what scripts on Linux rely on; the Windows one keeps every file off the
// devices and inside its directory.
#include <gtest/gtest.h>

#include <string>

#include "host_names.h"

namespace {

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
        {"ABCDEFGHIJK", "ABCDEFGHI", "ABCDEFGHI"},
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

} // namespace
