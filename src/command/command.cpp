// The command from its arguments to its exit status: the usage text, help
// and version, the options, the D88 file, and the run over it.
#include "command.h"

#include <cstdio>

#include "host.h"
#include "listing.h"
#include "options.h"
#include "output_sink.h"
#include "report.h"
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
    }
}

// The exit status once everything is shown.
int finish(Listing& listing, Reporter& report)
{
    // A listing that never reached its reader is something left out.
    if (!listing.runEnd()) {
        report(problem::kConsoleLost);
    }
    return report.exitStatus();
}

} // namespace

int runExtraction(Workspace& workspace, int argc, const char* const* argv)
{
    const ConsoleStyle console{host::messageLanguage(), host::consoleEncoding()};
    Listing listing(ListingStyle::Text, console);
    Reporter report(listing, console);
    const char* program = argc > 0 && argv[0] != nullptr ? argv[0] : "d88unpack";
    if (argc < 2) {
        writeUsage(stderr, console, program, false);
        return kExitFatal;
    }
    // Only when no file has that name: otherwise it is the D88 file, as the
    // first argument always was.
    const OptionRow* alone = findOption(argv[1], OptionPlace::Alone);
    if (alone != nullptr && !host::identify(argv[1]).known) {
        if (alone->shortName == 'h') {
            writeUsage(stdout, console, program, true);
        } else {
            std::printf(textFor(kVersionLine, console), kVersion);
        }
        return finish(listing, report);
    }
    const ExtractOptions options = parseOptions(argc, argv);
    if (options.problem != UsageProblem::None) {
        reportUsageProblem(report, options);
        writeUsage(stderr, console, program, true);
        return kExitFatal;
    }
    // A listing nobody reads any more is reported at the end, not fatal.
    const host::BrokenPipesIgnored brokenPipesIgnored;
    // An interrupted run leaves no file half-written.
    const host::InterruptsHandled interruptsHandled;

    D88Image& image = workspace.image;
    // A FIFO or a device is refused, never waited on.
    if (!image.open(host::openInput(argv[1]))) {
        report(SystemReason{argv[1], host::lastError()}, problem::kCannotOpen);
        return report.exitStatus();
    }
    // Known before "-o" changes the working directory: the path may be relative.
    OutputSink sink(options.listOnly ? SinkKind::Nothing : SinkKind::Tree,
                    options.makeSubdirectories, host::identify(argv[1]));
    if (!sink.open(options.outputDirectory, report)) {
        image.close();
        return report.exitStatus();
    }
    listing.runStart(options.headerSkip == kFileHeaderBytes);
    sink.holdOutputDirectory(report);

    Run run{workspace, options, listing, report, sink};
    extractImages(run);
    image.close();
    sink.close(report);
    return finish(listing, report);
}

} // namespace d88
