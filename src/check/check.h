// The consistency check ("-c") of one image. It takes what the one chain
// walker (assembleFile) saw, reports through the findings extraction uses,
// and writes nothing.
#pragma once

#include "run.h"

namespace d88 {

// Checks image `index`, which is current: its size, its directory and
// table, and every chosen file. Each finding is one report. Never stops the
// run: true.
bool checkImage(Run& run, int index);

} // namespace d88
