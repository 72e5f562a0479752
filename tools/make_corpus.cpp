// Writes the fuzzer's seed corpus: small D88 files, well-formed, damaged,
// with several images, and cut short. Each image stores only the tracks and
// sectors its directory, cluster table and files use, so the seeds stay a few
// KB and the fuzzer spends its time on bytes that matter; one alone is made
// larger than the piece the reader reads at a time (512 KiB), so that reading
// an image in several pieces is fuzzed too.
//   make_corpus fuzz/corpus
#include <algorithm>
#include <cstdio>
#include <exception>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "d88_builder.h"

using namespace d88build;
using namespace d88build::layout;

namespace {

// One stored record of a 256-byte sector.
constexpr std::size_t kRecord = kRecordHeaderBytes + kSectorBytes;

// A formatted disk that remembers which sectors hold something.
class SmallDisk {
public:
    explicit SmallDisk(std::string name) : disk_(std::move(name))
    {
        for (int r = 1; r <= kDirectorySectors; ++r) {
            keep(kDirectoryTrack, r);
        }
        keep(kDirectoryTrack, kTableSector);
    }

    DiskBuilder& disk() { return disk_; }
    void keep(int track, int r) { kept_.insert({track, r}); }

    // Lays a file over `chain` and keeps the sectors its data reaches.
    void add(int entry, const std::string& name, const std::vector<int>& chain, std::size_t body,
             std::uint16_t load = 0x6000, std::uint16_t exec = 0x6000)
    {
        const Bytes data =
            withHeader(load, exec, pattern(body, static_cast<std::uint32_t>(entry + 1)));
        disk_.addFile(entry, name, chain, data);
        std::size_t left = data.size();
        for (int cluster : chain) {
            const std::size_t used = std::min<std::size_t>(left, kClusterBytes);
            keepCluster(cluster, static_cast<int>((used + kSectorBytes - 1) / kSectorBytes));
            left -= used;
        }
    }

    void keepCluster(int cluster, int sectors)
    {
        for (int i = 0; i < sectors; ++i) {
            keep(cluster >> 1, (cluster & 1) * kSectorsPerCluster + 1 + i);
        }
    }

    ImageBuilder image() const
    {
        ImageBuilder image = disk_.image();
        for (auto it = image.tracks.begin(); it != image.tracks.end();) {
            const int track = it->first;
            std::erase_if(it->second, [&](const SectorRecord& s) {
                return !kept_.contains({track, s.r});
            });
            it = it->second.empty() ? image.tracks.erase(it) : std::next(it);
        }
        return image;
    }

private:
    DiskBuilder disk_;
    std::set<std::pair<int, int>> kept_;
};

// One small file in cluster 4.
SmallDisk oneFile(const std::string& name = "ONE FILE")
{
    SmallDisk d(name);
    d.add(0, "HELLO", {4}, 40, 0x0000, 0x0000);
    return d;
}

// A chain that jumps from a full even cluster to an odd one on another track,
// next to a one-sector file.
SmallDisk chained()
{
    SmallDisk d("CHAINED");
    d.add(0, "GAME     ", {10, 41}, 2100);
    d.add(1, "DATA.BIN", {5}, 300, 0xab00, 0x00fe);
    return d;
}

// The chained disk with one change made to its layout or to its records.
Bytes diskEdited(void (*edit)(DiskBuilder&))
{
    SmallDisk d = chained();
    edit(d.disk());
    return d.image().build();
}

Bytes imageEdited(void (*edit)(ImageBuilder&))
{
    ImageBuilder image = chained().image();
    edit(image);
    return image.build();
}

Bytes cut(const Bytes& bytes, std::size_t length)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(std::min(length, bytes.size())));
}

std::vector<std::pair<std::string, Bytes>> corpus()
{
    std::vector<std::pair<std::string, Bytes>> seeds;
    const auto add = [&](const std::string& name, const Bytes& bytes) {
        seeds.emplace_back(name, bytes);
    };

    // Well-formed.
    add("good-one-file", oneFile().image().build());
    add("good-chain", chained().image().build());
    {
        // Names the host must not take as they stand, a full nine-byte name,
        // Shift_JIS bytes, an empty entry, one name twice; all share a cluster.
        SmallDisk d("NAMES");
        d.add(0, "A/B", {4}, 20);
        const char* const names[] = {".", "..", "ABCDEFGHI", "\xb1\xb2\xb3 X", "TWICE", "TWICE"};
        int entry = 1;
        for (const char* name : names) {
            d.disk().setEntry(entry++, name, 4, {0x99, 0x12, 0x31, 0x23, 0x59});
        }
        d.disk().setRawEntry(entry, {});
        d.disk().setEntry(entry + 1, "AFTER", 4, {0x24, 0x03, 0x15, 0x09, 0x30});
        add("good-names", d.image().build());
    }
    {
        SmallDisk d("EMPTY");
        add("good-empty-directory", d.image().build());
    }
    {
        // No end mark: all 192 entries are looked at; the first and last hold files.
        SmallDisk d("NO END");
        for (int i = 0; i < kEntryCount; ++i) {
            d.disk().setRawEntry(i, {});
        }
        d.add(0, "FIRST", {4}, 10);
        d.disk().setEntry(kEntryCount - 1, "LAST", 4, {0x24, 0x03, 0x15, 0x09, 0x30});
        add("good-no-end-mark", d.image().build());
    }
    {
        // A last-cluster byte of 0xCA: ten sectors, two past the cluster's own.
        SmallDisk d("LONG LAST");
        d.disk().writeCluster(12, withHeader(0x1000, 0x1000, pattern(2400, 3)));
        d.disk().setTableByte(12, kLastClusterMark | 10);
        d.disk().setEntry(0, "LONGLAST", 12, {0x24, 0x03, 0x15, 0x09, 0x30});
        d.keepCluster(12, 10);
        add("good-long-last-cluster", d.image().build());
    }
    {
        // Header only: the first cluster is also the last, with no sectors.
        SmallDisk d("HEADERLESS");
        d.add(0, "NOTHING", {4}, 0);
        d.disk().setTableByte(4, kLastClusterMark);
        add("good-empty-file", d.image().build());
    }

    {
        // A file named like the D88 file the fuzzer extracts ("in.d88"), which
        // must never be written over.
        SmallDisk d("SELF");
        d.add(0, "in.d88", {4}, 20);
        add("name-of-the-input", d.image().build());
    }

    // Damaged.
    add("lost-file-sector", imageEdited([](ImageBuilder& im) { im.removeSector(5, 3); }));
    add("short-file-sector",
        imageEdited([](ImageBuilder& im) { im.find(5, 3)->data.resize(100); }));
    add("lost-directory-sector",
        imageEdited([](ImageBuilder& im) { im.removeSector(kDirectoryTrack, 1); }));
    add("lost-table",
        imageEdited([](ImageBuilder& im) { im.removeSector(kDirectoryTrack, kTableSector); }));
    add("short-table", imageEdited([](ImageBuilder& im) {
            im.find(kDirectoryTrack, kTableSector)->data.resize(255);
        }));
    add("chain-loop", diskEdited([](DiskBuilder& d) { d.setTableByte(41, 10); }));
    add("chain-to-absent-track", diskEdited([](DiskBuilder& d) { d.setTableByte(41, 100); }));
    add("chain-into-directory", diskEdited([](DiskBuilder& d) { d.setTableByte(10, 75); }));
    add("cross-link", diskEdited([](DiskBuilder& d) { d.setTableByte(41, 5); }));
    // Each status a record can carry, on a file sector, a directory sector and
    // the table; 0x58 stands for a value of no known meaning.
    {
        const std::pair<const char*, std::uint8_t> statuses[] = {
            {"deleted", 0x10},         {"id-crc-error", 0xA0}, {"data-crc-error", 0xB0},
            {"no-address-mark", 0xE0}, {"no-data-mark", 0xF0}, {"unknown", 0x58}};
        for (const auto& [what, status] : statuses) {
            ImageBuilder image = chained().image();
            image.find(5, 3)->status = status;
            image.find(kDirectoryTrack, 1)->status = status;
            image.find(kDirectoryTrack, kTableSector)->status = status;
            add(std::string("status-") + what, image.build());
        }
        ImageBuilder marked = chained().image();
        marked.find(5, 4)->deletedMark = 0x10;
        marked.find(5, 4)->density = 0x40;
        add("status-deleted-mark", marked.build());
    }
    add("header-size-beyond-chain",
        imageEdited([](ImageBuilder& im) { im.find(5, 1)->data[2] = 0xFF; }));
    add("first-cluster-empty",
        diskEdited([](DiskBuilder& d) { d.setTableByte(5, kLastClusterMark); }));
    add("disk-size-zero", imageEdited([](ImageBuilder& im) { im.diskSize = 0; }));
    add("disk-size-below-header",
        imageEdited([](ImageBuilder& im) { im.diskSize = kHeaderBytes - 1; }));
    add("track-offset-beyond-size", imageEdited([](ImageBuilder& im) {
            im.diskSize = 8000;
            im.trackOffsets[kDirectoryTrack] = 8001;
        }));
    add("track-offset-into-header",
        imageEdited([](ImageBuilder& im) { im.trackOffsets[kDirectoryTrack] = 16; }));
    // A header no D88 file has, with the disk behind it: read all the same.
    add("track-offset-into-header-disk-there",
        imageEdited([](ImageBuilder& im) { im.trackOffsets[0] = 16; }));
    add("sector-count-zero",
        imageEdited([](ImageBuilder& im) { im.find(kDirectoryTrack, 3)->sectorCount = 0; }));
    add("sector-count-one",
        imageEdited([](ImageBuilder& im) { im.find(kDirectoryTrack, 1)->sectorCount = 1; }));
    add("wrong-size-code", imageEdited([](ImageBuilder& im) {
            for (SectorRecord& s : im.tracks.at(kDirectoryTrack)) {
                s.n = 2;
            }
        }));
    add("data-size-huge",
        imageEdited([](ImageBuilder& im) { im.find(kDirectoryTrack, 2)->dataSize = 0xFFFF; }));
    add("records-reversed", imageEdited([](ImageBuilder& im) {
            std::vector<SectorRecord>& records = im.tracks.at(kDirectoryTrack);
            std::reverse(records.begin(), records.end());
        }));
    add("sector-twice", imageEdited([](ImageBuilder& im) {
            SectorRecord copy = *im.find(5, 1);
            copy.data.assign(kSectorBytes, 0x11);
            im.tracks.at(5).push_back(copy);
        }));

    {
        // One image larger than the 512 KiB piece the reader takes at a time.
        // The piece it reads first starts at the directory track; track 40
        // opens with a piece's worth of records no lookup asks for (R 17 and
        // up), so walking it runs on into a second piece, and the files'
        // sectors behind them lie past the first. HOP's chain then goes back
        // to track 2 before the first piece, and on to track 40's other
        // cluster, past the piece read for track 2.
        constexpr std::size_t kPieceBytes = 512 * 1024;
        constexpr int kFillerTrack = 40;
        SmallDisk d("BIG");
        d.add(0, "FAR", {2 * kFillerTrack}, 2000);
        d.add(1, "HOP", {4, 2 * kFillerTrack + 1}, kClusterBytes - kFileHeaderBytes + 1000);
        ImageBuilder image = d.image();
        // The filler's Rs run through 17..255 again and again.
        constexpr std::size_t kFillerRs = 256 - (kSectorsPerTrack + 1);
        std::vector<SectorRecord> filler(kPieceBytes / kRecord);
        for (std::size_t i = 0; i < filler.size(); ++i) {
            filler[i].c = static_cast<std::uint8_t>(kFillerTrack >> 1);
            filler[i].h = static_cast<std::uint8_t>(kFillerTrack & 1);
            filler[i].r = static_cast<std::uint8_t>(kSectorsPerTrack + 1 + i % kFillerRs);
            filler[i].data = pattern(kSectorBytes, static_cast<std::uint32_t>(i));
        }
        std::vector<SectorRecord>& track = image.tracks.at(kFillerTrack);
        track.insert(track.begin(), filler.begin(), filler.end());
        add("big-image-read-in-pieces", image.build());
    }

    // Several images.
    const Bytes one = oneFile("FIRST").image().build();
    const Bytes two = chained().image().build();
    add("two-images", concat({one, two}));
    add("three-images-middle-empty", concat({one, SmallDisk("EMPTY").image().build(), two}));
    {
        ImageBuilder huge = oneFile("HUGE SIZE").image();
        huge.diskSize = 0xFFFFFFFF;
        add("disk-size-huge-then-image", concat({huge.build(), two}));
    }
    {
        // The sizes broken in a later image, which a D88 file can have.
        ImageBuilder zero = chained().image();
        zero.diskSize = 0;
        add("second-image-disk-size-zero", concat({one, zero.build(), two}));
    }
    {
        // Past the 64 images the container can name; the others are headers alone.
        std::vector<Bytes> images{one};
        ImageBuilder bare;
        bare.name = "BARE";
        for (int i = 1; i <= kMaxImages; ++i) {
            images.push_back(bare.build());
        }
        add("sixty-five-images", concat(images));
    }

    // Cut short: the two-image file ending at places where the reader changes step.
    const Bytes both = concat({one, two});
    const std::size_t second = one.size();
    const std::pair<const char*, std::size_t> cuts[] = {
        {"cut-empty", 0},
        {"cut-in-first-header", 100},
        {"cut-one-byte-short-of-header", kHeaderBytes - 1},
        {"cut-after-first-header", kHeaderBytes},
        {"cut-in-record-header", kHeaderBytes + 8},
        {"cut-in-directory-data", kHeaderBytes + kRecordHeaderBytes + 100},
        {"cut-in-table", second - kRecord - 200},
        {"cut-in-second-header", second + 300},
        {"cut-in-second-image-file-data", both.size() - 1000},
        {"cut-last-byte", both.size() - 1},
    };
    for (const auto& [name, length] : cuts) {
        add(name, cut(both, length));
    }
    return seeds;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 1;
    }
    try {
        for (const auto& [name, bytes] : corpus()) {
            writeFile(std::string(argv[1]) + "/" + name, bytes);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
