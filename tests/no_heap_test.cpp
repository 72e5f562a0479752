// Our code never allocates on the heap. This executable replaces malloc,
// calloc, realloc, aligned_alloc and operator new, and while the extraction
// runs in-process it counts every allocation whose immediate caller is not
// the C library: operator new, and malloc called from our code (linked into
// this executable) or from any other library. The C library's own
// allocations, the buffers of the streams it opens, are allowed. Not built
// under sanitizers, which replace malloc themselves.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "command.h"
#include "d88_builder.h"
#include "redirected_streams.h"
#include "report.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* p);
}

namespace {

bool watching = false;
void* libcBase = nullptr;
int ours = 0;   // not made by the C library for itself
int theirs = 0; // made by the C library

void note(void* caller)
{
    if (!watching) {
        return;
    }
    Dl_info info;
    if (dladdr(caller, &info) != 0 && info.dli_fbase == libcBase) {
        ++theirs;
    } else {
        ++ours;
    }
}

} // namespace

extern "C" void* malloc(std::size_t size) noexcept
{
    note(__builtin_return_address(0));
    return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size) noexcept
{
    note(__builtin_return_address(0));
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* p, std::size_t size) noexcept
{
    note(__builtin_return_address(0));
    return __libc_realloc(p, size);
}

extern "C" void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept
{
    note(__builtin_return_address(0));
    return __libc_memalign(alignment, size);
}

extern "C" void free(void* p) noexcept
{
    __libc_free(p);
}

namespace {

void* newBytes(std::size_t size)
{
    if (watching) {
        ++ours;
    }
    void* p = __libc_malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

} // namespace

void* operator new(std::size_t size)
{
    return newBytes(size);
}

void* operator new[](std::size_t size)
{
    return newBytes(size);
}

namespace {

namespace fs = std::filesystem;
using namespace d88build;

d88::Workspace workspace;

// Three images: two good ones around one with a lost sector, a chain loop and
// a header that claims more than its chain holds, so that the damage paths
// run too.
Bytes input()
{
    DiskBuilder good("GOOD");
    good.addFile(0, "GAME", {10, 11, 40}, withHeader(0x6000, 0x6000, pattern(5000, 1)));
    good.addFile(1, "A/B", {5}, withHeader(0, 0, pattern(300, 2)));
    DiskBuilder bad("BAD");
    bad.addFile(0, "LOOP", {10, 11}, withHeader(1, 1, pattern(3000, 3)));
    bad.setTableByte(11, 10);
    bad.addFile(1, "SHORT", {12}, withHeader(2, 2, pattern(100, 4)));
    bad.writeCluster(12, {0xFF, 0xFF}, 2);
    ImageBuilder damaged = bad.image();
    damaged.removeSector(5, 3);
    return concat({good.image().build(), damaged.build(), good.image().build()});
}

int runQuietly(std::initializer_list<const char*> options, const std::string& path)
{
    const char* argv[8] = {"d88unpack", path.c_str()};
    int argc = 2;
    for (const char* option : options) {
        argv[argc++] = option;
    }
    return d88::runExtraction(workspace, argc, argv);
}

// Two D88 files, one at a time in this process, each into its folder, with
// the JSON listing and its total.
int runCollectionQuietly(const std::string& first, const std::string& second)
{
    const char* argv[] = {"d88unpack", "-J", "1", "-j", first.c_str(), second.c_str()};
    return d88::runExtraction(workspace, 6, argv);
}

TEST(NoHeap, ExtractionAllocatesOnlyStreamBuffers)
{
    Dl_info info;
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&std::fopen), &info), 0);
    libcBase = info.dli_fbase;

    const fs::path root =
        fs::path(::testing::TempDir()) / ("d88unpack-no-heap-" + std::to_string(::getpid()));
    fs::create_directories(root / "out");
    const std::string path = (root / "in.d88").string();
    const std::string other = (root / "other.d88").string();
    writeFile(path, input());
    writeFile(other, input());
    const fs::path start = fs::current_path();
    fs::current_path(root / "out");
    int statuses[10];
    {
        const RedirectedStreams quiet("/dev/null", "/dev/null");
        // Once unwatched, so that nothing done once per process is counted.
        runQuietly({}, path);
        // The JSON listing and the check, with their hashes, once unwatched too.
        runQuietly({"-j"}, path);
        runQuietly({"-c", "-j"}, path);
        runCollectionQuietly(path, other);
        watching = true;
        statuses[0] = runQuietly({}, path);
        statuses[1] = runQuietly({"-d"}, path);
        statuses[2] = runQuietly({"-b"}, path);
        statuses[3] = runQuietly({"-d", "-b"}, path);
        statuses[4] = runQuietly({"-j"}, path);
        statuses[5] = runQuietly({"-l", "-j"}, path);
        statuses[6] = runQuietly({"-c", "-j"}, path);
        // Names as they read, and patterns over them.
        statuses[7] = runQuietly({"-u", "-d", "-j"}, path);
        statuses[8] = runQuietly({"-u", "-r", "-n", "[GL]?*"}, path);
        statuses[9] = runCollectionQuietly(path, other);
        watching = false;
    }
    fs::current_path(start);
    const bool wrote = fs::exists(root / "out" / "002" / "GAME") &&
                       fs::exists(root / "out" / "A_B") &&
                       fs::exists(root / "out" / "other" / "002" / "GAME");
    fs::remove_all(root);

    for (int status : statuses) {
        EXPECT_EQ(status, d88::kExitDamaged);
    }
    EXPECT_TRUE(wrote);
    EXPECT_EQ(ours, 0) << "allocations by our code";
    // The replacement is in force: opening the files allocated their buffers.
    EXPECT_GT(theirs, 0);
}

} // namespace
