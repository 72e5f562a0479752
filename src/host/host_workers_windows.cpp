// Windows runs one D88 file at a time: it has no fork to start a worker as
// a copy of the run, so no worker is ever started.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "host.h"

namespace d88::host {

bool Workers::available()
{
    return false;
}

Workers::Workers(int processes, Job job, void* context)
    : processes_(processes), job_(job), context_(context)
{
}

Workers::~Workers() = default;

bool Workers::launch(int)
{
    return false;
}

void Workers::serve(int)
{
    ::ExitProcess(1);
}

int Workers::end(int, bool& sent)
{
    sent = false;
    return -1;
}

void Workers::release(Slot&) {}

int Workers::captureFile()
{
    return -1;
}

int Workers::start(const unsigned char (&)[kTaskBytes])
{
    ::SetLastError(ERROR_NOT_SUPPORTED);
    return -1;
}

int Workers::wait(bool& sent)
{
    sent = false;
    return -1;
}

bool Workers::replay(int)
{
    return true;
}

void Workers::discard(int) {}

void Workers::stopAll() {}

int Workers::interruption() const
{
    return 0;
}

void Workers::endByInterruption()
{
    ::ExitProcess(1);
}

} // namespace d88::host
