// The fake host: see fake_host.h.
#include "fake_host.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "host.h"
#include "host_calls.h"

namespace fakehost {

namespace {

// The largest file the command can ask to write: its file buffer.
constexpr std::size_t kLargestWrite = 327680;

struct State {
    std::set<std::string> directories;
    std::string cwd;
    std::vector<File> files;
    std::map<Call, int> calls;
    std::map<Call, std::set<int>> failures; // call -> the numbers that fail
};

State& state()
{
    static State s;
    return s;
}

// Counts the call; true when this one is to fail.
bool fails(Call call)
{
    State& s = state();
    const int number = ++s.calls[call];
    return s.failures[call].contains(number);
}

std::string pathOf(const std::string& name)
{
    return state().cwd.empty() ? name : state().cwd + "/" + name;
}

} // namespace

void reset()
{
    state() = State{};
}

void failOn(Call call, int nth)
{
    State& s = state();
    s.failures[call].insert(s.calls[call] + nth);
}

int calls(Call call)
{
    return state().calls[call];
}

const std::vector<File>& files()
{
    return state().files;
}

const std::string& workingDirectory()
{
    return state().cwd;
}

} // namespace fakehost

namespace d88::host {

using fakehost::Call;
using fakehost::fails;
using fakehost::state;

bool makeDirectory(const char* name)
{
    if (fails(Call::MakeDirectory)) {
        errno = EACCES;
        return false;
    }
    return state().directories.insert(fakehost::pathOf(name)).second;
}

bool enterDirectory(const char* name)
{
    const std::string path = fakehost::pathOf(name);
    if (fails(Call::EnterDirectory) || !state().directories.contains(path)) {
        errno = ENOTDIR;
        return false;
    }
    state().cwd = path;
    return true;
}

FileIdentity identify(const char*)
{
    return {};
}

ConsoleEncoding consoleEncoding()
{
    return ConsoleEncoding::ShiftJis;
}

void makeBinary(std::FILE*) {}

bool isTerminal(std::FILE*)
{
    return false;
}

Language messageLanguage()
{
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

NameRules nameRules()
{
    return NameRules::Posix;
}

// As on POSIX: the tests run on Linux, where the process would otherwise end.
BrokenPipesIgnored::BrokenPipesIgnored() : previous_(std::signal(SIGPIPE, SIG_IGN)) {}

BrokenPipesIgnored::~BrokenPipesIgnored()
{
    if (previous_ != SIG_ERR) {
        std::signal(SIGPIPE, previous_);
    }
}

// The remembered directory is kept as its path.
StartingDirectory::~StartingDirectory() = default;

bool StartingDirectory::remember()
{
    if (fails(Call::Remember)) {
        errno = EMFILE;
        return false;
    }
    held_.handle = 0;
    state().cwd.copy(held_.path, sizeof held_.path - 1);
    held_.path[state().cwd.size()] = '\0';
    return true;
}

bool StartingDirectory::remembered() const
{
    return held_.handle == 0;
}

bool StartingDirectory::returnTo()
{
    if (fails(Call::ReturnTo) || !remembered()) {
        errno = ENOENT;
        return false;
    }
    state().cwd = held_.path;
    return true;
}

bool setModificationTime(const char*, int, int, int, int, int)
{
    if (fails(Call::SetTime)) {
        errno = EPERM;
        return false;
    }
    return true;
}

namespace calls {

// A handle is the index of the file's record.
int openFile(const char* name, bool)
{
    if (fails(Call::Create)) {
        errno = EACCES;
        return -1;
    }
    state().files.push_back({fakehost::pathOf(name), {}, false, false});
    return static_cast<int>(state().files.size() - 1);
}

long writeSome(int handle, const void* bytes, std::size_t length)
{
    if (fails(Call::Write)) {
        errno = ENOSPC;
        return -1;
    }
    fakehost::File& file = state().files.at(static_cast<std::size_t>(handle));
    if (length > fakehost::kLargestWrite) {
        file.oversized = true;
        errno = EFBIG;
        return -1;
    }
    const auto* first = static_cast<const std::uint8_t*>(bytes);
    file.bytes.insert(file.bytes.end(), first, first + length);
    return static_cast<long>(length);
}

bool closeFile(int handle)
{
    state().files.at(static_cast<std::size_t>(handle)).closed = true;
    if (fails(Call::Close)) {
        errno = EIO;
        return false;
    }
    return true;
}

} // namespace calls

} // namespace d88::host
