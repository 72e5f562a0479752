// The loop over images and entries.
//
// One pass: images in index order, entries in directory order. Problems that
// leave the run able to go on (unreadable sectors, a chain cut short, a file
// or subdirectory that cannot be made) are reported as damage; a failed
// write or a lost way back stops the run. "-i" and "-n" skip images and
// files before anything of them is read.
#include "run.h"

#include <algorithm>
#include <cstdio>

#include "digest.h"
#include "findings.h"
#include "host_names.h"
#include "placement.h"
#include "sector_report.h"

namespace d88 {

namespace {

// "%03d" of an image index: three digits below kMaxImages, room for any int.
constexpr int kSubdirectoryNameBytes = 12;
static_assert(kMaxImages <= 1000);

// A written file gets its entry's date, before it is put in place; a stamp
// that is no date changes nothing and is not a problem.
void keepTime(Run& run, int imageIndex, const FileRecord& record, const char* hostName)
{
    if (record.time.valid && !run.sink.setTime(record.time)) {
        run.report(run.sink.reason(hostName), problem::kCannotSetTime, ImageIndex{imageIndex},
                   FileName{record.entry.name});
    }
}

// Writes one file of the current image (with "-l", only lists it). False
// when the run must stop.
bool extractFile(Run& run, int imageIndex, int entryIndex, const DirectoryEntry& entry)
{
    Workspace& ws = run.workspace;
    run.listing.fileBegin();
    const FileRecord record =
        readFile(ws.image, ws.table, entry, entryIndex, ws.file, ws.trace, ws.owners);

    char hostName[kHostNameBytes];
    outputName(entry.name, run.options.unicodeNames, host::nameRules(), hostName);
    // With "-l" nothing is made, but names clash as they would.
    Placed placed = place(run, imageIndex, entry, hostName);
    if (placed.stop) {
        return false;
    }
    if (placed.created) {
        run.listing.file(record);
    }
    // The damage is the file's whether or not it could be created.
    reportFileFindings(run, imageIndex, record, false);
    if (!placed.created) {
        describeFile(run, imageIndex, record, nullptr, 0);
        return true;
    }

    const int end = record.storedLength;
    const int begin = std::min(run.options.headerSkip, end);
    const bool written =
        run.sink.write(ws.file.bytes + begin, static_cast<std::size_t>(end - begin));
    if (written && run.options.keepTimes && run.sink.makesFiles()) {
        keepTime(run, imageIndex, record, placed.name);
    }
    const Settled settled =
        written ? settle(run, imageIndex, entry, hostName, placed) : Settled::Failed;
    if (settled != Settled::InPlace) {
        if (settled == Settled::Failed) {
            run.report(run.sink.reason(placed.name),
                       run.sink.toStdout() ? problem::kStdoutFailed : problem::kWriteFailed);
        }
        describeFile(run, imageIndex, record, nullptr, 0);
        return settled != Settled::Failed;
    }
    // The JSON record names the file written; "-l" and "-p" write none.
    const bool made = run.sink.makesFiles();
    describeFile(run, imageIndex, record, made ? placed.name : nullptr, made ? end - begin : 0);
    return true;
}

} // namespace

// Writes (with "-l", lists) every chosen file of image `index`, which is
// current. False when the run must stop.
bool extractImage(Run& run, int index)
{
    Workspace& ws = run.workspace;
    ws.image.setSectorRange(kFirstSector, kLastSector);
    const LayoutRead layout = readDirectoryAndTable(ws.image, ws.directory, ws.table);

    char subdirectory[kSubdirectoryNameBytes];
    std::snprintf(subdirectory, sizeof subdirectory, "%03d", index);
    const bool subdirectories = run.options.makeSubdirectories;
    bool writeFiles = run.sink.enterImage(subdirectory);
    run.listing.imageStart(ws.image.imageName(), subdirectories ? subdirectory : nullptr);
    describeImage(run, index, subdirectories ? subdirectory : nullptr);
    reportImageExtent(run, index);
    // Each subdirectory is a directory of its own names.
    if (subdirectories) {
        ws.names.clear(host::nameRules(), nameEncoding(run.options));
    }

    if (!writeFiles) {
        const SystemReason reason = run.sink.reason(nullptr);
        // No later image's subdirectory could be made either.
        if (host::failsEveryFile(reason.code)) {
            run.report(reason, problem::kHostFullSubdirectory, ImageIndex{index},
                       Text{subdirectory});
            run.sink.leaveImage();
            return false;
        }
        run.report(reason, problem::kCannotEnterSubdirectory, ImageIndex{index},
                   Text{subdirectory});
    }
    const LayoutState state = reportLayoutFindings(run, index, layout);
    if (state.noLayout) {
        writeFiles = false;
    }
    // Cross-links are between files of one image.
    clearOwners(ws.owners);
    // A table of zeros would turn every file into garbage.
    if (state.tableLost) {
        run.report(problem::kTableUnreadable, ImageIndex{index});
        writeFiles = false;
    }

    bool keepGoing = true;
    for (int i = 0; writeFiles && keepGoing && i < kEntryCount; ++i) {
        const DirectoryEntry entry = decodeEntry(ws.directory.bytes + i * kEntryBytes);
        if (entry.state == EntryState::EndOfDirectory) {
            break;
        }
        if (entry.state == EntryState::File &&
            fileChosen(run.options, entry.name, &run.patternsMatched)) {
            keepGoing = extractFile(run, index, i, entry);
        }
    }

    run.listing.imageEnd();
    if (!run.sink.leaveImage()) {
        // Anything written now would land in the wrong place.
        run.report(run.sink.reason(nullptr), problem::kCannotReturn);
        return false;
    }
    return keepGoing;
}

} // namespace d88
