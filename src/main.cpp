// d88unpack: copies every file of every disk image in a D88 file to the host.
#include "command.h"
#include "host.h"

namespace {

// In static storage: the workspace is too large for the stack, and the heap
// is not used. At namespace scope rather than in main, so that no guard for
// a local static pulls in the C++ runtime library.
d88::Workspace workspace;

} // namespace

int main(int argc, char** argv)
{
    // Before anything is opened: no output file may take the number of a
    // closed standard stream, and receive the listing.
    d88::host::openMissingStandardStreams();
    return d88::runExtraction(workspace, argc, argv);
}
