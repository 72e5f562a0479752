// The extraction command: reads the command line, then for every image of
// the D88 file writes every file of its directory to the host, with one
// listing line per file.
#pragma once

#include "extract/disk_layout.h"
#include "extract/host.h"
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

// A host name: a '_' put in front, the stored name's bytes, the terminator.
constexpr int kHostNameBytes = 1 + kNameBytes + 1;

// The host name of a stored file name, so that no file lands outside the
// output directory or on a device. Both rule sets: a '/' becomes '_', and
// "." and ".." become "_" and "__". Windows rules besides: the bytes
// \ : * ? " < > | and those below 0x20 become '_', and a '_' is put in front
// of a device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-COM9,
// LPT0-LPT9, in any case, alone or before a dot, trailing blanks ignored)
// and of a name of nothing but dots and blanks, which Windows would take
// for the directory itself. Every other byte stays as it is.
void hostFileName(const char* stored, char (&host)[kHostNameBytes], host::NameRules rules);

// Runs the whole command line through `image` and returns the exit status.
// The image is closed again before this returns.
int runExtraction(D88Image& image, int argc, const char* const* argv);

} // namespace d88
