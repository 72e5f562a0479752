// The benchmark's inputs, made in memory with the trees d88unpack should
// write from them. Deterministic: the same bytes on every run and machine.
//
// Full archive: 64 full disks of 80 tracks, every cluster but the
// directory's in use, 100 to 150 files per disk of a few bytes to many
// clusters (32 at most), on chains that hop between tracks and heads.
//
// Hostile walk: images whose 164 tracks all hold one run of sector records,
// track t starting at the run's record t. The run opens with `filler` records
// of 16 bytes and no data, each with an ID no lookup asks for, and closes
// with the wanted sectors: the directory, the cluster table and a 160-cluster
// chain that every one of the 192 directory entries starts at. So each entry
// reads 1280 sectors, each lying behind all of the filler on its track. No
// sector count ends a walk early, from any of the starts, however long the
// filler. Each file's header says 10 bytes: the outputs are small.
//
// Scattered chain: formatted disks whose every track opens with one record
// of 60,000 bytes that no lookup asks for, so that their tracks lie farther
// apart than the piece of the file the reader holds, and whose 192 entries
// all start at one chain of 150 clusters spread over the disk. Each entry
// reads 1,200 sectors, each from a part of the file the reader does not
// hold at that moment: what reading sector by sector costs, apart from
// walking.
// Collection: D88 files of 1 to 8 images each, of 40 to 80 tracks and 3 to
// 60 files of one to a few clusters; about one in twelve has an image with
// a lost file sector and one in fifty an image whose cluster table is lost.
// The last few files are not D88 files at all (text, and bytes like a PNG's).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "d88_builder.h"

namespace benchinputs {

// The files of one image: host file name -> the bytes d88unpack writes.
using Tree = std::map<std::string, d88build::Bytes>;

struct Input {
    d88build::Bytes file;
    std::vector<Tree> images; // by image index
};

constexpr int kFullImages = 64;
constexpr int kHostileImages = 4;
constexpr long long kHostileBytes = 16LL * 1024 * 1024;
// Every hostile file's chain, as long as a file can be, and the number of its
// entries, all a directory holds.
constexpr int kHostileChainClusters = d88build::layout::kFileBufferClusters;
constexpr int kHostileEntries = d88build::layout::kEntryCount;

// Disk `index` of the full archive.
d88build::Bytes fullImage(int index, Tree& files);
Input fullArchive();

// Hostile image `index` with `filler` empty records before the wanted sectors.
d88build::Bytes hostileImage(int index, long long filler, Tree& files);
// The filler that makes a hostile image `imageBytes` long at most.
long long hostileFiller(long long imageBytes);
// kHostileImages images of kHostileBytes / kHostileImages bytes at most.
Input hostileInput();

constexpr int kScatteredChainClusters = 150;
constexpr int kScatteredPadding = 60000;
constexpr int kScatteredImages = 2;
// Scattered chain image `index`, and the input of kScatteredImages of them.
d88build::Bytes scatteredImage(int index, Tree& files);
Input scatteredInput();
// One file of a collection: its name ("DISK0042.d88"), its bytes, and what
// a run writes from it, one tree per image; none for a file that is not a
// D88 file.
struct CollectionFile {
    std::string name;
    d88build::Bytes bytes;
    bool d88;
    bool damaged; // an image lost a file sector or its cluster table
    std::vector<Tree> images;
};

// File `index` of a collection of `count` files, of which the last
// `notD88` are not D88 files.
CollectionFile collectionFile(int index, int count, int notD88);

} // namespace benchinputs
