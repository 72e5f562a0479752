// Where a file of the run goes: the name it is created under as the run's
// name-clash rule says, or the problem reported when it is not created; and
// its move into place once written.
#pragma once

#include "disk_layout.h"
#include "name_registry.h"
#include "run.h"

namespace d88 {

// Where a file goes: the name it is created under, or why it is not.
struct Placed {
    bool created;
    bool stop;  // the host fails every file now: the run must stop
    int number; // with "-r", the suffix of `name`; 0 for the file's own name
    char name[kTakenNameBytes];
};

// Begins the output file for `entry` under `hostName`, or under another
// name with "-r", as the run's name-clash rule says; what stops it is
// reported.
Placed place(Run& run, int imageIndex, const DirectoryEntry& entry, const char* hostName);

// What putting a written file in place came to.
enum class Settled {
    InPlace,   // under `placed.name`
    NotPlaced, // another process took the name meanwhile: reported, as at creation
    Failed,    // the close or the move failed: the run must stop
};

// Puts the file begun by place and written since under its name. When
// another process gave that name to something meanwhile, the name-clash
// rule decides as it would have at creation: with "-r" the next free name
// (`placed` then names it), otherwise the file is not written.
Settled settle(Run& run, int imageIndex, const DirectoryEntry& entry, const char* hostName,
               Placed& placed);

} // namespace d88
