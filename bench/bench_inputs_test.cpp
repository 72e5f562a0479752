// The benchmark inputs are what the benchmark says they are: on the hostile
// walk every wanted sector lies behind all the filler of its track, from any
// track start and past the record where a sector count could end a walk; the
// full archive's disks are full and their chains hop between heads.
#include <gtest/gtest.h>

#include <set>

#include "bench_inputs.h"
#include "disk_layout.h"
#include "test_support.h"

using namespace d88;

namespace {

Directory directory;
ClusterTable table;

} // namespace

TEST(BenchInputsTest, HostileWalkRunsThroughAllFillerFromEveryStart)
{
    // Enough filler that every walk passes record 65534, the last one a
    // sector count can stop.
    constexpr long long kFiller = 65800;
    constexpr int kWanted = 12 + 1 + benchinputs::kHostileChainClusters * kSectorsPerCluster;
    benchinputs::Tree files;
    D88Image image;
    openBytes(image, benchinputs::hostileImage(0, kFiller, files));
    ASSERT_TRUE(image.selectImage(0));

    std::vector<std::uint8_t> ids(4 * (kFiller + kWanted));
    for (int track : {0, 1, kDirectoryTrack, kTrackCount - 1}) {
        // Track t starts at the run's record t and reads on to the run's end.
        const long long records = kFiller + kWanted - track;
        ASSERT_EQ(image.readSectorIds(track, ids.data(), static_cast<int>(ids.size())), 4 * records)
            << track;
        // No filler ID is one a lookup of this disk asks for.
        for (long long i = 0; i < kFiller - track; ++i) {
            ASSERT_GE(ids[4 * i], 0x40) << track << " " << i;
        }
    }

    // The wanted sectors are found behind it all, and hold what was promised:
    // every entry on one chain of 160 whole clusters, a 16-byte file.
    image.setSectorRange(kFirstSector, kLastSector);
    const LayoutRead layout = readDirectoryAndTable(image, directory, table);
    ASSERT_EQ(layout.directorySectorsLost + layout.tableSectorsLost, 0);
    const int first = decodeEntry(directory.bytes).firstCluster;
    for (int e = 0; e < benchinputs::kHostileEntries; ++e) {
        const DirectoryEntry entry = decodeEntry(directory.bytes + e * kEntryBytes);
        ASSERT_EQ(entry.state, EntryState::File) << e;
        ASSERT_EQ(entry.firstCluster, first) << e;
        ASSERT_EQ(files.count(entry.name), 1u) << e;
    }
    std::set<int> chain;
    int cluster = first;
    for (; table.bytes[cluster] < kLastClusterMark; cluster = table.bytes[cluster]) {
        ASSERT_TRUE(chain.insert(cluster).second) << "loop at " << cluster;
    }
    EXPECT_EQ(chain.size() + 1, static_cast<std::size_t>(benchinputs::kHostileChainClusters));
    EXPECT_EQ(table.bytes[cluster], kLastClusterMark | kSectorsPerCluster);

    std::uint8_t head[kSectorBytes];
    const SectorAddress at = clusterAddress(first);
    ASSERT_EQ(image.readSector(at.track, at.c, at.h, at.r, at.n, head, kSectorBytes), kSectorBytes);
    const d88build::Bytes& expected = files.begin()->second;
    ASSERT_EQ(expected.size(), 16u);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), head));
}

// The scattered chain's tracks lie farther apart than the reader's piece of
// the file holds, and its entries all read one chain of 150 whole clusters
// spread over the disk.
TEST(BenchInputsTest, ScatteredChainLiesFarApart)
{
    benchinputs::Tree files;
    const d88build::Bytes bytes = benchinputs::scatteredImage(0, files);
    EXPECT_GT(bytes.size(), 8u * kScanBytes);
    D88Image image;
    openBytes(image, bytes);
    ASSERT_TRUE(image.selectImage(0));
    image.setSectorRange(kFirstSector, kLastSector);
    const LayoutRead layout = readDirectoryAndTable(image, directory, table);
    ASSERT_EQ(layout.directorySectorsLost + layout.tableSectorsLost, 0);
    const int first = decodeEntry(directory.bytes).firstCluster;
    for (int e = 0; e < kEntryCount; ++e) {
        ASSERT_EQ(decodeEntry(directory.bytes + e * kEntryBytes).firstCluster, first) << e;
    }
    std::set<int> tracks;
    int clusters = 1;
    for (int cluster = first; table.bytes[cluster] < kLastClusterMark;
         cluster = table.bytes[cluster]) {
        tracks.insert(cluster >> 1);
        ++clusters;
    }
    EXPECT_EQ(clusters, benchinputs::kScatteredChainClusters);
    EXPECT_GT(tracks.size(), 60u);
    EXPECT_EQ(files.size(), static_cast<std::size_t>(kEntryCount));
}

TEST(BenchInputsTest, FullArchiveDisksAreFullAndFragmented)
{
    const benchinputs::Input input = benchinputs::fullArchive();
    D88Image image;
    openBytes(image, input.file);
    ASSERT_EQ(image.imageCount(), benchinputs::kFullImages);
    for (int i = 0; i < benchinputs::kFullImages; ++i) {
        ASSERT_TRUE(image.selectImage(i));
        image.setSectorRange(kFirstSector, kLastSector);
        const LayoutRead layout = readDirectoryAndTable(image, directory, table);
        ASSERT_EQ(layout.directorySectorsLost + layout.tableSectorsLost, 0) << i;

        int files = 0;
        int headChanges = 0;
        for (int e = 0; e < kEntryCount; ++e) {
            const DirectoryEntry entry = decodeEntry(directory.bytes + e * kEntryBytes);
            if (entry.state == EntryState::EndOfDirectory) {
                break;
            }
            if (entry.state != EntryState::File) {
                continue;
            }
            ++files;
            for (int c = entry.firstCluster; table.bytes[c] < kLastClusterMark;
                 c = table.bytes[c]) {
                headChanges += clusterAddress(c).h != clusterAddress(table.bytes[c]).h;
            }
        }
        EXPECT_EQ(files, static_cast<int>(input.images[static_cast<std::size_t>(i)].size())) << i;
        EXPECT_GE(files, 100) << i;
        EXPECT_LE(files, 150) << i;
        EXPECT_GT(headChanges, 0) << i;

        // Of the 158 clusters outside the directory track, at most two are free.
        int used = 0;
        for (int c = 0; c < 2 * 80; ++c) {
            used += clusterAddress(c).track != kDirectoryTrack && table.bytes[c] != 0xFF;
        }
        EXPECT_GE(used, 156) << i;
    }
}

// The collection's files are what the benchmark says: the last ten are no
// D88 files, the others hold 1 to 8 images whose directories list the files
// promised; some images lost a file sector, a few their cluster table.
TEST(BenchInputsTest, CollectionFilesAreMixed)
{
    constexpr int kCount = 1000;
    constexpr int kNotD88 = 10;
    int lostTables = 0;
    int damaged = 0;
    std::set<std::size_t> imageCounts;
    for (int index = 0; index < kCount; ++index) {
        // The first files and the last ones: enough for every kind.
        if (index == 150) {
            index = kCount - kNotD88 - 2;
        }
        const benchinputs::CollectionFile file =
            benchinputs::collectionFile(index, kCount, kNotD88);
        ASSERT_EQ(file.d88, index < kCount - kNotD88) << index;
        D88Image image;
        openBytes(image, file.bytes);
        if (!file.d88) {
            EXPECT_FALSE(image.imageCount() > 0 && image.firstHeaderPossible()) << index;
            continue;
        }
        damaged += file.damaged;
        imageCounts.insert(file.images.size());
        ASSERT_EQ(image.imageCount(), static_cast<int>(file.images.size())) << index;
        for (int i = 0; i < image.imageCount(); ++i) {
            ASSERT_TRUE(image.selectImage(i));
            image.setSectorRange(kFirstSector, kLastSector);
            const LayoutRead layout = readDirectoryAndTable(image, directory, table);
            lostTables += layout.tableSectorsLost;
            std::size_t files = 0;
            for (int e = 0; e < kEntryCount; ++e) {
                const DirectoryEntry entry = decodeEntry(directory.bytes + e * kEntryBytes);
                if (entry.state == EntryState::EndOfDirectory) {
                    break;
                }
                files += entry.state == EntryState::File;
            }
            EXPECT_EQ(files, file.images[static_cast<std::size_t>(i)].size()) << index << " " << i;
        }
    }
    EXPECT_GT(damaged, 5);
    EXPECT_GT(lostTables, 0);
    EXPECT_EQ(imageCounts, (std::set<std::size_t>{1, 2, 3, 4, 5, 6, 7, 8}));
}
