// What an image and its files show: the findings that extraction and the
// check both report, and the JSON records both write.
#pragma once

#include "run.h"

namespace d88 {

// The JSON record of the current image, read from its start. Nothing
// without "-j".
void describeImage(Run& run, int index, const char* subdirectory);
// The JSON record of a file: `hostName` written (null: none) with
// `bytesWritten`. Nothing without "-j".
void describeFile(Run& run, int imageIndex, const FileRecord& record, const char* hostName,
                  long bytesWritten);

// An image whose size field and the file disagree: cut short by the end of
// the file, or too small for its own header with bytes after it.
void reportImageExtent(Run& run, int index);

// What of an image's layout can be used.
struct LayoutState {
    bool noLayout;  // neither directory nor table: no disk of this layout
    bool tableLost; // the table is not whole, the directory is there
};

// The damage reading the directory and table met: no layout at all, lost
// directory sectors, and sectors read with an error status.
LayoutState reportLayoutFindings(Run& run, int index, const LayoutRead& layout);

// The damage one file's walk met: lost sectors, a cut chain, fewer bytes
// than its header says, and the chain findings below. `thorough` (the
// check) adds what only a check looks for: a chain that loops (besides
// being cut), leaves the disk, or runs longer than its header needs.
void reportFileFindings(Run& run, int imageIndex, const FileRecord& record, bool thorough);

// What the walk of the file's chain put into it that is not the file's, or
// read with an error status: statuses, run-on sectors, a chain through the
// directory, and a cluster an earlier file took.
void reportChainFindings(Run& run, int imageIndex, const FileRecord& record);

// Every chosen image of the open D88 file in index order, made current and
// handed to `each`, then what the file holds past the images read. False
// when `each` stopped the run (the problem is reported).
bool walkImages(Run& run, bool (*each)(Run& run, int index));

} // namespace d88
