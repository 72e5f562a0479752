// Choosing files by name for "-n": shell-style wildcards on the stored
// name's bytes.
#pragma once

#include <cstddef>

namespace d88 {

// True when all of `name` (its first `length` bytes) matches `pattern`:
//   *      any run of bytes, the empty one too
//   ?      any one byte
//   [...]  one byte of the set: single bytes and ranges such as A-Z; a
//          leading ! or ^ takes every byte not in the set; a ] right after
//          the [ (or after the ! or ^) is a member, as is a - first or last
//   other  that byte itself (case counts; there is no escape character)
// A [ with no closing ] is an ordinary byte. Bytes compare as unsigned
// values, so a range may span Shift_JIS lead bytes. With `utf8` ("-u")
// both are read as UTF-8 and every "byte" above is a character: ? takes
// one, and ranges run over code points ([ア-ン]); a byte that begins no
// character stands for itself. Time grows with the product of the lengths
// at worst, never exponentially.
bool namePatternMatches(const char* pattern, const char* name, std::size_t length,
                        bool utf8 = false);

} // namespace d88
