// The run itself: images in index order, entries in directory order, each
// chosen file assembled, listed and handed to the output sink.
#pragma once

#include "extract_options.h"
#include "listing.h"
#include "output_sink.h"
#include "reporter.h"
#include "workspace.h"

namespace d88 {

struct Run {
    Workspace& workspace;
    const ExtractOptions& options;
    Listing& listing;
    Reporter& report;
    OutputSink& sink;
    // The "-n" patterns that chose a file, a bit each (see fileChosen).
    std::uint32_t patternsMatched = 0;
};

// Writes (with "-l", lists) every chosen file of image `index`, which is
// current. False when the run must stop.
bool extractImage(Run& run, int index);

} // namespace d88
