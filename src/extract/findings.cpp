// What an image and its files show, reported and recorded by code that
// extraction and the check share.
#include "findings.h"

#include <cstdio>

#include "digest.h"
#include "host_names.h"
#include "name_registry.h"
#include "sector_report.h"

namespace d88 {

namespace {
// "%03d" of an image index: three digits below kMaxImages, room for any int.
constexpr int kSubdirectoryNameBytes = 12;
static_assert(kMaxImages <= 1000);
} // namespace

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

// The JSON record of a file once everything about it is known: the bytes
// as stored (header and size, as far as the chain holds) are hashed, so the
// fingerprints do not depend on "-b".
void describeFile(Run& run, int imageIndex, const FileRecord& record, const char* hostName,
                  long bytesWritten)
{
    if (!run.listing.json()) {
        return;
    }
    host::Digests digests{};
    const bool hashed = host::digestAll(record.buffer->bytes,
                                        static_cast<std::size_t>(record.storedLength), digests);
    // "000/NAME" under a subdirectory: the image index has three digits;
    // "GAMES/000/NAME" in a D88 file's folder.
    char path[kFolderNameBytes + kSubdirectoryNameBytes + kTakenNameBytes];
    if (hostName != nullptr) {
        const char* folder = run.sink.folder();
        const int at = folder != nullptr ? std::snprintf(path, sizeof path, "%s/", folder) : 0;
        char* rest = path + at;
        const std::size_t room = sizeof path - static_cast<std::size_t>(at);
        if (run.options.makeSubdirectories) {
            std::snprintf(rest, room, "%03d/%s", imageIndex, hostName);
        } else {
            std::snprintf(rest, room, "%s", hostName);
        }
    }
    run.listing.fileFacts(FileFacts{imageIndex, &record, hostName != nullptr ? path : nullptr,
                                    run.options.unicodeNames, bytesWritten, hashed, &digests});
}

LayoutState reportLayoutFindings(Run& run, int index, const LayoutRead& layout)
{
    const ImageIndex image{index};
    // Nothing of the layout at all: most likely no disk of this kind, said
    // once rather than part by part.
    LayoutState state{};
    state.noLayout = noLayoutFound(layout);
    state.tableLost = layout.tableSectorsLost > 0 && !state.noLayout;
    if (state.noLayout) {
        run.report(problem::kNoLayout, image);
    } else if (layout.directorySectorsLost > 0) {
        run.report(problem::kDirectoryDamaged, image, Count{layout.directorySectorsLost});
    }
    const ConsoleStyle console = run.report.console();
    forEachErrorStatus(layout.directorySectors, console, [&](const StatusGroup& group) {
        run.report(problem::kDirectorySectorStatus, image, Count{group.count}, Text{group.name},
                   Text{group.places});
    });
    forEachErrorStatus(layout.tableSectors, console, [&](const StatusGroup& group) {
        run.report(problem::kTableSectorStatus, image, Count{group.count}, Text{group.name},
                   Text{group.places});
    });
    return state;
}

void reportFileFindings(Run& run, int imageIndex, const FileRecord& record, bool thorough)
{
    const ChainTrace& trace = *record.trace;
    const ImageIndex image{imageIndex};
    const FileName name{record.entry.name};
    if (record.data.sectorsLost > 0) {
        run.report(problem::kFileSectorsLost, image, name, Count{record.data.sectorsLost});
    }
    if (record.data.chainCut) {
        run.report(problem::kChainCut, image, name);
    }
    if (thorough && trace.loops) {
        run.report(problem::kChainLoops, image, name);
    }
    if (thorough && trace.beyondDiskCluster != kNoCluster) {
        run.report(problem::kChainBeyondDisk, image, name, Count{trace.beyondDiskCluster});
    }
    if (record.shortOfHeader) {
        run.report(problem::kFileShort, image, name);
    } else if (thorough && !trace.loops && !record.data.chainCut) {
        // The run-on cluster is no link of the chain.
        const int links = trace.clusterCount - (trace.runOnCluster != kNoCluster ? 1 : 0);
        const int needed = (record.storedLength + kClusterBytes - 1) / kClusterBytes;
        if (links > needed) {
            run.report(problem::kChainTooLong, image, name, Count{links - needed});
        }
    }
    reportChainFindings(run, imageIndex, record);
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

void reportChainFindings(Run& run, int imageIndex, const FileRecord& record)
{
    const ChainTrace& trace = *record.trace;
    const ImageIndex image{imageIndex};
    const FileName name{record.entry.name};
    const int entryIndex = record.entryIndex;
    forEachErrorStatus(trace.sectors, run.report.console(), [&](const StatusGroup& group) {
        run.report(problem::kFileSectorStatus, image, name, Count{group.count}, Text{group.name},
                   Text{group.places});
    });
    if (trace.runOnSectors > 0) {
        run.report(problem::kRunOn, image, name, Count{kSectorsPerCluster + trace.runOnSectors},
                   Count{trace.runOnCluster});
    }
    if (trace.directoryCluster != kNoCluster) {
        run.report(problem::kChainThroughDirectory, image, name, Count{trace.directoryCluster});
    }
    if (trace.crossLinkedCluster != kNoCluster && trace.crossLinkedEntry != entryIndex) {
        // The owner is an earlier entry of this image's directory.
        const DirectoryEntry other =
            decodeEntry(run.workspace.directory.bytes + trace.crossLinkedEntry * kEntryBytes);
        run.report(problem::kCrossLinked, image, name, Count{trace.crossLinkedCluster},
                   FileName{other.name});
    }
}

bool walkImages(Run& run, bool (*each)(Run& run, int index))
{
    D88Image& image = run.workspace.image;
    const int count = image.imageCount();
    // Under "-d" one directory takes every image's files.
    run.workspace.names.clear(host::nameRules(), nameEncoding(run.options));
    // A file with no image is refused before its run as no D88 file.
    for (int index = 0; index < count; ++index) {
        if (!imageChosen(run.options, index)) {
            continue;
        }
        if (!image.selectImage(index)) {
            run.report(problem::kImageUnreadable, ImageIndex{index});
            continue;
        }
        if (!each(run, index)) {
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
