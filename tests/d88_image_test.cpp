// Reader tests: images are built in memory, written to real files and read
// back through the reader's stdio path.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "test_support.h"

using namespace d88build;
using d88::D88Image;

namespace {

SectorRecord record(int c, int h, int r, int n, Bytes data)
{
    SectorRecord s;
    s.c = static_cast<std::uint8_t>(c);
    s.h = static_cast<std::uint8_t>(h);
    s.r = static_cast<std::uint8_t>(r);
    s.n = static_cast<std::uint8_t>(n);
    s.data = std::move(data);
    return s;
}

ImageBuilder emptyImage(const std::string& name = "EMPTY")
{
    ImageBuilder image;
    image.name = name;
    return image;
}

int openFileCount()
{
    int count = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (::readdir(dir) != nullptr) {
            ++count;
        }
        ::closedir(dir);
    }
    return count;
}

} // namespace

TEST(D88ImageTest, ByteOrderHelpers)
{
    const std::uint8_t bytes[] = {0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(d88::readLe32(bytes), 0x12345678u);
    EXPECT_EQ(d88::readLe16(bytes + 2), 0x1234u);
}

// Images are found by their disk sizes; what lies past them is told apart:
// bytes too few for a header, or more images than are counted. The last
// image's size is kept with the bytes the file holds from its start.
TEST(D88ImageTest, FindsImagesByTheirDiskSizes)
{
    auto sized = [](long long diskSize) {
        ImageBuilder image = emptyImage();
        image.diskSize = diskSize;
        return image.build();
    };
    const Bytes one = emptyImage().build();
    const auto size = static_cast<long long>(one.size());
    const std::vector<Bytes> seventy(70, one), sixtyFour(64, one);
    struct Case {
        const char* what;
        Bytes file;
        int expected;
        int trailing;
        bool beyond;
        long long lastDeclared, lastHeld; // of the last image found
    } cases[] = {
        {"empty", {}, 0, 0, false, 0, 0},
        {"shorter than a header", Bytes(687, 0x11), 0, 687, false, 0, 0},
        {"trailing partial header", concat({one, one, Bytes(100, 0x22)}), 2, 100, false, size,
         size + 100},
        {"only the first 64 images", concat(seventy), 64, 0, true, size, 7 * size},
        {"64 images and a partial header", concat({concat(sixtyFour), Bytes(687, 0)}), 64, 687,
         false, size, size + 687},
        {"exactly 64 images", concat(sixtyFour), 64, 0, false, size, size},
        // A size that cannot locate the next image counts once, not 64 times;
        // what follows it is the image's to report, not trailing bytes.
        {"disk size 0", concat({sized(0), one, one}), 1, 0, false, 0, 3 * size},
        {"disk size below a header", concat({sized(687), one}), 1, 0, false, 687, 2 * size},
        {"disk size past the end", concat({sized(0xFFFFFFFF), one}), 1, 0, false, 0xFFFFFFFF,
         2 * size},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        D88Image image;
        openBytes(image, c.file);
        EXPECT_EQ(image.imageCount(), c.expected);
        EXPECT_EQ(image.trailingBytes(), c.trailing);
        EXPECT_EQ(image.imagesBeyondLimit(), c.beyond);
        const int last = c.expected - 1;
        EXPECT_EQ(image.declaredSize(last), static_cast<std::uint32_t>(c.lastDeclared));
        EXPECT_EQ(image.bytesHeld(last), c.lastHeld);
        // No image past the last has a size or bytes.
        EXPECT_EQ(image.declaredSize(c.expected), 0u);
        EXPECT_EQ(image.bytesHeld(c.expected), 0);
    }
}

TEST(D88ImageTest, OpenFailsOnWhatCannotBeRead)
{
    D88Image image;
    EXPECT_FALSE(image.open("/nonexistent/file.d88"));
    EXPECT_FALSE(image.open(::testing::TempDir().c_str())); // a directory
    EXPECT_FALSE(image.isOpen());
    EXPECT_EQ(image.imageCount(), 0);
}

TEST(D88ImageTest, OpenStartsAfreshOnAnotherFile)
{
    D88Image image;
    DiskBuilder disk("FIRST", 40);
    openBytes(image, disk.image().build());
    ASSERT_TRUE(image.selectImage(0));
    const int withOne = openFileCount();
    openBytes(image, DiskBuilder("SECOND", 40).image().build());
    EXPECT_EQ(openFileCount(), withOne);
    // The new file has no current image until one is selected.
    std::uint8_t sector[256];
    EXPECT_STREQ(image.imageName(), "");
    EXPECT_EQ(image.readSector(0, 0, 0, 1, 1, sector, 256), 0);
    image.close();
    EXPECT_EQ(openFileCount(), withOne - 1);

    // Two files laid out alike: after a read of the first, the same sector
    // of the second comes from the second, not from what was read before.
    DiskBuilder one("SAME", 40), two("SAME", 40);
    one.sector(3, 5) = pattern(256, 1);
    two.sector(3, 5) = pattern(256, 2);
    for (DiskBuilder* disk : {&one, &two}) {
        openBytes(image, disk->image().build());
        ASSERT_TRUE(image.selectImage(0));
        ASSERT_EQ(image.readSector(3, 1, 1, 5, 1, sector, 256), 256);
        EXPECT_EQ(Bytes(sector, sector + 256), disk->sector(3, 5));
    }
}

TEST(D88ImageTest, SelectImageReadsHeaderAndForgetsOnFailure)
{
    ImageBuilder first = emptyImage("ABCDEFGHIJKLMNOPQ"); // 17 bytes: no NUL in the first 16
    first.mediaType = 0x20;
    D88Image image;
    EXPECT_FALSE(image.selectImage(0)); // no file yet
    openBytes(image, concat({first.build(), emptyImage("SECOND").build()}));

    ASSERT_TRUE(image.selectImage(0));
    EXPECT_STREQ(image.imageName(), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(image.mediaType(), 0x20);
    ASSERT_TRUE(image.selectImage(1));
    EXPECT_STREQ(image.imageName(), "SECOND");

    EXPECT_FALSE(image.selectImage(2));
    EXPECT_STREQ(image.imageName(), "");
    EXPECT_EQ(image.mediaType(), -1);
    EXPECT_EQ(image.diskSize(), 0u);
    EXPECT_FALSE(image.selectImage(-1));
}

TEST(D88ImageTest, ReadSectorWalksTheTrack)
{
    const Bytes a = pattern(256, 1), b = pattern(256, 2), c = pattern(128, 3);
    auto track = [&](std::vector<SectorRecord> records) {
        ImageBuilder image = emptyImage();
        image.tracks[5] = std::move(records);
        return image;
    };
    SectorRecord countZero = record(2, 1, 2, 1, a);
    countZero.sectorCount = 0;
    SectorRecord countOne = record(2, 1, 1, 1, a);
    countOne.sectorCount = 1;
    ImageBuilder beyondDisk = track({record(2, 1, 1, 1, a)});
    beyondDisk.trackOffsets[5] = 0x7FFFFFF0;
    ImageBuilder truncated = track({record(2, 1, 1, 1, a), record(2, 1, 2, 1, b)});

    struct Case {
        const char* what;
        ImageBuilder image;
        int track, c, h, r, n, len;
        int cut; // bytes dropped from the end of the file
        int expected;
        Bytes expectedData;
    } cases[] = {
        {"second record", track({record(2, 1, 1, 1, a), record(2, 1, 2, 1, b)}), 5, 2, 1, 2, 1, 256,
         0, 256, b},
        {"len below the data size", track({record(2, 1, 1, 1, a)}), 5, 2, 1, 1, 1, 100, 0, 100,
         Bytes(a.begin(), a.begin() + 100)},
        {"data size below len", track({record(2, 1, 1, 0, c)}), 5, 2, 1, 1, 0, 256, 0, 128, c},
        {"N must match too", track({record(2, 1, 1, 1, a)}), 5, 2, 1, 1, 2, 256, 0, 0, {}},
        {"H must match too", track({record(2, 1, 1, 1, a)}), 5, 2, 0, 1, 1, 256, 0, 0, {}},
        {"sector count 0 ends the walk",
         track({countZero, record(2, 1, 2, 1, b)}),
         5,
         2,
         1,
         2,
         1,
         256,
         0,
         0,
         {}},
        {"a record's own count ends the walk",
         track({countOne, record(2, 1, 2, 1, b)}),
         5,
         2,
         1,
         2,
         1,
         256,
         0,
         0,
         {}},
        {"absent track", track({record(2, 1, 1, 1, a)}), 6, 2, 1, 1, 1, 256, 0, 0, {}},
        {"track index out of range",
         track({record(2, 1, 1, 1, a)}),
         164,
         2,
         1,
         1,
         1,
         256,
         0,
         0,
         {}},
        {"track offset beyond the disk size", beyondDisk, 5, 2, 1, 1, 1, 256, 0, 0, {}},
        {"data cut by the end of the file", truncated, 5, 2, 1, 2, 1, 256, 10, 0, {}},
        {"header cut by the end of the file", truncated, 5, 2, 1, 2, 1, 256, 256 + 10, 0, {}},
    };
    for (Case& c : cases) {
        Bytes file = c.image.build();
        file.resize(file.size() - static_cast<std::size_t>(c.cut));
        D88Image image;
        openBytes(image, file);
        ASSERT_TRUE(image.selectImage(0)) << c.what;
        Bytes dst(300, 0xEE);
        EXPECT_EQ(image.readSector(c.track, c.c, c.h, c.r, c.n, dst.data(), c.len), c.expected)
            << c.what;
        if (c.expected > 0) {
            EXPECT_EQ(Bytes(dst.begin(), dst.begin() + c.expected), c.expectedData) << c.what;
        }
    }
}

TEST(D88ImageTest, ReadSectorsRunsAcrossTracks)
{
    // A formatted disk whose sector 38/3 is short and 37/15 missing.
    DiskBuilder disk("RUN", 40);
    ImageBuilder built = disk.image();
    built.find(38, 3)->data.resize(200);
    built.removeSector(37, 15);
    D88Image image;
    openBytes(image, built.build());
    ASSERT_TRUE(image.selectImage(0));

    auto expected = [&](std::vector<std::pair<int, int>> sectors, int len) {
        Bytes out = sectorsOf(disk, sectors);
        out.resize(static_cast<std::size_t>(len));
        return out;
    };
    struct Case {
        const char* what;
        int track, c, h, r, len;
        int expected;
        Bytes data;
    } cases[] = {
        {"head 1 R 16 continues at the next cylinder", 37, 18, 1, 16, 512, 512,
         expected({{37, 16}, {38, 1}}, 512)},
        {"len 0 reads nothing", 37, 18, 1, 1, 0, 0, {}},
        {"the last sector read in part", 37, 18, 1, 1, 300, 300, expected({{37, 1}, {37, 2}}, 300)},
        {"a short sector ends the run", 38, 19, 0, 1, 1024, 512, expected({{38, 1}, {38, 2}}, 512)},
        {"a missing sector ends the run", 37, 18, 1, 15, 1024, 0, {}},
    };
    for (const Case& c : cases) {
        Bytes dst(1024, 0);
        EXPECT_EQ(image.readSectors(c.track, c.c, c.h, c.r, 1, dst.data(), c.len), c.expected)
            << c.what;
        EXPECT_EQ(Bytes(dst.begin(), dst.begin() + c.expected), c.data) << c.what;
    }

    // A different range moves the track change.
    image.setSectorRange(1, 2);
    Bytes dst(768);
    EXPECT_EQ(image.readSectors(36, 18, 0, 1, 1, dst.data(), 768), 768);
    EXPECT_EQ(dst, expected({{36, 1}, {36, 2}, {37, 1}}, 768));
}

TEST(D88ImageTest, ReadSectorIdsListsStoredOrder)
{
    SectorRecord zeroCount = record(3, 0, 9, 2, Bytes(16, 0x44));
    zeroCount.sectorCount = 0;
    ImageBuilder built = emptyImage();
    built.tracks[0] = {record(1, 0, 7, 1, Bytes(256, 0x11)), zeroCount,
                       record(1, 0, 5, 3, Bytes(10, 0x22))};
    D88Image image;
    openBytes(image, built.build());
    ASSERT_TRUE(image.selectImage(0));

    std::uint8_t ids[16] = {};
    // A count of 0 does not stop the walk: the file's end does.
    ASSERT_EQ(image.readSectorIds(0, ids, 16), 12);
    const std::uint8_t all[] = {1, 0, 7, 1, 3, 0, 9, 2, 1, 0, 5, 3};
    EXPECT_EQ(0, std::memcmp(ids, all, sizeof all));
    // Whole IDs while fewer than len bytes are written.
    EXPECT_EQ(image.readSectorIds(0, ids, 5), 8);
    EXPECT_EQ(image.readSectorIds(0, ids, 0), 0);
    EXPECT_EQ(image.readSectorIds(1, ids, 16), 0);
}

namespace {

// The walk as the reader documents it, done the slow way over the file's
// bytes: the first record with the ID, before the track's end by a record's
// own count, a count of 0, or the image's end.
int plainWalk(const Bytes& file, std::size_t base, int track, const std::uint8_t id[4],
              std::uint8_t* dst, int len)
{
    const auto le = [&](std::size_t at, int bytes) {
        std::uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i) {
            v = v << 8 | file[at + static_cast<std::size_t>(i)];
        }
        return v;
    };
    const std::uint32_t diskSize = le(base + 0x1C, 4);
    const std::size_t end = std::min<std::size_t>(file.size(), base + diskSize);
    const std::uint32_t offset = le(base + 0x20 + 4 * static_cast<std::size_t>(track), 4);
    if (offset == 0 || offset > diskSize) {
        return 0;
    }
    std::size_t at = base + offset;
    for (long i = 0; at + 16 <= end; ++i) {
        const std::uint32_t count = le(at + 4, 2), size = le(at + 14, 2);
        if (count == 0) {
            return 0;
        }
        if (std::memcmp(&file[at], id, 4) == 0) {
            const std::size_t m = std::min<std::size_t>(size, static_cast<std::size_t>(len));
            if (at + 16 + m > end) {
                return 0;
            }
            std::memcpy(dst, &file[at + 16], m);
            return static_cast<int>(m);
        }
        if (i == static_cast<long>(count) - 1) {
            return 0;
        }
        at += 16 + size;
    }
    return 0;
}

} // namespace

// Random tracks, hostile ones among them (repeated IDs, counts of 0, 1 and
// 0xFFFF, data sizes that disagree with the data, tracks that start inside
// other tracks, disk sizes that cut tracks short, a cut file), looked up in
// random order: every answer must be the plain walk's.
TEST(D88ImageTest, LookupsGiveWhatThePlainWalkGives)
{
    std::mt19937 random(20261208);
    const auto pick = [&](int below) { return static_cast<int>(random() % below); };
    for (int round = 0; round < 40; ++round) {
        std::vector<Bytes> images;
        for (int i = 0, count = 1 + pick(3); i < count; ++i) {
            ImageBuilder image = emptyImage("IMAGE");
            for (int t = 0; t < 6; ++t) {
                for (int k = 0, records = pick(40); k < records; ++k) {
                    SectorRecord s =
                        record(pick(2), pick(2), 1 + pick(4), pick(2), pattern(pick(300), k));
                    const int counts[] = {-1, -1, -1, 0, 1, 3, 0xFFFF};
                    s.sectorCount = counts[pick(7)];
                    if (pick(8) == 0) {
                        s.dataSize = pick(600);
                    }
                    image.tracks[t].push_back(std::move(s));
                }
            }
            // Larger than the reader's buffer: walks cross from one piece
            // of the file to the next.
            if (pick(4) == 0) {
                for (int k = 0; k < 10; ++k) {
                    image.tracks[0].insert(image.tracks[0].begin(),
                                           record(pick(2), pick(2), 1 + pick(4), pick(2),
                                                  pattern(60000 + pick(300), k)));
                }
            }
            Bytes built = image.build();
            if (pick(3) == 0) {
                image.trackOffsets[pick(6)] = static_cast<std::uint32_t>(pick(int(built.size())));
            }
            if (pick(3) == 0) {
                image.diskSize = 688 + pick(int(built.size()));
            }
            images.push_back(image.build());
        }
        Bytes file = concat(images);
        if (pick(4) == 0) {
            file.resize(file.size() - static_cast<std::size_t>(pick(2000)));
        }
        D88Image image;
        openBytes(image, file);
        std::size_t base = 0;
        for (int i = 0; i < image.imageCount(); ++i) {
            ASSERT_TRUE(image.selectImage(i));
            for (int lookup = 0; lookup < 300; ++lookup) {
                const std::uint8_t id[4] = {std::uint8_t(pick(2)), std::uint8_t(pick(2)),
                                            std::uint8_t(1 + pick(4)), std::uint8_t(pick(2))};
                const int track = pick(7), len = pick(2) == 0 ? 256 : pick(300);
                Bytes want(600, 0), got(600, 0);
                const int expected = plainWalk(file, base, track, id, want.data(), len);
                ASSERT_EQ(image.readSector(track, id[0], id[1], id[2], id[3], got.data(), len),
                          expected)
                    << "round " << round << " image " << i << " track " << track;
                ASSERT_EQ(got, want) << "round " << round;
            }
            base += image.diskSize();
        }
    }
}

// Runs of sectors read together give, sector by sector, exactly what
// reading each alone gives: its bytes, its count and its marks, whether it
// is missing, short, longer than asked, marked, out of order or cut off by
// the image's end, and whether it lies in the piece of the file the reader
// holds or must be read from the file (the images are larger than that
// piece, and tracks far apart are looked up in turn).
TEST(D88ImageTest, SectorRunsGiveWhatSingleReadsGive)
{
    std::mt19937 random(20261209);
    const auto pick = [&](int below) { return static_cast<int>(random() % below); };
    for (int round = 0; round < 30; ++round) {
        ImageBuilder built = emptyImage("RUNS");
        // Odd tracks hold the runs, even ones keep them apart by more than
        // the reader's piece of the file.
        for (int t = 0; t < 8; t += 2) {
            for (int k = 0; k < 9; ++k) {
                built.tracks[t].push_back(record(9, 9, 1 + k, 1, pattern(60000, k)));
            }
        }
        for (int t = 1; t < 8; t += 2) {
            std::vector<SectorRecord>& records = built.tracks[t];
            for (int r = 1; r <= 16; ++r) {
                if (pick(12) == 0) {
                    continue; // missing
                }
                const int sizes[] = {256, 256, 256, 256, 100, 0, 512};
                SectorRecord s = record(t >> 1, t & 1, r, 1, pattern(sizes[pick(7)], t * 16 + r));
                s.status = pick(10) == 0 ? 0xB0 : 0x00;
                s.deletedMark = pick(10) == 0 ? 0x10 : 0x00;
                records.push_back(std::move(s));
            }
            if (pick(4) == 0) {
                std::reverse(records.begin(), records.end());
            }
            if (pick(4) == 0 && records.size() > 3) {
                std::swap(records[1], records[2]);
            }
        }
        Bytes file = built.build();
        if (pick(3) == 0) {
            file.resize(file.size() - static_cast<std::size_t>(pick(3000)));
            const std::uint32_t size = static_cast<std::uint32_t>(file.size());
            std::memcpy(&file[0x1C], &size, 4); // little-endian, as the tests run
        }
        D88Image runs, single;
        openBytes(runs, file);
        openBytes(single, file);
        ASSERT_TRUE(runs.selectImage(0));
        ASSERT_TRUE(single.selectImage(0));
        for (int lookup = 0; lookup < 200; ++lookup) {
            const int track = pick(8);
            const d88::SectorAddress from{track, track >> 1, track & 1, 1 + pick(16), 1};
            const int count = 1 + pick(d88::kMaxRunSectors);
            const int len = pick(3) == 0 ? pick(600) : 256;
            const std::size_t room =
                static_cast<std::size_t>(count) * static_cast<std::size_t>(len);
            Bytes together(room + 1, 0xEE), alone(room + 1, 0xEE);
            D88Image::SectorRead got[d88::kMaxRunSectors];
            runs.readSectorRun(from, count, together.data(), len, got);
            d88::SectorAddress at = from;
            for (int k = 0; k < count; ++k) {
                d88::SectorMarks marks{};
                const int bytes = single.readSector(
                    at, alone.data() + static_cast<std::size_t>(k) * static_cast<std::size_t>(len),
                    len, &marks);
                ASSERT_EQ(got[k].bytes, bytes) << "round " << round << " sector " << k;
                ASSERT_EQ(got[k].marks.status, marks.status);
                ASSERT_EQ(got[k].marks.deletedMark, marks.deletedMark);
                ASSERT_EQ(got[k].marks.density, marks.density);
                single.stepSector(at);
            }
            ASSERT_EQ(together, alone) << "round " << round;
        }
    }
}

// The header of the next image looks like a matching record; the walk of the
// image before must stop at its own end rather than read it.
TEST(D88ImageTest, WalkStopsAtTheImageEnd)
{
    SectorRecord last = record(2, 1, 1, 1, pattern(256, 7));
    last.sectorCount = 0xFFFF;
    ImageBuilder first = emptyImage();
    first.tracks[5] = {last};
    ImageBuilder second = emptyImage(std::string("\x02\x01\x02\x01\xFF\xFF\x00\x00", 8) +
                                     std::string("\x00\x00\x00\x00\x00\x00\x10\x00", 8));
    second.tracks[5] = {record(2, 1, 2, 1, pattern(256, 8))};
    D88Image image;
    openBytes(image, concat({first.build(), second.build()}));
    ASSERT_TRUE(image.selectImage(0));
    std::uint8_t dst[256];
    EXPECT_EQ(image.readSector(5, 2, 1, 2, 1, dst, 256), 0);
    std::uint8_t ids[16];
    EXPECT_EQ(image.readSectorIds(5, ids, 16), 4);
    ASSERT_TRUE(image.selectImage(1));
    EXPECT_EQ(image.readSector(5, 2, 1, 2, 1, dst, 256), 256);
}

TEST(D88ImageTest, SectorMarksComeWithTheSectorFound)
{
    // Each record's bytes 6, 7 and 8, read back for the sector whose ID it
    // carries; the first record of an ID wins, as for its data.
    struct Case {
        int r;
        std::uint8_t density, deleted, status;
    } cases[] = {{1, 0x00, 0x00, 0x00}, {2, 0x40, 0x00, 0xB0}, {3, 0x01, 0x10, 0x10},
                 {4, 0x00, 0x00, 0xA0}, {5, 0x00, 0x00, 0xE0}, {6, 0x40, 0x10, 0xF0},
                 {7, 0x00, 0x00, 0x58}};
    ImageBuilder builder = emptyImage("MARKS");
    std::vector<SectorRecord>& track = builder.tracks[4];
    for (const Case& c : cases) {
        SectorRecord s = record(2, 0, c.r, 1, pattern(256, static_cast<std::uint32_t>(c.r)));
        s.density = c.density;
        s.deletedMark = c.deleted;
        s.status = c.status;
        track.push_back(s);
    }
    SectorRecord later = record(2, 0, 2, 1, pattern(256, 99));
    later.status = 0x00;
    track.push_back(later);
    D88Image image;
    openBytes(image, builder.build());
    ASSERT_TRUE(image.selectImage(0));
    std::uint8_t sector[256];
    for (const Case& c : cases) {
        d88::SectorMarks marks{0xEE, 0xEE, 0xEE};
        ASSERT_EQ(image.readSector(4, 2, 0, c.r, 1, sector, 256, &marks), 256) << c.r;
        EXPECT_EQ(marks.density, c.density) << c.r;
        EXPECT_EQ(marks.deletedMark, c.deleted) << c.r;
        EXPECT_EQ(marks.status, c.status) << c.r;
    }
    // A sector not found leaves the marks as they were.
    d88::SectorMarks untouched{0xEE, 0xEE, 0xEE};
    EXPECT_EQ(image.readSector(4, 2, 0, 9, 1, sector, 256, &untouched), 0);
    EXPECT_EQ(untouched.status, 0xEE);
}

namespace {

// One track of one sector right after the header: the header is 688 bytes,
// the disk 960.
ImageBuilder oneTrackImage()
{
    ImageBuilder image = emptyImage("ONE TRACK");
    image.tracks[2].push_back(record(1, 0, 1, 1, Bytes(256, 0x22)));
    return image;
}

} // namespace

// What every D88 file's first header holds, however damaged its disk: a
// size that covers the header, and tracks that start past the header and
// inside the disk. Only the first image's header counts.
TEST(D88ImageTest, FirstHeaderNoD88FileCanHave)
{
    const struct {
        const char* what;
        long long diskSize;                   // -1: as built
        std::map<int, std::uint32_t> offsets; // changed track offsets
        bool possible;
        bool tracks = true;
        bool badSecond = false; // a second image whose header no D88 file has
    } rows[] = {
        {"as built", -1, {}, true},
        {"a size below the header", 687, {}, false},
        {"a size of the header alone, no track", 688, {}, true, false},
        {"a track at the disk's end", 688, {}, false},
        {"a track inside the header", -1, {{5, 16}}, false},
        {"a track at the header's last byte", -1, {{5, 687}}, false},
        {"a track at the disk's last byte", -1, {{5, 959}}, true},
        {"a track at the disk's size", -1, {{5, 960}}, false},
        {"a track far past the disk", -1, {{163, 0xFFFFFFFF}}, false},
        {"the second image's header does not count", -1, {}, true, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ImageBuilder image = row.tracks ? oneTrackImage() : emptyImage();
        image.diskSize = row.diskSize;
        for (const auto& [track, offset] : row.offsets) {
            image.trackOffsets[track] = offset;
        }
        ImageBuilder second = oneTrackImage();
        second.diskSize = 100;
        D88Image reader;
        openBytes(reader, row.badSecond ? concat({image.build(), second.build()}) : image.build());
        EXPECT_EQ(reader.firstHeaderPossible(), row.possible);
    }
    D88Image reader;
    openBytes(reader, {});
    EXPECT_FALSE(reader.firstHeaderPossible());
}

// The demo image cut anywhere past its first header keeps a header a D88
// file has: no cut of it is taken for another kind of file. Read from
// memory: every length over the first header's tracks and around the second
// image's header, and every 127th byte elsewhere. (Every length of a
// builder image goes through the whole command in InputCutAtEveryOffset.)
TEST(D88ImageTest, CutsOfTheDemoKeepAPossibleHeader)
{
    const Bytes demo = readFile(D88UNPACK_DEMO);
    ASSERT_GT(demo.size(), 688u);
    const std::size_t second = d88::readLe32(demo.data() + 0x1C);
    static D88Image reader;
    for (std::size_t length = 688; length <= demo.size(); ++length) {
        const bool near = length < 688 + 8192 || (length + 2048 > second && length < second + 2048);
        if (!near && length % 127 != 0 && length != demo.size()) {
            continue;
        }
        std::FILE* cut = ::fmemopen(const_cast<std::uint8_t*>(demo.data()), length, "rb");
        ASSERT_TRUE(reader.open(cut)) << length;
        ASSERT_TRUE(reader.imageCount() > (length >= second + 688 ? 1 : 0) &&
                    reader.firstHeaderPossible())
            << length;
    }
    reader.close();
}
