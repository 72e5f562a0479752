// Child processes for the jobs of a run, on POSIX: a fork per job, its
// standard streams in anonymous temporary files, and a pipe that carries
// its record back.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "host.h"

namespace d88::host {

static_assert(Workers::kRecordBytes <= PIPE_BUF, "a record is one write the pipe keeps whole");

namespace {

constexpr int kForwardedSignals[] = {SIGINT, SIGTERM, SIGHUP};

// What the signal handler shares with the run: the children to pass a
// signal on to, the signal that came, and the pipe that wakes wait().
// Lock-free atomics, which a handler may touch; constant-initialised, so a
// handler never meets a guard of a first use.
struct Forwarding {
    std::atomic<int> pids[Workers::kSlots];
    std::atomic<int> signal;
    std::atomic<int> wake;
};
static_assert(std::atomic<int>::is_always_lock_free);
constinit Forwarding forwarding{{}, {0}, {-1}};

extern "C" void passOn(int signal)
{
    const int saved = errno;
    forwarding.signal.store(signal);
    for (std::atomic<int>& pid : forwarding.pids) {
        const int child = pid.load();
        if (child > 0) {
            ::kill(child, signal);
        }
    }
    const int wake = forwarding.wake.load();
    if (wake >= 0) {
        const char byte = 1;
        // A full pipe already holds a wake-up.
        [[maybe_unused]] const ssize_t written = ::write(wake, &byte, 1);
    }
    errno = saved;
}

// A file with no name, gone with its last handle however the process ends:
// made nameless where the system can (O_TMPFILE), else unlinked at once.
int anonymousFile()
{
    const char* directory = std::getenv("TMPDIR");
    if (directory == nullptr || directory[0] == '\0') {
        directory = "/tmp";
    }
#ifdef O_TMPFILE
    const int nameless = ::open(directory, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (nameless >= 0) {
        return nameless;
    }
#endif
    char name[4096];
    const int length = std::snprintf(name, sizeof name, "%s/.d88unpack-XXXXXX", directory);
    if (length < 0 || length >= static_cast<int>(sizeof name)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    const int handle = ::mkstemp(name);
    if (handle >= 0) {
        ::unlink(name);
        ::fcntl(handle, F_SETFD, FD_CLOEXEC);
    }
    return handle;
}

void closeHandle(int& handle)
{
    if (handle >= 0) {
        ::close(handle);
        handle = -1;
    }
}

// Whether the standard output and error are one file (both a terminal, or
// "2>&1"): a child then writes both into one capture, so that their lines
// keep the order they were written in.
bool sameStandardStreams()
{
    struct stat out;
    struct stat err;
    return ::fstat(1, &out) == 0 && ::fstat(2, &err) == 0 && out.st_dev == err.st_dev &&
           out.st_ino == err.st_ino;
}

sigset_t forwardedSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kForwardedSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

} // namespace

bool Workers::available()
{
    return true;
}

Workers::Workers()
{
    static_assert(sizeof kForwardedSignals / sizeof kForwardedSignals[0] == kForwarded);
    if (::pipe(wake_) == 0) {
        for (const int handle : wake_) {
            ::fcntl(handle, F_SETFL, O_NONBLOCK);
            ::fcntl(handle, F_SETFD, FD_CLOEXEC);
        }
        forwarding.wake.store(wake_[1]);
    }
    for (int i = 0; i < kForwarded; ++i) {
        previous_[i] = std::signal(kForwardedSignals[i], passOn);
        // What the caller ignores stays ignored, by this process and its children.
        if (previous_[i] == SIG_IGN) {
            std::signal(kForwardedSignals[i], SIG_IGN);
        }
    }
}

Workers::~Workers()
{
    stopAll();
    for (int i = 0; i < kForwarded; ++i) {
        if (previous_[i] != SIG_ERR) {
            std::signal(kForwardedSignals[i], previous_[i]);
        }
    }
    forwarding.wake.store(-1);
    closeHandle(wake_[0]);
    closeHandle(wake_[1]);
}

void Workers::release(Slot& slot)
{
    forwarding.pids[&slot - slots_].store(0);
    closeHandle(slot.out);
    closeHandle(slot.err);
    closeHandle(slot.result);
    slot.pid = 0;
    slot.ended = false;
}

int Workers::start(Job job, void* context)
{
    int index = 0;
    while (index < kSlots && slots_[index].pid != 0) {
        ++index;
    }
    if (index == kSlots) {
        errno = EAGAIN;
        return -1;
    }
    Slot& slot = slots_[index];
    const bool oneStream = sameStandardStreams();
    int result[2] = {-1, -1};
    slot.out = anonymousFile();
    slot.err = oneStream || slot.out < 0 ? -1 : anonymousFile();
    if (slot.out < 0 || (!oneStream && slot.err < 0) || ::pipe(result) != 0) {
        const int reason = errno;
        release(slot);
        errno = reason;
        return -1;
    }
    ::fcntl(result[0], F_SETFD, FD_CLOEXEC);
    // Blocked until the child's pid is known: a signal in between would
    // miss the child, or run the parent's handler in it.
    const sigset_t forwarded = forwardedSet();
    sigset_t before;
    ::sigprocmask(SIG_BLOCK, &forwarded, &before);
    // Nothing buffered may be written twice.
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // The child: signals handled as before the run (its job sets its own
        // handling), and its own two streams.
        for (int i = 0; i < kForwarded; ++i) {
            std::signal(kForwardedSignals[i], previous_[i] == SIG_ERR ? SIG_DFL : previous_[i]);
        }
        ::sigprocmask(SIG_SETMASK, &before, nullptr);
        ::dup2(slot.out, 1);
        ::dup2(oneStream ? slot.out : slot.err, 2);
        for (Slot& other : slots_) {
            closeHandle(other.out);
            closeHandle(other.err);
            closeHandle(other.result);
        }
        closeHandle(wake_[0]);
        closeHandle(wake_[1]);
        closeHandle(result[0]);
        unsigned char record[kRecordBytes] = {};
        const int status = job(context, record);
        std::fflush(stdout);
        std::fflush(stderr);
        [[maybe_unused]] const ssize_t sent = ::write(result[1], record, sizeof record);
        ::_exit(status);
    }
    const int reason = errno;
    ::close(result[1]);
    if (pid < 0) {
        ::close(result[0]);
        release(slot);
        ::sigprocmask(SIG_SETMASK, &before, nullptr);
        errno = reason;
        return -1;
    }
    slot.pid = pid;
    slot.ended = false;
    slot.result = result[0];
    forwarding.pids[index].store(pid);
    ::sigprocmask(SIG_SETMASK, &before, nullptr);
    return index;
}

int Workers::collect(int index, bool& sent, bool reaped)
{
    Slot& slot = slots_[index];
    // The record, whole; or the end of a child that sent none.
    std::size_t got = 0;
    while (got < sizeof slot.record) {
        const ssize_t read = ::read(slot.result, slot.record + got, sizeof slot.record - got);
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read <= 0) {
            break;
        }
        got += static_cast<std::size_t>(read);
    }
    sent = got == sizeof slot.record;
    // It ends right after sending.
    int status = 0;
    while (!reaped && ::waitpid(slot.pid, &status, 0) < 0 && errno == EINTR) {
    }
    forwarding.pids[index].store(0);
    closeHandle(slot.result);
    slot.ended = true;
    return index;
}

int Workers::wait(bool& sent)
{
    sent = false;
    for (;;) {
        if (interruption() != 0) {
            return -1;
        }
        pollfd watched[kSlots + 1];
        int owners[kSlots];
        int count = 0;
        for (int i = 0; i < kSlots; ++i) {
            if (slots_[i].pid != 0 && !slots_[i].ended) {
                watched[count] = {slots_[i].result, POLLIN, 0};
                owners[count++] = i;
            }
        }
        if (count == 0) {
            errno = ECHILD;
            return -1;
        }
        watched[count] = {wake_[0], POLLIN, 0};
        if (::poll(watched, static_cast<nfds_t>(count + 1), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            // Without poll, the next child to end is the one collected.
            int status = 0;
            const pid_t pid = ::waitpid(-1, &status, 0);
            for (int k = 0; pid > 0 && k < count; ++k) {
                if (slots_[owners[k]].pid == pid) {
                    return collect(owners[k], sent, true);
                }
            }
            continue;
        }
        for (int k = 0; k < count; ++k) {
            if (watched[k].revents != 0) {
                return collect(owners[k], sent, false);
            }
        }
    }
}

bool Workers::replay(int index)
{
    Slot& slot = slots_[index];
    const struct {
        int from;
        std::FILE* to;
    } streams[] = {{slot.out, stdout}, {slot.err, stderr}};
    for (const auto& stream : streams) {
        if (stream.from < 0 || ::lseek(stream.from, 0, SEEK_SET) != 0) {
            continue;
        }
        char buffer[16384];
        for (;;) {
            if (interruption() != 0) {
                release(slot);
                return false;
            }
            const ssize_t read = ::read(stream.from, buffer, sizeof buffer);
            if (read < 0 && errno == EINTR) {
                continue;
            }
            if (read <= 0) {
                break;
            }
            std::fwrite(buffer, 1, static_cast<std::size_t>(read), stream.to);
        }
        // The next stream's bytes come after these.
        std::fflush(stream.to);
    }
    release(slot);
    return true;
}

void Workers::discard(int index)
{
    release(slots_[index]);
}

void Workers::stopAll()
{
    const int signal = interruption() != 0 ? interruption() : SIGTERM;
    for (Slot& slot : slots_) {
        if (slot.pid != 0 && !slot.ended) {
            ::kill(slot.pid, signal);
        }
    }
    for (Slot& slot : slots_) {
        if (slot.pid != 0 && !slot.ended) {
            int status = 0;
            while (::waitpid(slot.pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
        if (slot.pid != 0) {
            release(slot);
        }
    }
}

int Workers::interruption() const
{
    return forwarding.signal.load();
}

void Workers::endByInterruption()
{
    const int signal = interruption();
    std::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    std::raise(signal);
    ::_exit(128 + signal);
}

} // namespace d88::host
