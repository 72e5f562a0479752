// The command from its arguments to its exit status: the usage text, help
// and version, the options, the D88 file, and the run over it.
#include "command.h"

#include <cstdio>

#include "check.h"
#include "findings.h"
#include "host.h"
#include "listing.h"
#include "options.h"
#include "output_sink.h"
#include "reporter.h"
#include "run.h"
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
    case UsageProblem::ExtraOperand:
        report(problem::kExtraOperand, argument);
        return;
    case UsageProblem::NoD88File:
        report(problem::kNoD88File);
        return;
    case UsageProblem::Conflict:
        report(problem::kConflict, argument, Text{options.otherArgument});
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

SinkKind sinkFor(const ExtractOptions& options)
{
    if (options.toStdout) {
        return SinkKind::Stdout;
    }
    // The check writes nothing either.
    return options.listOnly || options.check ? SinkKind::Nothing : SinkKind::Tree;
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
    // A first argument that names a file is the D88 file, whatever it reads:
    // "d88unpack -d" extracts a file named "-d".
    ExtractOptions options = parseCommandLine(argc, argv, host::identify(argv[1]).known);
    char patterns[kMaxPatterns][kPatternBytes];
    patternsAsUtf8(options, patterns);
    // Names and paths from the disk or the command line reach a terminal
    // escaped; a pipe or a file gets them as they are.
    Listing listing(options.toStdout ? ListingStyle::ProblemsOnly : ListingStyle::Text, console,
                    host::isTerminal(stdout), host::isTerminal(stderr));
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
    if (options.json) {
        listing.setStyle(ListingStyle::Json);
    }
    listing.setReadableNames(options.unicodeNames);
    // A listing nobody reads any more is reported at the end, not fatal.
    const host::BrokenPipesIgnored brokenPipesIgnored;
    // An interrupted run leaves no file half-written.
    const host::InterruptsHandled interruptsHandled;

    D88Image& image = workspace.image;
    // A FIFO or a device is refused, never waited on.
    if (!image.open(host::openInput(options.d88Path))) {
        report(SystemReason{options.d88Path, host::lastError()}, problem::kCannotOpen);
        // A JSON reader still gets the summary that carries the problem.
        return finish(listing, report);
    }
    listing.runFacts(RunFacts{options.d88Path, image.fileSize(), image.imageCount()});
    // Known before "-o" changes the working directory: the path may be relative.
    OutputSink sink(sinkFor(options), options.makeSubdirectories, host::identify(options.d88Path),
                    nameEncoding(options));
    if (!sink.open(options.outputDirectory, report)) {
        image.close();
        return report.exitStatus();
    }
    listing.runStart(options.headerSkip == kFileHeaderBytes);
    if (!sink.holdOutputDirectory(report)) {
        image.close();
        sink.close(report);
        return finish(listing, report);
    }

    Run run{workspace, options, listing, report, sink};
    walkImages(run, options.check ? checkImage : extractImage);
    if (options.check) {
        listing.checkEnd(report.exitStatus());
    }
    image.close();
    sink.close(report);
    return finish(listing, report);
}

} // namespace d88
