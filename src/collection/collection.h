// A run over several D88 files (or one, with "-f"): each into a folder of
// its own, every line about one naming it, one summary at the end, and up
// to "-J" of them extracted at once in worker processes, their output held
// back and shown in command-line order, byte for byte what one at a time
// shows.
#pragma once

#include <optional>

#include "d88_file.h"
#include "listing.h"
#include "reporter.h"

namespace d88 {

class Collection {
public:
    // `argv` holds the D88 paths for the life of the run; the workspace's
    // folders are the run's.
    // `alone`: the command line names one D88 file, which is an archive or
    // the standard input: one D88 file in it is run as a file given alone.
    Collection(Workspace& workspace, const ExtractOptions& options, const char* const* argv,
               const Console& console, bool alone = false);
    Collection(const Collection&) = delete;
    Collection& operator=(const Collection&) = delete;

    // The next D88 file, argv[argument]: run now, or started in a worker.
    void add(int argument);
    // After the last: the files still running, what the selection found, the
    // summary; the exit status.
    int finish();

private:
    // A D88 file between its start and the time its output is shown.
    enum class Stage {
        InParent, // run by this process at its turn (refused, or no worker could start)
        Running,  // in a worker
        Ended,    // its worker is done; its output waits for its turn
    };
    struct Entry {
        D88File file;
        Stage stage;
        int slot;
        bool sent;
    };

    // What a worker is given: which D88 file, and its folder.
    struct Task {
        int argument;
        int folder;
    };
    // A worker's run over the D88 file of `task`, in the worker's own copy
    // of this collection.
    static void runTask(void* collection, const unsigned char (&task)[host::Workers::kTaskBytes],
                        unsigned char (&record)[host::Workers::kRecordBytes]);

    // Makes way for one more file: room in the window and, with workers, a
    // free one.
    void makeRoom();
    // Shows the oldest file's output, or waits for its worker to end.
    void advance();
    void show(Entry& entry);
    // Shows every file added so far.
    void drain();
    // The standard input ("-"), copied, then read as a D88 file or an
    // archive; and the D88 files of an archive in `in` (which stays the
    // caller's), named `name` in messages. Both run here, after everything
    // before them is shown: no worker can reach their copies.
    void addStandardInput(int argument);
    void addArchive(int argument, std::FILE* in, const char* name);
    // One D88 file copied out of an archive or the standard input, run here
    // once examine() found what it is (the reader left open on a D88 file).
    void runHere(const D88File& file, bool several);
    // A D88 file that could not even be copied: one line, a stop of its own.
    template <typename... Values>
    void notRead(const char* name, const ProblemKind<Values...>& kind, Values... values);
    void add(const FileOutcome& outcome);
    // After a stop that every later file would meet too: the files after
    // it are never shown.
    void stopHere();
    [[noreturn]] void endByInterruption();

    Workspace& workspace_;
    const ExtractOptions& options_;
    const char* const* argv_;
    Console console_;
    Listing listing_;
    Reporter report_;
    int jobs_ = 1;
    int window_ = 1;
    std::optional<host::Workers> workers_;
    // Once a worker cannot start, the rest of the run is done one at a time.
    bool oneAtATime_ = false;
    Entry entries_[host::Workers::kSlots];
    long long added_ = 0; // every file added, in order
    long long shown_ = 0; // the files whose output is shown
    int running_ = 0;
    bool stopped_ = false;
    // The totals so far.
    RunTotals totals_{};
    bool anyRead_ = false;
    bool readFileStopped_ = false;
    std::uint32_t patternsMatched_ = 0;
    int images_ = 0;
    bool alone_ = false;
    // The one D88 file was run as one given alone: no summary.
    bool ranAlone_ = false;
};

} // namespace d88
