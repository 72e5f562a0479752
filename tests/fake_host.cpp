// The fake host: see fake_host.h.
#include "fake_host.h"

#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "host.h"
#include "host_calls.h"

namespace fakehost {

namespace {

// The largest file the command can ask to write: its file buffer.
constexpr std::size_t kLargestWrite = 327680;

// What a name holds: the index of a file record, or kOther for something
// that is not a regular file.
constexpr int kOther = -1;

struct State {
    std::set<std::string> directories;
    std::string cwd;
    std::vector<File> files;
    std::map<std::string, int> names;
    std::map<Call, int> calls;
    std::map<Call, std::map<int, int>> failures;   // call -> number -> errno
    std::map<Call, std::map<int, int>> interrupts; // call -> number -> signal
    std::map<Call, std::map<int, std::function<void()>>> actions;
    int endedBy = 0;
    d88::host::NameRules nameRules = d88::host::NameRules::Posix;
};

State& state()
{
    static State s;
    return s;
}

// Counts the call, after what another process does just then and an
// interruption that comes in; true when this one is to fail, with errno set
// when the failure names one, and for every call once the process has ended.
bool fails(Call call)
{
    State& s = state();
    if (s.endedBy != 0) {
        errno = EIO;
        return true;
    }
    const int number = s.calls[call] + 1;
    const auto action = s.actions[call].find(number);
    if (action != s.actions[call].end()) {
        action->second();
    }
    // The handler the real host installs.
    const auto signal = s.interrupts[call].find(number);
    if (signal != s.interrupts[call].end() && d88::host::calls::takeInterruption(signal->second)) {
        d88::host::calls::endBySignal(signal->second);
    }
    if (s.endedBy != 0) {
        errno = EIO;
        return true;
    }
    s.calls[call] = number;
    const auto it = s.failures[call].find(number);
    if (it == s.failures[call].end()) {
        return false;
    }
    errno = it->second; // 0: the call's own default
    return true;
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

void failOn(Call call, int nth, int error)
{
    State& s = state();
    s.failures[call][s.calls[call] + nth] = error;
}

void interrupt(Call call, int nth, int signal)
{
    State& s = state();
    s.interrupts[call][s.calls[call] + nth] = signal;
}

void whenCalled(Call call, int nth, std::function<void()> action)
{
    State& s = state();
    s.actions[call][s.calls[call] + nth] = std::move(action);
}

void useNameRules(d88::host::NameRules rules)
{
    state().nameRules = rules;
}

int endedBy()
{
    return state().endedBy;
}

int calls(Call call)
{
    return state().calls[call];
}

const std::vector<File>& files()
{
    return state().files;
}

// The directory a planted path lies in is there too.
void plantDirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos) {
        state().directories.insert(path.substr(0, slash));
    }
}

void plantFile(const std::string& path, std::vector<std::uint8_t> bytes)
{
    State& s = state();
    plantDirectoryOf(path);
    s.files.push_back({path, std::move(bytes), true, false, false, {}});
    s.names[path] = static_cast<int>(s.files.size() - 1);
}

void plantOther(const std::string& path)
{
    plantDirectoryOf(path);
    state().names[path] = kOther;
}

std::map<std::string, std::vector<std::uint8_t>> tree()
{
    std::map<std::string, std::vector<std::uint8_t>> t;
    for (const auto& [path, index] : state().names) {
        if (index != kOther) {
            t[path] = state().files[static_cast<std::size_t>(index)].bytes;
        }
    }
    return t;
}

std::vector<std::string> directories()
{
    return {state().directories.begin(), state().directories.end()};
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
using fakehost::State;

MadeDirectory makeDirectory(const char* name)
{
    if (fails(Call::MakeDirectory)) {
        errno = errno == 0 ? EACCES : errno;
        return MadeDirectory::Failed;
    }
    // As mkdir: the parent must be there.
    const std::string path = fakehost::pathOf(name);
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && !state().directories.contains(path.substr(0, slash))) {
        errno = ENOENT;
        return MadeDirectory::Failed;
    }
    if (!state().directories.insert(path).second) {
        errno = EEXIST;
        return MadeDirectory::Existing;
    }
    return MadeDirectory::Made;
}

bool enterDirectory(const char* name)
{
    const std::string path = fakehost::pathOf(name);
    if (fails(Call::EnterDirectory)) {
        errno = errno == 0 ? ENOTDIR : errno;
        return false;
    }
    if (!state().directories.contains(path)) {
        errno = ENOENT;
        return false;
    }
    state().cwd = path;
    return true;
}

bool enterSubdirectory(const char* name)
{
    return enterDirectory(name);
}

std::FILE* openInput(const char* path)
{
    return std::fopen(path, "rb");
}

void openMissingStandardStreams() {}

FileIdentity identify(const char*, NameEncoding)
{
    return {};
}

ConsoleEncoding consoleEncoding()
{
    return ConsoleEncoding::ShiftJis;
}

bool argumentAsUtf8(const char*, char*, int)
{
    return false;
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

// lastError, failsEveryFile and describeError: errno's, as on POSIX
// (host_errno.cpp).

NameRules nameRules()
{
    return state().nameRules;
}

// As on POSIX: the tests run on Linux, where the process would otherwise end.
BrokenPipesIgnored::BrokenPipesIgnored() : previous_(std::signal(SIGPIPE, SIG_IGN)) {}

BrokenPipesIgnored::~BrokenPipesIgnored()
{
    if (previous_ != SIG_ERR) {
        std::signal(SIGPIPE, previous_);
    }
}

// Interruptions are made by fakehost::interrupt, not by signals.
InterruptsHandled::InterruptsHandled() = default;
InterruptsHandled::~InterruptsHandled() = default;

// The remembered directory is kept as its path.
StartingDirectory::~StartingDirectory() = default;

bool StartingDirectory::remember()
{
    if (fails(Call::Remember)) {
        errno = errno == 0 ? EMFILE : errno;
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

// Input files are real files; so is what the command line names.
PathKind pathKind(const char* path)
{
    struct stat st;
    if (::stat(path, &st) != 0) {
        return PathKind::Missing;
    }
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return S_ISREG(st.st_mode)   ? PathKind::Regular
           : S_ISDIR(st.st_mode) ? PathKind::Directory
                                 : PathKind::Other;
}

int onlineProcessors()
{
    return 1;
}

// Everything runs in this process: no worker ever starts.
bool Workers::available()
{
    return false;
}
Workers::Workers(int processes, Job job, void* context)
    : processes_(processes), job_(job), context_(context)
{
}
// Nothing to stop: no worker, no signal handling, no pipe.
Workers::~Workers()
{
    static_cast<void>(job_);
    static_cast<void>(context_);
    static_cast<void>(processes_);
    static_cast<void>(previous_);
    static_cast<void>(wake_);
    static_cast<void>(spare_);
    static_cast<void>(spareCount_);
}
int Workers::captureFile()
{
    return -1;
}
bool Workers::launch(int)
{
    return false;
}
void Workers::serve(int)
{
    std::abort();
}
int Workers::end(int, bool& sent)
{
    sent = false;
    return -1;
}
void Workers::release(Slot&) {}
int Workers::start(const unsigned char (&)[kTaskBytes])
{
    errno = ENOSYS;
    return -1;
}
int Workers::wait(bool& sent)
{
    sent = false;
    return -1;
}
bool Workers::replay(int)
{
    return true;
}
void Workers::discard(int) {}
void Workers::stopAll() {}
int Workers::interruption() const
{
    return 0;
}
void Workers::endByInterruption()
{
    std::abort();
}

namespace calls {

// A handle is the index of the file's record.
int openNewFile(const char* name, NameEncoding)
{
    if (fails(Call::Create)) {
        if (errno == 0 || errno == EEXIST) {
            errno = EACCES;
        }
        return -1;
    }
    const std::string path = fakehost::pathOf(name);
    if (state().names.contains(path)) {
        errno = EEXIST;
        return -1;
    }
    state().files.push_back({path, {}, false, false, false, {}});
    const int handle = static_cast<int>(state().files.size() - 1);
    state().names[path] = handle;
    return handle;
}

long writeSome(int handle, const void* bytes, std::size_t length)
{
    State& s = state();
    if (fails(Call::Write)) {
        errno = errno == 0 ? ENOSPC : errno;
        return -1;
    }
    fakehost::File& file = s.files.at(static_cast<std::size_t>(handle));
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
    const bool failed = fails(Call::Close);
    // A close that fails still lets the descriptor go, except in a process
    // that has ended.
    if (state().endedBy == 0) {
        state().files.at(static_cast<std::size_t>(handle)).closed = true;
    }
    if (failed) {
        errno = errno == 0 ? EIO : errno;
        return false;
    }
    return true;
}

bool setFileTime(int handle, int, int, int, int, int)
{
    if (fails(Call::SetTime)) {
        errno = errno == 0 ? EPERM : errno;
        return false;
    }
    fakehost::File& file = state().files.at(static_cast<std::size_t>(handle));
    file.timedAs = file.path;
    return true;
}

bool removeFile(const char* name, NameEncoding)
{
    if (fails(Call::Remove)) {
        return false;
    }
    const auto it = state().names.find(fakehost::pathOf(name));
    if (it == state().names.end()) {
        errno = ENOENT;
        return false;
    }
    if (it->second != fakehost::kOther) {
        state().files[static_cast<std::size_t>(it->second)].removed = true;
    }
    state().names.erase(it);
    return true;
}

namespace {

// Gives what has the name `from` the name `to`, over whatever had it.
void move(const char* from, const char* to)
{
    State& s = state();
    const auto it = s.names.find(fakehost::pathOf(from));
    const int index = it->second;
    s.names.erase(it);
    const std::string path = fakehost::pathOf(to);
    const auto old = s.names.find(path);
    if (old != s.names.end() && old->second != fakehost::kOther) {
        s.files[static_cast<std::size_t>(old->second)].removed = true;
    }
    s.names[path] = index;
    if (index != fakehost::kOther) {
        s.files[static_cast<std::size_t>(index)].path = path;
    }
}

} // namespace

bool renameFile(const char* from, const char* to, NameEncoding)
{
    if (fails(Call::Rename)) {
        errno = errno == 0 ? EACCES : errno;
        return false;
    }
    if (!state().names.contains(fakehost::pathOf(from))) {
        errno = ENOENT;
        return false;
    }
    move(from, to);
    return true;
}

bool moveToFreeName(const char* from, const char* to, NameEncoding)
{
    if (fails(Call::Move)) {
        errno = errno == 0 ? EACCES : errno;
        return false;
    }
    if (!state().names.contains(fakehost::pathOf(from))) {
        errno = ENOENT;
        return false;
    }
    if (state().names.contains(fakehost::pathOf(to))) {
        errno = EEXIST;
        return false;
    }
    move(from, to);
    return true;
}

int processId()
{
    return 4242;
}

Existing lookAt(const char* name, NameEncoding, FileIdentity&)
{
    if (fails(Call::Look)) {
        return Existing::Nothing;
    }
    const auto it = state().names.find(fakehost::pathOf(name));
    return it == state().names.end()        ? Existing::Nothing
           : it->second == fakehost::kOther ? Existing::Other
                                            : Existing::Regular;
}

void endBySignal(int signal)
{
    state().endedBy = signal;
}

} // namespace calls

} // namespace d88::host
