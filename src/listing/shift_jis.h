// Text for people and programs that read UTF-8: names stored in Shift_JIS
// (code page 932, half-width katakana included) decoded, and bytes that are
// meant to be UTF-8 checked. Bytes that decode to nothing become U+FFFD.
#pragma once

#include <cstdint>

#include "disk_layout.h"

namespace d88 {

// Code page 932's two-byte characters: a lead byte in one of two ranges,
// then a trail byte. The one definition of both that the program uses.
constexpr std::uint8_t kFirstLeadLow = 0x81;
constexpr std::uint8_t kLastLeadLow = 0x9F;
constexpr std::uint8_t kFirstLeadHigh = 0xE0;
constexpr std::uint8_t kLastLeadHigh = 0xFC;
constexpr std::uint8_t kFirstTrail = 0x40;
constexpr std::uint8_t kLastTrail = 0xFC;

constexpr bool isShiftJisLead(std::uint8_t b)
{
    return (b >= kFirstLeadLow && b <= kLastLeadLow) || (b >= kFirstLeadHigh && b <= kLastLeadHigh);
}

constexpr bool isShiftJisTrail(std::uint8_t b)
{
    return b >= kFirstTrail && b <= kLastTrail && b != 0x7F;
}

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
// alike; a name of blanks alone reads "%20". With `capacity` below
// kReadableBytesPerByte * `length` + 1 the name may be cut, between
// characters. Returns the length written.
int readableName(const char* name, int length, char* out, int capacity);

// Copies `bytes` to `out` with every byte that does not begin or continue a
// well-formed UTF-8 sequence replaced by U+FFFD; returns the bytes written.
int cleanUtf8(const std::uint8_t* bytes, int length, char* out, int capacity);

} // namespace d88
