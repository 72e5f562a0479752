// Disk layout tests: directory and table reading, entry decoding and chain
// assembly on formatted disks made by the builder.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "disk_layout.h"
#include "test_support.h"

using namespace d88build;
using namespace d88;

namespace {

FileBuffer buffer;
Directory directory;
ClusterTable table;

Bytes clusterBytes(DiskBuilder& disk, int cluster, int sectors = 8)
{
    std::vector<std::pair<int, int>> list;
    for (int i = 0; i < sectors; ++i) {
        list.push_back({cluster >> 1, (cluster & 1) * 8 + 1 + i});
    }
    return sectorsOf(disk, list);
}

} // namespace

TEST(DiskLayoutTest, ClusterAddresses)
{
    struct Case {
        int cluster, track, c, h, r;
    } cases[] = {{0, 0, 0, 0, 1}, {3, 1, 0, 1, 9}, {74, 37, 18, 1, 1}, {159, 79, 39, 1, 9}};
    for (const Case& c : cases) {
        const SectorAddress at = clusterAddress(c.cluster);
        EXPECT_EQ(at.track, c.track) << c.cluster;
        EXPECT_EQ(at.c, c.c) << c.cluster;
        EXPECT_EQ(at.h, c.h) << c.cluster;
        EXPECT_EQ(at.r, c.r) << c.cluster;
        EXPECT_EQ(at.n, 1) << c.cluster;
    }
}

TEST(DiskLayoutTest, DecodeEntry)
{
    const std::uint8_t game[16] = {'G', 'A',  'M', 'E',  ' ',  ' ',  ' ',  ' ',
                                   ' ', 0x01, 42,  0x30, 0x09, 0x15, 0x03, 0x24};
    DirectoryEntry e = decodeEntry(game);
    EXPECT_EQ(e.state, EntryState::File);
    EXPECT_STREQ(e.name, "GAME     "); // trailing blanks are part of the name
    EXPECT_EQ(e.firstCluster, 42);
    EXPECT_EQ(std::vector<int>(e.stamp, e.stamp + 5), (std::vector<int>{24, 3, 15, 9, 30}));

    const std::uint8_t odd[16] = {'A', 'B', 0,    'C',  'D',  'E',  'F',  'G',
                                  'H', 0,   0xC7, 0x00, 0x59, 0xFF, 0x9A, 0x00};
    e = decodeEntry(odd);
    EXPECT_STREQ(e.name, "AB");
    EXPECT_EQ(e.firstCluster, 0xC7);
    EXPECT_EQ(std::vector<int>(e.stamp, e.stamp + 5), (std::vector<int>{0, 100, 165, 59, 0}));

    const std::uint8_t empty[16] = {0x00, 'X'}, end[16] = {0xFF};
    EXPECT_EQ(decodeEntry(empty).state, EntryState::Empty);
    EXPECT_EQ(decodeEntry(end).state, EntryState::EndOfDirectory);
}

TEST(DiskLayoutTest, FileHeaderIsBigEndian)
{
    const std::uint8_t header[] = {0x60, 0x01, 0x12, 0x34, 0xAB, 0xCD};
    std::memcpy(buffer.bytes, header, sizeof header);
    const FileHeader h = decodeFileHeader(buffer);
    EXPECT_EQ(h.loadAddress, 0x6001u);
    EXPECT_EQ(h.size, 0x1234u);
    EXPECT_EQ(h.execAddress, 0xABCDu);
}

TEST(DiskLayoutTest, AssembleFollowsTheChain)
{
    struct Case {
        const char* what;
        std::function<void(DiskBuilder&)> shape;
        std::function<void(ImageBuilder&)> damage;
        int firstCluster;
        std::function<Bytes(DiskBuilder&)> expected;
        int lost;
        bool cut;
    } cases[] = {
        {"first cluster is the last: three sectors",
         [](DiskBuilder& d) { d.setTableByte(10, 0xC3); }, nullptr, 10,
         [](DiskBuilder& d) { return clusterBytes(d, 10, 3); }, 0, false},
        {"chain over both heads and tracks",
         [](DiskBuilder& d) {
             d.setTableByte(5, 2);
             d.setTableByte(2, 41);
             d.setTableByte(41, 0xC2);
         },
         nullptr, 5,
         [](DiskBuilder& d) {
             return concat({clusterBytes(d, 5), clusterBytes(d, 2), clusterBytes(d, 41, 2)});
         },
         0, false},
        {"last byte 0xC0 adds nothing",
         [](DiskBuilder& d) {
             d.setTableByte(6, 7);
             d.setTableByte(7, 0xC0);
         },
         nullptr, 6, [](DiskBuilder& d) { return clusterBytes(d, 6); }, 0, false},
        {"0xCA on an even cluster runs into the odd one",
         [](DiskBuilder& d) { d.setTableByte(8, 0xCA); }, nullptr, 8,
         [](DiskBuilder& d) {
             return concat({clusterBytes(d, 8), clusterBytes(d, 9, 2)});
         },
         0, false},
        {"0xCA on an odd cluster runs onto the next track",
         [](DiskBuilder& d) { d.setTableByte(9, 0xCA); }, nullptr, 9,
         [](DiskBuilder& d) {
             return concat({clusterBytes(d, 9), clusterBytes(d, 10, 2)});
         },
         0, false},
        {"a missing sector loses only itself", [](DiskBuilder& d) { d.setTableByte(12, 0xC4); },
         [](ImageBuilder& i) { i.removeSector(6, 2); }, 12,
         [](DiskBuilder& d) {
             return concat({d.sector(6, 1), Bytes(256, 0), d.sector(6, 3), d.sector(6, 4)});
         },
         1, false},
        {"a short sector keeps its bytes", [](DiskBuilder& d) { d.setTableByte(12, 0xC2); },
         [](ImageBuilder& i) { i.find(6, 1)->data.resize(100); }, 12,
         [](DiskBuilder& d) {
             Bytes first = d.sector(6, 1);
             std::fill(first.begin() + 100, first.end(), 0);
             return concat({first, d.sector(6, 2)});
         },
         1, false},
    };
    for (const Case& c : cases) {
        DiskBuilder disk("CHAIN", 84);
        c.shape(disk);
        ImageBuilder built = disk.image();
        if (c.damage) {
            c.damage(built);
        }
        D88Image image;
        openBytes(image, built.build());
        ASSERT_TRUE(image.selectImage(0));
        readDirectoryAndTable(image, directory, table);
        std::memset(buffer.bytes, 0xEE, sizeof buffer.bytes); // an earlier file's leftovers

        const AssembledFile file = assembleFile(image, table, c.firstCluster, buffer);
        const Bytes expected = c.expected(disk);
        ASSERT_EQ(file.length, static_cast<int>(expected.size())) << c.what;
        EXPECT_EQ(Bytes(buffer.bytes, buffer.bytes + file.length), expected) << c.what;
        EXPECT_EQ(file.sectorsLost, c.lost) << c.what;
        EXPECT_EQ(file.chainCut, c.cut) << c.what;
    }
}

TEST(DiskLayoutTest, ChainsNeverPassTheBuffer)
{
    struct Case {
        const char* what;
        std::function<void(DiskBuilder&)> shape;
        int firstCluster;
        int length;
        bool cut;
    } cases[] = {
        {"a loop in the table", [](DiskBuilder& d) { d.setTableByte(3, 3); }, 3, kFileBufferBytes,
         true},
        {"160 full clusters then 0xC0",
         [](DiskBuilder& d) {
             for (int l = 0; l < 159; ++l) {
                 d.setTableByte(l, static_cast<std::uint8_t>(l + 1));
             }
             d.setTableByte(159, 160);
             d.setTableByte(160, 0xC0);
         },
         0, kFileBufferBytes, false},
        {"159 full clusters then 15 sectors",
         [](DiskBuilder& d) {
             for (int l = 0; l < 159; ++l) {
                 d.setTableByte(l, static_cast<std::uint8_t>(l + 1));
             }
             d.setTableByte(159, 0xCF);
         },
         0, kFileBufferBytes, true},
    };
    for (const Case& c : cases) {
        DiskBuilder disk("LONG", 84);
        c.shape(disk);
        D88Image image;
        openBytes(image, disk.image().build());
        ASSERT_TRUE(image.selectImage(0));
        readDirectoryAndTable(image, directory, table);
        const AssembledFile file = assembleFile(image, table, c.firstCluster, buffer);
        EXPECT_EQ(file.length, c.length) << c.what;
        EXPECT_EQ(file.chainCut, c.cut) << c.what;
    }
}

TEST(DiskLayoutTest, EmptyFileHasAZeroHeader)
{
    DiskBuilder disk("EMPTY", 40);
    disk.setTableByte(4, 0xC0);
    D88Image image;
    openBytes(image, disk.image().build());
    ASSERT_TRUE(image.selectImage(0));
    readDirectoryAndTable(image, directory, table);
    std::memset(buffer.bytes, 0xEE, kFileHeaderBytes);
    EXPECT_EQ(assembleFile(image, table, 4, buffer).length, 0);
    const FileHeader h = decodeFileHeader(buffer);
    EXPECT_EQ(h.loadAddress + h.size + h.execAddress, 0u);
}

TEST(DiskLayoutTest, LostDirectoryAndTableSectorsReadAsZeros)
{
    DiskBuilder disk("DIR", 40);
    for (int i = 0; i < 48; ++i) {
        disk.setEntry(i, "F" + std::to_string(i), 1, {});
    }
    disk.setTableByte(0, 0xC1);
    ImageBuilder built = disk.image();
    built.removeSector(37, 3);  // entries 32..47
    built.removeSector(37, 14); // the cluster table
    D88Image image;
    openBytes(image, built.build());
    ASSERT_TRUE(image.selectImage(0));
    std::memset(directory.bytes, 0x77, sizeof directory.bytes); // an earlier image
    std::memset(table.bytes, 0x77, sizeof table.bytes);

    const LayoutRead read = readDirectoryAndTable(image, directory, table);
    EXPECT_EQ(read.directorySectorsLost, 1);
    EXPECT_EQ(read.tableSectorsLost, 1);
    EXPECT_EQ(Bytes(directory.bytes, directory.bytes + 512), sectorsOf(disk, {{37, 1}, {37, 2}}));
    EXPECT_EQ(Bytes(directory.bytes + 512, directory.bytes + 768), Bytes(256, 0));
    // Sectors after the lost one are still read.
    EXPECT_EQ(Bytes(directory.bytes + 768, directory.bytes + 1024), disk.sector(37, 4));
    EXPECT_EQ(Bytes(table.bytes, table.bytes + 256), Bytes(256, 0));
}

namespace {

// The notes of one kind, as "C H R status" strings in walk order.
std::vector<std::string> notesOf(const SectorNotes& notes, SectorTrouble trouble)
{
    std::vector<std::string> out;
    for (int i = 0; i < notes.kept; ++i) {
        const SectorNote& n = notes.notes[i];
        if (n.trouble == trouble) {
            char text[32];
            std::snprintf(text, sizeof text, "%d %d %d %02X", n.c, n.h, n.r, n.status);
            out.push_back(text);
        }
    }
    return out;
}

} // namespace

TEST(DiskLayoutTest, TheChainWalkSeesWhatTheTableAndRecordsSay)
{
    // File A (entry 0) is walked first, then file B (entry 1) from
    // `firstCluster`; the trace is B's.
    struct Expected {
        std::vector<int> chain = {};
        std::vector<std::string> missing = {}, errors = {}, deleted = {};
        int runOnSectors = 0, runOnCluster = kNoCluster;
        int crossLinked = kNoCluster, crossLinkedEntry = kNoEntry;
        int directoryCluster = kNoCluster, beyondDisk = kNoCluster;
        bool loops = false;
    };
    struct Case {
        const char* what;
        std::function<void(DiskBuilder&)> shape;
        std::function<void(ImageBuilder&)> damage;
        int firstCluster;
        Expected expected;
    } cases[] = {
        {"a plain two-cluster chain", [](DiskBuilder& d) { d.setTableByte(10, 0xC2); }, nullptr, 12,
         Expected{.chain = {12, 13}}},
        {"an error status per sector, the deleted mark apart", nullptr,
         [](ImageBuilder& i) {
             i.find(6, 2)->status = 0xB0;
             i.find(6, 9)->status = 0xA0;
             i.find(6, 10)->status = 0x10;
             i.find(6, 11)->deletedMark = 0x10;
             i.find(6, 12)->density = 0x40; // density alone is no trouble
             i.removeSector(6, 13);
         },
         12,
         Expected{.chain = {12, 13},
                  .missing = {"3 0 13 00"},
                  .errors = {"3 0 2 B0", "3 0 9 A0"},
                  .deleted = {"3 0 10 10", "3 0 11 00"}}},
        {"a last cluster of 0xCA runs on into the next",
         [](DiskBuilder& d) { d.setTableByte(13, 0xCA); }, nullptr, 12,
         Expected{.chain = {12, 13, 14}, .runOnSectors = 2, .runOnCluster = 14}},
        {"a cluster of A's chain: cross-linked", [](DiskBuilder& d) { d.setTableByte(13, 11); },
         nullptr, 12, Expected{.chain = {12, 13, 11}, .crossLinked = 11, .crossLinkedEntry = 0}},
        {"A's run-on cluster counts as A's",
         [](DiskBuilder& d) {
             d.setTableByte(11, 0xC9);
             d.setTableByte(12, 0xC1);
         },
         nullptr, 12, Expected{.chain = {12}, .crossLinked = 12, .crossLinkedEntry = 0}},
        {"through the directory track",
         [](DiskBuilder& d) {
             d.setTableByte(13, 75);
             d.setTableByte(75, 0xC1);
         },
         nullptr, 12, Expected{.chain = {12, 13, 75}, .directoryCluster = 75}},
        {"onto a track the image lacks",
         [](DiskBuilder& d) {
             d.setTableByte(13, 100);
             d.setTableByte(100, 0xC2);
         },
         [](ImageBuilder& i) { i.tracks.erase(50); }, 12,
         Expected{
             .chain = {12, 13, 100}, .missing = {"25 0 1 00", "25 0 2 00"}, .beyondDisk = 100}},
        {"a loop of its own", [](DiskBuilder& d) { d.setTableByte(13, 12); }, nullptr, 12,
         Expected{.loops = true}},
    };
    for (const Case& c : cases) {
        DiskBuilder disk("TRACE", 80);
        disk.setTableByte(10, 11); // A: 10, 11
        disk.setTableByte(11, 0xC8);
        disk.setTableByte(12, 13); // B: 12, 13
        disk.setTableByte(13, 0xC8);
        if (c.shape) {
            c.shape(disk);
        }
        ImageBuilder built = disk.image();
        if (c.damage) {
            c.damage(built);
        }
        D88Image image;
        openBytes(image, built.build());
        ASSERT_TRUE(image.selectImage(0));
        readDirectoryAndTable(image, directory, table);
        ClusterOwners owners;
        clearOwners(owners);
        ChainTrace trace;
        assembleFile(image, table, 10, buffer, trace, owners, 0);
        ASSERT_EQ(trace.crossLinkedCluster, kNoCluster) << c.what;
        assembleFile(image, table, c.firstCluster, buffer, trace, owners, 1);

        const Expected& e = c.expected;
        if (!e.loops) {
            EXPECT_EQ(std::vector<int>(trace.clusters, trace.clusters + trace.clusterCount),
                      e.chain)
                << c.what;
        }
        EXPECT_EQ(notesOf(trace.sectors, SectorTrouble::Missing), e.missing) << c.what;
        EXPECT_EQ(notesOf(trace.sectors, SectorTrouble::ErrorStatus), e.errors) << c.what;
        EXPECT_EQ(notesOf(trace.sectors, SectorTrouble::Deleted), e.deleted) << c.what;
        EXPECT_EQ(trace.runOnSectors, e.runOnSectors) << c.what;
        EXPECT_EQ(trace.runOnCluster, e.runOnCluster) << c.what;
        EXPECT_EQ(trace.crossLinkedCluster, e.crossLinked) << c.what;
        EXPECT_EQ(trace.crossLinkedEntry, e.crossLinkedEntry) << c.what;
        EXPECT_EQ(trace.directoryCluster, e.directoryCluster) << c.what;
        EXPECT_EQ(trace.beyondDiskCluster, e.beyondDisk) << c.what;
        EXPECT_EQ(trace.loops, e.loops) << c.what;
    }
}

TEST(DiskLayoutTest, SectorNotesKeepTheFirstAndCountAll)
{
    DiskBuilder disk("MANY", 80);
    for (int l = 0; l < 11; ++l) {
        disk.setTableByte(l, static_cast<std::uint8_t>(l + 1));
    }
    disk.setTableByte(11, 0xC8); // 12 clusters, 96 sectors
    ImageBuilder built = disk.image();
    for (int track = 0; track < 6; ++track) {
        for (SectorRecord& s : built.tracks.at(track)) {
            s.status = 0xB0;
        }
    }
    built.find(37, 5)->status = 0xF0;
    D88Image image;
    openBytes(image, built.build());
    ASSERT_TRUE(image.selectImage(0));
    const LayoutRead read = readDirectoryAndTable(image, directory, table);
    EXPECT_EQ(notesOf(read.directorySectors, SectorTrouble::ErrorStatus),
              std::vector<std::string>{"18 1 5 F0"});
    EXPECT_EQ(read.tableSectors.kept, 0);
    ClusterOwners owners;
    clearOwners(owners);
    ChainTrace trace;
    assembleFile(image, table, 0, buffer, trace, owners, 0);
    EXPECT_EQ(trace.sectors.errors, 96);
    EXPECT_EQ(trace.sectors.kept, kMaxSectorNotes);
    EXPECT_EQ(notesOf(trace.sectors, SectorTrouble::ErrorStatus).back(), "1 1 16 B0");
}
