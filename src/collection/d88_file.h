// One D88 file's run: alone, as the tool always ran, or as one of several,
// in a folder of its own with every problem line naming it. The run of one
// of several may take place in a worker process: what it comes to is then
// sent back as the bytes of a FileOutcome.
#pragma once

#include <cstdint>
#include <type_traits>

#include "extract_options.h"
#include "host.h"
#include "report.h"
#include "reporter.h"
#include "workspace.h"

namespace d88 {

// What the console is, as the command found it once for the whole run.
struct Console {
    ConsoleStyle style;
    bool terminalOut; // the standard output is a terminal: names are shown escaped
    bool terminalErr;
};

// Whether a D88 file can be read as one, found before its run.
enum class Readable { Yes, CannotOpen, NotD88 };

struct D88File {
    int argument; // its place in argv
    const char* path;
    Readable readable;
    host::ErrorCode error; // CannotOpen: why
    std::uint64_t size;    // NotD88: what the reader found
    int images;
    int folder; // with several: the suffix number of its folder (0: its own name)
};

// Opens `path` with the workspace's reader and finds whether it is a D88
// file at all; the reader is left open on it when it is.
//
// A file is not a D88 file when it holds no complete image header, or when
// its first image's header is one no D88 file can have (see
// D88Image::firstHeaderPossible) and that image shows neither a directory
// sector nor the cluster table either. The header alone cannot tell: the
// media type and write-protect bytes of a PNG are zeros, and a D88 file cut
// anywhere past its first header keeps a header that passes.
D88File examine(Workspace& workspace, int argument, const char* path);

// What one D88 file's run came to, for the summary and the exit status.
struct FileOutcome {
    int status;    // the exit status it alone would give
    bool read;     // false: it could not be opened, or is not a D88 file
    bool problems; // a problem (a notice is none) was reported
    bool stopsRun; // a stop that every later D88 file would meet too
    int images;
    std::uint32_t patternsMatched; // "-n" patterns that chose a file of it, a bit each
    long long filesWritten;
    long long bytesWritten;
    int problemCounts[kProblemKinds];
};
static_assert(std::is_trivially_copyable_v<FileOutcome> &&
                  sizeof(FileOutcome) <= host::Workers::kRecordBytes,
              "an outcome crosses from a worker as the bytes of its record");

// Runs over `file`, which examine() found (and left open when it is a D88
// file): lists, writes or checks as the options say. `several`: one of
// several D88 files, which gets a folder, a line of its own in the
// listing and its path before each of its problems; the summary and the
// state of the standard output are then the caller's. The reader is closed
// again before this returns.
FileOutcome runD88File(Workspace& workspace, const ExtractOptions& options, const Console& console,
                       const D88File& file, bool several);

// Names each "-n" pattern that no bit of `matched` says chose a file, and
// each "-i" index at or past `images` (the most images any D88 file read
// holds): said once, after everything was read.
void reportUnfoundSelection(Reporter& report, const ExtractOptions& options, std::uint32_t matched,
                            int images);

} // namespace d88
