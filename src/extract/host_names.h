// The name a stored file gets on the host: the rules that keep every file
// inside its directory and off the devices, for POSIX and for Windows.
#pragma once

#include "disk_layout.h"
#include "host.h"

namespace d88 {

// A host name: a '_' put in front, the stored name's bytes, the terminator.
constexpr int kHostNameBytes = 1 + kNameBytes + 1;

// The host name of a stored file name, so that no file lands outside the
// output directory or on a device. Both rule sets: a '/' becomes '_', and
// "." and ".." become "_" and "__". Windows rules besides: the bytes
// \ : * ? " < > | and those below 0x20 become '_', and a '_' is put in front
// of a device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-COM9,
// LPT0-LPT9, in any case, alone or before a dot, trailing blanks ignored)
// and of a name of nothing but dots and blanks, which Windows would take
// for the directory itself. Every other byte stays as it is.
void hostFileName(const char* stored, char (&host)[kHostNameBytes], host::NameRules rules);

// The same rules for a name of any length: its first `limit` bytes at most,
// into `host`, which has room for `limit` + 2 bytes.
void hostName(const char* name, int limit, char* host, host::NameRules rules);

} // namespace d88
