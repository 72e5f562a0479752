// D88 container reader: finding the images, opening and closing the file,
// and making an image current.
//
// Images are found by hopping from header to header by their disk sizes,
// starting at offset 0.
#include "d88_image.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace d88 {

namespace {

// What every D88 file's headers hold, however damaged its disks: a size
// that covers the header, and tracks that start past it and inside the disk.
bool headerPossible(const std::uint8_t (&header)[kImageHeaderSize])
{
    const std::uint32_t diskSize = readLe32(header + kDiskSizeOffset);
    if (diskSize < kImageHeaderSize) {
        return false;
    }
    for (int i = 0; i < kTrackCount; ++i) {
        const std::uint32_t offset = readLe32(header + kTrackTableOffset + kTrackOffsetBytes * i);
        if (offset != 0 && (offset < kImageHeaderSize || offset >= diskSize)) {
            return false;
        }
    }
    return true;
}

} // namespace

D88Image::~D88Image()
{
    close();
}

bool D88Image::open(const char* path)
{
    close();
    return open(std::fopen(path, "rb"));
}

bool D88Image::open(std::FILE* file)
{
    close();
    file_ = file;
    if (file_ == nullptr) {
        return false;
    }
    // Every read is of a whole header or a whole piece of an image, at a
    // position just sought: a stream buffer would only add a copy and a
    // read of its own for each piece's tail.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    // Every lookup seeks: a pipe would read as a file with no image. The
    // file's size tells what lies past the images found.
    if (std::fseek(file_, 0, SEEK_END) != 0) {
        close();
        return false;
    }
    fileSize_ = std::max<long>(std::ftell(file_), 0);
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
        if (imageCount_ == 0) {
            firstHeaderPossible_ = headerPossible(header);
        }
        declaredSizes_[imageCount_] = diskSize;
        offset += diskSize;
        ++imageCount_;
        // A size smaller than its own header cannot locate the next image;
        // following it would find this same image again and again.
        if (diskSize < kImageHeaderSize) {
            offset = static_cast<std::uint64_t>(fileSize_);
            break;
        }
    }
    // Where the images end, what is left: short of a header, it is junk;
    // a header's worth after the last image counted, more images.
    const auto size = static_cast<std::uint64_t>(fileSize_);
    if (offset < size) {
        if (imageCount_ == kMaxImages && size - offset >= kImageHeaderSize) {
            imagesBeyondLimit_ = true;
        } else {
            // Below kImageHeaderSize here, or the file's length in an int's
            // range when no image was found at all.
            trailingBytes_ = static_cast<int>(std::min<std::uint64_t>(size - offset, INT_MAX));
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

std::uint32_t D88Image::declaredSize(int index) const
{
    return index >= 0 && index < imageCount_ ? declaredSizes_[index] : 0;
}

std::int64_t D88Image::bytesHeld(int index) const
{
    if (index < 0 || index >= imageCount_) {
        return 0;
    }
    return fileSize_ - static_cast<std::int64_t>(imageTable_[index]);
}

bool D88Image::close()
{
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    imageCount_ = 0;
    fileSize_ = 0;
    trailingBytes_ = 0;
    imagesBeyondLimit_ = false;
    firstHeaderPossible_ = false;
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
    // No walk may run past the end of the image, into the next one.
    imageEnd_ = imageBase_ + readLe32(header + kDiskSizeOffset);
    if (std::fseek(file_, 0, SEEK_END) == 0) {
        const long fileEnd = std::ftell(file_);
        if (fileEnd >= 0) {
            imageEnd_ = std::min<std::int64_t>(imageEnd_, fileEnd);
        }
    }
    for (int i = 0; i < kTrackCount; ++i) {
        trackTable_[i] = readLe32(header + kTrackTableOffset + kTrackOffsetBytes * i);
    }
    mediaType_ = header[kMediaTypeOffset];
    writeProtect_ = header[kWriteProtectOffset];
    diskSize_ = readLe32(header + kDiskSizeOffset);
    // The name field has no guaranteed terminator: 16 bytes at most.
    std::memcpy(imageName_, header + kImageNameOffset, kImageNameLength);
    imageName_[kImageNameLength] = '\0';
    return true;
}

void D88Image::forgetImage()
{
    imageBase_ = -1;
    imageEnd_ = 0;
    for (TrackKey& key : trackKeys_) {
        key.built = false;
    }
    // The scanned piece may be of another file or of a file that changed.
    scanLength_ = 0;
    mediaType_ = -1;
    writeProtect_ = -1;
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

} // namespace d88
