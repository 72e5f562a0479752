// D88 container reader: image discovery and sector lookup.
//
// Images are found by hopping from header to header by their disk sizes,
// starting at offset 0. A sector is found by seeking to its track's first
// record and walking the records, skipping the data of every sector whose ID
// does not match. The walk ends at the record that is the track's last by
// its sector count, at a record whose sector count is 0, or where the file
// ends. All reads share the one file position, so every operation seeks
// before it reads.
#include "image/d88_image.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace d88 {

std::uint32_t readLe32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

std::uint16_t readLe16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

D88Image::~D88Image()
{
    close();
}

bool D88Image::open(const char* path)
{
    close();
    file_ = std::fopen(path, "rb");
    if (file_ == nullptr) {
        return false;
    }
    // Every lookup seeks: a pipe would read as a file with no image.
    if (!seekTo(0)) {
        close();
        return false;
    }

    std::uint8_t header[kImageHeaderSize];
    std::uint64_t offset = 0;
    while (imageCount_ < kMaxImages) {
        imageTable_[imageCount_] = offset;
        // A partial header after the last image is trailing junk.
        if (!seekTo(offset) || !readExactly(header, kImageHeaderSize)) {
            break;
        }
        const std::uint32_t diskSize = readLe32(header + kDiskSizeOffset);
        offset += diskSize;
        ++imageCount_;
        // A size smaller than its own header cannot locate the next image;
        // following it would find this same image again and again.
        if (diskSize < kImageHeaderSize) {
            break;
        }
    }

    // fopen succeeds on some things that cannot be read as a file, such as
    // a directory; only a read error, not an early end, tells them apart.
    if (imageCount_ == 0 && std::ferror(file_) != 0) {
        close();
        return false;
    }
    return true;
}

bool D88Image::close()
{
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    imageCount_ = 0;
    // A closed reader has no current image, and a new file starts with none.
    forgetImage();
    return true;
}

bool D88Image::selectImage(int index)
{
    if (file_ == nullptr) {
        return false;
    }
    forgetImage();
    if (index < 0 || index >= imageCount_) {
        return false;
    }

    std::uint8_t header[kImageHeaderSize];
    // The file may have changed since open(); an image whose header is gone
    // is not made current.
    if (!seekTo(imageTable_[index]) || !readExactly(header, kImageHeaderSize)) {
        return false;
    }
    imageBase_ = static_cast<std::int64_t>(imageTable_[index]);
    for (int i = 0; i < kTrackCount; ++i) {
        trackTable_[i] = readLe32(header + kTrackTableOffset + kTrackOffsetBytes * i);
    }
    mediaType_ = header[kMediaTypeOffset];
    diskSize_ = readLe32(header + kDiskSizeOffset);
    // The name field has no guaranteed terminator: 16 bytes at most.
    std::memcpy(imageName_, header + kImageNameOffset, kImageNameLength);
    imageName_[kImageNameLength] = '\0';
    return true;
}

void D88Image::forgetImage()
{
    imageBase_ = -1;
    mediaType_ = -1;
    diskSize_ = 0;
    imageName_[0] = '\0';
}

void D88Image::setSectorRange(int first, int last)
{
    firstSector_ = first;
    lastSector_ = last;
}

bool D88Image::seekTo(std::uint64_t offset)
{
    if (offset > static_cast<std::uint64_t>(LONG_MAX)) {
        return false;
    }
    return std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0;
}

bool D88Image::readExactly(std::uint8_t* dst, int len)
{
    if (len <= 0) {
        return true;
    }
    return std::fread(dst, 1, static_cast<std::size_t>(len), file_) ==
           static_cast<std::size_t>(len);
}

bool D88Image::seekTrack(int track)
{
    if (file_ == nullptr || track < 0 || track >= kTrackCount) {
        return false;
    }
    const std::uint32_t trackOffset = trackTable_[track];
    // An offset past the disk size points outside this image; with no image
    // current the disk size is 0 and every track is refused here.
    if (trackOffset == 0 || trackOffset > diskSize_) {
        return false;
    }
    return seekTo(static_cast<std::uint64_t>(imageBase_) + trackOffset);
}

int D88Image::readSector(int track, int c, int h, int r, int n, std::uint8_t* dst, int len)
{
    if (!seekTrack(track)) {
        return 0;
    }
    std::uint8_t header[kSectorHeaderSize];
    // The record count is only bounded by the file: each record's own
    // sector count decides whether it is the track's last.
    for (std::int64_t i = 0;; ++i) {
        if (!readExactly(header, kSectorHeaderSize)) {
            return 0; // the file ends inside the track
        }
        const int sectorCount = readLe16(header + kSectorCountOffset);
        const int dataSize = readLe16(header + kDataSizeOffset);
        if (sectorCount == 0) {
            return 0;
        }
        if (header[0] == c && header[1] == h && header[2] == r && header[3] == n) {
            // A negative len asks for nothing.
            const int m = std::min(dataSize, std::max(len, 0));
            // Data cut short by the end of the file is not a sector.
            return readExactly(dst, m) ? m : 0;
        }
        if (std::fseek(file_, dataSize, SEEK_CUR) != 0 || i == sectorCount - 1) {
            return 0;
        }
    }
}

int D88Image::readSectors(int track, int c, int h, int r, int n, std::uint8_t* dst, int len)
{
    if (n < 0) {
        return 0; // no sector carries a negative size code
    }
    // Wide, and capped, so that a hostile size code cannot overflow the
    // shift: a unit of 128 << 32 is already past any int len.
    constexpr int kLargestShift = 32;
    std::int64_t unit = std::int64_t{128} << std::min(n, kLargestShift);
    SectorAddress at{track, c, h, r, n};
    int done = 0;
    while (done < len) {
        unit = std::min<std::int64_t>(unit, len - done);
        const int want = static_cast<int>(unit);
        if (readSector(at, dst + done, want) < want) {
            return done;
        }
        done += want;
        stepSector(at);
    }
    return done;
}

int D88Image::readSectorIds(int track, std::uint8_t* dst, int len)
{
    if (!seekTrack(track)) {
        return 0;
    }
    std::uint8_t header[kSectorHeaderSize];
    int written = 0;
    // A sector count of 0 does not end this walk; only `len` or the end of
    // the file does.
    for (std::int64_t i = 0; written < len; ++i) {
        if (!readExactly(header, kSectorHeaderSize)) {
            break;
        }
        std::memcpy(dst + written, header, kSectorIdSize);
        written += kSectorIdSize;
        const int sectorCount = readLe16(header + kSectorCountOffset);
        const int dataSize = readLe16(header + kDataSizeOffset);
        if (std::fseek(file_, dataSize, SEEK_CUR) != 0 || i == sectorCount - 1) {
            break;
        }
    }
    return written;
}

void D88Image::stepSector(SectorAddress& at) const
{
    if (at.r != lastSector_) {
        ++at.r;
        return;
    }
    // A run may cross into the next track: the other head of the same
    // cylinder, or head 0 of the next cylinder.
    ++at.track;
    if (at.h == 0) {
        at.h = 1;
    } else {
        at.h = 0;
        ++at.c;
    }
    at.r = firstSector_;
}

} // namespace d88
