// The floor d88unpack is measured against: the tree of a tar file, already
// in memory, written out with nothing but one mkdir per directory and one
// open, one write and one close per file.
//   minimal_writer TARFILE DESTDIR
// Loading the tar is not timed. The timed part starts in DESTDIR and ends
// with the last close; its wall time is printed as the last word of the one
// line this writes on the standard output.
//
// Only what `tar -cf` makes of a tree of short names is understood: plain
// files and directories in ustar or GNU headers; anything else stops it.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

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

struct Entry {
    bool directory;
    std::string path;
    std::size_t offset; // of the data in the loaded tar
    std::size_t size;
};

[[noreturn]] void fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "minimal_writer: %s: %s\n", what, detail.c_str());
    std::exit(1);
}

std::vector<std::uint8_t> load(const char* path)
{
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) {
        fail("cannot open", path);
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[1 << 16];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    std::fclose(f);
    return bytes;
}

std::string field(const std::uint8_t* p, std::size_t length)
{
    std::size_t n = 0;
    while (n < length && p[n] != 0) {
        ++n;
    }
    return std::string(reinterpret_cast<const char*>(p), n);
}

std::vector<Entry> parse(const std::vector<std::uint8_t>& tar)
{
    std::vector<Entry> entries;
    std::size_t at = 0;
    while (at + kBlock <= tar.size()) {
        const std::uint8_t* header = tar.data() + at;
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
        const std::size_t size =
            std::strtoull(field(header + kSizeOffset, kSizeBytes).c_str(), nullptr, 8);
        const char type = static_cast<char>(header[kTypeOffset]);
        at += kBlock;
        if (type == '5') {
            entries.push_back({true, name, 0, 0});
        } else if (type == '0' || type == '\0') {
            if (at + size > tar.size()) {
                fail("truncated tar at", name);
            }
            entries.push_back({false, name, at, size});
        } else {
            fail("unsupported tar entry type for", name);
        }
        at += (size + kBlock - 1) / kBlock * kBlock;
    }
    return entries;
}

double now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s TARFILE DESTDIR\n", argv[0]);
        return 2;
    }
    const std::vector<std::uint8_t> tar = load(argv[1]);
    const std::vector<Entry> entries = parse(tar);
    if (chdir(argv[2]) != 0) {
        fail("cannot enter", argv[2]);
    }

    int directories = 0;
    int files = 0;
    long long bytes = 0;
    const double start = now();
    for (const Entry& entry : entries) {
        if (entry.directory) {
            if (mkdir(entry.path.c_str(), 0777) != 0 && errno != EEXIST) {
                fail("cannot make directory", entry.path);
            }
            ++directories;
            continue;
        }
        const int fd = open(entry.path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0666);
        if (fd < 0) {
            fail("cannot create", entry.path);
        }
        const ssize_t written = write(fd, tar.data() + entry.offset, entry.size);
        if (written < 0 || static_cast<std::size_t>(written) != entry.size || close(fd) != 0) {
            fail("cannot write", entry.path);
        }
        ++files;
        bytes += static_cast<long long>(entry.size);
    }
    const double elapsed = now() - start;
    std::printf("%d directories, %d files, %lld bytes written in %.6f\n", directories, files, bytes,
                elapsed);
    return 0;
}
