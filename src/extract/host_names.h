// The name a stored file gets on the host: the rules that keep every file
// inside its directory and off the devices, for POSIX and for Windows.
#pragma once

#include <cstdint>

#include "disk_layout.h"
#include "host.h"
#include "shift_jis.h"

namespace d88 {

// A host name: a '_' put in front, the name (stored, or as it reads with
// "-u"), the terminator.
constexpr int kHostNameBytes = 1 + kReadableNameBytes;

// Room for a name a file is written under: a host name with a "~N" suffix
// (N below kMaxImages * kEntryCount), its terminator, and to spare.
constexpr int kTakenNameBytes = 40;
static_assert(kHostNameBytes + 6 <= kTakenNameBytes && kTakenNameBytes <= host::kOutputNameBytes);

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

// The same rules for a name of any length: its first `limit` bytes at most,
// into `host`, which has room for `limit` + 2 bytes.
void hostName(const char* name, int limit, char* host, host::NameRules rules);

// The name a stored file is written under: its stored name, or with
// `readable` ("-u") the name as it reads (readableName), under the host's
// rules above.
void outputName(const char* stored, bool readable, host::NameRules rules,
                char (&host)[kHostNameBytes]);

// `name`, a name a file is written under, as the host tells names apart:
// two names are one file there exactly when their keys are equal. POSIX:
// the name as it is. Windows: its trailing dots and blanks dropped and its
// letters upper case, the full-width Latin, Greek and Cyrillic letters of
// Shift_JIS included; the second byte of a Shift_JIS character is never
// taken for a letter of its own. A name read as UTF-8 (NameEncoding::Utf8,
// "-u") has its letters upper-cased as characters. False when the name
// does not fit `key`.
bool hostNameKey(const char* name, host::NameRules rules, host::NameEncoding encoding, char* key,
                 std::size_t room);
inline bool hostNameKey(const char* name, host::NameRules rules, host::NameEncoding encoding,
                        char (&key)[kTakenNameBytes])
{
    return hostNameKey(name, rules, encoding, key, sizeof key);
}

// The same rules for a name of any length: its first `limit` bytes at most,
// into `host`, which has room for `limit` + 2 bytes.
void hostName(const char* name, int limit, char* host, host::NameRules rules);

// A hash of a key (FNV-1a over its bytes), for the tables that look keys up.
std::uint32_t hashOfKey(const char* key);

} // namespace d88
