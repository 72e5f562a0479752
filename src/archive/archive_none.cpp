// Archive input where libarchive is not built in: archives are recognised
// by the signatures of the common formats, so that one can be named as an
// archive, and refused.
#include <io.h>

#include <cstring>

#include "archive_input.h"

namespace d88 {

std::FILE* shareFile(std::FILE* file)
{
    const int copy = _dup(_fileno(file));
    if (copy < 0) {
        return nullptr;
    }
    std::FILE* shared = _fdopen(copy, "rb");
    if (shared == nullptr) {
        _close(copy);
    }
    return shared;
}

bool archivesSupported()
{
    return false;
}

bool isArchive(std::FILE* file)
{
    unsigned char head[264] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    std::rewind(file);
    const auto starts = [&](const char* magic, std::size_t at, std::size_t length) {
        return got >= at + length && std::memcmp(head + at, magic, length) == 0;
    };
    return starts("PK\x03\x04", 0, 4) || starts("PK\x05\x06", 0, 4) ||
           starts("7z\xBC\xAF\x27\x1C", 0, 6) || starts("\x1F\x8B", 0, 2) || starts("BZh", 0, 3) ||
           starts("\xFD"
                  "7zXZ",
                  0, 5) ||
           starts("Rar!", 0, 4) || starts("MSCF", 0, 4) || starts("ustar", 257, 5) ||
           (starts("-lh", 2, 3) && got > 6 && head[6] == '-');
}

bool ArchiveReader::open(std::FILE*, LooksLikeD88)
{
    failed_ = true;
    std::snprintf(reason_, sizeof reason_, "%s", "archives are not read by this build");
    return false;
}

bool ArchiveReader::next(ArchiveEntry&)
{
    return false;
}

void ArchiveReader::close() {}

const LibArchive& ArchiveReader::library() const
{
    return *reinterpret_cast<const LibArchive*>(library_.bytes);
}

} // namespace d88
