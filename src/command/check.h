// The consistency check ("-c") of one image, and the findings about a
// file's chain that extraction reports too. Both take what the one chain
// walker (assembleFile) saw; nothing is written.
#pragma once

#include "run.h"

namespace d88 {

// Checks image `index`, which is current: its size, its directory and
// table, and every chosen file. Each finding is one report.
void checkImage(Run& run, int index);

// What the walk of entry `entryIndex`'s chain saw that put other bytes than
// the file's into it, or bytes read with an error status: reported during
// extraction and by the check alike.
void reportChainFindings(Run& run, int imageIndex, int entryIndex, const DirectoryEntry& entry);

} // namespace d88
