// The run over several D88 files: their folders, the workers, the order
// their output is shown in, and the summary.
#include "collection.h"

#include <cstring>

namespace d88 {

namespace {

ListingStyle parentStyle(const ExtractOptions& options)
{
    if (options.json) {
        return ListingStyle::Json;
    }
    return options.toStdout || options.quiet ? ListingStyle::ProblemsOnly : ListingStyle::Text;
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
                       const Console& console)
    : workspace_(workspace), options_(options), argv_(argv), console_(console),
      listing_(parentStyle(options), console.style, console.terminalOut, console.terminalErr),
      report_(listing_, console.style)
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
    // Said once for every file.
    listing_.runStart(options.headerSkip == kFileHeaderBytes);
}

void Collection::add(int argument)
{
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

int Collection::finish()
{
    while (shown_ < added_) {
        advance();
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
    listing_.total(totals_);
    return totals_.exitStatus;
}

} // namespace d88
