// Where a run's files go: a directory tree (the output directory and, unless
// "-d", a numbered subdirectory per image), the standard output ("-p"), or
// nowhere ("-l"). The sink owns every change of the working directory and
// the one output file open at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "disk_layout.h"
#include "host.h"
#include "reporter.h"

namespace d88 {

enum class SinkKind {
    Tree,    // files are written under the output directory
    Stdout,  // the files' bytes, one after another, to the standard output
    Nothing, // nothing is created: the run only lists
};

class OutputSink {
public:
    // `input`: the D88 file, never to be written over; `names`: how the
    // names of output files are read.
    OutputSink(SinkKind kind, bool subdirectories, const host::FileIdentity& input,
               host::NameEncoding names)
        : kind_(kind), subdirectories_(subdirectories), input_(input), names_(names)
    {
    }

    // Whether the run writes files (to the tree or the standard output).
    bool writes() const { return kind_ != SinkKind::Nothing; }
    bool toStdout() const { return kind_ == SinkKind::Stdout; }
    // Whether files are made on the host.
    bool makesFiles() const { return kind_ == SinkKind::Tree; }

    // Enters `outputDirectory` (made if missing, with its parents; null: the
    // working directory is the output directory) and, when there is one, the
    // D88 file's `folder` in it (made if missing, never entered through a
    // link), inside `outerFolder` when that is not null (an archive's, made
    // and entered the same way), and holds on to the way back. False,
    // reported as fatal, when the run cannot start.
    bool open(const char* outputDirectory, const char* outerFolder, const char* folder,
              Reporter& report);
    // Holds on to the output directory, the way back from each image's
    // subdirectory. Without it no subdirectory is entered; that is reported
    // here once, and by each image. False, reported as fatal, when no later
    // step could do better: the descriptors have run out.
    bool holdOutputDirectory(Reporter& report);
    // Back to where the run started; false, reported as fatal, when it cannot.
    bool close(Reporter& report);

    // Makes (or reuses) and enters the image's subdirectory where there is
    // one. False when the image's files cannot be written: the subdirectory
    // cannot be entered, or the way back is not known.
    bool enterImage(const char* subdirectory);
    // Back to the output directory after an image; false when that fails.
    bool leaveImage();

    // Begins the output file `hostName` (see host::OutputFile::create),
    // writes it, gives it its time and puts it in place (finish, finishAs),
    // or gives it up. With SinkKind::Nothing nothing is made, and every call
    // succeeds; the standard output takes the bytes of write alone.
    // `unclaimed`: the run has given no file of this directory the name.
    host::CreateOutcome create(const char* hostName, host::ExistingFile existing, bool unclaimed);
    bool write(const std::uint8_t* bytes, std::size_t length);
    bool setTime(const EntryTime& time);
    host::CreateOutcome finish();
    host::CreateOutcome finishAs(const char* hostName);
    void abandon();

    // What a failed call above was about and why, as the user sees it: `name`
    // (a file of the current image, or null for its subdirectory) with the
    // output directory and subdirectory it lies in.
    SystemReason reason(const char* name);

    // The D88 file's folder in the output directory, or null.
    const char* folder() const { return folder_; }
    // The files written whole (to the tree or the standard output), and
    // their bytes.
    long long filesWritten() const { return filesWritten_; }
    long long bytesWritten() const { return bytesWritten_; }

private:
    // Adds a file written whole to the counts.
    void count(bool written, std::size_t length);

    // Room for the output directory, a subdirectory, a host name, the
    // slashes and the terminator; a longer output directory is cut.
    static constexpr int kShownPathBytes = 4096;

    SinkKind kind_;
    bool subdirectories_;
    host::FileIdentity input_;
    host::NameEncoding names_;
    // With "-o", the directory the run started in; without, the output
    // directory itself, which is where it started.
    host::StartingDirectory home_;
    bool homeUsed_ = false;
    // The output directory, to come back to after each image.
    host::StartingDirectory start_;
    bool entered_ = false;
    // The output directory, and the directory files go into now, were made
    // by this run.
    bool madeOutput_ = false;
    bool madeHere_ = false;
    const char* outputDirectory_ = nullptr;
    const char* folder_ = nullptr;
    const char* subdirectory_ = nullptr; // of the current image, when it has one
    long long filesWritten_ = 0;
    long long bytesWritten_ = 0;
    // The bytes of the file being made, counted once it is in place.
    std::size_t pendingLength_ = 0;
    host::OutputFile file_;
    host::ErrorCode failure_ = 0;
    // The temporary name a failure was about, rather than the file's own.
    const char* failedTemporary_ = nullptr;
    char shownPath_[kShownPathBytes] = {};
};

} // namespace d88
