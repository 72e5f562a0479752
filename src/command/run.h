// The run itself: images in index order, entries in directory order, each
// chosen file assembled, listed and handed to the output sink.
#pragma once

#include "command.h"
#include "listing.h"
#include "options.h"
#include "output_sink.h"
#include "report.h"

namespace d88 {

struct Run {
    Workspace& workspace;
    const ExtractOptions& options;
    Listing& listing;
    Reporter& report;
    OutputSink& sink;
};

// The JSON records of the current image (read from its start) and of one
// of its files, assembled in the workspace's file buffer: `storedLength`
// bytes as stored, `hostName` written (null: none) with `bytesWritten`.
// Nothing without "-j".
void describeImage(Run& run, int index, const char* subdirectory);
void describeFile(Run& run, int imageIndex, int entryIndex, const DirectoryEntry& entry,
                  const FileHeader& header, int storedLength, const char* hostName,
                  long bytesWritten);

// Every chosen image of the open D88 file; false when the run had to stop
// (the problem is reported).
bool extractImages(Run& run);

} // namespace d88
