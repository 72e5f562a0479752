// A host held in memory, for running the command in-process: directories
// and files are records, and any call can be made to fail on demand. It
// stands in for host_posix.cpp and keeps the host-neutral code of
// host_shared.cpp, so that code is what the tests exercise.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host.h"

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
    Rename, // a move over whatever has the name
    Move,   // a move to a free name only
    Remove,
    Look, // looking at what has a name
};

// Forgets every file, directory, count and planned failure.
void reset();

// Makes the `nth` call of `call` from now on fail (1 is the next one), with
// `error` as its errno where the call sets one.
void failOn(Call call, int nth = 1, int error = 0);

// Makes the `nth` call of `call` from now on be interrupted by `signal`, as
// if it came in while the system did the call.
void interrupt(Call call, int nth, int signal);

// Runs `action` just before the `nth` call of `call` from now on (and
// before an interruption planned for it): another process acting at that
// moment.
void whenCalled(Call call, int nth, std::function<void()> action);

// The name rules the command is told the host follows (POSIX until a
// reset). The fake's own directories tell names apart byte for byte under
// both.
void useNameRules(d88::host::NameRules rules);

// The signal the process would have ended by, or 0. Once it has ended, every
// call fails and changes nothing, as the process is gone.
int endedBy();

// How many times `call` was made since the reset.
int calls(Call call);

struct File {
    std::string path; // "000/GAME"; "GAME" in the top directory; its latest name
    std::vector<std::uint8_t> bytes;
    bool closed = false;
    bool oversized = false; // a write asked for more than any file can hold
    bool removed = false;
    std::string timedAs; // its path when its time was set (on the open file), or empty
};

// Every output file created, in order (a file created twice shows twice).
const std::vector<File>& files();

// What is there before a run, or what another process puts there during
// one (over whatever had the name): a regular file with `bytes`, or
// something that is not a regular file (a FIFO, say).
void plantFile(const std::string& path, std::vector<std::uint8_t> bytes);
void plantOther(const std::string& path);

// The regular files that have a name now: path -> bytes.
std::map<std::string, std::vector<std::uint8_t>> tree();

// The directories made, in order of their paths.
std::vector<std::string> directories();

// The working directory relative to the top: "" or "000".
const std::string& workingDirectory();

} // namespace fakehost
