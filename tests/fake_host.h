// A host held in memory, for running the command in-process: directories
// and files are records, and any call can be made to fail on demand. It
// stands in for host_posix.cpp and keeps the host-neutral code of
// host_shared.cpp, so that code is what the tests exercise.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fakehost {

enum class Call {
    MakeDirectory,
    EnterDirectory,
    Create, // opening an output file
    Write,
    Close,
    SetTime,
    Remember, // holding on to the working directory
    ReturnTo,
};

// Forgets every file, directory, count and planned failure.
void reset();

// Makes the `nth` call of `call` from now on fail (1 is the next one).
void failOn(Call call, int nth = 1);

// How many times `call` was made since the reset.
int calls(Call call);

struct File {
    std::string path; // "000/GAME"; "GAME" in the top directory
    std::vector<std::uint8_t> bytes;
    bool closed = false;
    bool oversized = false; // a write asked for more than any file can hold
};

// Every output file created, in order (a file created twice shows twice).
const std::vector<File>& files();

// The working directory relative to the top: "" or "000".
const std::string& workingDirectory();

} // namespace fakehost
