// Runs the command in-process over the fake host, for the tests that look
// at what it wrote: its status, standard output and error stream.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "d88_builder.h"
#include "fake_host.h"

namespace commandtest {

using d88build::Bytes;

// About 1.5 MiB: static storage, as the tool keeps it.
inline d88::Workspace workspace;

struct Outcome {
    int status;
    std::string err;
    std::string out;
};

inline std::string readAll(const std::string& path)
{
    const Bytes bytes = d88build::readFile(path);
    return {bytes.begin(), bytes.end()};
}

// Runs the command on `input` with `options`; returns its status and what
// it wrote on its standard output and error stream.
inline Outcome run(const Bytes& input, std::vector<const char*> options)
{
    const std::string base =
        ::testing::TempDir() + "d88unpack-command-" + std::to_string(::getpid());
    const std::string inputPath = base + ".d88", errPath = base + ".err", outPath = base + ".out";
    d88build::writeFile(inputPath, input);
    std::vector<const char*> argv = {"d88unpack", inputPath.c_str()};
    argv.insert(argv.end(), options.begin(), options.end());

    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = ::dup(1), savedErr = ::dup(2);
    const int outFile = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int errFile = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(outFile, 1);
    ::dup2(errFile, 2);
    const int status = d88::runExtraction(workspace, static_cast<int>(argv.size()), argv.data());
    std::fflush(stdout);
    std::fflush(stderr);
    ::dup2(savedOut, 1);
    ::dup2(savedErr, 2);
    for (int fd : {savedOut, savedErr, outFile, errFile}) {
        ::close(fd);
    }
    const Outcome outcome{status, readAll(errPath), readAll(outPath)};
    std::remove(inputPath.c_str());
    std::remove(errPath.c_str());
    std::remove(outPath.c_str());
    return outcome;
}

} // namespace commandtest
