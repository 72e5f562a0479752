// The directory tree the files are written into, and the way back out of it.
#include "output_sink.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace d88 {

bool OutputSink::open(const char* outputDirectory, const char* outerFolder, const char* folder,
                      Reporter& report)
{
    if (kind_ == SinkKind::Stdout) {
        host::makeBinary(stdout);
    }
    if (kind_ != SinkKind::Tree) {
        return true;
    }
    // With "-o" or a folder, DIR (or the folder) stands in for the starting
    // directory until the end of the run, and the run then goes back to
    // where it really started.
    if (outputDirectory != nullptr || folder != nullptr) {
        if (!home_.remember()) {
            report(SystemReason{".", host::lastError()}, problem::kCannotKeepStartForOutput);
            return false;
        }
        homeUsed_ = true;
    }
    if (outputDirectory != nullptr) {
        // An existing directory is used as it is; missing parents are made.
        // When it could not be made, the reason is the making's: entering
        // then only finds it missing.
        const host::MadeDirectory making = host::makeDirectories(outputDirectory);
        const bool made = making != host::MadeDirectory::Failed;
        const host::ErrorCode makeFailure = made ? 0 : host::lastError();
        madeOutput_ = making == host::MadeDirectory::Made;
        if (!host::enterDirectory(outputDirectory)) {
            report(SystemReason{outputDirectory, made ? host::lastError() : makeFailure},
                   problem::kCannotEnterOutput, Text{outputDirectory});
            return false;
        }
        outputDirectory_ = outputDirectory;
    }
    // An archive's folder, which holds a folder for each of its D88 files.
    if (outerFolder != nullptr) {
        const bool made = host::makeDirectory(outerFolder) != host::MadeDirectory::Failed;
        const host::ErrorCode makeFailure = made ? 0 : host::lastError();
        if (!host::enterSubdirectory(outerFolder)) {
            failure_ = made ? host::lastError() : makeFailure;
            report(reason(nullptr), problem::kCannotEnterFolder, Text{outerFolder});
            return false;
        }
    }
    if (folder != nullptr) {
        // Reused when it is there; as for a subdirectory, when it could not
        // be made the reason is the making's.
        const host::MadeDirectory making = host::makeDirectory(folder);
        const bool made = making != host::MadeDirectory::Failed;
        const host::ErrorCode makeFailure = made ? 0 : host::lastError();
        folder_ = folder;
        if (!host::enterSubdirectory(folder)) {
            failure_ = made ? host::lastError() : makeFailure;
            report(reason(nullptr), problem::kCannotEnterFolder, Text{folder});
            return false;
        }
        madeOutput_ = making == host::MadeDirectory::Made;
    }
    madeHere_ = madeOutput_;
    return true;
}

bool OutputSink::holdOutputDirectory(Reporter& report)
{
    if (kind_ != SinkKind::Tree || !subdirectories_ || start_.remember()) {
        return true;
    }
    const SystemReason reason{outputDirectory_ != nullptr ? outputDirectory_ : ".",
                              host::lastError()};
    // No descriptor left: no subdirectory could be entered, nor any file
    // made, so the run stops here rather than meet that at every image.
    if (host::failsEveryFile(reason.code)) {
        report(reason, problem::kCannotKeepOutput);
        return false;
    }
    report(reason, problem::kCannotKeepStart);
    return true;
}

bool OutputSink::close(Reporter& report)
{
    if (homeUsed_ && !home_.returnTo()) {
        report(SystemReason{".", host::lastError()}, problem::kCannotReturn);
        return false;
    }
    return true;
}

bool OutputSink::enterImage(const char* subdirectory)
{
    entered_ = false;
    subdirectory_ = nullptr;
    failedTemporary_ = nullptr;
    madeHere_ = madeOutput_;
    if (kind_ != SinkKind::Tree || !subdirectories_) {
        return true;
    }
    madeHere_ = false;
    subdirectory_ = subdirectory;
    // Entering is only safe when the way back is known; a directory that
    // would not be entered is not made either.
    if (!start_.remembered()) {
        failure_ = 0;
        return false;
    }
    // An existing directory of that name is reused. When it could not be
    // made, the reason is the making's: entering then only finds it missing.
    const host::MadeDirectory making = host::makeDirectory(subdirectory);
    const bool made = making != host::MadeDirectory::Failed;
    const host::ErrorCode makeFailure = made ? 0 : host::lastError();
    // Never through a link: a planted "000 -> elsewhere" is not entered.
    entered_ = host::enterSubdirectory(subdirectory);
    madeHere_ = entered_ && making == host::MadeDirectory::Made;
    failure_ = entered_ ? 0 : made ? host::lastError() : makeFailure;
    return entered_;
}

bool OutputSink::leaveImage()
{
    const bool back = !entered_ || start_.returnTo();
    failure_ = back ? 0 : host::lastError();
    madeHere_ = madeOutput_;
    failedTemporary_ = nullptr;
    entered_ = false;
    subdirectory_ = nullptr;
    return back;
}

host::CreateOutcome OutputSink::create(const char* hostName, host::ExistingFile existing,
                                       bool unclaimed)
{
    // Listing only, every file is as good as made: the run then lists and
    // reports exactly what it would when writing, clashes of names included.
    // The standard output takes every file.
    failure_ = 0;
    failedTemporary_ = nullptr;
    if (kind_ != SinkKind::Tree) {
        return host::CreateOutcome::Created;
    }
    // A stored name that leads to the D88 file itself would truncate it
    // while it is being read: such a file cannot be created.
    const host::CreateOutcome outcome =
        file_.create(hostName, names_, input_, existing, unclaimed && madeHere_);
    if (outcome != host::CreateOutcome::Created) {
        failure_ = file_.failure();
        failedTemporary_ = file_.failedTemporary();
    }
    return outcome;
}

bool OutputSink::write(const std::uint8_t* bytes, std::size_t length)
{
    failedTemporary_ = nullptr;
    if (kind_ == SinkKind::Nothing) {
        return true;
    }
    if (kind_ == SinkKind::Stdout) {
        // Flushed file by file, so that a failing reader stops the run at
        // the file it failed on.
        errno = 0;
        const bool written =
            std::fwrite(bytes, 1, length, stdout) == length && std::fflush(stdout) == 0;
        failure_ = written ? 0 : host::lastError();
        count(written, length);
        return written;
    }
    const bool written = file_.write(bytes, length);
    failure_ = written ? 0 : file_.failure();
    // Counted once it is in place.
    pendingLength_ = length;
    return written;
}

void OutputSink::count(bool written, std::size_t length)
{
    if (written) {
        ++filesWritten_;
        bytesWritten_ += static_cast<long long>(length);
    }
}

bool OutputSink::setTime(const EntryTime& time)
{
    failedTemporary_ = nullptr;
    // The standard output has no time of its own to give.
    if (kind_ != SinkKind::Tree) {
        return true;
    }
    const bool set = file_.setTime(time.year, time.month, time.day, time.hour, time.minute);
    failure_ = set ? 0 : file_.failure();
    return set;
}

host::CreateOutcome OutputSink::finish()
{
    failedTemporary_ = nullptr;
    if (kind_ != SinkKind::Tree) {
        return host::CreateOutcome::Created;
    }
    const host::CreateOutcome outcome = file_.finish();
    failure_ = outcome == host::CreateOutcome::Created ? 0 : file_.failure();
    count(outcome == host::CreateOutcome::Created, pendingLength_);
    return outcome;
}

host::CreateOutcome OutputSink::finishAs(const char* hostName)
{
    failedTemporary_ = nullptr;
    if (kind_ != SinkKind::Tree) {
        return host::CreateOutcome::Created;
    }
    const host::CreateOutcome outcome = file_.finishAs(hostName);
    failure_ = outcome == host::CreateOutcome::Created ? 0 : file_.failure();
    count(outcome == host::CreateOutcome::Created, pendingLength_);
    return outcome;
}

void OutputSink::abandon()
{
    file_.abandon();
}

SystemReason OutputSink::reason(const char* name)
{
    if (kind_ == SinkKind::Stdout) {
        return SystemReason{"-", failure_};
    }
    const char* parts[] = {outputDirectory_, folder_, subdirectory_,
                           name != nullptr && failedTemporary_ != nullptr ? failedTemporary_
                                                                          : name};
    int length = 0;
    for (const char* part : parts) {
        if (part == nullptr) {
            continue;
        }
        const int room = kShownPathBytes - length;
        const int wrote = std::snprintf(shownPath_ + length, static_cast<std::size_t>(room),
                                        length > 0 ? "/%s" : "%s", part);
        // Cut at the end of the buffer rather than past it.
        length += std::min(std::max(wrote, 0), room - 1);
    }
    return SystemReason{length > 0 ? shownPath_ : ".", failure_};
}

} // namespace d88
