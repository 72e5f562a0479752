// The command from its arguments to its exit status: the usage text, help
// and version, the options, and the run over the D88 files: one alone as it
// always ran, several as a collection.
#include "command.h"

#include <cstdio>

#include "collection.h"
#include "d88_file.h"
#include "host.h"
#include "listing.h"
#include "options.h"
#include "reporter.h"
#include "version.h"

namespace d88 {

namespace {

void reportUsageProblem(Reporter& report, const ExtractOptions& options)
{
    const Text argument{options.problemArgument};
    switch (options.problem) {
    case UsageProblem::None:
        return;
    case UsageProblem::MissingValue:
        report(problem::kNeedsValue, argument);
        return;
    case UsageProblem::BadImageIndex:
        report(problem::kBadImageIndex, argument, Count{kMaxImages - 1});
        return;
    case UsageProblem::TooManyPatterns:
        report(problem::kTooManyPatterns, argument, Count{kMaxPatterns});
        return;
    case UsageProblem::UnknownOption:
        if (const char* nearest = nearestLongOption(options.problemArgument); nearest != nullptr) {
            char meant[kCandidateListBytes];
            std::snprintf(meant, sizeof meant, "--%s", nearest);
            report(problem::kUnknownOptionNear, argument, Text{meant});
        } else {
            report(problem::kUnknownOption, argument);
        }
        return;
    case UsageProblem::AmbiguousOption: {
        char candidates[kCandidateListBytes];
        listLongCandidates(options.problemArgument, candidates);
        report(problem::kAmbiguousOption, argument, Text{candidates});
        return;
    }
    case UsageProblem::UnexpectedValue:
        report(problem::kUnexpectedValue, argument);
        return;
    case UsageProblem::NoD88File:
        report(problem::kNoD88File);
        return;
    case UsageProblem::Conflict:
        report(problem::kConflict, argument, Text{options.otherArgument});
        return;
    case UsageProblem::BadJobs:
        report(problem::kBadJobs, argument, Count{kMaxJobs});
        return;
    case UsageProblem::TooManyFiles:
        report(problem::kTooManyFiles, Count{FolderNames::kCapacity});
        return;
    }
}

// The exit status once everything is shown.
int finish(Listing& listing, Reporter& report)
{
    listing.summary(report.exitStatus());
    // A listing that never reached its reader is something left out.
    if (!listing.runEnd()) {
        report(problem::kConsoleLost);
    }
    return report.exitStatus();
}

// Room for a "-n" pattern in UTF-8: no name is longer than
// kReadableNameBytes, and a longer pattern is matched as given.
constexpr int kPatternBytes = 512;

// With "-u" the patterns are matched against names read as UTF-8: a host
// whose command line is in another encoding (Windows) has them converted
// into `room`.
void patternsAsUtf8(ExtractOptions& options, char (&room)[kMaxPatterns][kPatternBytes])
{
    for (int i = 0; options.unicodeNames && i < options.patternCount; ++i) {
        if (host::argumentAsUtf8(options.patterns[i], room[i], kPatternBytes)) {
            options.patterns[i] = room[i];
        }
    }
}

// The program path as `stream` shows it: escaped on a terminal, as every
// path is.
const char* shownProgram(const char* program, std::FILE* stream, ConsoleEncoding encoding,
                         char (&buffer)[kEscapedBytes])
{
    if (!host::isTerminal(stream)) {
        return program;
    }
    escapeForTerminal(program, buffer, kEscapedBytes, encoding);
    return buffer;
}

// Several D88 files: each one is looked at before anything is read or
// written, so that a mistake on the command line ("d88unpack a.d88 out")
// writes nothing. One that is missing, a directory or not a regular file
// is named with the system's reason.
bool everyD88FileIsAFile(Reporter& report, int argc, const char* const* argv, bool firstIsFile)
{
    bool all = true;
    D88Files files(argc, argv, firstIsFile);
    for (int at = files.next(); at != 0; at = files.next()) {
        if (host::pathKind(argv[at]) != host::PathKind::Regular) {
            report(SystemReason{argv[at], host::lastError()}, problem::kCannotOpen);
            all = false;
        }
    }
    return all;
}

} // namespace

int runExtraction(Workspace& workspace, int argc, const char* const* argv)
{
    const ConsoleStyle console{host::messageLanguage(), host::consoleEncoding()};
    const char* program = argc > 0 && argv[0] != nullptr ? argv[0] : "d88unpack";
    char shown[kEscapedBytes];
    if (argc < 2) {
        writeBriefUsage(stderr, console, shownProgram(program, stderr, console.encoding, shown));
        return kExitFatal;
    }
    // A first argument that names a file is a D88 file, whatever it reads:
    // "d88unpack -d" extracts a file named "-d".
    const bool firstIsFile = host::identify(argv[1]).known;
    ExtractOptions options = parseCommandLine(argc, argv, firstIsFile);
    char patterns[kMaxPatterns][kPatternBytes];
    patternsAsUtf8(options, patterns);
    // Names and paths from the disk or the command line reach a terminal
    // escaped; a pipe or a file gets them as they are.
    const Console terminals{console, host::isTerminal(stdout), host::isTerminal(stderr)};
    Listing listing(options.toStdout ? ListingStyle::ProblemsOnly : ListingStyle::Text, console,
                    terminals.terminalOut, terminals.terminalErr);
    Reporter report(listing, console);
    if (options.help || options.version) {
        if (options.help) {
            writeHelp(stdout, console, shownProgram(program, stdout, console.encoding, shown));
        } else {
            std::printf(textFor(kVersionLine, console), kVersion);
        }
        return finish(listing, report);
    }
    if (options.problem != UsageProblem::None) {
        // Two lines: what is wrong, and where to read more. The help itself
        // would push the first out of sight.
        reportUsageProblem(report, options);
        writeTryHelp(stderr, console, shownProgram(program, stderr, console.encoding, shown));
        return kExitFatal;
    }
    // A listing nobody reads any more is reported at the end, not fatal.
    const host::BrokenPipesIgnored brokenPipesIgnored;
    // An interrupted run leaves no file half-written.
    const host::InterruptsHandled interruptsHandled;

    if (options.d88Files == 1 && !options.folders) {
        const D88File file =
            examine(workspace, D88Files(argc, argv, firstIsFile).next(), options.d88Path);
        return runD88File(workspace, options, terminals, file, false).status;
    }
    if (!everyD88FileIsAFile(report, argc, argv, firstIsFile)) {
        return kExitFatal;
    }
    Collection collection(workspace, options, argv, terminals);
    D88Files files(argc, argv, firstIsFile);
    for (int at = files.next(); at != 0; at = files.next()) {
        collection.add(at);
    }
    return collection.finish();
}

} // namespace d88
