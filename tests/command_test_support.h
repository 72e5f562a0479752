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
#include "redirected_streams.h"

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

    int status = 0;
    {
        const RedirectedStreams redirected(outPath.c_str(), errPath.c_str());
        status = d88::runExtraction(workspace, static_cast<int>(argv.size()), argv.data());
    }
    const Outcome outcome{status, readAll(errPath), readAll(outPath)};
    std::remove(inputPath.c_str());
    std::remove(errPath.c_str());
    std::remove(outPath.c_str());
    return outcome;
}

} // namespace commandtest
