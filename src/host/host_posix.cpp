// The host calls on POSIX systems (Linux and the like).
#include <fcntl.h>
#include <stdio.h> // renameat2
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <initializer_list>

#include "host.h"
#include "host_calls.h"

namespace d88::host {

namespace calls {

// What fopen(name, "wb") gives a new file: everything the umask allows
// but execution.
constexpr mode_t kFileMode = 0666;

int openNewFile(const char* name, NameEncoding)
{
    // O_EXCL alone already refuses a link; O_NOFOLLOW says so twice.
    return ::open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, kFileMode);
}

long writeSome(int handle, const void* bytes, std::size_t length)
{
    return static_cast<long>(::write(handle, bytes, length));
}

bool closeFile(int handle)
{
    return ::close(handle) == 0;
}

bool removeFile(const char* name, NameEncoding)
{
    return ::unlink(name) == 0;
}

bool renameFile(const char* from, const char* to, NameEncoding)
{
    return ::rename(from, to) == 0;
}

bool moveToFreeName(const char* from, const char* to, NameEncoding)
{
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
        return true;
    }
    // A file system (or kernel) without the flag: a hard link never replaces
    // anything either, and the temporary name then goes.
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        return false;
    }
    if (::link(from, to) == 0) {
        ::unlink(from);
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) {
        return false;
    }
    // Neither, as on some FUSE file systems: a look, then a rename. Only
    // here is there a moment in which a file another run put at the name
    // could be replaced; this run still never removes it.
    struct stat st;
    if (::lstat(to, &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from, to) == 0;
}

bool setFileTime(int handle, int year, int month, int day, int hour, int minute)
{
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_isdst = -1; // whether summer time applies is the zone's to say
    const std::time_t when = std::mktime(&local);
    // No date this program asks for lies before 1980, so -1 is the failure.
    if (when == static_cast<std::time_t>(-1)) {
        return false;
    }
    // The access time is left as it is.
    const struct timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
    return ::futimens(handle, times) == 0;
}

int processId()
{
    return static_cast<int>(::getpid());
}

Existing lookAt(const char* name, NameEncoding, FileIdentity& identity)
{
    struct stat st;
    if (::lstat(name, &st) != 0) {
        return Existing::Nothing;
    }
    identity = {static_cast<unsigned long long>(st.st_dev),
                static_cast<unsigned long long>(st.st_ino), true};
    return S_ISREG(st.st_mode)   ? Existing::Regular
           : S_ISLNK(st.st_mode) ? Existing::Link
                                 : Existing::Other;
}

void endBySignal(int signal)
{
    // Blocked while its handler runs, it ends the process as the handler
    // returns.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace calls

// Everything the umask allows, as for any directory a user makes.
constexpr mode_t kDirectoryMode = 0777;

MadeDirectory makeDirectory(const char* name)
{
    if (::mkdir(name, kDirectoryMode) == 0) {
        return MadeDirectory::Made;
    }
    return errno == EEXIST ? MadeDirectory::Existing : MadeDirectory::Failed;
}

bool enterDirectory(const char* name)
{
    return ::chdir(name) == 0;
}

bool enterSubdirectory(const char* name)
{
    int handle = ::open(name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
#ifdef O_PATH
    // A directory we may enter but not list.
    if (handle < 0 && errno == EACCES) {
        handle = ::open(name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    }
#endif
    if (handle < 0) {
        return false;
    }
    const bool entered = ::fchdir(handle) == 0;
    const int reason = errno;
    ::close(handle);
    errno = reason;
    return entered;
}

std::FILE* openInput(const char* path)
{
    // Non-blocking, so that a FIFO with no writer does not hold the open.
    const int handle = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0) {
        return nullptr;
    }
    struct stat st;
    if (::fstat(handle, &st) != 0) {
        const int reason = errno;
        ::close(handle);
        errno = reason;
        return nullptr;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(handle);
        // Why, as near as the system's words come: a directory, a pipe that
        // cannot seek, or a device.
        errno = S_ISDIR(st.st_mode)                            ? EISDIR
                : S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) ? ESPIPE
                                                               : EINVAL;
        return nullptr;
    }
    std::FILE* file = ::fdopen(handle, "rb");
    if (file == nullptr) {
        ::close(handle);
    }
    return file;
}

void openMissingStandardStreams()
{
    for (int fd = 0; fd <= 2; ++fd) {
        // open takes the lowest free number: this one.
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF && ::open("/dev/null", O_RDWR) < 0) {
            return;
        }
    }
}

NameRules nameRules()
{
    return NameRules::Posix;
}

ConsoleEncoding consoleEncoding()
{
    // The first of these that is set and not empty is the locale in force.
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') {
            return localeNamesUtf8(value) ? ConsoleEncoding::Utf8 : ConsoleEncoding::ShiftJis;
        }
    }
    return ConsoleEncoding::ShiftJis;
}

Language messageLanguage()
{
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') {
            return languageOfLocale(value);
        }
    }
    return Language::Japanese;
}

FileIdentity identify(const char* path, NameEncoding)
{
    struct stat st;
    if (::stat(path, &st) != 0) {
        return {};
    }
    return {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
            true};
}

PathKind pathKind(const char* path)
{
    struct stat st;
    if (::stat(path, &st) != 0) {
        return PathKind::Missing;
    }
    if (S_ISREG(st.st_mode)) {
        return PathKind::Regular;
    }
    // In the words openInput would have for it.
    errno = S_ISDIR(st.st_mode)                            ? EISDIR
            : S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode) ? ESPIPE
                                                           : EINVAL;
    return S_ISDIR(st.st_mode) ? PathKind::Directory : PathKind::Other;
}

int onlineProcessors()
{
    const long count = ::sysconf(_SC_NPROCESSORS_ONLN);
    return count < 1 ? 1 : count > 1024 ? 1024 : static_cast<int>(count);
}

// Arguments are in the user's encoding, UTF-8 where -u is meant for.
bool argumentAsUtf8(const char*, char*, int)
{
    return false;
}

void makeBinary(std::FILE*) {}

bool isTerminal(std::FILE* stream)
{
    return ::isatty(::fileno(stream)) != 0;
}

namespace {

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void onInterrupt(int signal)
{
    if (calls::takeInterruption(signal)) {
        calls::endBySignal(signal);
    }
}

} // namespace

InterruptsHandled::InterruptsHandled()
{
    static_assert(sizeof kInterrupts / sizeof kInterrupts[0] + 1 == kHandled);
    for (int i = 0; i < kHandled - 1; ++i) {
        // What the caller ignores (nohup) stays ignored, never handled even
        // for a moment: a signal in that moment would end the run.
        struct sigaction before {};
        if (::sigaction(kInterrupts[i], nullptr, &before) == 0 && before.sa_handler == SIG_IGN) {
            previous_.handlers[i] = SIG_ERR; // left alone
            continue;
        }
        previous_.handlers[i] = std::signal(kInterrupts[i], onInterrupt);
    }
    previous_.handlers[kHandled - 1] = std::signal(SIGXFSZ, SIG_IGN);
}

InterruptsHandled::~InterruptsHandled()
{
    for (int i = 0; i < kHandled - 1; ++i) {
        if (previous_.handlers[i] != SIG_ERR) {
            std::signal(kInterrupts[i], previous_.handlers[i]);
        }
    }
    if (previous_.handlers[kHandled - 1] != SIG_ERR) {
        std::signal(SIGXFSZ, previous_.handlers[kHandled - 1]);
    }
}

BrokenPipesIgnored::BrokenPipesIgnored() : previous_(std::signal(SIGPIPE, SIG_IGN)) {}

BrokenPipesIgnored::~BrokenPipesIgnored()
{
    if (previous_ != SIG_ERR) {
        std::signal(SIGPIPE, previous_);
    }
}

StartingDirectory::~StartingDirectory()
{
    if (held_.handle >= 0) {
        ::close(held_.handle);
    }
}

bool StartingDirectory::remember()
{
    if (held_.handle >= 0) {
        return true;
    }
    held_.handle = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#ifdef O_PATH
    // A directory we may enter but not list can still be held by path.
    if (held_.handle < 0) {
        held_.handle = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
#endif
    return held_.handle >= 0;
}

bool StartingDirectory::remembered() const
{
    return held_.handle >= 0;
}

bool StartingDirectory::returnTo()
{
    return held_.handle >= 0 && ::fchdir(held_.handle) == 0;
}

} // namespace d88::host
