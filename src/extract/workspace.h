// The run's workspace: all the large state of a run, in one place that the
// caller owns.
#pragma once

#include "d88_image.h"
#include "disk_layout.h"
#include "folder_names.h"
#include "name_registry.h"

namespace d88 {

// Everything large a run works in: the reader with its piece of the file
// and its track indexes, the directory, cluster table and file of one image
// at a time, and the names the run's files took. About 3.3 MiB, too much for a
// stack and, as nothing is taken from the heap, kept in static storage by
// the caller, which passes it in (the name registry counts on the zeroing
// of static storage).
struct Workspace {
    D88Image image;
    Directory directory;
    ClusterTable table;
    FileBuffer file;
    // Which file took each cluster of the current image, and what the walk
    // of the current file's chain saw.
    ClusterOwners owners;
    ChainTrace trace;
    // The names the run's files took in the directory being written.
    NameRegistry names;
    // The folders the run's D88 files took, when it has several.
    FolderNames folders;
};

} // namespace d88
