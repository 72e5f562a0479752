// The host calls on Windows, through the ANSI ("A") functions and the C
// runtime's low-level file calls.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>

#include "host.h"
#include "host_calls.h"

namespace d88::host {

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

NameRules nameRules()
{
    return NameRules::Windows;
}

// Locale variables mean nothing to a Windows console; its code page does,
// also for output redirected to a file. A process with no console at all
// reads 0: Shift_JIS.
ConsoleEncoding consoleEncoding()
{
    return ::GetConsoleOutputCP() == CP_UTF8 ? ConsoleEncoding::Utf8 : ConsoleEncoding::ShiftJis;
}

Language messageLanguage()
{
    return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_JAPANESE ? Language::Japanese
                                                                        : Language::English;
}

ErrorCode lastError()
{
    return static_cast<ErrorCode>(::GetLastError());
}

void describeError(ErrorCode code, char (&text)[kErrorTextBytes])
{
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
        nullptr, static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    if (length == 0) {
        std::snprintf(text, sizeof text, "error %lu", static_cast<unsigned long>(code));
        return;
    }
    // The system's text ends in blanks (and, without the mask, a line break).
    int end = static_cast<int>(length);
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\r' || text[end - 1] == '\n')) {
        --end;
    }
    text[end] = '\0';
}

StartingDirectory::~StartingDirectory() = default;

bool StartingDirectory::remember()
{
    if (remembered()) {
        return true;
    }
    // The result is the path's length without its terminator, or the size
    // it would need when the buffer is too small, or 0 on failure.
    const DWORD length = ::GetCurrentDirectoryA(sizeof held_.path, held_.path);
    // A path with characters the code page lacks comes back with '?' in
    // them and leads nowhere: only a path that leads back is kept.
    if (length == 0 || length >= sizeof held_.path || ::SetCurrentDirectoryA(held_.path) == 0) {
        held_.path[0] = '\0';
        return false;
    }
    return true;
}

bool StartingDirectory::remembered() const
{
    return held_.path[0] != '\0';
}

bool StartingDirectory::returnTo()
{
    return remembered() && ::SetCurrentDirectoryA(held_.path) != 0;
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

void makeBinary(std::FILE* stream)
{
    std::fflush(stream);
    ::_setmode(::_fileno(stream), _O_BINARY);
}

bool isTerminal(std::FILE* stream)
{
    return ::_isatty(::_fileno(stream)) != 0;
}

// Windows has no SIGPIPE: a write to a closed pipe already fails as a write.
BrokenPipesIgnored::BrokenPipesIgnored() = default;

BrokenPipesIgnored::~BrokenPipesIgnored() = default;

namespace calls {

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

} // namespace calls

} // namespace d88::host
