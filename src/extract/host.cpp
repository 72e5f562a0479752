// POSIX side of the host calls.
#include "extract/host.h"

#include <cctype>
#include <cstdlib>
#include <ctime>
#include <initializer_list>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace d88::host {

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

bool localeNamesUtf8(const char* locale)
{
    // Match "utf-8" or "utf8" in any case, anywhere in the name.
    for (const char* p = locale; *p != '\0'; ++p) {
        if (std::tolower(static_cast<unsigned char>(p[0])) != 'u' ||
            std::tolower(static_cast<unsigned char>(p[1])) != 't' ||
            std::tolower(static_cast<unsigned char>(p[2])) != 'f') {
            continue;
        }
        const char* digit = p[3] == '-' ? p + 4 : p + 3;
        if (digit[0] == '8') {
            return true;
        }
    }
    return false;
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

StartingDirectory::~StartingDirectory()
{
    if (handle_ >= 0) {
        ::close(handle_);
    }
}

bool StartingDirectory::remember()
{
    if (handle_ >= 0) {
        return true;
    }
    handle_ = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#ifdef O_PATH
    // A directory we may enter but not list can still be held by path.
    if (handle_ < 0) {
        handle_ = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
#endif
    return handle_ >= 0;
}

bool StartingDirectory::returnTo()
{
    return handle_ >= 0 && ::fchdir(handle_) == 0;
}

bool pathExists(const char* name)
{
    struct stat status;
    return ::stat(name, &status) == 0;
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
