// The host calls on POSIX systems (Linux and the like).
#include <fcntl.h>
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

int openFile(const char* name, bool mustBeNew)
{
    const int flags = O_WRONLY | O_CREAT | (mustBeNew ? O_EXCL : O_TRUNC);
    return ::open(name, flags, kFileMode);
}

long writeSome(int handle, const void* bytes, std::size_t length)
{
    return static_cast<long>(::write(handle, bytes, length));
}

bool closeFile(int handle)
{
    return ::close(handle) == 0;
}

} // namespace calls

// Everything the umask allows, as for any directory a user makes.
constexpr mode_t kDirectoryMode = 0777;

bool makeDirectory(const char* name)
{
    return ::mkdir(name, kDirectoryMode) == 0;
}

bool enterDirectory(const char* name)
{
    return ::chdir(name) == 0;
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

ErrorCode lastError()
{
    return errno;
}

void describeError(ErrorCode code, char (&text)[kErrorTextBytes])
{
    std::snprintf(text, sizeof text, "%s", std::strerror(code));
}

FileIdentity identify(const char* path)
{
    struct stat st;
    if (::stat(path, &st) != 0) {
        return {};
    }
    return {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
            true};
}

void makeBinary(std::FILE*) {}

bool isTerminal(std::FILE* stream)
{
    return ::isatty(::fileno(stream)) != 0;
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

bool setModificationTime(const char* name, int year, int month, int day, int hour, int minute)
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
    return ::utimensat(AT_FDCWD, name, times, 0) == 0;
}

} // namespace d88::host
