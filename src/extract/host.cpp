// POSIX side of the host calls.
#include "extract/host.h"

#include <cctype>
#include <csignal>
#include <cstdlib>
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

FileIdentity identify(const char* path)
{
    struct stat st;
    if (::stat(path, &st) != 0) {
        return {};
    }
    return {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
            true};
}

bool isFile(const char* path, const FileIdentity& identity)
{
    const FileIdentity other = identify(path);
    return identity.known && other.known && other.device == identity.device &&
           other.inode == identity.inode;
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

BrokenPipesIgnored::BrokenPipesIgnored() : previous_(std::signal(SIGPIPE, SIG_IGN)) {}

BrokenPipesIgnored::~BrokenPipesIgnored()
{
    if (previous_ != SIG_ERR) {
        std::signal(SIGPIPE, previous_);
    }
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

} // namespace d88::host
