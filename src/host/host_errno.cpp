// Failures in errno's terms, for the POSIX host (and the tests' fake host,
// which stands in for it): the code, which codes every later file would meet
// too, and the system's words for a code.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host.h"

namespace d88::host {

ErrorCode lastError()
{
    return errno;
}

bool failsEveryFile(ErrorCode code)
{
    switch (code) {
    case ENOSPC:
    case EROFS:
    case EDQUOT:
    case EMFILE:
    case ENFILE:
        return true;
    default:
        return false;
    }
}

void describeError(ErrorCode code, char (&text)[kErrorTextBytes])
{
    std::snprintf(text, sizeof text, "%s", std::strerror(code));
}

} // namespace d88::host
