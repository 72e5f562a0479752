// The system's own file calls that the host-neutral code in host_shared.cpp
// is built on; each host file defines them. Not for use outside src/host.
#pragma once

#include <cstddef>

#include "host.h"

namespace d88::host::calls {

// Each name is read as `encoding` says (see host.h).

// Creates `name` for writing; fails, errno EEXIST, when anything has the
// name, a link or a dangling link included. Nothing existing is ever
// opened. A handle, or -1 with errno set.
int openNewFile(const char* name, NameEncoding encoding);
// What the system's write returns: the count written, or -1 with errno set.
long writeSome(int handle, const void* bytes, std::size_t length);
bool closeFile(int handle);
bool removeFile(const char* name, NameEncoding encoding);
// Puts `from` in the place of `to`, whatever `to` was (a link stays
// untouched as a link's target would).
bool renameFile(const char* from, const char* to, NameEncoding encoding);
// Gives `from` the name `to` only when nothing has that name, atomically:
// fails, errno EEXIST, when anything has it, a dangling link included.
// `from` keeps no name after either way of success.
bool moveToFreeName(const char* from, const char* to, NameEncoding encoding);
// Sets the modification time of the open file `handle` to the local date
// and time given, leaving its other times alone; false when the time
// cannot be represented or set.
bool setFileTime(int handle, int year, int month, int day, int hour, int minute);
int processId();

// What has a name, looked at without following a link; for a regular
// file, also which file it is.
enum class Existing { Nothing, Regular, Link, Other };
Existing lookAt(const char* name, NameEncoding encoding, FileIdentity& identity);

// The output file being made, which an interruption must remove, by the
// temporary name it is made under (never by the name it is to have, which
// another run may have given its own file): marked before its open, settled
// by the open's outcome (which carries out an interruption that came during
// the open), finished once it has its name or is removed.
void markOpening(const char* name, NameEncoding encoding);
void settleOpening(bool created);
void markFinished();

// What the handlers of InterruptsHandled do first, async-signal-safe: remove
// the unfinished file. False when a file is being opened: the interruption
// is then left to settleOpening, and the process must go on until then.
bool takeInterruption(int signal);
// Ends the process as `signal` would have; never returns on a real host.
void endBySignal(int signal);

} // namespace d88::host::calls
