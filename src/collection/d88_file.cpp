// One D88 file's run, from the open reader to what it came to.
#include "d88_file.h"

#include <cstdio>
#include <cstring>

#include "archive_input.h"
#include "check.h"
#include "findings.h"
#include "folder_names.h"
#include "listing.h"
#include "output_sink.h"
#include "run.h"

namespace d88 {

namespace {

SinkKind sinkFor(const ExtractOptions& options)
{
    if (options.toStdout) {
        return SinkKind::Stdout;
    }
    // The check writes nothing either.
    return options.listOnly || options.check ? SinkKind::Nothing : SinkKind::Tree;
}

ListingStyle styleFor(const ExtractOptions& options)
{
    if (options.json) {
        return ListingStyle::Json;
    }
    // "-p": the standard output carries the files' bytes; "-q": nothing.
    return options.toStdout || options.quiet ? ListingStyle::ProblemsOnly : ListingStyle::Text;
}

// Whether the workspace's open reader holds a D88 file (see examine).
bool holdsD88File(Workspace& workspace)
{
    D88Image& image = workspace.image;
    if (image.imageCount() == 0) {
        return false;
    }
    if (image.firstHeaderPossible()) {
        return true;
    }
    // A header no D88 file has: a disk of this layout behind it still makes
    // it one, damaged.
    if (!image.selectImage(0)) {
        return false;
    }
    image.setSectorRange(kFirstSector, kLastSector);
    return !noLayoutFound(readDirectoryAndTable(image, workspace.directory, workspace.table));
}

// The end of a D88 file's run: its summary record, and alone the state of
// the standard output, then what it came to.
FileOutcome finish(Listing& listing, Reporter& report, bool several, FileOutcome outcome)
{
    listing.summary(report.exitStatus());
    if (several) {
        // What follows on either stream comes after this file's lines.
        std::fflush(stdout);
    } else if (!listing.runEnd()) {
        // A listing that never reached its reader is something left out.
        report(problem::kConsoleLost);
    }
    outcome.status = report.exitStatus();
    outcome.problems = report.anyProblem();
    outcome.stopsRun = report.stopsEveryFile();
    std::memcpy(outcome.problemCounts, report.counts(), sizeof outcome.problemCounts);
    return outcome;
}

} // namespace

D88File examine(Workspace& workspace, int argument, const char* path)
{
    D88File file{argument, path, Readable::Yes, 0, 0, 0, 0};
    D88Image& image = workspace.image;
    // A FIFO or a device is refused, never waited on.
    if (!image.open(host::openInput(path))) {
        file.readable = Readable::CannotOpen;
        file.error = host::lastError();
        return file;
    }
    file.size = image.fileSize();
    file.images = image.imageCount();
    if (holdsD88File(workspace)) {
        return file;
    }
    image.close();
    file.readable = Readable::NotD88;
    // A D88 file is never taken for an archive: that test comes first.
    if (std::FILE* again = host::openInput(path); again != nullptr) {
        file.readable = isArchive(again) ? Readable::Archive : Readable::NotD88;
        std::fclose(again);
    }
    return file;
}

D88File examine(Workspace& workspace, D88File file)
{
    D88Image& image = workspace.image;
    std::FILE* source = file.source;
    file.source = nullptr;
    if (!image.open(source)) {
        file.readable = Readable::CannotOpen;
        file.error = host::lastError();
        return file;
    }
    file.readable = Readable::Yes;
    file.size = image.fileSize();
    file.images = image.imageCount();
    if (!holdsD88File(workspace)) {
        file.readable = Readable::NotD88;
        image.close();
    }
    return file;
}

FileOutcome runD88File(Workspace& workspace, const ExtractOptions& options, const Console& console,
                       const D88File& file, bool several)
{
    Listing listing(styleFor(options), console.style, console.terminalOut, console.terminalErr);
    listing.setReadableNames(options.unicodeNames);
    Reporter report(listing, console.style);
    if (several) {
        report.setPrefix(file.name());
    }
    FileOutcome outcome{};
    switch (file.readable) {
    case Readable::CannotOpen:
        // Each of several D88 files' records begins with its "run" record.
        if (several) {
            listing.runFacts(RunFacts{file.name(), 0, 0, nullptr, false, file.archive, file.entry});
        }
        report(SystemReason{file.name(), file.error}, problem::kCannotOpen);
        return finish(listing, report, several, outcome);
    case Readable::NotD88:
        listing.runFacts(
            RunFacts{file.name(), file.size, file.images, nullptr, true, file.archive, file.entry});
        // The line names the file itself, with or without several.
        report.setPrefix(nullptr);
        report(problem::kNotD88File, Text{file.name()});
        return finish(listing, report, several, outcome);
    case Readable::Archive:
        // The archive's own entries are run, not the archive.
    case Readable::Yes:
        break;
    }
    outcome.read = true;
    D88Image& image = workspace.image;
    outcome.images = image.imageCount();
    char folder[kFolderNameBytes];
    if (file.ownFolder != nullptr) {
        std::snprintf(folder, sizeof folder, "%s", file.ownFolder);
    } else {
        folderName(file.path, file.folder, folder, host::nameRules());
    }
    // An entry's folder inside its archive's, as it is shown and recorded.
    char shownFolder[2 * kFolderNameBytes];
    std::snprintf(shownFolder, sizeof shownFolder, "%s%s%s",
                  file.outerFolder != nullptr ? file.outerFolder : "",
                  file.outerFolder != nullptr ? "/" : "", folder);
    listing.runFacts(RunFacts{file.name(), image.fileSize(), image.imageCount(),
                              several ? shownFolder : nullptr, true, file.archive, file.entry});
    if (several) {
        listing.d88File(file.name(), shownFolder);
        if (file.folder > 0 && file.ownFolder == nullptr) {
            char wanted[kFolderNameBytes];
            folderName(file.path, 0, wanted, host::nameRules());
            report(problem::kFolderTaken, Text{file.path}, Text{wanted}, Text{folder});
        }
    }
    // Known before "-o" changes the working directory: the path may be relative.
    OutputSink sink(sinkFor(options), options.makeSubdirectories, host::identify(file.path),
                    nameEncoding(options));
    if (!sink.open(options.outputDirectory, several ? file.outerFolder : nullptr,
                   several ? folder : nullptr, report)) {
        image.close();
        // Alone, the run ends here as it always did.
        if (!several) {
            outcome.status = report.exitStatus();
            return outcome;
        }
        return finish(listing, report, several, outcome);
    }
    // With several, the parent says it once for them all.
    listing.runStart(!several && options.headerSkip == kFileHeaderBytes);
    // Without a descriptor for it, the run stops here, said once.
    if (!sink.holdOutputDirectory(report)) {
        image.close();
        sink.close(report);
        return finish(listing, report, several, outcome);
    }

    Run run{workspace, options, listing, report, sink};
    walkImages(run, options.check ? checkImage : extractImage);
    // Alone, what the selection found is said before the summary record;
    // not after a stop, which left part of the file unread.
    if (!several && report.exitStatus() != kExitFatal) {
        reportUnfoundSelection(report, options, run.patternsMatched, outcome.images);
    }
    if (options.check) {
        listing.checkEnd(report.exitStatus());
    }
    image.close();
    sink.close(report);
    outcome.patternsMatched = run.patternsMatched;
    outcome.filesWritten = sink.filesWritten();
    outcome.bytesWritten = sink.bytesWritten();
    return finish(listing, report, several, outcome);
}

void reportUnfoundSelection(Reporter& report, const ExtractOptions& options, std::uint32_t matched,
                            int images)
{
    for (int i = 0; i < options.patternCount; ++i) {
        bool named = (matched >> i & 1) != 0;
        // A pattern given twice is named once.
        for (int j = 0; j < i && !named; ++j) {
            named = std::strcmp(options.patterns[j], options.patterns[i]) == 0;
        }
        if (!named) {
            report(problem::kNothingMatched, Text{options.patterns[i]});
        }
    }
    for (int index = images < 0 ? 0 : images; options.anyImageChosen && index < kMaxImages;
         ++index) {
        if (options.imageChosen[index]) {
            report(problem::kNoSuchImage, Count{index});
        }
    }
}

} // namespace d88
