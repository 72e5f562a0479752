// libFuzzer target: the input is a D88 file, extracted in-process with each
// combination of "-d" and "-b", with the JSON listing, with names as they
// read ("-u"), checked with "-c" and "-c -j", and extracted again with "-r"
// and with "-k" over the tree an extraction left. After every run the
// harness checks what a hostile file must never achieve, and aborts on the
// first violation:
//   - nothing was created outside the run's directory;
//   - the run's directory holds only regular files, and without "-d" only
//     numbered subdirectories (at most 64) of regular files, none of them a
//     temporary file left behind;
//   - no output file is larger than the file buffer;
//   - the input, which lies in the run's directory as "in.d88", is unchanged;
//   - the working directory and the set of open descriptors are as before;
//   - with "-j", every line of the standard output is one JSON value
//     (which also makes it valid UTF-8).
//   - a run that ends with status 1 (an input that is not a D88 file) made
//     nothing.
//
// The scratch tree, made once per process:
//   SCRATCH/work/run/   the working directory of each run, emptied before
//                       each run that does not go over the last one's tree
//   SCRATCH/listing     the standard output of a run with "-j"
// so a file written one or two levels above the run's directory shows as a
// stray entry of work/ or of SCRATCH/.
//
// Run with -close_fd_mask=3 to silence the tool: libFuzzer then points
// descriptors 1 and 2 at /dev/null once, before the first run, so the
// descriptor check still sees exactly what a run opened and closed.
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <nlohmann/json.hpp>

#include "command.h"
#include "d88_image.h"
#include "disk_layout.h"
#include "host.h"
#include "report.h"

namespace {

d88::Workspace workspace;

char scratch[256];
constexpr const char* kInputName = "in.d88";
char workPath[300];
char runPath[300];
char listingPath[300];
// Harness reports go here, a copy of the error stream taken before libFuzzer
// may silence it.
int reportFd = 2;

[[noreturn]] void fail(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    dprintf(reportFd, "extract_fuzzer: invariant broken: ");
    vdprintf(reportFd, format, args);
    dprintf(reportFd, "\n");
    va_end(args);
    std::abort();
}

// Descriptors up to this number are compared; a leak shows as a new one.
constexpr int kWatchedDescriptors = 1024;

struct DescriptorSet {
    bool open[kWatchedDescriptors];
};

DescriptorSet openDescriptors()
{
    DescriptorSet set{};
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) {
        fail("cannot list /proc/self/fd");
    }
    const int own = dirfd(dir);
    while (const dirent* entry = readdir(dir)) {
        const int fd = std::atoi(entry->d_name);
        if (entry->d_name[0] != '.' && fd != own) {
            if (fd >= kWatchedDescriptors) {
                fail("descriptor %d is beyond the watched range", fd);
            }
            set.open[fd] = true;
        }
    }
    closedir(dir);
    return set;
}

struct Identity {
    dev_t device;
    ino_t inode;
};

Identity identify(const char* path)
{
    struct stat st;
    if (stat(path, &st) != 0) {
        fail("cannot stat %s", path);
    }
    return {st.st_dev, st.st_ino};
}

// The names in `dir` other than "." and "..", each checked by `check`;
// returns how many there were.
template <typename Check> int forEachName(const char* dir, Check check)
{
    DIR* d = opendir(dir);
    if (d == nullptr) {
        fail("cannot list %s", dir);
    }
    int count = 0;
    while (const dirent* entry = readdir(d)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            check(entry->d_name);
            ++count;
        }
    }
    closedir(d);
    return count;
}

void checkOutputFile(const char* path)
{
    const char* name = std::strrchr(path, '/');
    if (std::strncmp(name + 1, d88::host::kTemporaryPrefix,
                     sizeof d88::host::kTemporaryPrefix - 1) == 0) {
        fail("a temporary file is left: %s", path);
    }
    struct stat st;
    if (lstat(path, &st) != 0 || !S_ISREG(st.st_mode)) {
        fail("%s is not a regular file", path);
    }
    if (st.st_size > d88::kFileBufferBytes) {
        fail("%s has %lld bytes, more than the file buffer", path,
             static_cast<long long>(st.st_size));
    }
}

// True for "000" .. "063", the names of image subdirectories.
bool isSubdirectoryName(const char* name)
{
    return std::strlen(name) == 3 && name[0] == '0' && name[1] >= '0' && name[1] <= '9' &&
           name[2] >= '0' && name[2] <= '9' && std::atoi(name) < d88::kMaxImages;
}

void checkRunDirectory(bool subdirectories)
{
    int numbered = 0;
    forEachName(runPath, [&](const char* name) {
        char path[600];
        std::snprintf(path, sizeof path, "%s/%s", runPath, name);
        struct stat st;
        if (lstat(path, &st) != 0) {
            fail("cannot stat %s", path);
        }
        if (std::strcmp(name, kInputName) == 0) {
            return; // checked on its own
        }
        if (!S_ISDIR(st.st_mode)) {
            checkOutputFile(path);
            return;
        }
        if (!subdirectories || !isSubdirectoryName(name)) {
            fail("unexpected directory %s", path);
        }
        ++numbered;
        forEachName(path, [&](const char* inner) {
            char innerPath[900];
            std::snprintf(innerPath, sizeof innerPath, "%s/%s", path, inner);
            checkOutputFile(innerPath);
        });
    });
    if (numbered > d88::kMaxImages) {
        fail("%d numbered subdirectories", numbered);
    }
}

void checkNothingOutside()
{
    forEachName(scratch, [](const char* name) {
        if (std::strcmp(name, "work") != 0 && std::strcmp(name, "listing") != 0) {
            fail("stray %s/%s", scratch, name);
        }
    });
    forEachName(workPath, [](const char* name) {
        if (std::strcmp(name, "run") != 0) {
            fail("stray %s/%s", workPath, name);
        }
    });
}

void writeInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* input = std::fopen(kInputName, "wb");
    if (input == nullptr || std::fwrite(data, 1, size, input) != size || std::fclose(input) != 0) {
        fail("cannot write the input");
    }
}

// The input is in the run's directory, where a stored file of the same name
// would land with "-d".
void checkInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* input = std::fopen(kInputName, "rb");
    if (input == nullptr) {
        fail("the input is gone");
    }
    std::uint8_t chunk[4096];
    std::size_t at = 0;
    bool same = true;
    for (std::size_t got; same && (got = std::fread(chunk, 1, sizeof chunk, input)) > 0;) {
        same = at + got <= size && std::memcmp(chunk, data + at, got) == 0;
        at += got;
    }
    std::fclose(input);
    if (!same || at != size) {
        fail("the input was written to");
    }
}

// Every line of the listing a run with "-j" wrote is one JSON value, and the
// listing ends with a line's end.
void checkJsonLines()
{
    std::FILE* listing = std::fopen(listingPath, "rb");
    if (listing == nullptr) {
        fail("cannot read the listing back");
    }
    static char text[1 << 25];
    const std::size_t length = std::fread(text, 1, sizeof text, listing);
    const bool whole = std::feof(listing) != 0;
    std::fclose(listing);
    if (!whole) {
        fail("a listing larger than %zu bytes", sizeof text);
    }
    if (length == 0 || text[length - 1] != '\n') {
        fail("the listing does not end with a line's end");
    }
    for (std::size_t start = 0; start < length;) {
        const char* end = static_cast<const char*>(std::memchr(text + start, '\n', length - start));
        const std::size_t lineLength = static_cast<std::size_t>(end - (text + start));
        if (!nlohmann::json::accept(text + start, text + start + lineLength)) {
            fail("not a JSON value: %.*s", static_cast<int>(lineLength), text + start);
        }
        start += lineLength + 1;
    }
}

// Sends the standard output to the listing file until restoreStdout.
int captureStdout()
{
    std::fflush(stdout);
    const int saved = dup(1);
    const int listing = open(listingPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (saved < 0 || listing < 0 || dup2(listing, 1) < 0 || close(listing) != 0) {
        fail("cannot send the standard output to %s", listingPath);
    }
    return saved;
}

void restoreStdout(int saved)
{
    std::fflush(stdout);
    if (dup2(saved, 1) < 0 || close(saved) != 0) {
        fail("cannot restore the standard output");
    }
}

int removeEntry(const char* path, const struct stat*, int, FTW*)
{
    return std::remove(path);
}

void emptyRunDirectory()
{
    if (nftw(runPath, removeEntry, 16, FTW_DEPTH | FTW_PHYS) != 0 || mkdir(runPath, 0700) != 0) {
        fail("cannot empty %s", runPath);
    }
}

void removeScratch()
{
    nftw(scratch, removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    reportFd = dup(2);
    const char* tmp = std::getenv("TMPDIR");
    std::snprintf(scratch, sizeof scratch, "%s/d88unpack-fuzz-XXXXXX",
                  tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp");
    if (mkdtemp(scratch) == nullptr) {
        fail("cannot make a scratch directory");
    }
    std::snprintf(workPath, sizeof workPath, "%s/work", scratch);
    std::snprintf(runPath, sizeof runPath, "%s/work/run", scratch);
    std::snprintf(listingPath, sizeof listingPath, "%s/listing", scratch);
    if (mkdir(workPath, 0700) != 0 || mkdir(runPath, 0700) != 0) {
        fail("cannot make %s", runPath);
    }
    std::atexit(removeScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The JSON listing with its hashes, the check, which writes nothing, and
    // "-r" and "-k" over what the run before them left (the runs go in this
    // order): going round names taken and keeping them; and names as they
    // read.
    struct OptionSet {
        const char* options[3];
        bool over; // over the last run's tree
    };
    static const OptionSet kOptionSets[] = {
        {{nullptr, nullptr, nullptr}, false}, {{"-r", nullptr, nullptr}, true},
        {{"-k", nullptr, nullptr}, true},     {{"-d", nullptr, nullptr}, false},
        {{"-d", "-r", nullptr}, true},        {{"-b", nullptr, nullptr}, false},
        {{"-d", "-b", nullptr}, false},       {{"-j", nullptr, nullptr}, false},
        {{"-c", "-j", nullptr}, false},       {{"-c", nullptr, nullptr}, false},
        {{"-u", "-d", nullptr}, false},       {{"-u", "-j", nullptr}, false},
    };
    for (const OptionSet& set : kOptionSets) {
        const char* argv[5] = {"d88unpack", kInputName, nullptr, nullptr, nullptr};
        int argc = 2;
        bool subdirectories = true;
        bool json = false;
        for (const char* option : set.options) {
            if (option != nullptr) {
                argv[argc++] = option;
                subdirectories = subdirectories && std::strcmp(option, "-d") != 0;
                json = json || std::strcmp(option, "-j") == 0;
            }
        }
        if (!set.over) {
            emptyRunDirectory();
        }

        const int harnessDir = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (harnessDir < 0 || chdir(runPath) != 0) {
            fail("cannot enter %s", runPath);
        }
        writeInput(data, size);
        const int savedStdout = json ? captureStdout() : -1;
        const Identity before = identify(".");
        const DescriptorSet openBefore = openDescriptors();

        const int status = d88::runExtraction(workspace, argc, argv);

        const DescriptorSet openAfter = openDescriptors();
        if (json) {
            restoreStdout(savedStdout);
            checkJsonLines();
        }
        for (int fd = 0; fd < kWatchedDescriptors; ++fd) {
            if (openBefore.open[fd] != openAfter.open[fd]) {
                fail("descriptor %d %s by the run", fd,
                     openAfter.open[fd] ? "left open" : "closed");
            }
        }
        const Identity after = identify(".");
        if (after.device != before.device || after.inode != before.inode) {
            fail("the working directory was not restored");
        }
        // Status 1 is for the host failing the run (a write, the way back),
        // which a healthy scratch directory never does, whatever the input;
        // and for an input that is not a D88 file, for which nothing is made.
        if (status == d88::kExitFatal) {
            if (forEachName(runPath, [](const char*) {}) != 1) {
                fail("exit status 1, and something made");
            }
        } else if (status != d88::kExitSuccess && status != d88::kExitDamaged) {
            fail("exit status %d", status);
        }
        checkInput(data, size);
        if (fchdir(harnessDir) != 0 || close(harnessDir) != 0) {
            fail("cannot go back to the harness's directory");
        }
        checkRunDirectory(subdirectories);
        checkNothingOutside();
    }
    return 0;
}
