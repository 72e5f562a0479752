// The system's own file calls that the host-neutral code in host_shared.cpp
// is built on; each host file defines them. Not for use outside src/host.
#pragma once

#include <cstddef>

namespace d88::host::calls {

// Opens `name` for writing from its start; with `mustBeNew` it fails, errno
// EEXIST, when the name exists. A handle, or -1 with errno set.
int openFile(const char* name, bool mustBeNew);
// What the system's write returns: the count written, or -1 with errno set.
long writeSome(int handle, const void* bytes, std::size_t length);
bool closeFile(int handle);

} // namespace d88::host::calls
