// The name a stored file gets on the host: the rules that keep every file
// inside its directory and off the devices, for POSIX and for Windows.
#pragma once

#include "disk_layout.h"
#include "host.h"
#include "shift_jis.h"

namespace d88 {

// A host name: a '_' put in front, the name (stored, or as it reads with
// "-u"), the terminator.
constexpr int kHostNameBytes = 1 + kReadableNameBytes;

// The host name of a file name (stored, or as it reads), so that no file
// lands outside the output directory or on a device. Both rule sets: a '/' becomes '_', and
// "." and ".." become "_" and "__". Windows rules besides: the bytes
// \ : * ? " < > | and those below 0x20 become '_', and a '_' is put in front
// of a device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-COM9,
// LPT0-LPT9, in any case, alone or before a dot, trailing blanks ignored)
// and of a name of nothing but dots and blanks, which Windows would take
// for the directory itself. Every other byte stays as it is. Names read as
// UTF-8 take the same rules: every byte they look at is ASCII. At most
// kHostNameBytes - 2 bytes of `name` are taken.
void hostFileName(const char* name, char (&host)[kHostNameBytes], host::NameRules rules);

// The name a stored file is written under: its stored name, or with
// `readable` ("-u") the name as it reads (readableName), under the host's
// rules above.
void outputName(const char* stored, bool readable, host::NameRules rules,
                char (&host)[kHostNameBytes]);

} // namespace d88
