// Text for people and programs that read UTF-8: names stored in Shift_JIS
// (code page 932, half-width katakana included) decoded, and bytes that are
// meant to be UTF-8 checked. Bytes that decode to nothing become U+FFFD.
#pragma once

#include <cstdint>

namespace d88 {

// Writes the UTF-8 of Shift_JIS `bytes` to `out`, at most `capacity` bytes
// and never a character cut in two; returns the bytes written.
int shiftJisToUtf8(const std::uint8_t* bytes, int length, char* out, int capacity);

// Copies `bytes` to `out` with every byte that does not begin or continue a
// well-formed UTF-8 sequence replaced by U+FFFD; returns the bytes written.
int cleanUtf8(const std::uint8_t* bytes, int length, char* out, int capacity);

} // namespace d88
