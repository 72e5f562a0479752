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

using Bytes = std::vector<std::uint8_t>;

struct SectorRecord {
    std::uint8_t c = 0;
    std::uint8_t h = 0;
    std::uint8_t r = 1;
    std::uint8_t n = 1;
    Bytes data;
    int sectorCount = -1; // -1: the number of records of its track
    int dataSize = -1;    // -1: data.size()
};

struct ImageBuilder {
    std::string name; // written into the 17-byte name field, cut to 17 bytes
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
    static constexpr int kSectorBytes = 256;
    static constexpr int kSectorsPerTrack = 16;
    static constexpr int kClusterBytes = 8 * kSectorBytes;

    explicit DiskBuilder(std::string name, int trackCount = 80);

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
