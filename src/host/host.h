// The few host calls the command needs beyond stdio: creating and entering a
// directory, coming back to where the run started, writing one output file,
// setting its time, and what the console and the file system expect. One
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

// Creates a directory in the working directory; false when it could not be
// made, an existing one included.
bool makeDirectory(const char* name);

// Makes `name` the working directory.
bool enterDirectory(const char* name);

// Which file a path names, so that the run can tell the D88 file it reads
// from any file it is about to write.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool known = false;
};

// `known` is false when nothing of that name exists (or it cannot be
// looked at).
FileIdentity identify(const char* path);

// Why a host call failed, in the system's own terms: errno on POSIX, the
// thread's last error on Windows. Read it right after the call that failed.
using ErrorCode = int;
ErrorCode lastError();

// One output file, from its creation to its close. Its data is written
// whole, in one call, straight from the caller's buffer: a stream's buffer,
// its allocation and its bookkeeping would cost more per file than the
// copy of the data does.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Opens `name` in the working directory for writing from its start, as
    // fopen(name, "wb") does, unless it names the file `input` stands for
    // under any name (a link, say): false then, and on any failure. A name
    // that is new, as most are, costs one system call and no check.
    bool create(const char* name, const FileIdentity& input);

    // Writes the file's `length` bytes and closes it; false when any of
    // that fails, the close included (some file systems report a full
    // device only there).
    bool writeAndClose(const void* bytes, std::size_t length);

    // Why the last create or writeAndClose failed (see lastError).
    ErrorCode failure() const { return failure_; }

private:
    int handle_ = -1;
    ErrorCode failure_ = 0;
};

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

// Gives the file `name` in the working directory the modification time of
// the local date and time given (year in full, month 1..12). False when the
// time cannot be represented or set.
bool setModificationTime(const char* name, int year, int month, int day, int hour, int minute);

} // namespace host
} // namespace d88
