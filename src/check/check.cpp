// The check reads every chosen image as extraction would, through the same
// chain walker, and reports what does not hold together instead of writing.
#include "check.h"

#include <cstdio>
#include <cstring>

#include "findings.h"
#include "host_names.h"
#include "sector_report.h"

namespace d88 {

namespace {

void reportDeleted(Run& run, int imageIndex, const char* where, const SectorNotes& notes)
{
    if (notes.deleted == 0) {
        return;
    }
    char places[kPlacesBytes];
    formatPlaces(notes, SectorTrouble::Deleted, 0, places);
    run.report(problem::kDeletedSectors, ImageIndex{imageIndex}, Text{where}, Count{notes.deleted},
               Text{places});
}

// An entry past the end mark that a directory without the mark would list:
// a name of printable bytes and a first cluster the disk has.
bool looksLikeFile(const std::uint8_t* raw, const D88Image& image)
{
    if (raw[0] == kEmptyEntry || raw[0] == kEndOfDirectory) {
        return false;
    }
    for (int i = 0; i < kNameBytes && raw[i] != 0; ++i) {
        if (raw[i] < 0x20) {
            return false;
        }
    }
    const int first = raw[kFirstClusterOffset];
    return first < kLastClusterMark && image.hasTrack(clusterAddress(first).track);
}

// The chosen files seen so far in an image, for the name checks.
struct SeenNames {
    int entry[kEntryCount];
    char stored[kEntryCount][kNameBytes + 1];
    // Each one's host name as the host tells names apart.
    char key[kEntryCount][kTakenNameBytes];
    int count;
};

void checkName(Run& run, int imageIndex, int entryIndex, const DirectoryEntry& entry,
               SeenNames& seen)
{
    const host::NameRules rules = host::nameRules();
    char onHost[kHostNameBytes];
    outputName(entry.name, run.options.unicodeNames, rules, onHost);
    // A host name always fits a key.
    char key[kTakenNameBytes];
    hostNameKey(onHost, rules, nameEncoding(run.options), key);
    for (int k = 0; k < seen.count; ++k) {
        if (std::strcmp(seen.stored[k], entry.name) == 0) {
            run.report(problem::kSameName, ImageIndex{imageIndex}, FileName{entry.name},
                       Count{seen.entry[k]});
            break;
        }
        if (std::strcmp(seen.key[k], key) == 0) {
            run.report(problem::kHostNameCollision, ImageIndex{imageIndex}, FileName{entry.name},
                       FileName{seen.stored[k]});
            break;
        }
    }
    // One slot per directory entry: never more than kEntryCount.
    seen.entry[seen.count] = entryIndex;
    std::memcpy(seen.stored[seen.count], entry.name, sizeof entry.name);
    std::memcpy(seen.key[seen.count], key, sizeof key);
    ++seen.count;
}

void checkFile(Run& run, int imageIndex, int entryIndex, const DirectoryEntry& entry)
{
    Workspace& ws = run.workspace;
    const FileRecord record =
        readFile(ws.image, ws.table, entry, entryIndex, ws.file, ws.trace, ws.owners);
    const ChainTrace& trace = *record.trace;
    reportFileFindings(run, imageIndex, record, true);
    reportDeleted(run, imageIndex, entry.name, trace.sectors);
    describeFile(run, imageIndex, record, nullptr, 0);
}

} // namespace

bool checkImage(Run& run, int index)
{
    Workspace& ws = run.workspace;
    D88Image& reader = ws.image;
    const ImageIndex image{index};
    const ConsoleStyle console = run.report.console();
    describeImage(run, index, nullptr);

    reportImageExtent(run, index);

    reader.setSectorRange(kFirstSector, kLastSector);
    const LayoutRead layout = readDirectoryAndTable(reader, ws.directory, ws.table);
    const LayoutState state = reportLayoutFindings(run, index, layout);
    reportDeleted(run, index, textFor(kDirectoryPlace, console), layout.directorySectors);
    reportDeleted(run, index, textFor(kTablePlace, console), layout.tableSectors);
    // Without the table no chain can be told right from wrong.
    if (state.noLayout || state.tableLost) {
        if (state.tableLost) {
            run.report(problem::kTableUnreadableInCheck, image);
        }
        run.listing.imageEnd();
        return true;
    }
    for (int cluster = 0; cluster < kClusterTableBytes; ++cluster) {
        const std::uint8_t next = ws.table.bytes[cluster];
        if (next < kLastClusterMark && !reader.hasTrack(clusterAddress(next).track)) {
            run.report(problem::kTableBeyondDisk, image, Count{cluster}, Count{next});
        }
    }

    clearOwners(ws.owners);
    SeenNames seen; // about 7 KiB, one image at a time
    seen.count = 0;
    bool ended = false;
    for (int i = 0; i < kEntryCount; ++i) {
        const std::uint8_t* raw = ws.directory.bytes + i * kEntryBytes;
        const DirectoryEntry entry = decodeEntry(raw);
        if (ended) {
            if (looksLikeFile(raw, reader)) {
                run.report(problem::kEntryAfterEnd, image, Count{i}, FileName{entry.name});
            }
            continue;
        }
        if (entry.state == EntryState::EndOfDirectory) {
            ended = true;
            continue;
        }
        if (entry.state != EntryState::File ||
            !fileChosen(run.options, entry.name, &run.patternsMatched)) {
            continue;
        }
        // The name findings go into the file's own record.
        run.listing.fileBegin();
        checkName(run, index, i, entry, seen);
        checkFile(run, index, i, entry);
    }
    run.listing.imageEnd();
    return true;
}

} // namespace d88
