// The file system expected on every disk image, and file assembly.
//
// The layout is fixed; nothing on the disk says where things are:
//   - two heads, track index = cylinder x 2 + head, sectors R 1..16 of
//     256 bytes (N = 1) on every track;
//   - the directory: track 37 (C 18, H 1), sectors R 1..12, 192 entries of
//     16 bytes;
//   - the cluster table: track 37, sector R 14, one byte per cluster;
//   - a cluster is half a track, 8 sectors: cluster l lies on track l >> 1,
//     sectors 1..8 when l is even, 9..16 when odd.
// A cluster's table byte below 0xC0 names the next cluster of its file; 0xC0
// and above marks the file's last cluster, whose low nibble counts the
// sectors of it that hold data. Every file's data begins with a six-byte
// big-endian header: load address, size, exec address.
#pragma once

#include <cstdint>

#include "d88_image.h"

namespace d88 {

constexpr int kSectorBytes = 256;
constexpr int kSizeCode = 1; // 128 << 1 == kSectorBytes
constexpr int kFirstSector = 1;
constexpr int kLastSector = 16;
constexpr int kSectorsPerCluster = 8;
constexpr int kClusterBytes = kSectorsPerCluster * kSectorBytes;
static_assert(128 << kSizeCode == kSectorBytes);
static_assert(2 * kSectorsPerCluster == kLastSector - kFirstSector + 1,
              "a cluster is half a track");

constexpr int kDirectoryTrack = 37;
constexpr int kDirectoryCylinder = 18;
constexpr int kDirectoryHead = 1;
constexpr int kDirectoryFirstSector = 1;
constexpr int kClusterTableSector = 14;

constexpr int kEntryBytes = 16;
constexpr int kEntryCount = 192;
constexpr int kDirectoryBytes = kEntryCount * kEntryBytes;
constexpr int kClusterTableBytes = kSectorBytes;
static_assert(kDirectoryBytes == 12 * kSectorBytes, "the directory fills sectors 1..12");
static_assert(kDirectoryTrack == kDirectoryCylinder * 2 + kDirectoryHead);

// Directory entry layout:
//   0   9  file name; byte 0 is also the entry's state (0x00 empty, 0xFF end)
//   9   1  not interpreted
//  10   1  first cluster
//  11   5  timestamp, BCD, printed from byte 15 down to byte 11
//          (yy mm dd, then hh mm)
constexpr int kNameBytes = 9;
constexpr int kFirstClusterOffset = 10;
constexpr int kStampFirstOffset = 15; // printed first
constexpr int kStampCount = 5;
static_assert(kStampFirstOffset - kStampCount + 1 == kFirstClusterOffset + 1);
static_assert(kStampFirstOffset < kEntryBytes);
constexpr std::uint8_t kEmptyEntry = 0x00;
constexpr std::uint8_t kEndOfDirectory = 0xFF;

// Cluster table bytes.
constexpr std::uint8_t kLastClusterMark = 0xC0;
constexpr std::uint8_t kLastClusterSectorsMask = 0x0F;

// File header layout (big-endian u16 each). The size counts the bytes after
// the header.
constexpr int kLoadAddressOffset = 0;
constexpr int kFileSizeOffset = 2;
constexpr int kExecAddressOffset = 4;
constexpr int kFileHeaderBytes = 6;
static_assert(kExecAddressOffset + 2 == kFileHeaderBytes);

// One file is assembled in a buffer of 160 clusters.
constexpr int kFileBufferClusters = 160;
constexpr int kFileBufferBytes = kFileBufferClusters * kClusterBytes;
static_assert(kFileBufferBytes == 327680);

struct Directory {
    std::uint8_t bytes[kDirectoryBytes];
};

struct ClusterTable {
    std::uint8_t bytes[kClusterTableBytes];
};

struct FileBuffer {
    std::uint8_t bytes[kFileBufferBytes];
};

enum class EntryState { Empty, EndOfDirectory, File };

struct DirectoryEntry {
    EntryState state;
    char name[kNameBytes + 1]; // stored bytes up to the first NUL, terminated
    std::uint8_t attribute;    // byte 9, kept as stored
    int firstCluster;
    int stamp[kStampCount];             // year, month, day, hour, minute as decoded
    std::uint8_t stampBcd[kStampCount]; // the same as stored, for checking the digits
};

struct FileHeader {
    unsigned loadAddress;
    unsigned size;
    unsigned execAddress;
};

// A sector that was not read plainly: missing (or short), read with an
// error status, or marked as deleted data.
enum class SectorTrouble : std::uint8_t { Missing, ErrorStatus, Deleted };

struct SectorNote {
    std::uint8_t c, h, r;
    std::uint8_t status; // the record's status byte; 0 for a missing sector
    SectorTrouble trouble;
};

// The notes of one file, the directory or the table. Every sector is
// counted; the first kMaxSectorNotes are kept by place, which is what a
// report has room to name.
constexpr int kMaxSectorNotes = 64;
struct SectorNotes {
    SectorNote notes[kMaxSectorNotes];
    int kept;
    int missing;
    int errors;
    int deleted;
};

// What reading the directory and cluster table of an image came to.
struct LayoutRead {
    int directorySectorsLost; // directory sectors missing or short
    int tableSectorsLost;     // 1 when the cluster table is not whole
    SectorNotes directorySectors;
    SectorNotes tableSectors;
};

// Neither a directory sector nor the cluster table was found: most likely
// no disk of this layout at all.
inline bool noLayoutFound(const LayoutRead& read)
{
    return read.directorySectorsLost == kDirectoryBytes / kSectorBytes && read.tableSectorsLost > 0;
}

// The clusters a chain may hold: the file buffer's, and one more for a last
// cluster that is cut off.
constexpr int kMaxChainClusters = kFileBufferClusters + 1;
constexpr int kNoCluster = -1;
constexpr int kNoEntry = -1;

// The directory track's clusters: no file's chain belongs there.
constexpr int kFirstDirectoryCluster = kDirectoryTrack * 2;
constexpr int kLastDirectoryCluster = kFirstDirectoryCluster + 1;

// Which directory entry's chain took each cluster of one image first, so
// that a later chain through the same cluster is seen to be cross-linked.
// Entry indexes are stored plus one; 0 is a free cluster.
struct ClusterOwners {
    std::uint8_t ownerPlusOne[kClusterTableBytes];
};
static_assert(kEntryCount < 255, "an entry index plus one fits a byte");
void clearOwners(ClusterOwners& owners);

// What one walk of a file's chain saw besides its bytes: the clusters in
// order, its sectors that were not read plainly, and the ways the disk
// disagrees with itself that put other bytes than the file's into it.
struct ChainTrace {
    std::uint8_t clusters[kMaxChainClusters];
    int clusterCount;
    SectorNotes sectors;
    // The last cluster's sectors above its own eight: they are the next
    // cluster's, kRunOnCluster.
    int runOnSectors;
    int runOnCluster;
    // The first cluster another entry's chain took earlier, and that entry.
    int crossLinkedCluster;
    int crossLinkedEntry;
    // The first cluster of the directory track in the chain.
    int directoryCluster;
    // The first cluster of the chain whose track the image does not have.
    int beyondDiskCluster;
    // The chain came back to one of its own clusters.
    bool loops;
};

// What assembling one file came to. The data is bytes [0, length) of the
// file buffer; sectors that could not be read are zeros there.
struct AssembledFile {
    int length;
    int sectorsLost; // sectors of the chain missing or short
    bool chainCut;   // the chain did not fit the file buffer
};

// Reads the directory and the cluster table of the current image. Every
// byte of both is rewritten: what an unreadable sector should have held
// reads as zeros, so nothing of an earlier image survives, and the sectors
// after it are still read.
LayoutRead readDirectoryAndTable(D88Image& image, Directory& directory, ClusterTable& table);

DirectoryEntry decodeEntry(const std::uint8_t* entry);

// Follows the chain from `firstCluster` and places its clusters one after
// another in `buffer`. `trace` gets what the walk saw; the clusters are
// marked as entry `entryIndex`'s in `owners`, whose earlier marks tell a
// cross-link.
AssembledFile assembleFile(D88Image& image, const ClusterTable& table, int firstCluster,
                           FileBuffer& buffer, ChainTrace& trace, ClusterOwners& owners,
                           int entryIndex);
// The same walk for a file on its own: no other chain to cross.
AssembledFile assembleFile(D88Image& image, const ClusterTable& table, int firstCluster,
                           FileBuffer& buffer);

FileHeader decodeFileHeader(const FileBuffer& buffer);

// Decodes one BCD byte as (high nibble x 10) + low nibble, with no range
// check: 0xFF gives 165.
int decodeBcd(std::uint8_t value);

// An entry's timestamp read as a calendar date and time.
struct EntryTime {
    bool valid; // every byte two BCD digits, and a real date and time
    int year;   // 1980..2079
    int month, day, hour, minute;
};

// Two-digit years 80..99 are 1980..1999, 00..79 are 2000..2079. Not valid
// when a nibble is above 9, the month is not 1..12, the day is not in that
// month (leap years counted), the hour is above 23 or the minute above 59.
EntryTime entryTime(const DirectoryEntry& entry);

// Everything one file of the directory gives, decoded once: its entry, its
// date and time, and its data as the chain walk assembled it into the file
// buffer, with the header and what the walk saw. The run hands this record
// on to the listing, the check, placement and the output sink.
struct FileRecord {
    int entryIndex;
    DirectoryEntry entry;
    EntryTime time;
    AssembledFile data;
    FileHeader header;
    // The header and the bytes its size counts, as far as the chain holds:
    // never past the data assembled, whatever the header claims.
    int storedLength;
    bool shortOfHeader; // the chain holds fewer bytes than the header says
    const ChainTrace* trace;
    const FileBuffer* buffer;
};

// Assembles file `entry` (directory entry `entryIndex`) into `buffer` and
// decodes all it gives; `trace` and `owners` as for assembleFile.
FileRecord readFile(D88Image& image, const ClusterTable& table, const DirectoryEntry& entry,
                    int entryIndex, FileBuffer& buffer, ChainTrace& trace, ClusterOwners& owners);

// Where cluster `cluster` begins on the disk.
SectorAddress clusterAddress(int cluster);

} // namespace d88
