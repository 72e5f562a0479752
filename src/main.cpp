// d88unpack: copies every file of every disk image in a D88 file to the host.
#include "command.h"

int main(int argc, char** argv)
{
    // Static: the workspace is too large for the stack, and the heap is not
    // used.
    static d88::Workspace workspace;
    return d88::runExtraction(workspace, argc, argv);
}
