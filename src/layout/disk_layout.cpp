// Directory, cluster table and cluster-chain assembly for the fixed disk
// layout described in disk_layout.h.
//
// Each sector of a run is looked up and judged on its own: a sector that is
// missing or short loses only its own bytes (they read as zeros) and the
// sectors after it in the same cluster, directory or table are still read.
// Those that lie back to back in the file are still read with one call.
#include "disk_layout.h"

#include <algorithm>
#include <cstring>

namespace d88 {

static_assert(kClusterTableBytes == 256, "every byte value indexes the cluster table");
static_assert(kFileBufferBytes % kSectorBytes == 0);

namespace {

void note(SectorNotes& notes, const SectorAddress& at, std::uint8_t status, SectorTrouble trouble)
{
    switch (trouble) {
    case SectorTrouble::Missing:
        ++notes.missing;
        break;
    case SectorTrouble::ErrorStatus:
        ++notes.errors;
        break;
    case SectorTrouble::Deleted:
        ++notes.deleted;
        break;
    }
    // Only as many as there is room for; the counts go on.
    if (notes.kept < kMaxSectorNotes) {
        // A run's address never leaves the ID bytes' range by more than a
        // cylinder step; a byte is what a record could carry.
        notes.notes[notes.kept++] =
            SectorNote{static_cast<std::uint8_t>(at.c), static_cast<std::uint8_t>(at.h),
                       static_cast<std::uint8_t>(at.r), status, trouble};
    }
}

// Reads `count` consecutive sectors from `at` into `dst`, stepping as a run
// does (across into the next track when needed). Every byte of the
// destination is written: what a sector does not supply is zero. Returns
// how many sectors were missing or short; `notes` gets those and the
// sectors read with an error status or a deleted-data mark. Sectors that
// lie back to back in the file come with one read, however many.
int readSectorsEach(D88Image& image, SectorAddress at, std::uint8_t* dst, int count,
                    SectorNotes& notes)
{
    static_assert(kSectorsPerCluster * 2 <= kMaxRunSectors, "a cluster's run, run-on included");
    static_assert(kDirectoryBytes / kSectorBytes <= kMaxRunSectors);
    D88Image::SectorRead got[kMaxRunSectors];
    // Never more than the reader takes at once; no caller asks for more.
    count = std::min(count, kMaxRunSectors);
    image.readSectorRun(at, count, dst, kSectorBytes, got);
    int lost = 0;
    for (int i = 0; i < count; ++i) {
        std::uint8_t* slot = dst + i * kSectorBytes;
        const SectorMarks marks = got[i].marks;
        if (got[i].bytes < kSectorBytes) {
            std::memset(slot + got[i].bytes, 0,
                        static_cast<std::size_t>(kSectorBytes - got[i].bytes));
            ++lost;
            note(notes, at, marks.status, SectorTrouble::Missing);
        } else if (isErrorStatus(marks.status)) {
            note(notes, at, marks.status, SectorTrouble::ErrorStatus);
        } else if (marks.status == sector_status::kDeletedData || marks.deletedMark != 0) {
            note(notes, at, marks.status, SectorTrouble::Deleted);
        }
        image.stepSector(at);
    }
    return lost;
}

unsigned readBe16(const std::uint8_t* p)
{
    return static_cast<unsigned>(p[0]) << 8 | p[1];
}

} // namespace

LayoutRead readDirectoryAndTable(D88Image& image, Directory& directory, ClusterTable& table)
{
    const SectorAddress directoryStart{kDirectoryTrack, kDirectoryCylinder, kDirectoryHead,
                                       kDirectoryFirstSector, kSizeCode};
    const SectorAddress tableStart{kDirectoryTrack, kDirectoryCylinder, kDirectoryHead,
                                   kClusterTableSector, kSizeCode};
    LayoutRead result{};
    result.directorySectorsLost =
        readSectorsEach(image, directoryStart, directory.bytes, kDirectoryBytes / kSectorBytes,
                        result.directorySectors);
    result.tableSectorsLost = readSectorsEach(
        image, tableStart, table.bytes, kClusterTableBytes / kSectorBytes, result.tableSectors);
    return result;
}

int decodeBcd(std::uint8_t value)
{
    return (value >> 4) * 10 + (value & 0x0F);
}

DirectoryEntry decodeEntry(const std::uint8_t* entry)
{
    DirectoryEntry decoded{};
    if (entry[0] == kEmptyEntry) {
        decoded.state = EntryState::Empty;
    } else if (entry[0] == kEndOfDirectory) {
        decoded.state = EntryState::EndOfDirectory;
    } else {
        decoded.state = EntryState::File;
    }
    // A NUL inside the nine bytes ends the name early; the rest stays zero.
    for (int i = 0; i < kNameBytes && entry[i] != 0; ++i) {
        decoded.name[i] = static_cast<char>(entry[i]);
    }
    decoded.attribute = entry[kNameBytes];
    decoded.firstCluster = entry[kFirstClusterOffset];
    for (int i = 0; i < kStampCount; ++i) {
        decoded.stampBcd[i] = entry[kStampFirstOffset - i];
        decoded.stamp[i] = decodeBcd(decoded.stampBcd[i]);
    }
    return decoded;
}

EntryTime entryTime(const DirectoryEntry& entry)
{
    EntryTime time{};
    for (const std::uint8_t byte : entry.stampBcd) {
        if ((byte >> 4) > 9 || (byte & 0x0F) > 9) {
            return time;
        }
    }
    const int yy = entry.stamp[0];
    time.year = yy >= 80 ? 1900 + yy : 2000 + yy;
    time.month = entry.stamp[1];
    time.day = entry.stamp[2];
    time.hour = entry.stamp[3];
    time.minute = entry.stamp[4];
    // Also keeps the month inside the table of month lengths below.
    if (time.month < 1 || time.month > 12) {
        return time;
    }
    constexpr int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = time.year % 4 == 0 && (time.year % 100 != 0 || time.year % 400 == 0);
    const int days = kDaysInMonth[time.month - 1] + (leap && time.month == 2 ? 1 : 0);
    time.valid = time.day >= 1 && time.day <= days && time.hour <= 23 && time.minute <= 59;
    return time;
}

SectorAddress clusterAddress(int cluster)
{
    return SectorAddress{cluster >> 1, cluster >> 2, (cluster >> 1) & 1,
                         (cluster & 1) * kSectorsPerCluster + kFirstSector, kSizeCode};
}

void clearOwners(ClusterOwners& owners)
{
    std::memset(owners.ownerPlusOne, 0, sizeof owners.ownerPlusOne);
}

namespace {

// Marks `cluster` as used by entry `entryIndex`'s chain and notes what an
// earlier mark says: the same chain again (a loop) or another's.
void takeCluster(const D88Image& image, ChainTrace& trace, ClusterOwners& owners, int entryIndex,
                 int cluster)
{
    if (trace.clusterCount < kMaxChainClusters) {
        trace.clusters[trace.clusterCount++] = static_cast<std::uint8_t>(cluster);
    }
    if ((cluster == kFirstDirectoryCluster || cluster == kLastDirectoryCluster) &&
        trace.directoryCluster == kNoCluster) {
        trace.directoryCluster = cluster;
    }
    if (!image.hasTrack(clusterAddress(cluster).track) && trace.beyondDiskCluster == kNoCluster) {
        trace.beyondDiskCluster = cluster;
    }
    const int owner = owners.ownerPlusOne[cluster] - 1;
    if (owner == kNoEntry) {
        // Entries past a byte cannot be stored; none of the directory's are.
        owners.ownerPlusOne[cluster] = static_cast<std::uint8_t>(entryIndex + 1);
    } else if (owner == entryIndex) {
        trace.loops = true;
    } else if (trace.crossLinkedCluster == kNoCluster) {
        trace.crossLinkedCluster = cluster;
        trace.crossLinkedEntry = owner;
    }
}

} // namespace

AssembledFile assembleFile(D88Image& image, const ClusterTable& table, int firstCluster,
                           FileBuffer& buffer, ChainTrace& trace, ClusterOwners& owners,
                           int entryIndex)
{
    AssembledFile result{};
    trace.clusterCount = 0;
    trace.sectors = SectorNotes{};
    trace.runOnSectors = 0;
    trace.runOnCluster = kNoCluster;
    trace.crossLinkedCluster = kNoCluster;
    trace.crossLinkedEntry = kNoEntry;
    trace.directoryCluster = kNoCluster;
    trace.beyondDiskCluster = kNoCluster;
    trace.loops = false;
    // The first cluster comes from one directory byte; anything else names
    // no cluster of the table.
    if (firstCluster < 0 || firstCluster >= kClusterTableBytes) {
        result.chainCut = true;
        std::memset(buffer.bytes, 0, kFileHeaderBytes);
        return result;
    }
    int pos = 0;
    std::uint8_t cluster = static_cast<std::uint8_t>(firstCluster);
    for (;;) {
        const std::uint8_t next = table.bytes[cluster];
        if (next >= kLastClusterMark) {
            break;
        }
        // A chain longer than the buffer (a loop in the table, say) is cut
        // at the buffer's end rather than written past it.
        if (pos == kFileBufferBytes) {
            result.length = pos;
            result.chainCut = true;
            return result;
        }
        takeCluster(image, trace, owners, entryIndex, cluster);
        result.sectorsLost += readSectorsEach(image, clusterAddress(cluster), buffer.bytes + pos,
                                              kSectorsPerCluster, trace.sectors);
        pos += kClusterBytes;
        cluster = next;
    }

    // The last cluster may claim up to 15 sectors, running on past its own
    // eight into the sectors that follow it; the buffer's end still holds.
    int sectors = table.bytes[cluster] & kLastClusterSectorsMask;
    const int room = (kFileBufferBytes - pos) / kSectorBytes;
    if (sectors > room) {
        sectors = room;
        result.chainCut = true;
    }
    takeCluster(image, trace, owners, entryIndex, cluster);
    if (sectors > kSectorsPerCluster) {
        // The sectors after a cluster's eight are the next cluster's: the
        // other half of the track, or the next track's first half.
        trace.runOnSectors = sectors - kSectorsPerCluster;
        trace.runOnCluster = cluster + 1;
        if (trace.runOnCluster < kClusterTableBytes) {
            takeCluster(image, trace, owners, entryIndex, trace.runOnCluster);
        }
    }
    result.sectorsLost +=
        readSectorsEach(image, clusterAddress(cluster), buffer.bytes + pos, sectors, trace.sectors);
    pos += sectors * kSectorBytes;

    // A file too short to hold a header has a header of zeros, never the
    // bytes an earlier file left in the buffer.
    if (pos < kFileHeaderBytes) {
        std::memset(buffer.bytes + pos, 0, static_cast<std::size_t>(kFileHeaderBytes - pos));
    }
    result.length = pos;
    return result;
}

AssembledFile assembleFile(D88Image& image, const ClusterTable& table, int firstCluster,
                           FileBuffer& buffer)
{
    ChainTrace trace;
    ClusterOwners owners;
    clearOwners(owners);
    return assembleFile(image, table, firstCluster, buffer, trace, owners, 0);
}

FileRecord readFile(D88Image& image, const ClusterTable& table, const DirectoryEntry& entry,
                    int entryIndex, FileBuffer& buffer, ChainTrace& trace, ClusterOwners& owners)
{
    FileRecord record{};
    record.entryIndex = entryIndex;
    record.entry = entry;
    record.time = entryTime(entry);
    record.data = assembleFile(image, table, entry.firstCluster, buffer, trace, owners, entryIndex);
    record.header = decodeFileHeader(buffer);
    // The header's size counts the bytes after the header.
    const int wanted = kFileHeaderBytes + static_cast<int>(record.header.size);
    record.shortOfHeader = record.data.length < wanted;
    record.storedLength = record.shortOfHeader ? record.data.length : wanted;
    record.trace = &trace;
    record.buffer = &buffer;
    return record;
}

FileHeader decodeFileHeader(const FileBuffer& buffer)
{
    return FileHeader{readBe16(buffer.bytes + kLoadAddressOffset),
                      readBe16(buffer.bytes + kFileSizeOffset),
                      readBe16(buffer.bytes + kExecAddressOffset)};
}

} // namespace d88
