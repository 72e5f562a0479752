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

#include "check.h"
#include "digest.h"
#include "host_names.h"
#include "sector_report.h"

namespace d88 {

// The JSON record of the current image: its header's fields and the
// SHA-256 of its bytes as stored, read through the file buffer before any
// file of it is assembled there.
void describeImage(Run& run, int index, const char* subdirectory)
{
    if (!run.listing.json()) {
        return;
    }
    D88Image& reader = run.workspace.image;
    ImageFacts facts{};
    facts.index = index;
    facts.offset = reader.imageOffset();
    facts.diskSize = reader.diskSize();
    facts.storedSize = reader.storedSize();
    facts.name = reader.imageName();
    facts.mediaType = reader.mediaType();
    facts.writeProtect = reader.writeProtect();
    facts.subdirectory = subdirectory;
    host::Hash sha256(host::HashKind::Sha256);
    std::uint8_t* scratch = run.workspace.file.bytes;
    std::int64_t done = 0;
    facts.hashed = true;
    while (facts.hashed && done < facts.storedSize) {
        const int got = reader.readStored(done, scratch, kFileBufferBytes);
        facts.hashed = got > 0 && sha256.add(scratch, static_cast<std::size_t>(got));
        done += got;
    }
    facts.hashed = facts.hashed && sha256.finish(facts.sha256);
    run.listing.imageFacts(facts);
}

namespace {

// "%03d" of an image index: three digits below kMaxImages, room for any int.
constexpr int kSubdirectoryNameBytes = 12;
static_assert(kMaxImages <= 1000);

// A written file gets its entry's date; a stamp that is no date changes
// nothing and is not a problem.
void keepTime(Run& run, int imageIndex, const DirectoryEntry& entry, const char* hostName)
{
    const EntryTime time = entryTime(entry);
    if (time.valid && !run.sink.setTime(hostName, time)) {
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
    bool created = false;
    if (run.sink.writes()) {
        created = run.sink.create(hostName);
        if (!created) {
            run.report(run.sink.reason(hostName), problem::kCannotCreateFile, image, name);
        }
    }
    if (created || !run.sink.writes()) {
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
    if (!run.sink.writeAndClose(ws.file.bytes + begin, static_cast<std::size_t>(end - begin))) {
        run.report(run.sink.reason(hostName),
                   run.sink.toStdout() ? problem::kStdoutFailed : problem::kWriteFailed);
        describeFile(run, imageIndex, entryIndex, entry, header, end, nullptr, 0);
        return false;
    }
    if (run.options.keepTimes && !run.sink.toStdout()) {
        keepTime(run, imageIndex, entry, hostName);
    }
    describeFile(run, imageIndex, entryIndex, entry, header, end, hostName, end - begin);
    return true;
}

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

    if (!writeFiles) {
        run.report(run.sink.reason(nullptr), problem::kCannotEnterSubdirectory, ImageIndex{index},
                   Text{subdirectory});
    }
    if (layout.directorySectorsLost > 0) {
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
    if (layout.tableSectorsLost > 0) {
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

} // namespace

// The JSON record of a file once everything about it is known: the bytes
// as stored (header and size, as far as the chain holds) are hashed, so the
// fingerprints do not depend on "-b".
void describeFile(Run& run, int imageIndex, int entryIndex, const DirectoryEntry& entry,
                  const FileHeader& header, int storedLength, const char* hostName,
                  long bytesWritten)
{
    if (!run.listing.json()) {
        return;
    }
    Workspace& ws = run.workspace;
    host::Digests digests{};
    const bool hashed =
        host::digestAll(ws.file.bytes, static_cast<std::size_t>(storedLength), digests);
    // "000/NAME" under a subdirectory: the image index has three digits.
    char path[kSubdirectoryNameBytes + kHostNameBytes];
    if (hostName != nullptr) {
        if (run.options.makeSubdirectories) {
            std::snprintf(path, sizeof path, "%03d/%s", imageIndex, hostName);
        } else {
            std::snprintf(path, sizeof path, "%s", hostName);
        }
    }
    run.listing.fileFacts(FileFacts{
        imageIndex, entryIndex, ws.directory.bytes + entryIndex * kEntryBytes, &entry, &header,
        &ws.trace, hostName != nullptr ? path : nullptr, bytesWritten, hashed, &digests});
}

bool extractImages(Run& run)
{
    D88Image& image = run.workspace.image;
    const int count = image.imageCount();
    for (int index = 0; index < count; ++index) {
        if (!imageChosen(run.options, index)) {
            continue;
        }
        if (!image.selectImage(index)) {
            run.report(problem::kImageUnreadable, ImageIndex{index});
            continue;
        }
        if (run.options.check) {
            checkImage(run, index);
        } else if (!extractImage(run, index)) {
            return false;
        }
    }
    return true;
}

} // namespace d88
