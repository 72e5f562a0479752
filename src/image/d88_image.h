// Reader for D88 floppy-disk image containers.
//
// A D88 file holds one or more disk images stored back to back. Each image
// starts with a 688-byte header (name, media type, disk size and a table of
// 164 track offsets), followed by its tracks. A track is a sequence of sector
// records: a 16-byte sector header (C, H, R, N, the track's sector count and
// the data size) followed directly by the sector's data. Sectors are found by
// their four-byte ID alone, by walking the records of their track; a walk
// never reaches past the end of its image.
//
// The reader never prints and never stops the process: every failure is a
// return value (false, 0, or a short byte count).
#pragma once

#include <cstdint>
#include <cstdio>

namespace d88 {

// Little-endian field decoders for the container's multi-byte fields.
// Inline: the track walk reads two of these per record, and a hostile track
// holds a million records.
inline std::uint32_t readLe32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

inline std::uint16_t readLe16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// Image header layout:
//   0x00  17      image name, NUL-terminated (only the first 16 bytes count)
//   0x11   9      not interpreted
//   0x1A   1      write protect (0x10 when the disk was write-protected)
//   0x1B   1      media type
//   0x1C   4      disk size, u32, header included; locates the next image
//   0x20  164 x 4 track table: u32 offset of each track from the image start,
//                 0 when the track is absent
constexpr int kImageNameOffset = 0x00;
constexpr int kImageNameLength = 16;
constexpr int kWriteProtectOffset = 0x1A;
constexpr int kMediaTypeOffset = 0x1B;
constexpr int kDiskSizeOffset = 0x1C;
constexpr int kTrackTableOffset = 0x20;
constexpr int kTrackCount = 164;
constexpr int kImageHeaderSize = 688;
static_assert(kImageNameOffset + kImageNameLength < kWriteProtectOffset);
static_assert(kWriteProtectOffset + 1 == kMediaTypeOffset);

// Sector record header layout:
//   0  1  C (cylinder)
//   1  1  H (head)
//   2  1  R (sector number)
//   3  1  N (size code: the sector holds 128 << N bytes)
//   4  2  sector count of the track, u16, repeated in every record
//   6  1  density (0x00 double, 0x40 single, 0x01 high)
//   7  1  deleted-data mark (0x10 when the sector was written deleted)
//   8  1  the drive's status for the sector (see SectorStatus)
//   9  5  not interpreted
//  14  2  data size, u16: the data bytes that follow this header
constexpr int kSectorIdSize = 4;
constexpr int kSectorCountOffset = 4;
constexpr int kDensityOffset = 6;
constexpr int kDeletedMarkOffset = 7;
constexpr int kStatusOffset = 8;
constexpr int kDataSizeOffset = 14;
constexpr int kSectorHeaderSize = 16;
static_assert(kDataSizeOffset + 2 == kSectorHeaderSize);
static_assert(kSectorCountOffset + 2 == kDensityOffset && kStatusOffset < kDataSizeOffset);

// The status byte's values as the drive reported them. Anything else that
// is not 0 is an error status of unknown meaning.
namespace sector_status {
constexpr std::uint8_t kNormal = 0x00;
constexpr std::uint8_t kDeletedData = 0x10;
constexpr std::uint8_t kIdCrcError = 0xA0;
constexpr std::uint8_t kDataCrcError = 0xB0;
constexpr std::uint8_t kNoAddressMark = 0xE0;
constexpr std::uint8_t kNoDataMark = 0xF0;
} // namespace sector_status

// An error status: the sector's bytes are there, but perhaps not as written.
// A deleted-data status is a mark, not damage.
constexpr bool isErrorStatus(std::uint8_t status)
{
    return status != sector_status::kNormal && status != sector_status::kDeletedData;
}

// What the record of a sector says about how it was read.
struct SectorMarks {
    std::uint8_t density;
    std::uint8_t deletedMark;
    std::uint8_t status;
};

// The container can name at most this many images.
constexpr int kMaxImages = 64;

// A track offset in the track table.
constexpr int kTrackOffsetBytes = 4;
static_assert(kTrackTableOffset + kTrackCount * kTrackOffsetBytes == kImageHeaderSize);

// Every value an ID byte can take, R included.
constexpr int kIdValues = 256;

// The file is read in pieces of this size: room for a whole image of 80
// full tracks (about 340 KiB), read once.
constexpr int kScanBytes = 512 * 1024;
static_assert(kScanBytes >= kSectorHeaderSize);

// The most sectors one readSectorRun call reads: a track's worth.
constexpr int kMaxRunSectors = 16;

// Room for the records of sectors that lie back to back in the file and
// are read with one call: a track of 256-byte sectors with their headers,
// and to spare.
constexpr int kRunReadBytes = 8192;

// Where a sector stands: its track index in the image's track table and
// the four ID bytes it is searched by.
struct SectorAddress {
    int track;
    int c;
    int h;
    int r;
    int n;
};

// Whether `bytes` (the first `length` of a file) begin with a whole image
// header that a D88 file can have: how a file with no D88 name is told
// from other files inside an archive.
bool startsLikeD88(const std::uint8_t* bytes, int length);

class D88Image {
public:
    D88Image() = default;
    ~D88Image();
    D88Image(const D88Image&) = delete;
    D88Image& operator=(const D88Image&) = delete;

    // Opens the file for binary reading and finds its images. A file that
    // is already open is closed first. False when the file cannot be opened
    // or cannot be read at all (a directory, for instance), or cannot seek
    // (a pipe).
    bool open(const char* path);
    // The same for a file opened by the caller, which this then owns (null:
    // false).
    bool open(std::FILE* file);
    bool close();
    bool isOpen() const { return file_ != nullptr; }

    // Makes image `index` current. The previous image is forgotten even
    // when this fails.
    bool selectImage(int index);
    void setSectorRange(int first, int last);

    int imageCount() const { return imageCount_; }

    // What open() found past the images it counts: bytes after the last
    // image too few for a header (the whole file when there is no image),
    // and whether another header follows the last image it may count.
    int trailingBytes() const { return trailingBytes_; }
    bool imagesBeyondLimit() const { return imagesBeyondLimit_; }
    // Whether the first image's header is one a D88 file can have: a disk
    // size no smaller than the header, and every track offset either 0 or
    // inside the disk past the header. False when there is no image.
    bool firstHeaderPossible() const { return firstHeaderPossible_; }
    // Image `index`'s size field, and the bytes the file holds from its
    // start (0 for an index that is no image).
    std::uint32_t declaredSize(int index) const;
    std::int64_t bytesHeld(int index) const;
    const char* imageName() const { return imageName_; }
    int mediaType() const { return mediaType_; }
    int writeProtect() const { return writeProtect_; }
    // The D88 file's size when it was opened, and where the current image
    // starts in it.
    std::uint64_t fileSize() const { return static_cast<std::uint64_t>(fileSize_); }
    std::int64_t imageOffset() const { return imageBase_; }

    // Copies the current image's stored bytes from `from` (0: its header)
    // into `dst`, at most `len` and never past its stored end; returns the
    // bytes copied, 0 when they cannot be read.
    int readStored(std::int64_t from, std::uint8_t* dst, int len);
    std::uint32_t diskSize() const { return diskSize_; }

    // Copies at most `len` data bytes of sector (c, h, r, n) of `track` into
    // `dst`; returns the bytes copied, 0 when the sector is not found. When
    // the sector is found and `marks` is not null, it gets the record's
    // density, deleted mark and status bytes.
    int readSector(int track, int c, int h, int r, int n, std::uint8_t* dst, int len,
                   SectorMarks* marks = nullptr);
    int readSector(const SectorAddress& at, std::uint8_t* dst, int len,
                   SectorMarks* marks = nullptr)
    {
        return readSector(at.track, at.c, at.h, at.r, at.n, dst, len, marks);
    }

    // Whether the current image's track table places `track` inside it.
    bool hasTrack(int track) const { return trackStart(track) >= 0; }

    // The bytes the current image really has: its disk size, or less when
    // the file ends first.
    std::int64_t storedSize() const { return imageEnd_ - imageBase_; }

    // What readSectorRun got of one sector: the bytes copied (0 when it is
    // not found), and its marks when it was found and read.
    struct SectorRead {
        int bytes;
        SectorMarks marks;
    };

    // Reads `count` sectors (at most kMaxRunSectors) from `at` on, stepping
    // as stepSector does, sector k into its own `len` bytes at dst + k * len,
    // exactly as `count` calls of readSector would; `got[k]` gets what that
    // call would have returned, its marks zero when it would not have set
    // them. Sectors whose records follow each other in the file are read
    // together, with one read, rather than one read each.
    void readSectorRun(SectorAddress at, int count, std::uint8_t* dst, int len, SectorRead* got);

    // Reads `len` bytes from consecutive sectors starting at (c, h, r, n) of
    // `track`; stops at the first sector that is missing or short and returns
    // the bytes of the complete sectors before it.
    int readSectors(int track, int c, int h, int r, int n, std::uint8_t* dst, int len);

    // Writes the four ID bytes of each sector of `track`, in stored order,
    // while fewer than `len` bytes have been written; returns the bytes
    // written.
    int readSectorIds(int track, std::uint8_t* dst, int len);

    // Steps `at` to the sector that follows it in a run: the next R on the
    // same track, or after the last sector number the first sector of the
    // next track (the other head, or the next cylinder after head 1).
    void stepSector(SectorAddress& at) const;

private:
    // Where a sector's data lies, relative to the image start; 0 when the
    // walk does not find the sector (data never starts at offset 0).
    struct SectorPlace {
        std::uint32_t dataOffset;
        std::uint16_t dataSize;
        SectorMarks marks;
    };

    // Which C, H and N a track's places were last walked for. Kept apart
    // from the places, so that forgetting an image touches these few bytes
    // rather than a page of every track's places.
    struct TrackKey {
        bool built;
        std::uint8_t c, h, n;
    };

    // What one walk of a track found for the sectors with its key's C, H
    // and N: the first record of each R, in walk order. A lookup with
    // another C, H or N walks the track again for those.
    struct TrackIndex {
        SectorPlace sectors[kIdValues];
        // The Rs whose places are set, so that a new walk clears only those.
        std::uint8_t found[kIdValues];
        int foundCount;
    };

    // The file position of the first record of `track`, or -1 when the
    // track cannot hold sectors of the current image.
    std::int64_t trackStart(int track) const;
    void indexTrack(int track, std::uint8_t c, std::uint8_t h, std::uint8_t n);
    // The sector header at `position`, or nullptr when it does not lie
    // whole inside the current image.
    const std::uint8_t* headerAt(std::int64_t position);
    // Reads `len` bytes at `position`; false when they do not lie whole
    // inside the current image or cannot be read.
    bool readAt(std::int64_t position, std::uint8_t* dst, int len);
    // Where sector (c, h, r, n) of `track` is, walking the track first when
    // its index is not of that C, H and N; null when it is not found.
    const SectorPlace* findSector(int track, int c, int h, int r, int n);
    // Reads `len` bytes at file offset `offset` with one positioned read;
    // false when fewer come.
    bool readFileAt(std::uint64_t offset, std::uint8_t* dst, int len);
    void forgetImage();
    bool seekTo(std::uint64_t offset);
    bool readExactly(std::uint8_t* dst, int len);

    std::FILE* file_ = nullptr;
    int imageCount_ = 0;
    int firstSector_ = 1;
    int lastSector_ = 16;
    // Offsets are kept wide so that a sum of huge disk sizes runs off the
    // end of the file instead of wrapping back onto earlier images.
    std::uint64_t imageTable_[kMaxImages] = {};
    std::uint32_t declaredSizes_[kMaxImages] = {};
    std::int64_t fileSize_ = 0;
    int trailingBytes_ = 0;
    bool imagesBeyondLimit_ = false;
    bool firstHeaderPossible_ = false;
    std::uint32_t diskSize_ = 0;
    std::int64_t imageBase_ = 0;
    // Where the current image stops: its disk size from its start, or the
    // end of the file when that comes first.
    std::int64_t imageEnd_ = 0;
    std::uint32_t trackTable_[kTrackCount] = {};
    TrackKey trackKeys_[kTrackCount] = {};
    TrackIndex trackIndex_[kTrackCount] = {};
    // The piece of the file last scanned, from scanStart_.
    std::uint8_t scan_[kScanBytes] = {};
    // The records of a run of sectors read together.
    std::uint8_t run_[kRunReadBytes] = {};
    std::int64_t scanStart_ = 0;
    int scanLength_ = 0;
    int mediaType_ = -1;
    int writeProtect_ = -1;
    char imageName_[kImageNameLength + 1] = {};
};

} // namespace d88
