// The few host calls the command needs beyond stdio: creating and entering a
// directory, coming back to where the run started, writing one output file
// and giving it its time, and what the console and the file system expect. One
// implementation per host (host_posix.cpp, host_windows.cpp), chosen by the
// build; nothing here depends on which.
#pragma once

#include <cstddef>
#include <cstdio>

namespace d88 {

// How console text is written.
enum class ConsoleEncoding { ShiftJis, Utf8 };

// The language of the messages.
enum class Language { Japanese, English };

namespace host {

// Names are bytes and passed on as they are; Windows reads them in its ANSI
// code page (Shift_JIS on a Japanese system).

// How the bytes of an output file's name are read: as bytes, above, or as
// UTF-8 text ("-u"), which Windows gets through its wide-character calls,
// the same on every code page. POSIX passes either on as it is.
enum class NameEncoding { Bytes, Utf8 };

// What making a directory came to. With Failed, lastError says why; with
// Existing, something already had the name (not necessarily a directory).
enum class MadeDirectory { Made, Existing, Failed };

// Creates a directory in the working directory.
MadeDirectory makeDirectory(const char* name);

// Makes `path` and whichever of its parents are missing, as mkdir -p does,
// and says what making `path` itself came to. Only the outcome for `path`
// matters: a parent that cannot be made shows when `path` is entered.
MadeDirectory makeDirectories(const char* path);

// Makes `name` the working directory.
bool enterDirectory(const char* name);

// Makes `name` the working directory only when it is a real directory: a
// link to one, or anything else, is not entered. The directory is opened
// once, without following links, and entered by that handle, so one
// swapped for a link after the check is not followed either.
bool enterSubdirectory(const char* name);

// Opens the D88 file for binary reading, without ever blocking: a FIFO,
// a device or anything else that is not a regular file is refused (null).
std::FILE* openInput(const char* path);

// Opens any of the standard descriptors 0 to 2 that is closed onto the null
// device, so that no output file can take its number and receive the
// listing. Call first thing in a process.
void openMissingStandardStreams();
// Which file a path names, so that the run can tell the D88 file it reads
// from any file it is about to write.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool known = false;
};

// `known` is false when nothing of that name exists (or it cannot be
// looked at).
FileIdentity identify(const char* path, NameEncoding encoding = NameEncoding::Bytes);

// Writes the command-line argument `argument` into `out` (`capacity` bytes,
// terminator included) in UTF-8, for what is matched against names read as
// UTF-8. False when it is to be used as it is: POSIX passes arguments on in
// the user's own encoding; or when it does not fit. Windows gives them in
// its ANSI code page, which is converted.
bool argumentAsUtf8(const char* argument, char* out, int capacity);

// What a path names, through links. Anything but Regular leaves lastError()
// saying why it cannot be read as a file: the system's reason when nothing
// can be found, else a code for a directory, or for a pipe or device.
enum class PathKind { Regular, Missing, Directory, Other };
PathKind pathKind(const char* path);

// Why a host call failed, in the system's own terms: errno on POSIX, the
// thread's last error on Windows. Read it right after the call that failed.
using ErrorCode = int;
ErrorCode lastError();
// The longest output name a file can be created under, terminator included:
// a name read as UTF-8 takes up to three bytes for each stored one.
constexpr int kOutputNameBytes = 40;

// What is done about an existing file at an output name.
enum class ExistingFile {
    Replace, // a new file takes its name once complete; the old one is never written into
    Keep,    // it stays, and the new file is not made
};

// Why an output file was not made, or not put in place.
enum class CreateOutcome {
    Created,
    Exists,     // with ExistingFile::Keep, something has the name already
    NotRegular, // a FIFO, socket, device or directory has the name: left alone
    IsInput,    // the name leads to the D88 file being read
    Failed,     // the system refused; its reason is in failure()
};

// One output file, from its creation to its place under its name. Its data
// is written whole, in one call, straight from the caller's buffer: a
// stream's buffer, its allocation and its bookkeeping would cost more per
// file than the copy of the data does.
//
// Nothing is ever written through what already has the name, and nothing
// that this run did not make is ever removed. Every file is made under a
// temporary name of this run's own, created exclusively in the same
// directory, and given its name only once complete: by a move that never
// replaces anything for a name that was free, by a rename over the old file
// for one that is replaced. A file left unfinished, by a failed write or
// close or by an interruption (see InterruptsHandled), is only ever removed
// by its temporary name, so a file another run put at the name meanwhile
// stays.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Begins the file `name` in the working directory, unless what has the
    // name rules it out: the file `input` stands for under any name, a file
    // that is not regular, or with ExistingFile::Keep anything at all.
    // `unclaimed`: the directory is one this run made and the run has given
    // no file the name, so nothing has it unless another process is writing
    // there too; the name is then not looked at first, and what the move
    // into place meets is judged then as it would have been now.
    CreateOutcome create(const char* name, NameEncoding encoding, const FileIdentity& input,
                         ExistingFile existing, bool unclaimed = false);

    // Writes the file's `length` bytes; false when that fails. The file is
    // then gone, and an earlier file of its name untouched.
    bool write(const void* bytes, std::size_t length);

    // Gives the file the modification time of the local date and time
    // given (year in full, month 1..12), on the open file itself. False
    // when the time cannot be represented or set; the file is still whole.
    bool setTime(int year, int month, int day, int hour, int minute);

    // Closes the file and puts it in place under its name. Created when it
    // is there; Failed when the close or the move failed (some file systems
    // report a full device only at the close), and the file is then gone.
    // Exists, NotRegular or IsInput when another process gave the name to
    // something create would have refused meanwhile: the file is then
    // kept under its temporary name for finishAs, or given up by abandon.
    CreateOutcome finish();

    // After finish said the name was taken: puts the file in place under
    // `name` instead, on the terms of ExistingFile::Keep.
    CreateOutcome finishAs(const char* name);

    // Gives up the file being made: closes it and removes its temporary
    // name.
    void abandon();

    // Why the last call failed (see lastError), and the name of what it
    // failed on when that is the temporary file rather than the file's own
    // name (null then).
    ErrorCode failure() const { return failure_; }
    const char* failedTemporary() const { return failedTemporary_ ? temporary_ : nullptr; }

private:
    // Opens a temporary name of this run's own, exclusively; false when
    // none can be made.
    bool openTemporary();
    // The move into place of a closed file, and what stops it.
    CreateOutcome moveIntoPlace(bool replace);
    // Fails the file: notes why, and removes its temporary name.
    CreateOutcome fail();

    int handle_ = -1;
    bool made_ = false;      // the temporary name holds a file of this run
    bool replacing_ = false; // create found a file to replace
    ExistingFile existing_ = ExistingFile::Replace;
    FileIdentity input_{};
    ErrorCode failure_ = 0;
    bool failedTemporary_ = false;
    NameEncoding encoding_ = NameEncoding::Bytes;
    // The number of the last temporary name that could be made, tried first,
    // and the one temporary_ holds (-1: none yet).
    int temporaryNumber_ = 0;
    int namedNumber_ = -1;
    char name_[kOutputNameBytes] = {};
    char temporary_[kOutputNameBytes] = {};
};

// Every temporary output name starts with this; no stored name can, as a
// stored name has at most 9 bytes.
inline constexpr char kTemporaryPrefix[] = ".d88unpack-tmp-";

// While one exists, SIGINT, SIGTERM and SIGHUP (CTRL_C and CTRL_BREAK on
// Windows) first remove the output file being made, if any, by its temporary
// name, and then end the process as they would have; SIGXFSZ is ignored, so a write over the
// file size limit fails like any other. The previous handling comes back
// after. A signal already ignored when the run starts (nohup) stays ignored.
class InterruptsHandled {
public:
    InterruptsHandled();
    ~InterruptsHandled();
    InterruptsHandled(const InterruptsHandled&) = delete;
    InterruptsHandled& operator=(const InterruptsHandled&) = delete;

private:
    static constexpr int kHandled = 4;
    // The handling each signal had before, on a host that has signals;
    // SIG_ERR for one the run left alone.
    struct Previous {
        void (*handlers[kHandled])(int) = {};
    };
    Previous previous_;
};

// True when a failure to create or write a file would meet every later
// file too, whatever its name: no space, a read-only file system, no quota,
// no descriptor left.
bool failsEveryFile(ErrorCode code);

// True when a locale name such as "ja_JP.UTF-8" or "C.utf8" asks for UTF-8.
bool localeNamesUtf8(const char* locale);

// The language a locale name (or a LANGUAGE list, "en:ja") asks for:
// Japanese for "ja..." and for the C and POSIX locales, which are the
// tool's own defaults; English for any other.
Language languageOfLocale(const char* locale);

// The language of the messages. POSIX: the first of LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG that is set and not empty, as gettext programs
// choose; Japanese when none is. Windows: the user's interface language.
Language messageLanguage();

// Room for the system's description of an error.
constexpr int kErrorTextBytes = 256;

// The system's description of `code`, on one line.
void describeError(ErrorCode code, char (&text)[kErrorTextBytes]);

// The console's encoding. POSIX: UTF-8 when the locale in force (LC_ALL,
// else LC_CTYPE, else LANG) names it. Windows: UTF-8 when the console's
// output code page is 65001 (chcp 65001). Shift_JIS otherwise.
ConsoleEncoding consoleEncoding();

// The names a host's file system cannot take as they stand: on POSIX only
// '/' and the names "." and "..", on Windows also its reserved characters
// and device names.
enum class NameRules { Posix, Windows };
NameRules nameRules();

// Makes `stream` pass bytes through unchanged (Windows would otherwise turn
// each line feed into CR LF); nothing to do on POSIX.
void makeBinary(std::FILE* stream);

// True when `stream` goes to a terminal.
bool isTerminal(std::FILE* stream);

// While one exists, writing to a standard stream whose reader has gone (a
// pager quit early) fails like any write instead of ending the process, so
// the run still writes every file. The previous handling comes back after.
class BrokenPipesIgnored {
public:
    BrokenPipesIgnored();
    ~BrokenPipesIgnored();
    BrokenPipesIgnored(const BrokenPipesIgnored&) = delete;
    BrokenPipesIgnored& operator=(const BrokenPipesIgnored&) = delete;

private:
    void (*previous_)(int) = nullptr;
};

// Room for the starting directory's full path where a host keeps it by
// path: MAX_PATH characters, each up to two bytes in a double-byte code page
// such as Shift_JIS.
constexpr int kStartingPathBytes = 1024;

// Remembers the working directory so that the run can come back to it
// exactly, even after entering a subdirectory that is a link elsewhere. A
// host that can enter a directory by handle (POSIX) holds it open; one that
// cannot (Windows) holds its full path.
class StartingDirectory {
public:
    StartingDirectory() = default;
    ~StartingDirectory();
    StartingDirectory(const StartingDirectory&) = delete;
    StartingDirectory& operator=(const StartingDirectory&) = delete;

    // False when the working directory cannot be held on to.
    bool remember();
    bool remembered() const;
    bool returnTo();

private:
    // A host uses the one it needs.
    struct Held {
        int handle = -1;
        char path[kStartingPathBytes] = {}; // empty until remembered
    };
    Held held_;
};

// How many processors are online; at least 1.
int onlineProcessors();

// Tasks run in worker processes, children of this one, each started as a
// copy of this process and kept for task after task, so that what it has
// set up (its pages, its workspace) serves them all. A task's standard
// output and error are held in anonymous temporary files (gone with their
// last handle, however the process ends) until the parent copies them out,
// in whatever order it chooses. While a Workers exists, SIGINT, SIGTERM and
// SIGHUP are passed on to every worker, which removes its unfinished file
// and ends; the parent then learns of the signal from wait(). A host that
// cannot run children (Windows) starts none.
class Workers {
public:
    // Worker processes at most.
    static constexpr int kProcesses = 64;
    // Tasks started and not yet let go, running or ended.
    static constexpr int kSlots = 128;
    // What a task is given, and what it sends back.
    static constexpr int kTaskBytes = 16;
    static constexpr int kRecordBytes = 512;

    using Job = void (*)(void* context, const unsigned char (&task)[kTaskBytes],
                         unsigned char (&record)[kRecordBytes]);

    // Up to `processes` workers, each started when a task first needs it,
    // which run `job` with `context` (as it is in the worker: a copy of this
    // process's memory when the worker started) on each task.
    Workers(int processes, Job job, void* context);
    ~Workers();
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    // False on a host without child processes; then nothing else works.
    static bool available();

    // Hands `task` to an idle worker, its standard streams sent to new
    // temporary files. The slot, or -1 (lastError() says why) when no
    // worker or file could be had; the caller leaves a worker idle.
    int start(const unsigned char (&task)[kTaskBytes]);

    // Waits until a started task ends: its slot, with `sent` false when its
    // worker ended without sending its record (killed). -1 when a signal
    // came.
    int wait(bool& sent);
    // The record of an ended task.
    const unsigned char* record(int slot) const { return slots_[slot].record; }

    // Copies an ended task's standard output and error to this process's,
    // then lets its slot go. False when a signal came meanwhile.
    bool replay(int slot);
    // Lets an ended task's slot go, its output unseen.
    void discard(int slot);
    // Ends every worker as an interruption would, and waits for each; the
    // tasks still running end unsent.
    void stopAll();

    // The signal that came, or 0.
    int interruption() const;
    // Ends the process as that signal would have, once stopAll() is done.
    [[noreturn]] void endByInterruption();

private:
    struct Process {
        int pid = 0;     // 0: not running
        int socket = -1; // tasks go out and records come back through it
        int slot = -1;   // the task it runs, or -1 when idle
    };
    struct Slot {
        bool used = false;
        bool ended = false;
        int out = -1;
        int err = -1;
        unsigned char record[kRecordBytes];
    };
    // Starts worker `index`; false when it cannot.
    bool launch(int index);
    // A capture file: one let go before, emptied, or a new one.
    int captureFile();
    // What a worker does, until its socket closes.
    [[noreturn]] void serve(int socket);
    // Marks the task of worker `index` ended, with its record if one came,
    // and lets a worker that is gone go.
    int end(int index, bool& sent);
    void release(Slot& slot);

    int processes_;
    Job job_;
    void* context_;
    Process workers_[kProcesses];
    Slot slots_[kSlots];
    // Capture files let go, kept for the next tasks: making a file costs
    // more than emptying one.
    int spare_[2 * kSlots] = {};
    int spareCount_ = 0;
    // The handling SIGINT, SIGTERM and SIGHUP had before, for the workers
    // and for the end.
    static constexpr int kForwarded = 3;
    void (*previous_[kForwarded])(int) = {};
    // A signal's way into wait(): its handler writes a byte here.
    int wake_[2] = {-1, -1};
};

} // namespace host
} // namespace d88
