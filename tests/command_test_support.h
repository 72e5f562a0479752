// Runs the command in-process over the fake host, for the tests that look
// at what it wrote: its status, standard output and error stream.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
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

// Runs the command on several D88 files, each written under its relative
// path (a missing one is left out); the run takes place in their directory,
// so that its messages name them as given. The options come first.
inline Outcome runMany(const std::vector<std::pair<std::string, Bytes>>& inputs,
                       std::vector<const char*> options)
{
    namespace fs = std::filesystem;
    const fs::path base =
        fs::path(::testing::TempDir()) / ("d88unpack-many-" + std::to_string(::getpid()));
    fs::create_directories(base);
    std::vector<const char*> argv = {"d88unpack"};
    argv.insert(argv.end(), options.begin(), options.end());
    for (const auto& [path, bytes] : inputs) {
        if (!bytes.empty()) {
            fs::create_directories((base / path).parent_path());
            d88build::writeFile((base / path).string(), bytes);
        }
        argv.push_back(path.c_str());
    }
    const fs::path start = fs::current_path();
    fs::current_path(base);
    int status = 0;
    {
        const RedirectedStreams redirected("out", "err");
        status = d88::runExtraction(workspace, static_cast<int>(argv.size()), argv.data());
    }
    const Outcome outcome{status, readAll("err"), readAll("out")};
    fs::current_path(start);
    fs::remove_all(base);
    return outcome;
}

} // namespace commandtest
