// What archive input needs on every platform: the names that say D88, and
// the anonymous copy the reader seeks in.
#include <cctype>
#include <cstring>

#include "archive_input.h"

namespace d88 {

bool hasD88Extension(const char* name)
{
    constexpr const char* kExtensions[] = {".d88", ".d77", ".88d", ".d8u"};
    constexpr std::size_t kLength = 4;
    const std::size_t length = std::strlen(name);
    if (length <= kLength) {
        return false;
    }
    const char* tail = name + length - kLength;
    for (const char* extension : kExtensions) {
        bool same = true;
        for (std::size_t i = 0; i < kLength && same; ++i) {
            same = std::tolower(static_cast<unsigned char>(tail[i])) == extension[i];
        }
        if (same) {
            return true;
        }
    }
    return false;
}

std::FILE* copyToAnonymousFile(std::FILE* in, bool& tooLarge)
{
    tooLarge = false;
    // Removed by the system when it is closed, whatever ends the process.
    std::FILE* copy = std::tmpfile();
    if (copy == nullptr) {
        return nullptr;
    }
    char block[64 * 1024];
    long long total = 0;
    for (;;) {
        const std::size_t got = std::fread(block, 1, sizeof block, in);
        total += static_cast<long long>(got);
        if (total > kMaxCopiedBytes) {
            tooLarge = true;
            std::fclose(copy);
            return nullptr;
        }
        if (got > 0 && std::fwrite(block, 1, got, copy) != got) {
            std::fclose(copy);
            return nullptr;
        }
        if (got < sizeof block) {
            break;
        }
    }
    if (std::ferror(in) != 0 || std::fflush(copy) != 0) {
        std::fclose(copy);
        return nullptr;
    }
    std::rewind(copy);
    return copy;
}

} // namespace d88
