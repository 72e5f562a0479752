// d88unpack: copies every file of every disk image in a D88 file to the host.
#include "command.h"

namespace {

// In static storage: the workspace is too large for the stack, and the heap
// is not used. At namespace scope rather than in main, so that no guard for
// a local static pulls in the C++ runtime library.
d88::Workspace workspace;

} // namespace

int main(int argc, char** argv)
{
    return d88::runExtraction(workspace, argc, argv);
}
