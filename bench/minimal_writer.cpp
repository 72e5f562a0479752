// The floor d88unpack is measured against: the tree of a tar file written
// into the current directory with nothing but one read of the tar, one mkdir
// per directory and one open, one write and one close per file.
//   minimal_writer TARFILE
// bench/run times it as a whole process, start-up and reading the tar
// included, the way it times d88unpack and `tar -xf`. It prints nothing.
//
// Only what `tar -cf` makes of a tree of short names is understood: plain
// files and directories in ustar or GNU headers; anything else stops it.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Tar header layout: 512-byte blocks, numbers as octal text.
constexpr std::size_t kBlock = 512;
constexpr std::size_t kNameOffset = 0;
constexpr std::size_t kNameBytes = 100;
constexpr std::size_t kSizeOffset = 124;
constexpr std::size_t kSizeBytes = 12;
constexpr std::size_t kTypeOffset = 156;
constexpr std::size_t kMagicOffset = 257;
constexpr std::size_t kPrefixOffset = 345;
constexpr std::size_t kPrefixBytes = 155;
static_assert(kPrefixOffset + kPrefixBytes <= kBlock);

[[noreturn]] void fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "minimal_writer: %s: %s\n", what, detail.c_str());
    std::exit(1);
}

std::string field(const std::uint8_t* p, std::size_t length)
{
    std::size_t n = 0;
    while (n < length && p[n] != 0) {
        ++n;
    }
    return std::string(reinterpret_cast<const char*>(p), n);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s TARFILE\n", argv[0]);
        return 2;
    }

    // The whole tar in one buffer of its size, left uninitialised.
    const int in = open(argv[1], O_RDONLY);
    struct stat st;
    if (in < 0 || fstat(in, &st) != 0) {
        fail("cannot open", argv[1]);
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    const auto tar = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    for (std::size_t got = 0; got < size;) {
        const ssize_t n = read(in, tar.get() + got, size - got);
        if (n <= 0) {
            fail("cannot read", argv[1]);
        }
        got += static_cast<std::size_t>(n);
    }
    close(in);

    std::size_t at = 0;
    while (at + kBlock <= size) {
        const std::uint8_t* header = tar.get() + at;
        std::string name = field(header + kNameOffset, kNameBytes);
        if (name.empty()) {
            break; // the end-of-archive blocks
        }
        if (std::memcmp(header + kMagicOffset, "ustar", 5) != 0) {
            fail("not a ustar or GNU header", name);
        }
        const std::string prefix = field(header + kPrefixOffset, kPrefixBytes);
        // GNU headers use the prefix area for other things and have no prefix.
        if (!prefix.empty() && std::memcmp(header + kMagicOffset, "ustar\0", 6) == 0) {
            name = prefix + "/" + name;
        }
        const std::size_t length =
            std::strtoull(field(header + kSizeOffset, kSizeBytes).c_str(), nullptr, 8);
        const char type = static_cast<char>(header[kTypeOffset]);
        at += kBlock;
        if (type == '5') {
            if (mkdir(name.c_str(), 0777) != 0 && errno != EEXIST) {
                fail("cannot make directory", name);
            }
        } else if (type == '0' || type == '\0') {
            if (at + length > size) {
                fail("truncated tar at", name);
            }
            const int fd = open(name.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0666);
            if (fd < 0) {
                fail("cannot create", name);
            }
            const ssize_t written = write(fd, tar.get() + at, length);
            if (written < 0 || static_cast<std::size_t>(written) != length || close(fd) != 0) {
                fail("cannot write", name);
            }
        } else {
            fail("unsupported tar entry type for", name);
        }
        at += (length + kBlock - 1) / kBlock * kBlock;
    }
    return 0;
}
