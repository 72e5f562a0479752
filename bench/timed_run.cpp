// Runs one command and reports its wall time and peak resident memory, for
// the benchmark script:
//   timed_run [--cwd DIR] [--stdout FILE] [--timeout SECONDS] -- PROGRAM ARGS...
// prints one line on the standard output:
//   <wall seconds> <peak RSS in KiB> <exit status | signal:N | timeout>
// The command's standard output goes to FILE (default /dev/null); its
// standard error is left alone. A command still running at the timeout is
// killed; its time and memory up to then are reported.
//
// The peak RSS is the kernel's ru_maxrss for the child, and the kernel counts
// this program's own resident memory at the time of exec into it: run
// /bin/true under it to see that floor.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double seconds(const timespec& t)
{
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return seconds(t);
}

int usage(const char* program)
{
    std::fprintf(stderr,
                 "usage: %s [--cwd DIR] [--stdout FILE] [--timeout SECONDS] -- PROGRAM ARGS...\n",
                 program);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    const char* cwd = nullptr;
    const char* out = "/dev/null";
    double timeout = 0; // none
    int i = 1;
    for (; i + 1 < argc && std::strcmp(argv[i], "--") != 0; i += 2) {
        if (std::strcmp(argv[i], "--cwd") == 0) {
            cwd = argv[i + 1];
        } else if (std::strcmp(argv[i], "--stdout") == 0) {
            out = argv[i + 1];
        } else if (std::strcmp(argv[i], "--timeout") == 0) {
            timeout = std::atof(argv[i + 1]);
        } else {
            return usage(argv[0]);
        }
    }
    if (i >= argc || std::strcmp(argv[i], "--") != 0 || i + 1 >= argc) {
        return usage(argv[0]);
    }
    char** command = argv + i + 1;

    // SIGCHLD is taken by sigtimedwait, so the wait can have a deadline.
    sigset_t childExit;
    sigemptyset(&childExit);
    sigaddset(&childExit, SIGCHLD);
    sigprocmask(SIG_BLOCK, &childExit, nullptr);

    const double start = now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return 2;
    }
    if (pid == 0) {
        sigprocmask(SIG_UNBLOCK, &childExit, nullptr);
        if (cwd != nullptr && chdir(cwd) != 0) {
            std::perror(cwd);
            _exit(127);
        }
        const int fd = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0) {
            std::perror(out);
            _exit(127);
        }
        close(fd);
        execvp(command[0], command);
        std::perror(command[0]);
        _exit(127);
    }

    bool timedOut = false;
    for (;;) {
        siginfo_t info;
        int got;
        if (timeout > 0) {
            const double left = timeout - (now() - start);
            if (left <= 0) {
                timedOut = true;
                break;
            }
            timespec wait{
                static_cast<time_t>(left),
                static_cast<long>((left - static_cast<double>(static_cast<time_t>(left))) * 1e9)};
            got = sigtimedwait(&childExit, &info, &wait);
        } else {
            got = sigwaitinfo(&childExit, &info);
        }
        if (got == SIGCHLD) {
            break;
        }
        if (got < 0 && errno == EAGAIN) {
            timedOut = true;
            break;
        }
    }
    if (timedOut) {
        kill(pid, SIGKILL);
    }
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::perror("wait4");
            return 2;
        }
    }
    const double wall = now() - start;

    char outcome[32];
    if (timedOut) {
        std::snprintf(outcome, sizeof outcome, "timeout");
    } else if (WIFEXITED(status)) {
        std::snprintf(outcome, sizeof outcome, "%d", WEXITSTATUS(status));
    } else {
        std::snprintf(outcome, sizeof outcome, "signal:%d", WTERMSIG(status));
    }
    std::printf("%.6f %ld %s\n", wall, usage.ru_maxrss, outcome);
    return 0;
}
