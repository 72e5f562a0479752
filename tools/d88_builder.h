// Builds D88 files in memory, for the tests, the demo image and the
// benchmarks. Two levels:
//   - ImageBuilder: one image as header fields and tracks of raw sector
//     records, every field settable, so damaged and hostile images can be
//     made as easily as good ones;
//   - DiskBuilder: a formatted two-sided disk of 16 x 256-byte sectors per
//     track with the directory, cluster table and files laid out the way
//     d88unpack expects them.
// Bytes the reader should never look at are filled with distinct non-zero
// values, so a wrong offset or byte order shows in the output.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace d88build {

// The format, restated here rather than taken from the reader's headers:
// images made from the reader's own constants could not show a wrong one.
// The generators and the benchmark inputs take it from here too.
namespace layout {

// The container: images back to back, each a header and then its tracks.
//   0x00  17      name
//   0x1A   1      write protect (0x00 off, 0x10 on)
//   0x1B   1      media type
//   0x1C   4      disk size, u32, header included
//   0x20  164 x 4 track table: u32 offset of each track from the image start
// A track is a run of sector records, each a 16-byte header (C, H, R, N, the
// track's sector count as u16 at 4, density at 6, deleted-data mark at 7,
// the drive's status at 8, the data size as u16 at 14) followed by that many
// data bytes. Numbers are little-endian.
constexpr int kNameField = 17;
constexpr int kWriteProtectOffset = 0x1A;
constexpr int kMediaTypeOffset = 0x1B;
constexpr int kDiskSizeOffset = 0x1C;
constexpr int kTrackTableOffset = 0x20;
constexpr int kTrackCount = 164;
constexpr int kHeaderBytes = 688;
static_assert(kTrackTableOffset + 4 * kTrackCount == kHeaderBytes);
constexpr int kRecordHeaderBytes = 16;
constexpr int kSectorCountOffset = 4;
constexpr int kDensityOffset = 6;
constexpr int kDeletedMarkOffset = 7;
constexpr int kStatusOffset = 8;
constexpr int kDataSizeOffset = 14;
// The most images one file can name.
constexpr int kMaxImages = 64;

// The disk: two heads (track 2 * C + H), sectors 1..16 of 256 bytes on each
// track. Cluster k is half of track k / 2: sectors 1-8 when k is even, 9-16
// when it is odd.
constexpr int kSectorBytes = 256;
constexpr int kSectorsPerTrack = 16;
constexpr int kSectorsPerCluster = 8;
constexpr int kClusterBytes = kSectorsPerCluster * kSectorBytes;
constexpr int kDiskTracks = 80; // 40 cylinders
// The directory track: sectors 1..12 hold the 192 16-byte entries, sector 14
// the cluster table, one byte per cluster.
constexpr int kDirectoryTrack = 37;
constexpr int kDirectoryCylinder = 18;
constexpr int kDirectoryHead = 1;
static_assert(kDirectoryTrack == 2 * kDirectoryCylinder + kDirectoryHead);
constexpr int kDirectorySectors = 12;
constexpr int kEntryBytes = 16;
constexpr int kEntryCount = 192;
static_assert(kEntryCount * kEntryBytes == kDirectorySectors * kSectorBytes);
constexpr int kTableSector = 14;
// Byte 0 of an entry: 0xFF ends the directory.
constexpr std::uint8_t kEndOfDirectory = 0xFF;
// A table byte names the next cluster, or is 0xC0 | the sectors used of the
// last one, or 0xFF for a free cluster.
constexpr std::uint8_t kLastClusterMark = 0xC0;
constexpr std::uint8_t kFreeCluster = 0xFF;
// A file opens with load address, body size and exec address, u16
// big-endian each, and is assembled in 160 clusters at most.
constexpr int kFileHeaderBytes = 6;
constexpr int kFileBufferClusters = 160;

} // namespace layout

using Bytes = std::vector<std::uint8_t>;

struct SectorRecord {
    std::uint8_t c = 0;
    std::uint8_t h = 0;
    std::uint8_t r = 1;
    std::uint8_t n = 1;
    Bytes data;
    int sectorCount = -1; // -1: the number of records of its track
    int dataSize = -1;    // -1: data.size()
    // Record bytes 6, 7 and 8: density, deleted-data mark, drive status.
    std::uint8_t density = 0x00;
    std::uint8_t deletedMark = 0x00;
    std::uint8_t status = 0x00;
};

struct ImageBuilder {
    std::string name; // written into the 17-byte name field, cut to 17 bytes
    std::uint8_t writeProtect = 0x00;
    std::uint8_t mediaType = 0x00;
    std::map<int, std::vector<SectorRecord>> tracks; // track index -> records in stored order
    std::map<int, std::uint32_t> trackOffsets;       // overrides the computed offsets
    long long diskSize = -1;                         // -1: the real size

    // The record of sector R `r` on `track`, or nullptr.
    SectorRecord* find(int track, int r);
    void removeSector(int track, int r);
    Bytes build() const;
};

Bytes concat(const std::vector<Bytes>& images);
void writeFile(const std::string& path, const Bytes& bytes);
Bytes readFile(const std::string& path);

// The BCD timestamp bytes of a directory entry, in printing order
// (year, month, day, hour, minute): stored at offsets 15 down to 11.
using Stamp = std::array<std::uint8_t, 5>;

// Six-byte big-endian header (load, size of body, exec) followed by the body.
Bytes withHeader(std::uint16_t load, std::uint16_t exec, const Bytes& body);

// Deterministic non-zero bytes that differ from position to position.
Bytes pattern(std::size_t length, std::uint32_t seed);

class DiskBuilder {
public:
    static constexpr int kSectorBytes = layout::kSectorBytes;
    static constexpr int kSectorsPerTrack = layout::kSectorsPerTrack;
    static constexpr int kClusterBytes = layout::kClusterBytes;

    explicit DiskBuilder(std::string name, int trackCount = layout::kDiskTracks);

    // The 256 data bytes of sector `r` (1..16) of `track`.
    Bytes& sector(int track, int r);

    void setEntry(int index, const std::string& name, std::uint8_t firstCluster,
                  const Stamp& stamp);
    void setRawEntry(int index, const std::array<std::uint8_t, 16>& raw);
    void endDirectory(int index); // byte 0 of entry `index` becomes 0xFF
    void setTableByte(int cluster, std::uint8_t value);

    // Lays `data` over the clusters of `chain` in order, sets their table
    // bytes (the last one 0xC0 | sectors used) and writes entry `index`.
    void addFile(int index, const std::string& name, const std::vector<int>& chain,
                 const Bytes& data, const Stamp& stamp = {0x24, 0x03, 0x15, 0x09, 0x30});

    // Writes bytes at a position inside cluster `cluster`, for tests that
    // shape a chain by hand.
    void writeCluster(int cluster, const Bytes& data, int offset = 0);

    ImageBuilder image() const;

private:
    std::string name_;
    int trackCount_;
    std::vector<Bytes> sectors_; // trackCount_ x 16
};

} // namespace d88build
