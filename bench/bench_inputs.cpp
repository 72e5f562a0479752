// The benchmark inputs: see bench_inputs.h.
#include "bench_inputs.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace benchinputs {

using namespace d88build;
using namespace d88build::layout;

namespace {

// Next-cluster bytes below the last-cluster mark can name clusters 0..191.
constexpr int kChainableClusters = kLastClusterMark;
// The header's size field is 16 bits: the largest file body.
constexpr int kLargestBody = 0xFFFF;

// SplitMix64: small, fast and the same everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n).
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    template <typename T> void shuffle(std::vector<T>& items)
    {
        for (std::size_t i = items.size(); i > 1; --i) {
            std::swap(items[i - 1], items[static_cast<std::size_t>(below(static_cast<int>(i)))]);
        }
    }

private:
    std::uint64_t state_;
};

std::uint8_t bcd(int value)
{
    return static_cast<std::uint8_t>((value / 10) << 4 | value % 10);
}

Stamp randomStamp(Random& random)
{
    return {bcd(80 + random.below(20)), bcd(1 + random.below(12)), bcd(1 + random.below(28)),
            bcd(random.below(24)), bcd(random.below(60))};
}

// Clusters that can hold file data: all but the directory track's two.
std::vector<int> dataClusters(int clusterCount)
{
    std::vector<int> clusters;
    for (int cluster = 0; cluster < clusterCount; ++cluster) {
        if (cluster >> 1 != kDirectoryTrack) {
            clusters.push_back(cluster);
        }
    }
    return clusters;
}

// Body length of a file of `clusters` clusters: a one-cluster file is
// anything from one byte up (a quarter of them tiny, a few bytes to a few
// hundred), a longer one fills part of its last cluster.
int bodyLength(Random& random, int clusters)
{
    constexpr int kLargestSmall = kClusterBytes - kFileHeaderBytes;
    if (clusters == 1 && random.below(4) == 0) {
        return 1 + random.below(1 << random.below(10));
    }
    if (clusters == 1) {
        return 1 + random.below(kLargestSmall);
    }
    const int total = (clusters - 1) * kClusterBytes + 1 + random.below(kClusterBytes);
    return std::min(total - kFileHeaderBytes, kLargestBody);
}

std::string fileName(Random& random, int number)
{
    static const char* const kStems[] = {"GAME", "DATA", "PROG", "MAP",  "STAGE", "SOUND",
                                         "CHR",  "TEXT", "SAVE", "BOOT", "MUSIC", "FONT"};
    static const char* const kSuffixes[] = {"", "", ".BIN", ".BAS", ".DAT"};
    std::string name = kStems[random.below(12)] + std::to_string(number);
    const std::string suffix = kSuffixes[random.below(5)];
    if (name.size() + suffix.size() <= 9) {
        name += suffix;
    }
    // Names on these disks are blank-padded; many keep their blanks.
    if (random.below(2) == 0) {
        name.resize(9, ' ');
    }
    return name;
}

} // namespace

Bytes fullImage(int index, Tree& files)
{
    Random random(0xD88BE7C4u + static_cast<std::uint64_t>(index));
    char title[20];
    std::snprintf(title, sizeof title, "BENCH DISK %02d", index);
    DiskBuilder disk(title, kDiskTracks);

    // Free clusters in a shuffled order, so that chains hop between
    // tracks and heads the way a well-used disk's do.
    std::vector<int> free = dataClusters(kDiskTracks * 2);
    random.shuffle(free);

    const int count = 100 + random.below(51);
    std::vector<int> clusters(static_cast<std::size_t>(count), 1);
    int spare = static_cast<int>(free.size()) - count - random.below(3);
    // Hand the rest out in lumps: a few long files among many short ones.
    const int longest = (kLargestBody + kFileHeaderBytes) / kClusterBytes;
    while (spare > 0) {
        int& file = clusters[static_cast<std::size_t>(random.below(count))];
        const int extra = std::min({spare, 1 + random.below(24), longest - file});
        file += extra;
        spare -= extra;
    }

    std::size_t nextFree = 0;
    int entry = 0;
    for (int f = 0; f < count && entry < kEntryCount; ++f) {
        // Now and then a deleted entry, which is skipped.
        if (random.below(20) == 0 && entry + 1 < kEntryCount) {
            disk.setEntry(entry++, std::string("\0LD", 3), 0, randomStamp(random));
        }
        std::vector<int> chain;
        for (int c = 0; c < clusters[static_cast<std::size_t>(f)]; ++c) {
            chain.push_back(free.at(nextFree++));
        }
        const std::string name = fileName(random, f);
        const Bytes data = withHeader(
            static_cast<std::uint16_t>(random.next()), static_cast<std::uint16_t>(random.next()),
            pattern(static_cast<std::size_t>(bodyLength(random, static_cast<int>(chain.size()))),
                    static_cast<std::uint32_t>(index * 1000 + f)));
        disk.addFile(entry++, name, chain, data, randomStamp(random));
        files[name] = data;
    }
    return disk.image().build();
}

namespace {

constexpr int kHostileBody = 10;
constexpr int kWantedSectors = kDirectorySectors + 1 + kFileBufferClusters * kSectorsPerCluster;
constexpr int kAnyCount = 0xFFFF;

// A sector count for the record at run position `p` that does not end the
// walk from any start: a walk from start q stops at p when the count is
// p - q + 1.
int harmlessCount(long long p, int starts)
{
    for (int count : {kAnyCount, 1}) {
        const long long q = p + 1 - count;
        if (q < 0 || q >= starts) {
            return count;
        }
    }
    return 2; // never reached: 0xFFFF and 1 cannot both be taken
}

SectorRecord wantedRecord(DiskBuilder& disk, int track, int c, int h, int r)
{
    SectorRecord record;
    record.c = static_cast<std::uint8_t>(c);
    record.h = static_cast<std::uint8_t>(h);
    record.r = static_cast<std::uint8_t>(r);
    record.n = 1;
    record.data = disk.sector(track, r);
    return record;
}

} // namespace

long long hostileFiller(long long imageBytes)
{
    const long long wantedBytes =
        static_cast<long long>(kWantedSectors) * (kRecordHeaderBytes + kSectorBytes);
    return (imageBytes - kHeaderBytes - wantedBytes) / kRecordHeaderBytes;
}

Bytes hostileImage(int index, long long filler, Tree& files)
{
    Random random(0x4057113u + static_cast<std::uint64_t>(index));
    char title[20];
    std::snprintf(title, sizeof title, "HOSTILE WALK %d", index);
    // Clusters up to 191 lie on tracks up to 95.
    DiskBuilder disk(title, kChainableClusters / 2);

    std::vector<int> chain = dataClusters(kChainableClusters);
    random.shuffle(chain);
    chain.resize(kFileBufferClusters);
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
        disk.setTableByte(chain[i], static_cast<std::uint8_t>(chain[i + 1]));
    }
    // The last cluster is whole: the chain fills the file buffer exactly.
    disk.setTableByte(chain.back(),
                      static_cast<std::uint8_t>(kLastClusterMark | kSectorsPerCluster));
    const Bytes head = withHeader(static_cast<std::uint16_t>(random.next()),
                                  static_cast<std::uint16_t>(random.next()),
                                  pattern(kHostileBody, static_cast<std::uint32_t>(index)));
    disk.writeCluster(chain.front(), head);
    for (int e = 0; e < kEntryCount; ++e) {
        char name[10];
        std::snprintf(name, sizeof name, "WALK%03d", e);
        disk.setEntry(e, name, static_cast<std::uint8_t>(chain.front()), randomStamp(random));
        files[name] = head;
    }

    std::vector<SectorRecord> wanted;
    for (int r = 1; r <= kDirectorySectors; ++r) {
        wanted.push_back(
            wantedRecord(disk, kDirectoryTrack, kDirectoryCylinder, kDirectoryHead, r));
    }
    wanted.push_back(
        wantedRecord(disk, kDirectoryTrack, kDirectoryCylinder, kDirectoryHead, kTableSector));
    for (int cluster : chain) {
        for (int s = 0; s < kSectorsPerCluster; ++s) {
            wanted.push_back(wantedRecord(disk, cluster >> 1, cluster >> 2, (cluster >> 1) & 1,
                                          (cluster & 1) * kSectorsPerCluster + 1 + s));
        }
    }
    ImageBuilder image;
    image.name = title;
    std::vector<SectorRecord>& run = image.tracks[0];
    run.reserve(static_cast<std::size_t>(filler) + wanted.size());
    for (long long p = 0; p < filler; ++p) {
        // Cylinders from 0x40 up: no file or directory sector has one.
        SectorRecord record;
        record.c = static_cast<std::uint8_t>(0x40 + p / 65536);
        record.h = static_cast<std::uint8_t>(p >> 8);
        record.r = static_cast<std::uint8_t>(p);
        record.n = 1;
        run.push_back(std::move(record));
    }
    for (SectorRecord& record : wanted) {
        run.push_back(std::move(record));
    }
    for (std::size_t p = 0; p < run.size(); ++p) {
        run[p].sectorCount = harmlessCount(static_cast<long long>(p), kTrackCount);
    }
    for (int t = 0; t < kTrackCount; ++t) {
        image.trackOffsets[t] = static_cast<std::uint32_t>(kHeaderBytes + kRecordHeaderBytes * t);
    }
    return image.build();
}

Bytes scatteredImage(int index, Tree& files)
{
    Random random(0x5CA77E2u + static_cast<std::uint64_t>(index));
    char title[20];
    std::snprintf(title, sizeof title, "SCATTERED %d", index);
    DiskBuilder disk(title, kDiskTracks);

    std::vector<int> chain = dataClusters(kDiskTracks * 2);
    random.shuffle(chain);
    chain.resize(kScatteredChainClusters);
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
        disk.setTableByte(chain[i], static_cast<std::uint8_t>(chain[i + 1]));
    }
    disk.setTableByte(chain.back(),
                      static_cast<std::uint8_t>(kLastClusterMark | kSectorsPerCluster));
    const Bytes head = withHeader(static_cast<std::uint16_t>(random.next()),
                                  static_cast<std::uint16_t>(random.next()),
                                  pattern(kHostileBody, static_cast<std::uint32_t>(index)));
    disk.writeCluster(chain.front(), head);
    for (int e = 0; e < kEntryCount; ++e) {
        char name[10];
        std::snprintf(name, sizeof name, "READ%03d", e);
        disk.setEntry(e, name, static_cast<std::uint8_t>(chain.front()), randomStamp(random));
        files[name] = head;
    }
    ImageBuilder image = disk.image();
    for (auto& [track, records] : image.tracks) {
        // Cylinder 0x40: no lookup of this disk asks for it.
        SectorRecord padding;
        padding.c = 0x40;
        padding.r = static_cast<std::uint8_t>(track);
        padding.data = pattern(kScatteredPadding, static_cast<std::uint32_t>(track));
        records.insert(records.begin(), std::move(padding));
    }
    return image.build();
}

Input scatteredInput()
{
    Input input;
    std::vector<Bytes> images;
    input.images.resize(kScatteredImages);
    for (int i = 0; i < kScatteredImages; ++i) {
        images.push_back(scatteredImage(i, input.images[static_cast<std::size_t>(i)]));
    }
    input.file = concat(images);
    return input;
}

namespace {

enum class Damage { None, FileSector, Table };

// Disk `image` of collection file `index`: 40 to 80 tracks, a few to many
// files of one to a few clusters each, on chains that hop across the disk.
Bytes collectionImage(int index, int image, Damage damage, Tree& files)
{
    Random random(0xC011EC7u + static_cast<std::uint64_t>(index) * 64 +
                  static_cast<std::uint64_t>(image));
    char title[20];
    std::snprintf(title, sizeof title, "DISK %04d-%d", index, image);
    // Cylinders 20 to 40: the directory track is always there.
    const int tracks = 2 * (20 + random.below(21));
    DiskBuilder disk(title, tracks);
    std::vector<int> free = dataClusters(tracks * 2);
    random.shuffle(free);
    const int count = 3 + random.below(58);
    std::size_t nextFree = 0;
    for (int f = 0; f < count; ++f) {
        const int clusters = 1 + random.below(random.below(4) == 0 ? 6 : 2);
        if (nextFree + static_cast<std::size_t>(clusters) > free.size()) {
            break;
        }
        const std::vector<int> chain(free.begin() + static_cast<long>(nextFree),
                                     free.begin() + static_cast<long>(nextFree) + clusters);
        nextFree += static_cast<std::size_t>(clusters);
        const std::string name = fileName(random, f);
        const Bytes data = withHeader(
            static_cast<std::uint16_t>(random.next()), static_cast<std::uint16_t>(random.next()),
            pattern(static_cast<std::size_t>(bodyLength(random, clusters)),
                    static_cast<std::uint32_t>(index * 4096 + image * 64 + f)));
        disk.addFile(f, name, chain, data, randomStamp(random));
        files[name] = data;
    }
    ImageBuilder built = disk.image();
    if (damage == Damage::FileSector) {
        // The first sector of the first file's first cluster.
        built.removeSector(free.front() >> 1, (free.front() & 1) * kSectorsPerCluster + 1);
    } else if (damage == Damage::Table) {
        built.removeSector(kDirectoryTrack, kTableSector);
    }
    return built.build();
}

} // namespace

CollectionFile collectionFile(int index, int count, int notD88)
{
    Random random(0xF11E5u + static_cast<std::uint64_t>(index));
    CollectionFile file;
    char name[24];
    std::snprintf(name, sizeof name, "DISK%04d.d88", index);
    file.name = name;
    file.d88 = index < count - notD88;
    file.damaged = false;
    if (!file.d88) {
        // Every other one text; the others open like a PNG.
        if (index % 2 == 0) {
            const std::string line = "Not a disk: notes on the disks of this collection.\n";
            while (file.bytes.size() < 4000) {
                file.bytes.insert(file.bytes.end(), line.begin(), line.end());
            }
        } else {
            file.bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n',
                          0,    0,   0,   13,  'I',  'H',  'D',  'R'};
            const Bytes rest = pattern(6000, static_cast<std::uint32_t>(index));
            file.bytes.insert(file.bytes.end(), rest.begin(), rest.end());
        }
        return file;
    }
    const int images = 1 + random.below(8);
    const int lost = random.below(12) == 0 ? random.below(images) : -1;
    const int tableLost = random.below(50) == 0 ? random.below(images) : -1;
    file.damaged = lost >= 0 || tableLost >= 0;
    std::vector<Bytes> built;
    file.images.resize(static_cast<std::size_t>(images));
    for (int i = 0; i < images; ++i) {
        const Damage damage = i == tableLost ? Damage::Table
                              : i == lost    ? Damage::FileSector
                                             : Damage::None;
        built.push_back(
            collectionImage(index, i, damage, file.images[static_cast<std::size_t>(i)]));
    }
    file.bytes = concat(built);
    return file;
}

Input fullArchive()
{
    Input input;
    std::vector<Bytes> images;
    input.images.resize(kFullImages);
    for (int i = 0; i < kFullImages; ++i) {
        images.push_back(fullImage(i, input.images[static_cast<std::size_t>(i)]));
    }
    input.file = concat(images);
    return input;
}

Input hostileInput()
{
    Input input;
    std::vector<Bytes> images;
    input.images.resize(kHostileImages);
    const long long filler = hostileFiller(kHostileBytes / kHostileImages);
    for (int i = 0; i < kHostileImages; ++i) {
        images.push_back(hostileImage(i, filler, input.images[static_cast<std::size_t>(i)]));
    }
    input.file = concat(images);
    if (static_cast<long long>(input.file.size()) > kHostileBytes) {
        throw std::logic_error("hostile input over 16 MiB");
    }
    return input;
}

} // namespace benchinputs
