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
void keepTime(Run& run, int imageIndex, const DirectoryEntry& entry, const char* hostName)
{
    const EntryTime time = entryTime(entry);
    if (time.valid && !run.sink.setTime(time)) {
        run.report(run.sink.reason(hostName), problem::kCannotSetTime, ImageIndex{imageIndex},
                   FileName{entry.name});
    }
}

// Writes one file of the current image (with "-l", only lists it). False
// when the run must stop.
bool extractFile(Run& run, int imageIndex, int entryIndex, const DirectoryEntry& entry)
{
    Workspace& ws = run.workspace;
    run.listing.fileBegin();
    const AssembledFile file = assembleFile(ws.image, ws.table, entry.firstCluster, ws.file,
                                            ws.trace, ws.owners, entryIndex);
    const FileHeader header = decodeFileHeader(ws.file);
    const ImageIndex image{imageIndex};
    const FileName name{entry.name};

    char hostName[kHostNameBytes];
    hostFileName(entry.name, hostName, host::nameRules());
    // With "-l" nothing is made, but names clash as they would.
    Placed placed = place(run, imageIndex, entry, hostName);
    if (placed.stop) {
        return false;
    }
    const bool created = placed.created;
    if (created) {
        run.listing.file(entry, header);
    }

    // The damage is the file's whether or not it could be created.
    if (file.sectorsLost > 0) {
        run.report(problem::kFileSectorsLost, image, name, Count{file.sectorsLost});
    }
    if (file.chainCut) {
        run.report(problem::kChainCut, image, name);
    }
    // The header's size counts the bytes after the header.
    const int wanted = kFileHeaderBytes + static_cast<int>(header.size);
    if (file.length < wanted) {
        run.report(problem::kFileShort, image, name);
    }
    reportChainFindings(run, imageIndex, entryIndex, entry);
    // Never past the data the chain assembled, whatever the header claims.
    const int end = std::min(wanted, file.length);
    if (!created) {
        describeFile(run, imageIndex, entryIndex, entry, header, end, nullptr, 0);
        return true;
    }

    const int begin = std::min(run.options.headerSkip, end);
    const bool written =
        run.sink.write(ws.file.bytes + begin, static_cast<std::size_t>(end - begin));
    if (written && run.options.keepTimes && run.sink.makesFiles()) {
        keepTime(run, imageIndex, entry, placed.name);
    }
    const Settled settled =
        written ? settle(run, imageIndex, entry, hostName, placed) : Settled::Failed;
    if (settled != Settled::InPlace) {
        if (settled == Settled::Failed) {
            run.report(run.sink.reason(placed.name),
                       run.sink.toStdout() ? problem::kStdoutFailed : problem::kWriteFailed);
        }
        describeFile(run, imageIndex, entryIndex, entry, header, end, nullptr, 0);
        return settled != Settled::Failed;
    }
    // The JSON record names the file written; "-l" and "-p" write none.
    const bool made = run.sink.makesFiles();
    describeFile(run, imageIndex, entryIndex, entry, header, end, made ? placed.name : nullptr,
                 made ? end - begin : 0);
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
        ws.names.clear(host::nameRules());
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
    // Nothing of the layout at all: most likely no disk of this kind, said
    // once rather than part by part.
    constexpr int kDirectorySectors = kDirectoryBytes / kSectorBytes;
    const bool noLayout =
        layout.directorySectorsLost == kDirectorySectors && layout.tableSectorsLost > 0;
    if (noLayout) {
        run.report(problem::kNoLayout, ImageIndex{index});
        writeFiles = false;
    } else if (layout.directorySectorsLost > 0) {
        run.report(problem::kDirectoryDamaged, ImageIndex{index},
                   Count{layout.directorySectorsLost});
    }
    const ConsoleStyle console = run.report.console();
    forEachErrorStatus(layout.directorySectors, console, [&](const StatusGroup& group) {
        run.report(problem::kDirectorySectorStatus, ImageIndex{index}, Count{group.count},
                   Text{group.name}, Text{group.places});
    });
    forEachErrorStatus(layout.tableSectors, console, [&](const StatusGroup& group) {
        run.report(problem::kTableSectorStatus, ImageIndex{index}, Count{group.count},
                   Text{group.name}, Text{group.places});
    });
    // Cross-links are between files of one image.
    clearOwners(ws.owners);
    // A table of zeros would turn every file into garbage.
    if (layout.tableSectorsLost > 0 && !noLayout) {
        run.report(problem::kTableUnreadable, ImageIndex{index});
        writeFiles = false;
    }

    bool keepGoing = true;
    for (int i = 0; writeFiles && keepGoing && i < kEntryCount; ++i) {
        const DirectoryEntry entry = decodeEntry(ws.directory.bytes + i * kEntryBytes);
        if (entry.state == EntryState::EndOfDirectory) {
            break;
        }
        if (entry.state == EntryState::File && fileChosen(run.options, entry.name)) {
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
