// The d88unpack command: reads the command line, then for every image of
// the D88 file writes every file of its directory to the host, with one
// listing line per file.
#pragma once

#include "workspace.h"

namespace d88 {

// Runs the whole command line and returns the exit status. The workspace's
// image is closed again before this returns.
int runExtraction(Workspace& workspace, int argc, const char* const* argv);

} // namespace d88
