// Worker processes for the tasks of a run, on POSIX: each a fork of the
// run kept for task after task, a socket to each that carries a task and
// the handles of its two anonymous temporary files out and the task's
// record back.
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "host.h"

namespace d88::host {

namespace {

constexpr int kForwardedSignals[] = {SIGINT, SIGTERM, SIGHUP};

// What the signal handler shares with the run: the workers to pass a
// signal on to, the signal that came, and the pipe that wakes wait().
// Lock-free atomics, which a handler may touch; constant-initialised, so a
// handler never meets a guard of a first use.
struct Forwarding {
    std::atomic<int> pids[Workers::kProcesses];
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
        const int worker = pid.load();
        if (worker > 0) {
            ::kill(worker, signal);
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
// "2>&1"): a task then writes both into one capture, so that their lines
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

bool readWhole(int handle, unsigned char* into, std::size_t length)
{
    std::size_t got = 0;
    while (got < length) {
        const ssize_t read = ::read(handle, into + got, length - got);
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read <= 0) {
            return false;
        }
        got += static_cast<std::size_t>(read);
    }
    return true;
}

bool sendWhole(int socket, const unsigned char* bytes, std::size_t length)
{
    std::size_t sent = 0;
    while (sent < length) {
        const ssize_t wrote = ::send(socket, bytes + sent, length - sent, MSG_NOSIGNAL);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(wrote);
    }
    return true;
}

// A task and the handles of its streams (one or two), in one message.
bool sendTask(int socket, const unsigned char (&task)[Workers::kTaskBytes], const int (&handles)[2],
              int count)
{
    iovec part{const_cast<unsigned char*>(task), sizeof task};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof handles)] = {};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = CMSG_SPACE(sizeof(int) * static_cast<std::size_t>(count));
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(sizeof(int) * static_cast<std::size_t>(count));
    std::memcpy(CMSG_DATA(header), handles, sizeof(int) * static_cast<std::size_t>(count));
    ssize_t sent = 0;
    while ((sent = ::sendmsg(socket, &message, MSG_NOSIGNAL)) < 0 && errno == EINTR) {
    }
    // The handles went with the first byte; the rest of the task follows.
    return sent > 0 && sendWhole(socket, task + sent, sizeof task - static_cast<std::size_t>(sent));
}

// The next task and its handles; the count of handles, or 0 at the end.
int receiveTask(int socket, unsigned char (&task)[Workers::kTaskBytes], int (&handles)[2])
{
    iovec part{task, sizeof task};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof handles)] = {};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    ssize_t got = 0;
    while ((got = ::recvmsg(socket, &message, MSG_CMSG_CLOEXEC)) < 0 && errno == EINTR) {
    }
    if (got <= 0 || !readWhole(socket, task + got, sizeof task - static_cast<std::size_t>(got))) {
        return 0;
    }
    int count = 0;
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_RIGHTS) {
            const std::size_t bytes = header->cmsg_len - CMSG_LEN(0);
            count = static_cast<int>(bytes / sizeof(int)) < 2
                        ? static_cast<int>(bytes / sizeof(int))
                        : 2;
            std::memcpy(handles, CMSG_DATA(header), sizeof(int) * static_cast<std::size_t>(count));
        }
    }
    return count;
}

} // namespace

bool Workers::available()
{
    return true;
}

Workers::Workers(int processes, Job job, void* context)
    : processes_(processes < kProcesses ? processes : kProcesses), job_(job), context_(context)
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
        // What the caller ignores stays ignored, by this process and its workers.
        if (previous_[i] == SIG_IGN) {
            std::signal(kForwardedSignals[i], SIG_IGN);
        }
    }
}

Workers::~Workers()
{
    // A worker ends when its socket closes.
    for (int i = 0; i < kProcesses; ++i) {
        Process& worker = workers_[i];
        closeHandle(worker.socket);
        if (worker.pid != 0) {
            int status = 0;
            while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
            }
            forwarding.pids[i].store(0);
            worker.pid = 0;
        }
    }
    for (Slot& slot : slots_) {
        closeHandle(slot.out);
        closeHandle(slot.err);
    }
    while (spareCount_ > 0) {
        closeHandle(spare_[--spareCount_]);
    }
    for (int i = 0; i < kForwarded; ++i) {
        if (previous_[i] != SIG_ERR) {
            std::signal(kForwardedSignals[i], previous_[i]);
        }
    }
    forwarding.wake.store(-1);
    closeHandle(wake_[0]);
    closeHandle(wake_[1]);
    // A signal that came after the last task was waited for still ends the
    // process as it would have.
    const int signal = forwarding.signal.exchange(0);
    if (signal != 0) {
        std::raise(signal);
    }
}

void Workers::release(Slot& slot)
{
    // The worker holds no handle of a task's files once the task is over.
    for (int* handle : {&slot.out, &slot.err}) {
        if (*handle >= 0 && spareCount_ < static_cast<int>(sizeof spare_ / sizeof spare_[0]) &&
            ::ftruncate(*handle, 0) == 0 && ::lseek(*handle, 0, SEEK_SET) == 0) {
            spare_[spareCount_++] = *handle;
            *handle = -1;
        }
        closeHandle(*handle);
    }
    slot.used = false;
    slot.ended = false;
}

int Workers::captureFile()
{
    return spareCount_ > 0 ? spare_[--spareCount_] : anonymousFile();
}

bool Workers::launch(int index)
{
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        return false;
    }
    // Blocked until the worker's pid is known: a signal in between would
    // miss the worker, or run the parent's handler in it.
    const sigset_t forwarded = forwardedSet();
    sigset_t before;
    ::sigprocmask(SIG_BLOCK, &forwarded, &before);
    // Nothing buffered may be written twice.
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Signals as they were handled before the run (each task sets its
        // own handling).
        for (int i = 0; i < kForwarded; ++i) {
            std::signal(kForwardedSignals[i], previous_[i] == SIG_ERR ? SIG_DFL : previous_[i]);
        }
        ::sigprocmask(SIG_SETMASK, &before, nullptr);
        ::close(pair[0]);
        serve(pair[1]);
    }
    const int reason = errno;
    ::close(pair[1]);
    if (pid < 0) {
        ::close(pair[0]);
        ::sigprocmask(SIG_SETMASK, &before, nullptr);
        errno = reason;
        return false;
    }
    workers_[index] = Process{pid, pair[0], -1};
    forwarding.pids[index].store(pid);
    ::sigprocmask(SIG_SETMASK, &before, nullptr);
    return true;
}

void Workers::serve(int socket)
{
    // Nothing of the parent's but this worker's socket.
    for (Process& other : workers_) {
        closeHandle(other.socket);
        other.pid = 0;
    }
    for (Slot& slot : slots_) {
        closeHandle(slot.out);
        closeHandle(slot.err);
    }
    while (spareCount_ > 0) {
        closeHandle(spare_[--spareCount_]);
    }
    closeHandle(wake_[0]);
    closeHandle(wake_[1]);
    forwarding.wake.store(-1);
    const int nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    for (;;) {
        unsigned char task[kTaskBytes];
        int handles[2] = {-1, -1};
        const int count = receiveTask(socket, task, handles);
        if (count == 0) {
            ::_exit(0);
        }
        ::dup2(handles[0], 1);
        ::dup2(count > 1 ? handles[1] : handles[0], 2);
        for (int& handle : handles) {
            closeHandle(handle);
        }
        unsigned char record[kRecordBytes] = {};
        job_(context_, task, record);
        std::fflush(stdout);
        std::fflush(stderr);
        std::clearerr(stdout);
        std::clearerr(stderr);
        // The task's files are the parent's now.
        if (nothing >= 0) {
            ::dup2(nothing, 1);
            ::dup2(nothing, 2);
        }
        if (!sendWhole(socket, record, sizeof record)) {
            ::_exit(0);
        }
    }
}

int Workers::start(const unsigned char (&task)[kTaskBytes])
{
    int worker = -1;
    for (int i = 0; i < processes_ && worker < 0; ++i) {
        if (workers_[i].pid != 0 && workers_[i].slot < 0) {
            worker = i;
        }
    }
    for (int i = 0; i < processes_ && worker < 0; ++i) {
        if (workers_[i].pid == 0) {
            if (!launch(i)) {
                return -1;
            }
            worker = i;
        }
    }
    int index = 0;
    while (index < kSlots && slots_[index].used) {
        ++index;
    }
    if (worker < 0 || index == kSlots) {
        errno = EAGAIN;
        return -1;
    }
    Slot& slot = slots_[index];
    const bool oneStream = sameStandardStreams();
    slot.out = captureFile();
    slot.err = oneStream || slot.out < 0 ? -1 : captureFile();
    const int handles[2] = {slot.out, slot.err};
    if (slot.out < 0 || (!oneStream && slot.err < 0) ||
        !sendTask(workers_[worker].socket, task, handles, oneStream ? 1 : 2)) {
        const int reason = errno;
        release(slot);
        errno = reason;
        return -1;
    }
    slot.used = true;
    slot.ended = false;
    workers_[worker].slot = index;
    return index;
}

int Workers::end(int index, bool& sent)
{
    Process& worker = workers_[index];
    Slot& slot = slots_[worker.slot];
    sent = readWhole(worker.socket, slot.record, sizeof slot.record);
    slot.ended = true;
    const int ended = worker.slot;
    worker.slot = -1;
    if (!sent) {
        // The worker is gone.
        closeHandle(worker.socket);
        int status = 0;
        while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
        }
        forwarding.pids[index].store(0);
        worker.pid = 0;
    }
    return ended;
}

int Workers::wait(bool& sent)
{
    sent = false;
    for (;;) {
        if (interruption() != 0) {
            return -1;
        }
        pollfd watched[kProcesses + 1];
        int owners[kProcesses];
        int count = 0;
        for (int i = 0; i < kProcesses; ++i) {
            if (workers_[i].pid != 0 && workers_[i].slot >= 0) {
                watched[count] = {workers_[i].socket, POLLIN, 0};
                owners[count++] = i;
            }
        }
        if (count == 0) {
            errno = ECHILD;
            return -1;
        }
        watched[count] = {wake_[0], POLLIN, 0};
        const int ready = ::poll(watched, static_cast<nfds_t>(count + 1), -1);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        for (int k = 0; k < count; ++k) {
            // Without poll, the first task running is waited for.
            if (ready < 0 || watched[k].revents != 0) {
                return end(owners[k], sent);
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
    for (Process& worker : workers_) {
        if (worker.pid != 0) {
            ::kill(worker.pid, signal);
        }
    }
    for (int i = 0; i < kProcesses; ++i) {
        Process& worker = workers_[i];
        if (worker.pid == 0) {
            continue;
        }
        closeHandle(worker.socket);
        int status = 0;
        while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
        }
        forwarding.pids[i].store(0);
        worker.pid = 0;
        // Its task, if any, ended unsent.
        if (worker.slot >= 0) {
            slots_[worker.slot].ended = true;
            worker.slot = -1;
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
