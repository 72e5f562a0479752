// The command line: one table of options drives both the parser and the
// usage and help texts, and says which images and files a run chooses.
#pragma once

#include <cstdio>

#include "console_text.h"
#include "d88_image.h"

namespace d88 {

// How many "-n" patterns one run keeps.
constexpr int kMaxPatterns = 32;

// What was wrong with the command line, if anything.
enum class UsageProblem {
    None,
    MissingValue,    // "-o", "-n" or "-i" was the last argument
    BadImageIndex,   // "-i" not followed by a decimal number below kMaxImages
    TooManyPatterns, // more than kMaxPatterns "-n"
};

// What a file does whose host name is taken, by an earlier file of the run
// or by one that was there before.
enum class NameClash {
    Replace, // it replaces the earlier file; a clash within the run is reported
    Keep,    // "-k": it is not written, and reported
    Rename,  // "-r": it is written as NAME~1, NAME~2, ..., whichever is free first
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
    NameClash nameClash = NameClash::Replace; // "-k", "-r": the last one given
    UsageProblem problem = UsageProblem::None;
    const char* problemArgument = nullptr; // the option or value at fault
};

// Where an option may stand.
enum class OptionPlace {
    AfterPath, // after the D88 path, in any order
    Alone,     // only as the first argument, and only when no file has its name
};

struct OptionRow {
    char shortName;       // "-d"; '\0' when there is none
    const char* longName; // "--help" without its dashes; nullptr when there is none
    bool takesValue;      // the next argument, whatever it reads
    OptionPlace place;
    bool inBriefUsage;       // also in the usage text of a run given no argument
    const ConsoleText* help; // its line of the usage text
    // Takes the option (and its value) into `options`; Alone options have none.
    UsageProblem (*apply)(ExtractOptions& options, const char* value);
};

// The options in the order of the usage text.
extern const OptionRow kOptionRows[];
extern const int kOptionRowCount;

// The row whose short or long form `argument` is exactly, or nullptr.
const OptionRow* findOption(const char* argument, OptionPlace place);

// Reads the options that follow the D88 path (argv[2] on). An option that
// takes a value takes the next argument, whatever it reads. Anything else
// that is not exactly one of the options is ignored. Reading stops at the
// first problem.
ExtractOptions parseOptions(int argc, const char* const* argv);

// The usage text: the usage line with `program`, then the brief rows' lines,
// or with `allOptions` every row's.
void writeUsage(std::FILE* stream, ConsoleStyle console, const char* program, bool allOptions);

// "-i": without it every image is chosen.
bool imageChosen(const ExtractOptions& options, int index);

// "-n": the stored name without its trailing blanks must match a pattern.
bool fileChosen(const ExtractOptions& options, const char* name);

} // namespace d88
