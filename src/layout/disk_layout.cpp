// Directory, cluster table and cluster-chain assembly for the fixed disk
// layout described in disk_layout.h.
//
// Sectors are read one at a time here rather than as one run: a sector that
// is missing or short loses only its own bytes (they read as zeros) and the
// sectors after it in the same cluster, directory or table are still read.
#include "disk_layout.h"

#include <cstring>

namespace d88 {

static_assert(kClusterTableBytes == 256, "every byte value indexes the cluster table");
static_assert(kFileBufferBytes % kSectorBytes == 0);

namespace {

// Reads `count` consecutive sectors from `at` into `dst`, stepping as a run
// does (across into the next track when needed). Every byte of the
// destination is written: what a sector does not supply is zero. Returns
// how many sectors were missing or short.
int readSectorsEach(D88Image& image, SectorAddress at, std::uint8_t* dst, int count)
{
    int lost = 0;
    for (int i = 0; i < count; ++i) {
        std::uint8_t* slot = dst + i * kSectorBytes;
        const int got = image.readSector(at, slot, kSectorBytes);
        if (got < kSectorBytes) {
            std::memset(slot + got, 0, static_cast<std::size_t>(kSectorBytes - got));
            ++lost;
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
        readSectorsEach(image, directoryStart, directory.bytes, kDirectoryBytes / kSectorBytes);
    result.tableSectorsLost =
        readSectorsEach(image, tableStart, table.bytes, kClusterTableBytes / kSectorBytes);
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

AssembledFile assembleFile(D88Image& image, const ClusterTable& table, int firstCluster,
                           FileBuffer& buffer)
{
    AssembledFile result{};
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
        result.sectorsLost +=
            readSectorsEach(image, clusterAddress(cluster), buffer.bytes + pos, kSectorsPerCluster);
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
    result.sectorsLost +=
        readSectorsEach(image, clusterAddress(cluster), buffer.bytes + pos, sectors);
    pos += sectors * kSectorBytes;

    // A file too short to hold a header has a header of zeros, never the
    // bytes an earlier file left in the buffer.
    if (pos < kFileHeaderBytes) {
        std::memset(buffer.bytes + pos, 0, static_cast<std::size_t>(kFileHeaderBytes - pos));
    }
    result.length = pos;
    return result;
}

FileHeader decodeFileHeader(const FileBuffer& buffer)
{
    return FileHeader{readBe16(buffer.bytes + kLoadAddressOffset),
                      readBe16(buffer.bytes + kFileSizeOffset),
                      readBe16(buffer.bytes + kExecAddressOffset)};
}

} // namespace d88
