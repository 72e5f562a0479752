// The standard output and error stream sent to files while one of these
// exists, for running the command in-process; both are flushed first and put
// back after. "/dev/null" throws a stream away.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

class RedirectedStreams {
public:
    RedirectedStreams(const char* outPath, const char* errPath)
    {
        std::fflush(stdout);
        std::fflush(stderr);
        out_ = ::open(outPath, O_WRONLY | O_CREAT | O_TRUNC, 0600);
        err_ = ::open(errPath, O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out_, 1);
        ::dup2(err_, 2);
    }
    ~RedirectedStreams()
    {
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(savedOut_, 1);
        ::dup2(savedErr_, 2);
        for (int fd : {savedOut_, savedErr_, out_, err_}) {
            ::close(fd);
        }
    }
    RedirectedStreams(const RedirectedStreams&) = delete;
    RedirectedStreams& operator=(const RedirectedStreams&) = delete;

private:
    int savedOut_ = ::dup(1);
    int savedErr_ = ::dup(2);
    int out_ = -1;
    int err_ = -1;
};
