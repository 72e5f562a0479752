// The extraction command: reads the command line, then for every image of
// the D88 file writes every file of its directory to the host, with one
// listing line per file.
#pragma once

#include "extract/disk_layout.h"
#include "extract/host.h"
#include "image/d88_image.h"

namespace d88 {

// Exit statuses of a run.
constexpr int kExitSuccess = 0; // every file of every image written whole
constexpr int kExitFatal = 1;   // usage, open failure or failed write: stopped at once
constexpr int kExitDamaged = 2; // ran to the end, but something was damaged or left out

// How many "-n" patterns one run keeps.
constexpr int kMaxPatterns = 32;

// What was wrong with the command line, if anything.
enum class UsageProblem {
    None,
    MissingValue,    // "-o", "-n" or "-i" was the last argument
    BadImageIndex,   // "-i" not followed by a decimal number below kMaxImages
    TooManyPatterns, // more than kMaxPatterns "-n"
};

struct ExtractOptions {
    int headerSkip = 0;                      // "-b": 6, the header is not written
    bool makeSubdirectories = true;          // "-d": false, every file in the working directory
    bool listOnly = false;                   // "-l": list as an extraction would, create nothing
    bool keepTimes = false;                  // "-t": files get their directory entry's time
    const char* outputDirectory = nullptr;   // "-o DIR", the last one given; points into argv
    const char* patterns[kMaxPatterns] = {}; // "-n PATTERN"s; point into argv
    int patternCount = 0;
    bool imageChosen[kMaxImages] = {}; // "-i N": imageChosen[N]
    bool anyImageChosen = false;       // without "-i" every image is chosen
    UsageProblem problem = UsageProblem::None;
    const char* problemArgument = nullptr; // the option or value at fault
};

// Room for a listing line: a 9-byte name, three hexadecimal fields and five
// decimal ones of any value, and the line feed.
constexpr int kListingLineBytes = 128;

// Writes the listing line of a file into `line`, byte for byte what
// kListingLine's format makes of the same values, and returns its length.
// On an archive of small files printf alone took half of the run's
// instructions; this takes a few percent.
int formatListingLine(const DirectoryEntry& entry, const FileHeader& header,
                      char (&line)[kListingLineBytes]);

// Reads the options that follow the D88 path (argv[2] on). "-o", "-n" and
// "-i" take the next argument as their value, whatever it reads. Anything
// else that is not exactly one of the options is ignored. Reading stops at
// the first problem.
ExtractOptions parseOptions(int argc, const char* const* argv);

// A host name: a '_' put in front, the stored name's bytes, the terminator.
constexpr int kHostNameBytes = 1 + kNameBytes + 1;

// The host name of a stored file name, so that no file lands outside the
// output directory or on a device. Both rule sets: a '/' becomes '_', and
// "." and ".." become "_" and "__". Windows rules besides: the bytes
// \ : * ? " < > | and those below 0x20 become '_', and a '_' is put in front
// of a device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-COM9,
// LPT0-LPT9, in any case, alone or before a dot, trailing blanks ignored)
// and of a name of nothing but dots and blanks, which Windows would take
// for the directory itself. Every other byte stays as it is.
void hostFileName(const char* stored, char (&host)[kHostNameBytes], host::NameRules rules);

// Runs the whole command line through `image` and returns the exit status.
// The image is closed again before this returns.
int runExtraction(D88Image& image, int argc, const char* const* argv);

} // namespace d88
