// D88 container reader: sector lookup in the current image, by walking its
// tracks' records.
//
// A sector is found by walking its track's records from the first, skipping
// the data of every record whose ID does not match. The walk ends at the
// record that is the track's last by its own sector count, at a record whose
// sector count is 0, or where the image ends (its disk size, or the end of
// the file when that comes first); it never takes another image's bytes for
// this one's sectors.
//
// A track's walk is done once per image for the C, H and N it is asked
// about, and remembers the first record of each R, so a lookup costs the
// same however many records stand before its sector. A lookup with other
// C, H or N walks the track again.
#include "d88_image.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

namespace d88 {

std::int64_t D88Image::trackStart(int track) const
{
    if (file_ == nullptr || track < 0 || track >= kTrackCount) {
        return -1;
    }
    const std::uint32_t trackOffset = trackTable_[track];
    // An offset past the disk size points outside this image; with no image
    // current the disk size is 0 and every track is refused here.
    if (trackOffset == 0 || trackOffset > diskSize_) {
        return -1;
    }
    return imageBase_ + trackOffset;
}

const std::uint8_t* D88Image::headerAt(std::int64_t position)
{
    if (position < 0 || position + kSectorHeaderSize > imageEnd_) {
        return nullptr;
    }
    if (position < scanStart_ || position + kSectorHeaderSize > scanStart_ + scanLength_) {
        // An image that fits is read whole, once: its tracks are then walked
        // and its sectors copied in memory, in whatever order they are asked
        // for. Never past the image: its end bounds every walk.
        const std::int64_t from = imageEnd_ - imageBase_ <= kScanBytes ? imageBase_ : position;
        const std::int64_t length = std::min<std::int64_t>(kScanBytes, imageEnd_ - from);
        scanStart_ = from;
        scanLength_ = 0;
        if (!seekTo(static_cast<std::uint64_t>(from))) {
            return nullptr;
        }
        scanLength_ =
            static_cast<int>(std::fread(scan_, 1, static_cast<std::size_t>(length), file_));
        if (position + kSectorHeaderSize > scanStart_ + scanLength_) {
            return nullptr; // the file is shorter than it was
        }
    }
    return scan_ + (position - scanStart_);
}

bool D88Image::readAt(std::int64_t position, std::uint8_t* dst, int len)
{
    if (len <= 0) {
        return true;
    }
    if (position < 0 || position + len > imageEnd_) {
        return false;
    }
    if (position >= scanStart_ && position + len <= scanStart_ + scanLength_) {
        std::memcpy(dst, scan_ + (position - scanStart_), static_cast<std::size_t>(len));
        return true;
    }
    return readFileAt(static_cast<std::uint64_t>(position), dst, len);
}

bool D88Image::readFileAt(std::uint64_t offset, std::uint8_t* dst, int len)
{
#ifdef _WIN32
    // The C runtime has no positioned read: a seek, then the read.
    return seekTo(offset) && readExactly(dst, len);
#else
    // One call instead of a seek and a read; the stream, unbuffered, holds
    // nothing that this would bypass.
    const int handle = ::fileno(file_);
    int done = 0;
    while (done < len) {
        const ssize_t got = ::pread(handle, dst + done, static_cast<std::size_t>(len - done),
                                    static_cast<off_t>(offset) + done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        done += static_cast<int>(got);
    }
    return true;
#endif
}

void D88Image::indexTrack(int track, std::uint8_t c, std::uint8_t h, std::uint8_t n)
{
    trackKeys_[track] = TrackKey{true, c, h, n};
    TrackIndex& index = trackIndex_[track];
    for (int k = 0; k < index.foundCount; ++k) {
        index.sectors[index.found[k]] = SectorPlace{};
    }
    index.foundCount = 0;

    const std::uint32_t wanted = std::uint32_t{c} | std::uint32_t{h} << 8 | std::uint32_t{n} << 24;
    constexpr std::uint32_t kAllButR = 0xFF00FFFF;
    std::int64_t position = trackStart(track);
    // The record count is only bounded by the image: each record's own
    // sector count decides whether it is the track's last.
    std::int64_t i = 0;
    while (headerAt(position) != nullptr) {
        // Records lying whole in the scanned piece are walked in place; a
        // hostile track can hold a million of them.
        const std::int64_t available = std::min(scanStart_ + scanLength_, imageEnd_) - scanStart_;
        std::int64_t at = position - scanStart_;
        for (; at + kSectorHeaderSize <= available; ++i) {
            const std::uint8_t* header = scan_ + at;
            const int sectorCount = readLe16(header + kSectorCountOffset);
            const int dataSize = readLe16(header + kDataSizeOffset);
            if (sectorCount == 0) {
                return;
            }
            if ((readLe32(header) & kAllButR) == wanted) {
                // Only the first record of an ID is ever found.
                SectorPlace& place = index.sectors[header[2]];
                if (place.dataOffset == 0) {
                    // Inside the image, so the offset fits its 32-bit disk size.
                    place.dataOffset = static_cast<std::uint32_t>(scanStart_ + at +
                                                                  kSectorHeaderSize - imageBase_);
                    place.dataSize = static_cast<std::uint16_t>(dataSize);
                    place.marks = SectorMarks{header[kDensityOffset], header[kDeletedMarkOffset],
                                              header[kStatusOffset]};
                    // At most one entry for each of the kIdValues Rs.
                    index.found[index.foundCount++] = header[2];
                }
            }
            if (i == sectorCount - 1) {
                return;
            }
            at += kSectorHeaderSize + dataSize;
        }
        position = scanStart_ + at;
    }
}

const D88Image::SectorPlace* D88Image::findSector(int track, int c, int h, int r, int n)
{
    if (trackStart(track) < 0) {
        return nullptr;
    }
    const auto isByte = [](int value) { return value >= 0 && value < kIdValues; };
    // No record carries an ID byte outside 0-255.
    if (!isByte(c) || !isByte(h) || !isByte(r) || !isByte(n)) {
        return nullptr;
    }
    const TrackKey& key = trackKeys_[track];
    if (!key.built || key.c != c || key.h != h || key.n != n) {
        indexTrack(track, static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(h),
                   static_cast<std::uint8_t>(n));
    }
    const SectorPlace& place = trackIndex_[track].sectors[r];
    return place.dataOffset == 0 ? nullptr : &place;
}

int D88Image::readSector(int track, int c, int h, int r, int n, std::uint8_t* dst, int len,
                         SectorMarks* marks)
{
    const SectorPlace* place = findSector(track, c, h, r, n);
    if (place == nullptr) {
        return 0;
    }
    // A negative len asks for nothing.
    const int m = std::min<int>(place->dataSize, std::max(len, 0));
    // Data cut short by the end of the image is not a sector.
    if (!readAt(imageBase_ + place->dataOffset, dst, m)) {
        return 0;
    }
    if (marks != nullptr) {
        *marks = place->marks;
    }
    return m;
}

void D88Image::readSectorRun(SectorAddress at, int count, std::uint8_t* dst, int len,
                             SectorRead* got)
{
    count = std::clamp(count, 0, kMaxRunSectors);
    // Where each sector's data starts in the file (-1: not found), its
    // record's data size, and the bytes wanted of it (a negative len asks
    // for nothing).
    std::int64_t from[kMaxRunSectors];
    int stored[kMaxRunSectors];
    int wanted[kMaxRunSectors];
    for (int k = 0; k < count; ++k) {
        got[k] = SectorRead{0, SectorMarks{}};
        from[k] = -1;
        if (const SectorPlace* place = findSector(at.track, at.c, at.h, at.r, at.n)) {
            from[k] = imageBase_ + place->dataOffset;
            stored[k] = place->dataSize;
            wanted[k] = std::min<int>(place->dataSize, std::max(len, 0));
            got[k].marks = place->marks;
        }
        stepSector(at);
    }
    // Whether sector k's wanted bytes can join one read that starts at
    // `start`: whole inside the image and within the read's room.
    const auto fits = [&](int k, std::int64_t start) {
        return from[k] >= 0 && wanted[k] > 0 && from[k] + wanted[k] <= imageEnd_ &&
               from[k] + wanted[k] - start <= kRunReadBytes;
    };
    for (int k = 0; k < count;) {
        // The sectors from k on whose records follow each other directly.
        int last = k;
        if (fits(k, from[k])) {
            while (last + 1 < count &&
                   from[last + 1] == from[last] + stored[last] + kSectorHeaderSize &&
                   fits(last + 1, from[k])) {
                ++last;
            }
        }
        const std::int64_t end = last > k ? from[last] + wanted[last] : 0;
        const bool inScan = from[k] >= scanStart_ && end <= scanStart_ + scanLength_;
        // Read together only what would otherwise cost a read each; when
        // that read fails, each is read alone, so that each fails or not as
        // it would have.
        const bool together =
            last > k && !inScan &&
            readFileAt(static_cast<std::uint64_t>(from[k]), run_, static_cast<int>(end - from[k]));
        for (int j = k; j <= last; ++j) {
            if (from[j] < 0) {
                continue;
            }
            std::uint8_t* slot = dst + static_cast<std::ptrdiff_t>(j) * std::max(len, 0);
            if (together) {
                std::memcpy(slot, run_ + (from[j] - from[k]), static_cast<std::size_t>(wanted[j]));
            } else if (!readAt(from[j], slot, wanted[j])) {
                got[j] = SectorRead{0, SectorMarks{}};
                continue;
            }
            got[j].bytes = wanted[j];
        }
        k = last + 1;
    }
}

int D88Image::readStored(std::int64_t from, std::uint8_t* dst, int len)
{
    if (imageBase_ < 0 || from < 0 || len <= 0) {
        return 0;
    }
    // Never past what the image holds in the file.
    const int m = static_cast<int>(
        std::min<std::int64_t>(len, std::max<std::int64_t>(imageEnd_ - imageBase_ - from, 0)));
    return readAt(imageBase_ + from, dst, m) ? m : 0;
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
    std::int64_t position = trackStart(track);
    int written = 0;
    // A sector count of 0 does not end this walk; only `len` or the end of
    // the image does.
    for (std::int64_t i = 0; position >= 0 && written < len; ++i) {
        const std::uint8_t* header = headerAt(position);
        if (header == nullptr) {
            break;
        }
        std::memcpy(dst + written, header, kSectorIdSize);
        written += kSectorIdSize;
        const int sectorCount = readLe16(header + kSectorCountOffset);
        if (i == sectorCount - 1) {
            break;
        }
        position += kSectorHeaderSize + readLe16(header + kDataSizeOffset);
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
