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
#include "placement.h"
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
    // With "-l" nothing is made, but names clash as they would.
    const Placed placed = place(run, imageIndex, entry, hostName);
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
    if (!run.sink.writeAndClose(ws.file.bytes + begin, static_cast<std::size_t>(end - begin))) {
        if (run.sink.toStdout()) {
            run.report(run.sink.reason(placed.name), problem::kStdoutFailed);
        } else {
            run.report(run.sink.reason(placed.name), problem::kWriteFailed);
        }
        describeFile(run, imageIndex, entryIndex, entry, header, end, nullptr, 0);
        return false;
    }
    if (run.options.keepTimes && run.sink.makesFiles()) {
        keepTime(run, imageIndex, entry, placed.name);
    }
    // The JSON record names the file written; "-l" and "-p" write none.
    const bool made = run.sink.makesFiles();
    describeFile(run, imageIndex, entryIndex, entry, header, end, made ? placed.name : nullptr,
                 made ? end - begin : 0);
    return true;
}

// An image whose size field and the file disagree: cut short by the end of
// the file, or too small for its own header with bytes after it, which are
// then never read.
void reportImageExtent(Run& run, int index)
{
    const D88Image& image = run.workspace.image;
    const long long declared = image.declaredSize(index);
    const long long held = image.bytesHeld(index);
    if (declared >= kImageHeaderSize && declared > held) {
        run.report(problem::kImageCutShort, ImageIndex{index}, ByteCount{declared},
                   ByteCount{held});
    } else if (declared < kImageHeaderSize && held > kImageHeaderSize) {
        run.report(problem::kImageSizeTooSmall, ImageIndex{index}, ByteCount{declared},
                   ByteCount{held - kImageHeaderSize});
    }
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
    // Under "-d" one directory takes every image's files.
    run.workspace.names.clear(host::nameRules());
    if (count == 0) {
        run.report(problem::kNoImage);
        return true;
    }
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
    // What the file holds past the images read is said after them.
    if (image.trailingBytes() > 0) {
        run.report(problem::kTrailingBytes, Count{image.trailingBytes()});
    }
    if (image.imagesBeyondLimit()) {
        run.report(problem::kImagesBeyondLimit, Count{kMaxImages});
    }
    return true;
}

} // namespace d88
