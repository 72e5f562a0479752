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
        report(problem::kUnknownOption, argument);
        return;
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
    if (argc < 2) {
        writeBriefUsage(stderr, console, program);
        return kExitFatal;
    }
    // A first argument that names a file is the D88 file, whatever it reads,
    // as it always was.
    const bool firstIsFile = host::identify(argv[1]).known;
    const ExtractOptions options = parseCommandLine(argc, argv, firstIsFile);
    // Names and paths from the disk or the command line reach a terminal
    // escaped; a pipe or a file gets them as they are.
    const Console shown{console, host::isTerminal(stdout), host::isTerminal(stderr)};
    Listing listing(options.toStdout ? ListingStyle::ProblemsOnly : ListingStyle::Text, console,
                    shown.terminalOut, shown.terminalErr);
    Reporter report(listing, console);
    if (options.help || options.version) {
        if (options.help) {
            writeHelp(stdout, console, program);
        } else {
            std::printf(textFor(kVersionLine, console), kVersion);
        }
        return finish(listing, report);
    }
    if (options.problem != UsageProblem::None) {
        reportUsageProblem(report, options);
        writeHelp(stderr, console, program);
        return kExitFatal;
    }
    // A listing nobody reads any more is reported at the end, not fatal.
    const host::BrokenPipesIgnored brokenPipesIgnored;
    // An interrupted run leaves no file half-written.
    const host::InterruptsHandled interruptsHandled;

    if (options.d88Files == 1 && !options.folders) {
        const D88File file =
            examine(workspace, D88Files(argc, argv, firstIsFile).next(), options.d88Path);
        return runD88File(workspace, options, shown, file, false).status;
    }
    if (!everyD88FileIsAFile(report, argc, argv, firstIsFile)) {
        return kExitFatal;
    }
    Collection collection(workspace, options, argv, shown);
    D88Files files(argc, argv, firstIsFile);
    for (int at = files.next(); at != 0; at = files.next()) {
        collection.add(at);
    }
    return collection.finish();
}

} // namespace d88
