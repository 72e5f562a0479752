// Text for people and programs that read UTF-8: names stored in Shift_JIS
// (code page 932, half-width katakana included) decoded, and bytes that are
// meant to be UTF-8 checked. Bytes that decode to nothing become U+FFFD.
#pragma once

#include <cstdint>

#include "disk_layout.h"

namespace d88 {

// Writes the UTF-8 of Shift_JIS `bytes` to `out`, at most `capacity` bytes
// and never a character cut in two; returns the bytes written.
int shiftJisToUtf8(const std::uint8_t* bytes, int length, char* out, int capacity);

// Room for a name as it reads (readableName): three bytes for each stored
// byte at most, as "%8F" or a half-width katakana in UTF-8 takes.
constexpr int kReadableBytesPerByte = 3;
// A stored file name as it reads, terminated.
constexpr int kReadableNameBytes = kReadableBytesPerByte * kNameBytes + 1;

// Writes the stored name `name` (up to its NUL, at most `length` bytes) as
// it reads on the disk, in UTF-8, terminated: decoded from Shift_JIS, its
// trailing blanks dropped. A byte that decodes to no character or to a
// control (below 0x20, 0x7F) becomes "%" and its value in two hexadecimal
// digits ("%8F"), and a '%' of the name "%25", so that no two names read
// alike; a name of blanks alone reads "%20". `capacity` must be at least
// kReadableBytesPerByte * `length` + 1. Returns the length written.
int readableName(const char* name, int length, char* out, int capacity);

// Copies `bytes` to `out` with every byte that does not begin or continue a
// well-formed UTF-8 sequence replaced by U+FFFD; returns the bytes written.
int cleanUtf8(const std::uint8_t* bytes, int length, char* out, int capacity);

} // namespace d88
