// The run over several D88 files: their folders, the workers, the order
// their output is shown in, and the summary.
#include "collection.h"

#include <cstdio>
#include <cstring>

#include "archive_input.h"
#include "folder_names.h"
#include "host_names.h"

namespace d88 {

namespace {

ListingStyle parentStyle(const ExtractOptions& options)
{
    if (options.json) {
        return ListingStyle::Json;
    }
    return options.toStdout || options.quiet ? ListingStyle::ProblemsOnly : ListingStyle::Text;
}

// The folders taken inside one archive, by the hash of their names as the
// host compares them. A name whose hash was taken gets the next suffix, so
// two entries never share a folder.
constexpr int kMaxEntryFolders = 65536;
struct EntryFolders {
    std::uint32_t hashes[kMaxEntryFolders];
    int count;
};

// The folder of an archive's entry: the last part of its path (whatever
// the path holds, nothing above the archive's folder) less its extension,
// with the first suffix no earlier entry of the archive took.
void entryFolder(const char* path, EntryFolders& folders, char (&name)[kFolderNameBytes])
{
    const char* last = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') {
            last = p + 1;
        }
    }
    const host::NameRules rules = host::nameRules();
    for (int number = 0;; ++number) {
        folderName(last, number, name, rules);
        char key[kFolderNameBytes];
        const std::uint32_t hash =
            hostNameKey(name, rules, host::NameEncoding::Bytes, key, sizeof key) ? hashOfKey(key)
                                                                                 : hashOfKey(name);
        bool taken = false;
        for (int i = 0; i < folders.count && !taken; ++i) {
            taken = folders.hashes[i] == hash;
        }
        // Past the table's room a name is still made, with the suffixes
        // counted on from the last.
        if (!taken || folders.count == kMaxEntryFolders) {
            if (folders.count < kMaxEntryFolders) {
                folders.hashes[folders.count++] = hash;
            }
            return;
        }
    }
}

} // namespace

void Collection::runTask(void* collection, const unsigned char (&bytes)[host::Workers::kTaskBytes],
                         unsigned char (&record)[host::Workers::kRecordBytes])
{
    static_assert(sizeof(Task) <= host::Workers::kTaskBytes);
    Collection& c = *static_cast<Collection*>(collection);
    Task task;
    std::memcpy(&task, bytes, sizeof task);
    // The D88 file is examined again with the worker's own handle (one
    // shared with the parent would share its position).
    D88File file = examine(c.workspace_, task.argument, c.argv_[task.argument]);
    file.folder = task.folder;
    // The worker ends as an interrupted run does, its unfinished file removed.
    const host::InterruptsHandled interruptsHandled;
    const FileOutcome outcome = runD88File(c.workspace_, c.options_, c.console_, file, true);
    std::memcpy(record, &outcome, sizeof outcome);
}

Collection::Collection(Workspace& workspace, const ExtractOptions& options, const char* const* argv,
                       const Console& console, bool alone)
    : workspace_(workspace), options_(options), argv_(argv), console_(console),
      listing_(parentStyle(options), console.style, console.terminalOut, console.terminalErr),
      report_(listing_, console.style), alone_(alone)
{
    workspace_.folders.clear(argv, options.d88Files, host::nameRules());
    totals_.exitStatus = kExitSuccess;
    // The standard output of "-p" is one stream, whose failure must stop the
    // run where it happens: one file at a time.
    jobs_ = options.jobs > 0 ? options.jobs : host::onlineProcessors();
    jobs_ = jobs_ < kMaxJobs ? jobs_ : kMaxJobs;
    if (options.toStdout || !host::Workers::available()) {
        jobs_ = 1;
    }
    if (jobs_ > 1) {
        // Room for files that end before an earlier one, so that one large
        // file does not leave the other workers idle.
        window_ = 2 * jobs_ < host::Workers::kSlots ? 2 * jobs_ : host::Workers::kSlots;
        workers_.emplace(jobs_, runTask, this);
    }
    // Said once for every file; alone, by the file's own run.
    if (!alone) {
        listing_.runStart(options.headerSkip == kFileHeaderBytes);
    }
}

void Collection::add(int argument)
{
    if (std::strcmp(argv_[argument], kStandardInput) == 0) {
        addStandardInput(argument);
        return;
    }
    ++totals_.d88Files;
    if (stopped_) {
        ++totals_.notRead;
        return;
    }
    makeRoom();
    if (stopped_) {
        ++totals_.notRead;
        return;
    }
    // No worker is started once a signal has come.
    if (workers_ && workers_->interruption() != 0) {
        endByInterruption();
    }
    D88File file = examine(workspace_, argument, argv_[argument]);
    if (file.readable == Readable::Archive) {
        // Its D88 files are counted instead.
        --totals_.d88Files;
        std::FILE* in = host::openInput(file.path);
        if (in == nullptr) {
            ++totals_.d88Files;
            notRead(file.path, problem::kCannotOpen);
            return;
        }
        addArchive(argument, in, file.path);
        std::fclose(in);
        return;
    }
    // Only a D88 file that is read takes a folder.
    if (file.readable == Readable::Yes) {
        file.folder = workspace_.folders.take(argument);
    }
    if (jobs_ == 1) {
        add(runD88File(workspace_, options_, console_, file, true));
        return;
    }
    Entry& entry = entries_[added_ % window_];
    ++added_;
    entry = Entry{file, Stage::InParent, -1, false};
    if (file.readable != Readable::Yes) {
        return;
    }
    // The worker opens the file again for itself.
    workspace_.image.close();
    if (!oneAtATime_) {
        unsigned char task[host::Workers::kTaskBytes] = {};
        const Task given{argument, file.folder};
        std::memcpy(task, &given, sizeof given);
        entry.slot = workers_->start(task);
    }
    if (entry.slot < 0) {
        // No process or file left for a worker: what is started finishes,
        // and the rest is done here.
        oneAtATime_ = true;
        return;
    }
    entry.stage = Stage::Running;
    ++running_;
}

void Collection::makeRoom()
{
    if (jobs_ == 1) {
        return;
    }
    while (!stopped_ &&
           (added_ - shown_ >= window_ || running_ >= jobs_ || (oneAtATime_ && added_ > shown_))) {
        advance();
    }
}

void Collection::advance()
{
    // A signal that came while this process was busy ends the run now.
    if (workers_->interruption() != 0) {
        endByInterruption();
    }
    Entry& oldest = entries_[shown_ % window_];
    if (oldest.stage != Stage::Running) {
        show(oldest);
        return;
    }
    bool sent = false;
    const int slot = workers_->wait(sent);
    if (slot < 0) {
        endByInterruption();
    }
    for (long long n = shown_; n < added_; ++n) {
        Entry& entry = entries_[n % window_];
        if (entry.stage == Stage::Running && entry.slot == slot) {
            entry.stage = Stage::Ended;
            entry.sent = sent;
        }
    }
    --running_;
}

void Collection::show(Entry& entry)
{
    ++shown_;
    FileOutcome outcome{};
    switch (entry.stage) {
    case Stage::InParent:
        if (entry.file.readable == Readable::Yes) {
            // Examined again: the handle was given up for the workers. No
            // worker runs now, so an interruption ends the run as it ends
            // one file at a time.
            const int folder = entry.file.folder;
            entry.file = examine(workspace_, entry.file.argument, entry.file.path);
            entry.file.folder = folder;
            const host::InterruptsHandled interruptsHandled;
            outcome = runD88File(workspace_, options_, console_, entry.file, true);
        } else {
            outcome = runD88File(workspace_, options_, console_, entry.file, true);
        }
        break;
    case Stage::Ended:
        if (entry.sent) {
            std::memcpy(&outcome, workers_->record(entry.slot), sizeof outcome);
        }
        if (!workers_->replay(entry.slot)) {
            endByInterruption();
        }
        if (!entry.sent) {
            // Killed, or it failed in a way that left no word: its lines so far
            // are shown, and the file counts as stopped.
            report_.setPrefix(entry.file.path);
            report_(problem::kWorkerLost);
            report_.setPrefix(nullptr);
            outcome.status = kExitFatal;
            outcome.read = true;
            outcome.problems = true;
        }
        break;
    case Stage::Running:
        return;
    }
    add(outcome);
}

void Collection::add(const FileOutcome& outcome)
{
    if (!outcome.read) {
        ++totals_.notRead;
    } else if (outcome.problems) {
        ++totals_.withProblems;
    } else {
        ++totals_.readWhole;
    }
    totals_.filesWritten += outcome.filesWritten;
    totals_.bytesWritten += outcome.bytesWritten;
    for (int id = 0; id < kProblemKinds; ++id) {
        totals_.problems[id] += outcome.problemCounts[id];
    }
    totals_.exitStatus = outcome.status == kExitFatal || totals_.exitStatus == kExitFatal
                             ? kExitFatal
                         : outcome.status == kExitDamaged ? kExitDamaged
                                                          : totals_.exitStatus;
    anyRead_ = anyRead_ || outcome.read;
    readFileStopped_ = readFileStopped_ || (outcome.read && outcome.status == kExitFatal);
    patternsMatched_ |= outcome.patternsMatched;
    images_ = outcome.images > images_ ? outcome.images : images_;
    if (outcome.stopsRun) {
        stopHere();
    }
}

void Collection::stopHere()
{
    stopped_ = true;
    if (!workers_) {
        return;
    }
    // What was started after it is ended, and never shown.
    workers_->stopAll();
    for (; shown_ < added_; ++shown_) {
        Entry& entry = entries_[shown_ % window_];
        if (entry.stage != Stage::InParent) {
            workers_->discard(entry.slot);
        }
        ++totals_.notRead;
    }
    running_ = 0;
}

void Collection::endByInterruption()
{
    workers_->stopAll();
    workers_->endByInterruption();
}

void Collection::drain()
{
    while (workers_ && !stopped_ && shown_ < added_) {
        advance();
    }
}

template <typename... Values>
void Collection::notRead(const char* name, const ProblemKind<Values...>& kind, Values... values)
{
    drain();
    report_.setPrefix(name);
    report_(kind, values...);
    report_.setPrefix(nullptr);
    FileOutcome outcome{};
    outcome.status = kExitFatal;
    outcome.problems = true;
    add(outcome);
}

void Collection::runHere(const D88File& file, bool several)
{
    ++totals_.d88Files;
    if (stopped_) {
        ++totals_.notRead;
        workspace_.image.close();
        return;
    }
    // No worker runs now: an interruption ends the run as it ends one file
    // at a time.
    const host::InterruptsHandled interruptsHandled;
    if (!several) {
        ranAlone_ = true;
    } else if (alone_ && !ranAlone_ && totals_.d88Files == 1) {
        // Alone after all: the notice the collection says for every file.
        listing_.runStart(options_.headerSkip == kFileHeaderBytes);
    }
    add(runD88File(workspace_, options_, console_, file, several));
}

void Collection::addStandardInput(int argument)
{
    drain();
    bool tooLarge = false;
    std::FILE* copy = copyToAnonymousFile(stdin, tooLarge);
    if (copy == nullptr) {
        ++totals_.d88Files;
        if (tooLarge) {
            notRead(kStandardInputName, problem::kInputTooLarge,
                    Count{static_cast<int>(kMaxCopiedBytes >> 20)});
        } else {
            notRead(kStandardInputName, problem::kCannotOpen);
        }
        return;
    }
    // The D88 test first, on a handle of its own that the reader takes.
    D88File file{argument, argv_[argument], Readable::Yes, 0, 0, 0, 0};
    file.source = shareFile(copy);
    file.shown = kStandardInputName;
    if (file.source == nullptr) {
        ++totals_.d88Files;
        notRead(kStandardInputName, problem::kCannotOpen);
        std::fclose(copy);
        return;
    }
    file = examine(workspace_, file);
    if (file.readable != Readable::Yes && isArchive(copy)) {
        addArchive(argument, copy, kStandardInputName);
        std::fclose(copy);
        return;
    }
    std::fclose(copy);
    const bool several = !alone_ || options_.folders;
    // Only a D88 file that is read takes a folder.
    if (several && file.readable == Readable::Yes) {
        file.folder = workspace_.folders.take(argument);
    }
    runHere(file, several);
}

void Collection::addArchive(int argument, std::FILE* in, const char* name)
{
    drain();
    if (!archivesSupported()) {
        ++totals_.d88Files;
        notRead(name, problem::kArchivesUnsupported);
        return;
    }
    ArchiveReader reader;
    if (!reader.open(in, startsLikeD88)) {
        ++totals_.d88Files;
        notRead(name, problem::kArchiveUnreadable, Text{reader.reason()});
        return;
    }
    char archiveFolder[kFolderNameBytes];
    folderName(argv_[argument], workspace_.folders.take(argument), archiveFolder,
               host::nameRules());
    // Each D88 file waits until the next is found: one alone in its archive
    // takes the archive's folder, several take one each inside it.
    ArchiveEntry held{};
    ArchiveEntry next{};
    bool holding = false;
    int entries = 0;
    int skipped = 0;
    EntryFolders folders; // 256 KiB, one archive at a time
    folders.count = 0;
    const auto run = [&](ArchiveEntry& entry, bool several) {
        char shown[kFolderNameBytes + kEntryPathBytes + 2];
        std::snprintf(shown, sizeof shown, "%s:%s", name, entry.path);
        switch (entry.kind) {
        case EntryKind::D88: {
            char own[kFolderNameBytes];
            const bool folder = several || !alone_ || options_.folders;
            D88File file{argument, argv_[argument], Readable::Yes, 0, 0, 0, 0};
            file.source = entry.data;
            entry.data = nullptr;
            file.shown = shown;
            file.archive = name;
            file.entry = entry.path;
            if (several) {
                entryFolder(entry.path, folders, own);
                file.outerFolder = archiveFolder;
                file.ownFolder = own;
            } else {
                file.ownFolder = archiveFolder;
            }
            runHere(examine(workspace_, file), folder);
            return;
        }
        case EntryKind::TooLarge:
            ++totals_.d88Files;
            notRead(shown, problem::kInputTooLarge, Count{static_cast<int>(kMaxCopiedBytes >> 20)});
            return;
        case EntryKind::Unreadable:
            ++totals_.d88Files;
            notRead(shown, problem::kEntryUnreadable, Text{entry.reason});
            return;
        case EntryKind::Skipped:
        case EntryKind::Nested:
            return;
        }
    };
    while (!stopped_ && reader.next(next)) {
        if (next.kind == EntryKind::Skipped) {
            ++skipped;
            continue;
        }
        if (next.kind == EntryKind::Nested) {
            ++skipped;
            char shown[kFolderNameBytes + kEntryPathBytes + 2];
            std::snprintf(shown, sizeof shown, "%s:%s", name, next.path);
            report_(problem::kNestedArchive, Text{shown});
            continue;
        }
        ++entries;
        if (holding) {
            run(held, true);
        }
        held = next;
        holding = true;
    }
    if (holding) {
        run(held, entries > 1);
    }
    if (reader.failed()) {
        ++totals_.d88Files;
        notRead(name, problem::kArchiveUnreadable, Text{reader.reason()});
    }
    reader.close();
    if (skipped > 0) {
        report_(problem::kEntriesSkipped, Text{name}, Count{skipped});
    }
}

int Collection::finish()
{
    while (shown_ < added_) {
        advance();
    }
    if (ranAlone_) {
        // One D88 file, run as one given alone: its own run said everything.
        return totals_.exitStatus;
    }
    // Counted over the whole run; not when a file that was being read
    // stopped, which leaves the rest of it unread.
    if (anyRead_ && !readFileStopped_ && !stopped_) {
        reportUnfoundSelection(report_, options_, patternsMatched_, images_);
    }
    if (!listing_.runEnd()) {
        report_(problem::kConsoleLost);
    }
    for (int id = 0; id < kProblemKinds; ++id) {
        totals_.problems[id] += report_.counts()[id];
    }
    const int own = report_.exitStatus();
    if (own == kExitFatal || (own == kExitDamaged && totals_.exitStatus == kExitSuccess)) {
        totals_.exitStatus = own;
    }
    // An archive or standard input given alone that held no D88 file to
    // run: its own lines said it all, as a file given alone would, and only
    // a JSON reader gets the record that carries them.
    listing_.total(totals_, !alone_ || totals_.d88Files > 1);
    return totals_.exitStatus;
}

} // namespace d88
