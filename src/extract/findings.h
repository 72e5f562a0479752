// What an image and its files show: the findings that extraction and the
// check both report, and the JSON records both write.
#pragma once

#include "run.h"

namespace d88 {

// The JSON records of the current image (read from its start) and of one
// of its files, assembled in the workspace's file buffer: `storedLength`
// bytes as stored, `hostName` written (null: none) with `bytesWritten`.
// Nothing without "-j".
void describeImage(Run& run, int index, const char* subdirectory);
void describeFile(Run& run, int imageIndex, int entryIndex, const DirectoryEntry& entry,
                  const FileHeader& header, int storedLength, const char* hostName,
                  long bytesWritten);

// An image whose size field and the file disagree.
void reportImageExtent(Run& run, int index);

// What the walk of the current file's chain saw beyond lost sectors and a
// cut: sector statuses, run-on sectors, a chain through the directory, and a
// cluster an earlier file took.
void reportChainFindings(Run& run, int imageIndex, int entryIndex, const DirectoryEntry& entry);

// Every chosen image of the open D88 file in index order, made current and
// handed to `each`, then what the file holds past the images read. False
// when `each` stopped the run (the problem is reported).
bool walkImages(Run& run, bool (*each)(Run& run, int index));

} // namespace d88
