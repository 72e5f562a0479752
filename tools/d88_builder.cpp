#include "d88_builder.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace d88build {

using namespace layout;

namespace {

constexpr int kEntriesPerSector = kSectorBytes / kEntryBytes;

void putLe16(Bytes& out, std::size_t at, unsigned value)
{
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void putLe32(Bytes& out, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

} // namespace

SectorRecord* ImageBuilder::find(int track, int r)
{
    auto it = tracks.find(track);
    if (it == tracks.end()) {
        return nullptr;
    }
    for (SectorRecord& record : it->second) {
        if (record.r == r) {
            return &record;
        }
    }
    return nullptr;
}

void ImageBuilder::removeSector(int track, int r)
{
    std::vector<SectorRecord>& records = tracks.at(track);
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [r](const SectorRecord& s) { return s.r == r; }),
                  records.end());
}

Bytes ImageBuilder::build() const
{
    Bytes out(kHeaderBytes, 0);
    std::copy_n(name.begin(), std::min<std::size_t>(name.size(), kNameField), out.begin());
    // The bytes between the name and the write-protect flag are never read.
    for (int i = kNameField; i < kWriteProtectOffset; ++i) {
        out[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    out[kWriteProtectOffset] = writeProtect;
    out[kMediaTypeOffset] = mediaType;

    for (const auto& [index, records] : tracks) {
        if (index < 0 || index >= kTrackCount) {
            throw std::out_of_range("no such track: " + std::to_string(index));
        }
        putLe32(out, kTrackTableOffset + 4 * index, static_cast<std::uint32_t>(out.size()));
        for (const SectorRecord& record : records) {
            Bytes header(kRecordHeaderBytes, 0);
            header[0] = record.c;
            header[1] = record.h;
            header[2] = record.r;
            header[3] = record.n;
            putLe16(header, kSectorCountOffset,
                    static_cast<unsigned>(record.sectorCount >= 0 ? record.sectorCount
                                                                  : records.size()));
            header[kDensityOffset] = record.density;
            header[kDeletedMarkOffset] = record.deletedMark;
            header[kStatusOffset] = record.status;
            // The reserved bytes: never read.
            for (int i = kStatusOffset + 1; i < kDataSizeOffset; ++i) {
                header[i] = static_cast<std::uint8_t>(0x50 + i);
            }
            putLe16(
                header, kDataSizeOffset,
                static_cast<unsigned>(record.dataSize >= 0 ? record.dataSize : record.data.size()));
            out.insert(out.end(), header.begin(), header.end());
            out.insert(out.end(), record.data.begin(), record.data.end());
        }
    }
    for (const auto& [index, offset] : trackOffsets) {
        putLe32(out, kTrackTableOffset + 4 * index, offset);
    }
    putLe32(
        out, kDiskSizeOffset,
        static_cast<std::uint32_t>(diskSize >= 0 ? diskSize : static_cast<long long>(out.size())));
    return out;
}

Bytes concat(const std::vector<Bytes>& images)
{
    Bytes out;
    for (const Bytes& image : images) {
        out.insert(out.end(), image.begin(), image.end());
    }
    return out;
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        throw std::runtime_error("cannot create " + path);
    }
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) {
        throw std::runtime_error("cannot write " + path);
    }
}

Bytes readFile(const std::string& path)
{
    Bytes out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        throw std::runtime_error("cannot open " + path);
    }
    std::uint8_t chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        out.insert(out.end(), chunk, chunk + got);
    }
    std::fclose(f);
    return out;
}

Bytes withHeader(std::uint16_t load, std::uint16_t exec, const Bytes& body)
{
    const auto size = static_cast<std::uint16_t>(body.size());
    Bytes out{static_cast<std::uint8_t>(load >> 8), static_cast<std::uint8_t>(load),
              static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size),
              static_cast<std::uint8_t>(exec >> 8), static_cast<std::uint8_t>(exec)};
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes pattern(std::size_t length, std::uint32_t seed)
{
    Bytes out(length);
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (std::uint8_t& b : out) {
        state = state * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(1 + (state >> 16) % 255);
    }
    return out;
}

DiskBuilder::DiskBuilder(std::string name, int trackCount)
    : name_(std::move(name)), trackCount_(trackCount),
      sectors_(static_cast<std::size_t>(trackCount) * kSectorsPerTrack)
{
    for (int track = 0; track < trackCount_; ++track) {
        for (int r = 1; r <= kSectorsPerTrack; ++r) {
            sector(track, r) =
                pattern(kSectorBytes, static_cast<std::uint32_t>(track * kSectorsPerTrack + r));
        }
    }
    // A fresh directory reads as ended at its first entry; free clusters
    // are 0xFF in the table.
    for (int r = 1; r <= kDirectorySectors; ++r) {
        sector(kDirectoryTrack, r).assign(kSectorBytes, kEndOfDirectory);
    }
    sector(kDirectoryTrack, kTableSector).assign(kSectorBytes, kFreeCluster);
}

Bytes& DiskBuilder::sector(int track, int r)
{
    return sectors_.at(static_cast<std::size_t>(track * kSectorsPerTrack + r - 1));
}

void DiskBuilder::setRawEntry(int index, const std::array<std::uint8_t, 16>& raw)
{
    Bytes& s = sector(kDirectoryTrack, 1 + index / kEntriesPerSector);
    std::copy(raw.begin(), raw.end(), s.begin() + (index % kEntriesPerSector) * kEntryBytes);
}

void DiskBuilder::setEntry(int index, const std::string& name, std::uint8_t firstCluster,
                           const Stamp& stamp)
{
    std::array<std::uint8_t, 16> raw{};
    for (std::size_t i = 0; i < 9 && i < name.size(); ++i) {
        raw[i] = static_cast<std::uint8_t>(name[i]);
    }
    raw[9] = 0x01; // attribute byte, not read
    raw[10] = firstCluster;
    for (int i = 0; i < 5; ++i) {
        raw[15 - i] = stamp[i];
    }
    setRawEntry(index, raw);
}

void DiskBuilder::endDirectory(int index)
{
    Bytes& s = sector(kDirectoryTrack, 1 + index / kEntriesPerSector);
    s[(index % kEntriesPerSector) * kEntryBytes] = kEndOfDirectory;
}

void DiskBuilder::setTableByte(int cluster, std::uint8_t value)
{
    sector(kDirectoryTrack, kTableSector).at(static_cast<std::size_t>(cluster)) = value;
}

void DiskBuilder::writeCluster(int cluster, const Bytes& data, int offset)
{
    const int track = cluster >> 1;
    const int firstR = (cluster & 1) * kSectorsPerCluster + 1;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const int at = offset + static_cast<int>(i);
        // Runs past the cluster's eight sectors continue on the same track.
        sector(track, firstR + at / kSectorBytes).at(static_cast<std::size_t>(at % kSectorBytes)) =
            data[i];
    }
}

void DiskBuilder::addFile(int index, const std::string& name, const std::vector<int>& chain,
                          const Bytes& data, const Stamp& stamp)
{
    if (chain.empty() || data.size() > chain.size() * kClusterBytes) {
        throw std::invalid_argument("file does not fit its chain: " + name);
    }
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const std::size_t begin = i * kClusterBytes;
        const std::size_t end = std::min(data.size(), begin + kClusterBytes);
        if (begin < end) {
            writeCluster(chain[i], Bytes(data.begin() + begin, data.begin() + end));
        }
        if (i + 1 < chain.size()) {
            setTableByte(chain[i], static_cast<std::uint8_t>(chain[i + 1]));
        } else {
            const std::size_t used = end > begin ? end - begin : 0;
            const auto sectors =
                static_cast<std::uint8_t>((used + kSectorBytes - 1) / kSectorBytes);
            setTableByte(chain[i], static_cast<std::uint8_t>(kLastClusterMark | sectors));
        }
    }
    setEntry(index, name, static_cast<std::uint8_t>(chain.front()), stamp);
}

ImageBuilder DiskBuilder::image() const
{
    ImageBuilder image;
    image.name = name_;
    for (int track = 0; track < trackCount_; ++track) {
        std::vector<SectorRecord>& records = image.tracks[track];
        for (int r = 1; r <= kSectorsPerTrack; ++r) {
            SectorRecord record;
            record.c = static_cast<std::uint8_t>(track >> 1);
            record.h = static_cast<std::uint8_t>(track & 1);
            record.r = static_cast<std::uint8_t>(r);
            record.n = 1;
            record.data = sectors_[static_cast<std::size_t>(track * kSectorsPerTrack + r - 1)];
            records.push_back(std::move(record));
        }
    }
    return image;
}

} // namespace d88build
