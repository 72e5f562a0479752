// The extraction command: reads the command line, then for every image of
// the D88 file writes every file of its directory to the host, with one
// listing line per file.
#pragma once

#include "extract/disk_layout.h"
#include "image/d88_image.h"

namespace d88 {

// Exit statuses of a run.
constexpr int kExitSuccess = 0; // every file of every image written whole
constexpr int kExitFatal = 1;   // usage, open failure or failed write: stopped at once
constexpr int kExitDamaged = 2; // ran to the end, but something was damaged or left out

struct ExtractOptions {
    int headerSkip = 0;             // "-b": 6, the header is not written
    bool makeSubdirectories = true; // "-d": false, every file in the working directory
};

// Reads the options that follow the D88 path (argv[2] on). Anything that is
// not exactly "-b" or "-d" is ignored.
ExtractOptions parseOptions(int argc, const char* const* argv);

// The host name of a stored file name: a '/' becomes '_', and "." and ".."
// become "_" and "__", so that no file lands outside the output directory.
// Every other byte stays as it is.
void hostFileName(const char* stored, char (&host)[kNameBytes + 1]);

// Runs the whole command line through `image` and returns the exit status.
// The image is closed again before this returns.
int runExtraction(D88Image& image, int argc, const char* const* argv);

} // namespace d88
