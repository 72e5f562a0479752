// The host calls on Windows, through the ANSI ("A") functions and the C
// runtime's low-level file calls; output names read as UTF-8 ("-u") go
// through the wide-character ("W") functions instead.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <iterator>

#include "host.h"
#include "host_calls.h"

namespace d88::host {

static_assert(kStartingPathBytes >= 2 * MAX_PATH, "a full path in a double-byte code page");

// The A functions take the names' bytes in the ANSI code page, as the
// C library's fopen does for the files themselves.
MadeDirectory makeDirectory(const char* name)
{
    if (::CreateDirectoryA(name, nullptr) != 0) {
        return MadeDirectory::Made;
    }
    return ::GetLastError() == ERROR_ALREADY_EXISTS ? MadeDirectory::Existing
                                                    : MadeDirectory::Failed;
}

bool enterDirectory(const char* name)
{
    return ::SetCurrentDirectoryA(name) != 0;
}

namespace {

// The C library's errno for the system's last error, for the few that the
// run tells apart.
int errnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    default:
        return EACCES;
    }
}

// An output name for the W functions: UTF-8 made UTF-16. An output name
// has fewer UTF-16 units than bytes.
struct WideName {
    wchar_t text[kOutputNameBytes];
    bool made;
};

WideName wideName(const char* name)
{
    WideName wide{};
    wide.made = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name, -1, wide.text,
                                      static_cast<int>(std::size(wide.text))) > 0;
    if (!wide.made) {
        ::SetLastError(ERROR_INVALID_NAME);
    }
    return wide;
}

// CreateFile, GetFileAttributes, DeleteFile and MoveFileEx for a name read
// as `encoding` says.
HANDLE openName(const char* name, NameEncoding encoding, DWORD access, DWORD share,
                DWORD disposition, DWORD flags)
{
    if (encoding == NameEncoding::Bytes) {
        return ::CreateFileA(name, access, share, nullptr, disposition, flags, nullptr);
    }
    const WideName wide = wideName(name);
    return wide.made ? ::CreateFileW(wide.text, access, share, nullptr, disposition, flags, nullptr)
                     : INVALID_HANDLE_VALUE;
}

DWORD attributesOf(const char* name, NameEncoding encoding)
{
    if (encoding == NameEncoding::Bytes) {
        return ::GetFileAttributesA(name);
    }
    const WideName wide = wideName(name);
    return wide.made ? ::GetFileAttributesW(wide.text) : INVALID_FILE_ATTRIBUTES;
}

bool deleteName(const char* name, NameEncoding encoding)
{
    if (encoding == NameEncoding::Bytes) {
        return ::DeleteFileA(name) != 0;
    }
    const WideName wide = wideName(name);
    return wide.made && ::DeleteFileW(wide.text) != 0;
}

// `flags`: MOVEFILE_REPLACE_EXISTING to replace what has the name `to`, 0
// to fail on it.
bool moveName(const char* from, const char* to, NameEncoding encoding, DWORD flags)
{
    if (encoding == NameEncoding::Bytes) {
        return ::MoveFileExA(from, to, flags) != 0;
    }
    const WideName wideFrom = wideName(from);
    const WideName wideTo = wideName(to);
    return wideFrom.made && wideTo.made && ::MoveFileExW(wideFrom.text, wideTo.text, flags) != 0;
}

} // namespace

bool enterSubdirectory(const char* name)
{
    // Opened as itself, not as what a link or junction leads to; held
    // without sharing deletion, so it cannot be swapped until entered.
    const HANDLE directory =
        ::CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (directory == INVALID_HANDLE_VALUE) {
        errno = errnoOf(::GetLastError());
        return false;
    }
    BY_HANDLE_FILE_INFORMATION information;
    const bool real = ::GetFileInformationByHandle(directory, &information) != 0 &&
                      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                      (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
    const bool entered = real && ::SetCurrentDirectoryA(name) != 0;
    const DWORD error = real ? ::GetLastError() : ERROR_DIRECTORY;
    ::CloseHandle(directory);
    ::SetLastError(error);
    return entered;
}

std::FILE* openInput(const char* path)
{
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    struct _stat64 st;
    if (::_fstat64(::_fileno(file), &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) {
        std::fclose(file);
        // What Windows says of a seek on a device or a pipe.
        ::SetLastError(ERROR_INVALID_FUNCTION);
        return nullptr;
    }
    return file;
}

// A Windows process starts with its standard handles, open or not; the
// C library gives them numbers 0 to 2 either way.
void openMissingStandardStreams() {}

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

bool failsEveryFile(ErrorCode code)
{
    switch (static_cast<DWORD>(code)) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_WRITE_PROTECT:
    case ERROR_NOT_ENOUGH_QUOTA:
    case ERROR_TOO_MANY_OPEN_FILES:
        return true;
    default:
        return false;
    }
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

// A file is known by its volume's serial number and its index on the volume.
FileIdentity identify(const char* path, NameEncoding encoding)
{
    // Backup semantics opens directories too; no access right is needed to
    // read the identity.
    const HANDLE file =
        openName(path, encoding, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
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

PathKind pathKind(const char* path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return PathKind::Missing;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        ::SetLastError(ERROR_DIRECTORY);
        return PathKind::Directory;
    }
    // A device or a pipe has no attributes of a file, and is refused on opening.
    return PathKind::Regular;
}

int onlineProcessors()
{
    const DWORD count = ::GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    return count < 1 ? 1 : static_cast<int>(count);
}

bool argumentAsUtf8(const char* argument, char* out, int capacity)
{
    // An argument in UTF-16 has no more units than it has bytes.
    constexpr int kLongest = 1024;
    wchar_t wide[kLongest];
    if (::MultiByteToWideChar(CP_ACP, 0, argument, -1, wide, kLongest) <= 0) {
        return false;
    }
    return ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, capacity, nullptr, nullptr) > 0;
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

namespace {

// What the system's own handler ends a process with on CTRL_C.
constexpr UINT kControlCExit = 0xC000013A;

// Runs on a thread of its own while the run goes on: the unfinished file,
// opened with deletion shared, is removed, and the next handler (the
// system's) ends the process. During an open, the opener does both.
BOOL WINAPI onControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
        return FALSE;
    }
    return calls::takeInterruption(static_cast<int>(event)) ? FALSE : TRUE;
}

} // namespace

// Windows has no SIGXFSZ, and its console events are not signals.
InterruptsHandled::InterruptsHandled()
{
    ::SetConsoleCtrlHandler(onControl, TRUE);
}

InterruptsHandled::~InterruptsHandled()
{
    ::SetConsoleCtrlHandler(onControl, FALSE);
}

// Windows has no SIGPIPE: a write to a closed pipe already fails as a write.
BrokenPipesIgnored::BrokenPipesIgnored() = default;

BrokenPipesIgnored::~BrokenPipesIgnored() = default;

namespace calls {

int openNewFile(const char* name, NameEncoding encoding)
{
    // Deletion is shared so that an interruption can remove the file while
    // it is still open; the right to delete it lets a file that cannot be
    // kept go through its handle, never by its name.
    const HANDLE file =
        openName(name, encoding, GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE) {
        errno = errnoOf(::GetLastError());
        return -1;
    }
    const int handle = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
    if (handle < 0) {
        FILE_DISPOSITION_INFO discard{};
        discard.DeleteFile = TRUE;
        ::SetFileInformationByHandle(file, FileDispositionInfo, &discard, sizeof discard);
        ::CloseHandle(file);
        errno = EMFILE;
        ::SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    }
    return handle;
}

bool removeFile(const char* name, NameEncoding encoding)
{
    return deleteName(name, encoding);
}

bool renameFile(const char* from, const char* to, NameEncoding encoding)
{
    if (!moveName(from, to, encoding, MOVEFILE_REPLACE_EXISTING)) {
        errno = errnoOf(::GetLastError());
        return false;
    }
    return true;
}

bool moveToFreeName(const char* from, const char* to, NameEncoding encoding)
{
    // Without MOVEFILE_REPLACE_EXISTING the move fails on any existing name.
    if (!moveName(from, to, encoding, 0)) {
        errno = errnoOf(::GetLastError());
        return false;
    }
    return true;
}

bool setFileTime(int handle, int year, int month, int day, int hour, int minute)
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
    const HANDLE file = reinterpret_cast<HANDLE>(::_get_osfhandle(handle));
    if (file == INVALID_HANDLE_VALUE) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    // The creation and access times are left as they are; the file was
    // opened for writing, which includes its attributes.
    return ::SetFileTime(file, nullptr, nullptr, &when) != 0;
}

int processId()
{
    return static_cast<int>(::GetCurrentProcessId());
}

Existing lookAt(const char* name, NameEncoding encoding, FileIdentity& identity)
{
    const DWORD attributes = attributesOf(name, encoding);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return Existing::Nothing;
    }
    // Windows has no cheaper way to a file's identity than opening it.
    identity = identify(name, encoding);
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Existing::Other : Existing::Link;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Existing::Other : Existing::Regular;
}

// As the system's handler would have ended it.
void endBySignal(int)
{
    ::ExitProcess(kControlCExit);
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
