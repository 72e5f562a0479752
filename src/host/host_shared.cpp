// Host calls that are the same on every host, built on host_calls.h: the
// output file, what an interruption removes, and the reading of locale
// names.
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host.h"
#include "host_calls.h"

namespace d88::host {

namespace {

bool sameFile(const FileIdentity& one, const FileIdentity& other)
{
    return one.known && other.known && one.device == other.device && one.inode == other.inode;
}

// True when `path` names the file `identity` stands for, under any name.
bool isFile(const char* path, NameEncoding encoding, const FileIdentity& identity)
{
    return sameFile(identify(path, encoding), identity);
}

// Copies `text` whole into `into`; false when it does not fit.
template <std::size_t N> bool copyName(char (&into)[N], const char* text)
{
    std::size_t i = 0;
    for (; text[i] != '\0'; ++i) {
        if (i + 1 >= N) {
            into[0] = '\0';
            return false;
        }
        into[i] = text[i];
    }
    into[i] = '\0';
    return true;
}

// The one piece of state shared with a signal handler (or, on Windows, the
// console's control thread): the output file being made and how far. The
// name is written first and published by the state, so a handler that sees
// the state sees the whole name. Lock-free atomics are safe to touch from a
// handler.
enum class Making : int {
    Nothing,
    Opening,    // the open is under way: whether it made the file is not known yet
    Unfinished, // the file exists and is not complete
};

struct Unfinished {
    std::atomic<Making> state{Making::Nothing};
    // An interruption that came while Opening, for the opener to carry out.
    std::atomic<int> deferred{0};
    NameEncoding encoding = NameEncoding::Bytes;
    char name[kOutputNameBytes] = {};
};
static_assert(std::atomic<Making>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

// Constant-initialised: a handler never meets a guard of a first use.
constinit Unfinished unfinishedFile;

Unfinished& unfinished()
{
    return unfinishedFile;
}

} // namespace

namespace calls {

void markOpening(const char* name, NameEncoding encoding)
{
    Unfinished& u = unfinished();
    u.state.store(Making::Nothing, std::memory_order_relaxed);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    copyName(u.name, name);
    u.encoding = encoding;
    u.state.store(Making::Opening, std::memory_order_release);
}

void settleOpening(bool created)
{
    Unfinished& u = unfinished();
    u.state.store(created ? Making::Unfinished : Making::Nothing, std::memory_order_release);
    // An interruption during the open waited for its outcome: now the file,
    // if the open made it, is removed and the process ends as it would have.
    const int signal = u.deferred.exchange(0, std::memory_order_acq_rel);
    if (signal != 0) {
        if (u.state.exchange(Making::Nothing, std::memory_order_acq_rel) == Making::Unfinished) {
            removeFile(u.name, u.encoding);
        }
        endBySignal(signal);
    }
}

void markFinished()
{
    unfinished().state.store(Making::Nothing, std::memory_order_release);
}

bool takeInterruption(int signal)
{
    Unfinished& u = unfinished();
    // A file being opened may or may not be ours yet: removing its name now
    // could remove a file that was there before.
    if (u.state.load(std::memory_order_acquire) == Making::Opening) {
        u.deferred.store(signal, std::memory_order_release);
        return false;
    }
    if (u.state.exchange(Making::Nothing, std::memory_order_acq_rel) == Making::Unfinished) {
        removeFile(u.name, u.encoding);
    }
    return true;
}

} // namespace calls

namespace {

// What has `name` now, as create judges it: Created when the file may take
// the name (`exists` then says whether it replaces something), else why not.
CreateOutcome judgeName(const char* name, NameEncoding encoding, const FileIdentity& input,
                        ExistingFile existing, bool& exists)
{
    exists = false;
    FileIdentity found{};
    switch (calls::lookAt(name, encoding, found)) {
    case calls::Existing::Nothing:
        return CreateOutcome::Created;
    case calls::Existing::Other:
        return CreateOutcome::NotRegular;
    case calls::Existing::Regular:
        // The input under another name (a hard link).
        if (sameFile(found, input)) {
            return CreateOutcome::IsInput;
        }
        break;
    case calls::Existing::Link:
        // A link that leads to the input counts as the input: replacing it
        // would be harmless, but the name is the D88 file's all the same.
        if (isFile(name, encoding, input)) {
            return CreateOutcome::IsInput;
        }
        break;
    }
    exists = true;
    return existing == ExistingFile::Keep ? CreateOutcome::Exists : CreateOutcome::Created;
}

// Temporary names tried before giving up: the process's own, then numbered
// ones beside it when something else has that.
constexpr int kTemporaryNames = 16;

// A name taken again and again between the look and the move is given up
// after this many looks.
constexpr int kMoveAttempts = 3;

} // namespace

OutputFile::~OutputFile()
{
    abandon();
}

void OutputFile::abandon()
{
    if (handle_ >= 0) {
        calls::closeFile(handle_);
        handle_ = -1;
    }
    // Only the temporary name: the file's own may hold another run's file.
    if (made_) {
        calls::removeFile(temporary_, encoding_);
        made_ = false;
        calls::markFinished();
    }
}

CreateOutcome OutputFile::fail()
{
    failure_ = lastError();
    failedTemporary_ = false;
    abandon();
    return CreateOutcome::Failed;
}

bool OutputFile::openTemporary()
{
    // Whatever has a temporary name already, planted or left by a killed run
    // of the same process id, is never removed: the next one is tried.
    for (int tried = 0; tried < kTemporaryNames; ++tried) {
        const int number = (temporaryNumber_ + tried) % kTemporaryNames;
        // Named once for the run's files, not once for each.
        if (number != namedNumber_) {
            if (number == 0) {
                std::snprintf(temporary_, sizeof temporary_, "%s%d", kTemporaryPrefix,
                              calls::processId());
            } else {
                std::snprintf(temporary_, sizeof temporary_, "%s%d-%d", kTemporaryPrefix,
                              calls::processId(), number);
            }
            namedNumber_ = number;
        }
        calls::markOpening(temporary_, encoding_);
        handle_ = calls::openNewFile(temporary_, encoding_);
        const bool created = handle_ >= 0;
        // The reason is the open's; settling may remove and end the process.
        failure_ = created ? 0 : lastError();
        const bool taken = !created && errno == EEXIST;
        calls::settleOpening(created);
        if (created) {
            made_ = true;
            temporaryNumber_ = number;
            return true;
        }
        if (!taken) {
            return false;
        }
    }
    return false;
}

CreateOutcome OutputFile::create(const char* name, NameEncoding encoding, const FileIdentity& input,
                                 ExistingFile existing, bool unclaimed)
{
    abandon();
    failure_ = 0;
    encoding_ = encoding;
    failedTemporary_ = false;
    existing_ = existing;
    input_ = input;
    if (!copyName(name_, name)) {
        errno = ENAMETOOLONG;
        failure_ = lastError();
        return CreateOutcome::Failed;
    }
    replacing_ = false;
    const CreateOutcome judged = unclaimed
                                     ? CreateOutcome::Created
                                     : judgeName(name_, encoding_, input_, existing_, replacing_);
    if (judged != CreateOutcome::Created) {
        return judged;
    }
    if (!openTemporary()) {
        failedTemporary_ = true;
        return CreateOutcome::Failed;
    }
    return CreateOutcome::Created;
}

bool OutputFile::write(const void* bytes, std::size_t length)
{
    if (handle_ < 0) {
        return false;
    }
    const char* next = static_cast<const char*>(bytes);
    // A write may take only part of the data (a file size limit, a signal);
    // the next one then takes the rest or says why it cannot.
    while (length > 0) {
        const long count = calls::writeSome(handle_, next, length);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            // The reason is the write's, not the removal's.
            fail();
            return false;
        }
        next += count;
        length -= static_cast<std::size_t>(count);
    }
    return true;
}

bool OutputFile::setTime(int year, int month, int day, int hour, int minute)
{
    if (handle_ < 0) {
        return false;
    }
    if (!calls::setFileTime(handle_, year, month, day, hour, minute)) {
        failure_ = lastError();
        failedTemporary_ = false;
        return false;
    }
    return true;
}

CreateOutcome OutputFile::finish()
{
    if (handle_ >= 0) {
        const int handle = handle_;
        handle_ = -1;
        if (!calls::closeFile(handle)) {
            return fail();
        }
    }
    if (!made_) {
        errno = EBADF;
        failure_ = lastError();
        return CreateOutcome::Failed;
    }
    return moveIntoPlace(replacing_);
}

CreateOutcome OutputFile::finishAs(const char* name)
{
    if (!made_ || handle_ >= 0) {
        errno = EBADF;
        failure_ = lastError();
        return CreateOutcome::Failed;
    }
    if (!copyName(name_, name)) {
        errno = ENAMETOOLONG;
        return fail();
    }
    existing_ = ExistingFile::Keep;
    return moveIntoPlace(false);
}

CreateOutcome OutputFile::moveIntoPlace(bool replace)
{
    for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
        const bool moved = replace ? calls::renameFile(temporary_, name_, encoding_)
                                   : calls::moveToFreeName(temporary_, name_, encoding_);
        if (moved) {
            made_ = false;
            calls::markFinished();
            return CreateOutcome::Created;
        }
        if (replace || errno != EEXIST) {
            return fail();
        }
        // Another process gave the name to something since create looked:
        // what create would have said of it then.
        const CreateOutcome judged = judgeName(name_, encoding_, input_, existing_, replace);
        if (judged != CreateOutcome::Created) {
            failure_ = 0;
            return judged;
        }
    }
    errno = EEXIST;
    return fail();
}

MadeDirectory makeDirectories(const char* path)
{
    const bool windows = nameRules() == NameRules::Windows;
    const auto separator = [&](char c) { return c == '/' || (windows && c == '\\'); };
    // Each parent from the top down, made or found there; a path too long
    // to copy is left to its own making.
    char parent[4096];
    const std::size_t length = std::strlen(path);
    for (std::size_t i = 1; i < length && length < sizeof parent; ++i) {
        if (separator(path[i]) && !separator(path[i - 1])) {
            std::memcpy(parent, path, i);
            parent[i] = '\0';
            makeDirectory(parent);
        }
    }
    return makeDirectory(path);
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

Language languageOfLocale(const char* locale)
{
    // A LANGUAGE list names its first choice first.
    auto ends = [](char c) { return c == '\0' || c == ':' || c == '_' || c == '.' || c == '@'; };
    const auto is = [&](const char* name) {
        std::size_t i = 0;
        for (; name[i] != '\0'; ++i) {
            if (locale[i] != name[i]) {
                return false;
            }
        }
        return ends(locale[i]);
    };
    return is("ja") || is("C") || is("POSIX") ? Language::Japanese : Language::English;
}

} // namespace d88::host
