// The few host calls the command needs beyond stdio: creating and entering a
// directory, coming back to where the run started, and the console's
// encoding. Porting to another host means changing host.cpp alone.
#pragma once

#include "extract/console_text.h"

namespace d88::host {

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

FileIdentity identify(const char* path);

// True when `path` names the file `identity` stands for, under any name.
bool isFile(const char* path, const FileIdentity& identity);

// True when a locale name such as "ja_JP.UTF-8" or "C.utf8" asks for UTF-8.
bool localeNamesUtf8(const char* locale);

// The encoding the console expects: UTF-8 when the locale in force (LC_ALL,
// else LC_CTYPE, else LANG) names it, Shift_JIS otherwise.
ConsoleEncoding consoleEncoding();

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
    void (*previous_)(int);
};

// Remembers the working directory so that the run can come back to it
// exactly, even after entering a subdirectory that is a link elsewhere.
class StartingDirectory {
public:
    StartingDirectory() = default;
    ~StartingDirectory();
    StartingDirectory(const StartingDirectory&) = delete;
    StartingDirectory& operator=(const StartingDirectory&) = delete;

    // False when the working directory cannot be held on to.
    bool remember();
    bool remembered() const { return handle_ >= 0; }
    bool returnTo();

private:
    int handle_ = -1;
};

} // namespace d88::host
