// Where a file of the run goes: the name it is created under as the run's
// name-clash rule says, or the problem reported when it is not created.
#pragma once

#include "disk_layout.h"
#include "name_registry.h"
#include "run.h"

namespace d88 {

// Where a file goes: the name it is created under, or why it is not.
struct Placed {
    bool created;
    bool stop; // the host fails every file now: the run must stop
    char name[kTakenNameBytes];
};

// Creates the output file for `entry` under `hostName`, or under another
// name with "-r", as the run's name-clash rule says; what stops it is
// reported.
Placed place(Run& run, int imageIndex, const DirectoryEntry& entry, const char* hostName);

} // namespace d88
