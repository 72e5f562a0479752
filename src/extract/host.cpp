// The host calls: the Windows side under _WIN32, the POSIX side otherwise.
#include "extract/host.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <initializer_list>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace d88::host {

namespace {

// True when `path` names the file `identity` stands for, under any name.
bool isFile(const char* path, const FileIdentity& identity)
{
    const FileIdentity other = identify(path);
    return identity.known && other.known && other.device == identity.device &&
           other.inode == identity.inode;
}

// The system's own file calls, one set per host. openFile opens for
// writing from the start; with `mustBeNew` it fails, errno EEXIST, when the
// name exists.
int openFile(const char* name, bool mustBeNew);
long writeSome(int handle, const void* bytes, std::size_t length);
bool closeFile(int handle);

} // namespace

OutputFile::~OutputFile()
{
    if (handle_ >= 0) {
        closeFile(handle_);
    }
}

bool OutputFile::create(const char* name, const FileIdentity& input)
{
    if (handle_ >= 0) {
        closeFile(handle_);
    }
    // A file made new here cannot be the input.
    handle_ = openFile(name, true);
    if (handle_ < 0 && errno == EEXIST && !isFile(name, input)) {
        handle_ = openFile(name, false);
    }
    return handle_ >= 0;
}

bool OutputFile::writeAndClose(const void* bytes, std::size_t length)
{
    if (handle_ < 0) {
        return false;
    }
    const char* next = static_cast<const char*>(bytes);
    bool written = true;
    // A write may take only part of the data (a file size limit, a signal);
    // the next one then takes the rest or says why it cannot.
    while (length > 0) {
        const long count = writeSome(handle_, next, length);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            written = false;
            break;
        }
        next += count;
        length -= static_cast<std::size_t>(count);
    }
    const bool closed = closeFile(handle_);
    handle_ = -1;
    return written && closed;
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

#ifdef _WIN32

static_assert(kStartingPathBytes >= 2 * MAX_PATH, "a full path in a double-byte code page");

// The A functions take the names' bytes in the ANSI code page, as the
// C library's fopen does for the files themselves.
bool makeDirectory(const char* name)
{
    return ::CreateDirectoryA(name, nullptr) != 0;
}

bool enterDirectory(const char* name)
{
    return ::SetCurrentDirectoryA(name) != 0;
}

// Locale variables mean nothing to a Windows console; its code page does,
// also for output redirected to a file. A process with no console at all
// reads 0: Shift_JIS.
ConsoleEncoding consoleEncoding()
{
    return ::GetConsoleOutputCP() == CP_UTF8 ? ConsoleEncoding::Utf8 : ConsoleEncoding::ShiftJis;
}

StartingDirectory::~StartingDirectory() = default;

bool StartingDirectory::remember()
{
    if (remembered()) {
        return true;
    }
    // The result is the path's length without its terminator, or the size
    // it would need when the buffer is too small, or 0 on failure.
    const DWORD length = ::GetCurrentDirectoryA(sizeof path_, path_);
    // A path with characters the code page lacks comes back with '?' in
    // them and leads nowhere: only a path that leads back is kept.
    if (length == 0 || length >= sizeof path_ || ::SetCurrentDirectoryA(path_) == 0) {
        path_[0] = '\0';
        return false;
    }
    return true;
}

bool StartingDirectory::remembered() const
{
    return path_[0] != '\0';
}

bool StartingDirectory::returnTo()
{
    return remembered() && ::SetCurrentDirectoryA(path_) != 0;
}

bool setModificationTime(const char* name, int year, int month, int day, int hour, int minute)
{
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(year);
    local.wMonth = static_cast<WORD>(month);
    local.wDay = static_cast<WORD>(day);
    local.wHour = static_cast<WORD>(hour);
    local.wMinute = static_cast<WORD>(minute);
    // The entry's time is local time in the zone the program runs in.
    SYSTEMTIME utc;
    FILETIME when;
    if (::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) == 0 ||
        ::SystemTimeToFileTime(&utc, &when) == 0) {
        return false;
    }
    const HANDLE file =
        ::CreateFileA(name, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    // The creation and access times are left as they are.
    const bool set = ::SetFileTime(file, nullptr, nullptr, &when) != 0;
    return ::CloseHandle(file) != 0 && set;
}

// A file is known by its volume's serial number and its index on the volume.
FileIdentity identify(const char* path)
{
    // Backup semantics opens directories too; no access right is needed to
    // read the identity.
    const HANDLE file =
        ::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    BY_HANDLE_FILE_INFORMATION information;
    const bool read = ::GetFileInformationByHandle(file, &information) != 0;
    ::CloseHandle(file);
    if (!read) {
        return {};
    }
    return {information.dwVolumeSerialNumber,
            (static_cast<unsigned long long>(information.nFileIndexHigh) << 32) |
                information.nFileIndexLow,
            true};
}

// Windows has no SIGPIPE: a write to a closed pipe already fails as a write.
BrokenPipesIgnored::BrokenPipesIgnored() : previous_(nullptr) {}

BrokenPipesIgnored::~BrokenPipesIgnored() = default;

namespace {

int openFile(const char* name, bool mustBeNew)
{
    const int flags = _O_WRONLY | _O_CREAT | _O_BINARY | (mustBeNew ? _O_EXCL : _O_TRUNC);
    return ::_open(name, flags, _S_IREAD | _S_IWRITE);
}

long writeSome(int handle, const void* bytes, std::size_t length)
{
    // _write takes an unsigned count; a file is never near that size.
    constexpr std::size_t kLargestWrite = 1u << 30;
    return ::_write(handle, bytes,
                    static_cast<unsigned>(length < kLargestWrite ? length : kLargestWrite));
}

bool closeFile(int handle)
{
    return ::_close(handle) == 0;
}

} // namespace

#else
namespace {

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

} // namespace

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

FileIdentity identify(const char* path)
{
    struct stat st;
    if (::stat(path, &st) != 0) {
        return {};
    }
    return {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
            true};
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

bool StartingDirectory::remembered() const
{
    return handle_ >= 0;
}

bool StartingDirectory::returnTo()
{
    return handle_ >= 0 && ::fchdir(handle_) == 0;
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
#endif

} // namespace d88::host
