// The command line: one table of options drives both the parser and the
// usage and help texts.
#pragma once

#include <cstdio>

#include "console_text.h"
#include "extract_options.h"

namespace d88 {

struct OptionRow {
    char shortName;          // "-d"; '\0' when there is none
    const char* longName;    // "flat" for "--flat"; every option has one
    const char* valueName;   // "DIR" in the help; nullptr when it takes no value
    const ConsoleText* help; // what it does, in the help
    // Takes the option (and its value) into `options`.
    UsageProblem (*apply)(ExtractOptions& options, const char* value);
};

// The options in the order of the help.
extern const OptionRow kOptionRows[];
extern const int kOptionRowCount;

// Reads the whole command line, getopt-style: options before or after the
// D88 path; short ones combined ("-lb") with a value attached ("-oDIR") or
// as the next argument; long ones with "=VALUE" or the next argument; "--"
// ends them. A first argument that names an existing file (`firstIsFile`) is
// the D88 path whatever it reads. Reading stops at the
// first problem, and at "-h", "--help" or "--version", which win over
// anything after them.
ExtractOptions parseCommandLine(int argc, const char* const* argv, bool firstIsFile);

// The D88 files a command line names, one after another: next() gives the
// place in argv of the next one, or 0 after the last. Reading the options
// between them takes them into `options` as parseCommandLine does, so a
// command line it read without a problem gives its D88 files here.
class D88Files {
public:
    D88Files(int argc, const char* const* argv, bool firstIsFile);
    int next(ExtractOptions& options);
    int next();

private:
    int argc_;
    const char* const* argv_;
    bool firstIsFile_;
    int position_ = 1;
    bool optionsEnded_ = false;
};

// Room for the long options an ambiguous one could be, quoted.
constexpr int kCandidateListBytes = 256;

// The long options that `argument` ("--n", "--n=VALUE") is the start of,
// each quoted and blank-separated: "'--name' '--no-header'".
void listLongCandidates(const char* argument, char (&list)[kCandidateListBytes]);

// The long option ("list") whose spelling is near enough that of the
// unknown long `argument` ("--lsit") to be what was meant, or null.
const char* nearestLongOption(const char* argument);

// The usage text a run given no argument writes: the usage line with
// `program`, then the lines of "-d" and "-b".
void writeBriefUsage(std::FILE* stream, ConsoleStyle console, const char* program);

// The line after a usage error: where to read more.
void writeTryHelp(std::FILE* stream, ConsoleStyle console, const char* program);

// The help: usage, every option in its short and long forms, the pattern
// syntax and the exit statuses.
void writeHelp(std::FILE* stream, ConsoleStyle console, const char* program);

} // namespace d88
