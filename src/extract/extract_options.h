// What a run is asked to do, as the command line said it, and which images
// and files that chooses.
#pragma once

#include <cstdint>

#include "d88_image.h"
#include "host.h"

namespace d88 {

// How many "-n" patterns one run keeps: one bit each says whether it matched.
constexpr int kMaxPatterns = 32;

// The most D88 files extracted at once ("-J").
constexpr int kMaxJobs = 64;

// What was wrong with the command line, if anything.
enum class UsageProblem {
    None,
    MissingValue,    // an option that takes a value was the last argument
    BadImageIndex,   // "-i" not followed by a decimal number below kMaxImages
    TooManyPatterns, // more than kMaxPatterns "-n"
    UnknownOption,   // "-x", "--lsit"
    AmbiguousOption, // "--n": the start of more than one long option
    UnexpectedValue, // "--list=yes"
    NoD88File,       // options, but no path
    Conflict,        // two options that exclude each other
    BadJobs,         // "-J" not followed by a number from 1 to kMaxJobs
    TooManyFiles,    // more D88 files than a run keeps apart
};

// What a file does whose host name is taken, by an earlier file of the run
// or by one that was there before.
enum class NameClash {
    Replace, // it replaces the earlier file; a clash within the run is reported
    Keep,    // "-k": it is not written, and reported
    Rename,  // "-r": it is written as NAME~1, NAME~2, ..., whichever is free first
};

struct ExtractOptions {
    const char* d88Path = nullptr;           // the first D88 file; points into argv
    int d88Files = 0;                        // how many D88 files the command line names
    int headerSkip = 0;                      // "-b": 6, the header is not written
    bool makeSubdirectories = true;          // "-d": false, every file in the working directory
    bool listOnly = false;                   // "-l": list as an extraction would, create nothing
    bool keepTimes = false;                  // "-t": files get their directory entry's time
    bool toStdout = false;                   // "-p": the files' bytes to the standard output
    bool check = false;                      // "-c": check every chosen image, write nothing
    bool json = false;                       // "-j": a JSON Lines listing instead of the text one
    bool unicodeNames = false;               // "-u": names as they read, in UTF-8
    const char* outputDirectory = nullptr;   // "-o DIR", the last one given; points into argv
    const char* patterns[kMaxPatterns] = {}; // "-n PATTERN"s; point into argv
    int patternCount = 0;
    bool imageChosen[kMaxImages] = {};        // "-i N": imageChosen[N]
    bool anyImageChosen = false;              // without "-i" every image is chosen
    bool help = false;                        // "-h", "--help": the help text and nothing else
    bool version = false;                     // "--version"
    NameClash nameClash = NameClash::Replace; // "-k", "-r": the last one given
    bool folders = false;                     // "-f": a folder per D88 file, also for one
    bool quiet = false;                       // "-q": no listing
    int jobs = 0;                             // "-J N"; 0 when not given
    UsageProblem problem = UsageProblem::None;
    const char* problemArgument = nullptr; // the option or value at fault
    const char* otherArgument = nullptr;   // with Conflict: the other option
    char problemOption[3] = {};            // "-x" of an unknown letter in a group such as "-lx"
};

// "-i": without it every image is chosen.
bool imageChosen(const ExtractOptions& options, int index);

// "-n": the name as listed must match a pattern: the stored name without
// its trailing blanks, or with "-u" the name as it reads, whose characters
// the pattern then takes one by one. With `matched`, every pattern is
// tried and the bit of each that matches (1 << its place) is set there.
bool fileChosen(const ExtractOptions& options, const char* name, std::uint32_t* matched = nullptr);

// How the names of output files are read: as UTF-8 with "-u".
inline host::NameEncoding nameEncoding(const ExtractOptions& options)
{
    return options.unicodeNames ? host::NameEncoding::Utf8 : host::NameEncoding::Bytes;
}

} // namespace d88
