// The host failing the tool: a full device, a starting directory the tool may
// not write or read, a subdirectory that leads elsewhere, an input that is a
// pipe, a listing nobody reads, a stored name that leads to the input, and
// an input cut short at every offset. Each case checks the message, the exit
// status and what is left on disk. (A file-size limit, a name taken by a
// directory, a subdirectory name taken by a file, a reused subdirectory and
// an input that is a directory are in extract_command_test.cpp.)
#include <fcntl.h>
#include <unistd.h>

#include <memory>

#include "e2e_support.h"
#include "command.h"
#include "host.h"

namespace {

using namespace e2e;

// The disks up to and including file `last` of image `image`: what a run
// that stops at that file has listed.
std::vector<DiskModel> upTo(const std::vector<DiskModel>& disks, std::size_t image,
                            std::size_t last)
{
    std::vector<DiskModel> prefix(disks.begin(), disks.begin() + static_cast<long>(image) + 1);
    prefix.back().files.resize(last + 1);
    return prefix;
}

// A write to a full device stops the run with status 1, for a large file and
// a small one alike, in the top directory or in an image's subdirectory. The
// link is left as it was.
TEST(HostFaults, FullDeviceStopsTheRun)
{
    const std::vector<DiskModel> disks = {diskA(), diskA()};
    const struct {
        const char* what;
        std::size_t image, file; // the file whose name links to /dev/full
        std::vector<std::string> args;
    } rows[] = {
        {"a large file (GAME, 4666 bytes)", 0, 0, {"-d"}},
        {"a small file (DATA.BIN, 306 bytes)", 0, 1, {"-d"}},
        {"a small file in the second image's subdirectory", 1, 1, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Scratch scratch;
        scratch.input(d88build::concat({build(disks[0]), build(disks[1])}));
        const bool subdirectories = row.args.empty();
        const fs::path link = scratch.out() / (subdirectories ? format("%03zu", row.image) : "") /
                              onDisk(disks[row.image].files[row.file]);
        fs::create_directories(link.parent_path());
        fs::create_symlink("/dev/full", link);

        std::vector<std::string> args = {"../in.d88"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const Result r = scratch.run(args, "LANG=C");
        const std::vector<DiskModel> listed = upTo(disks, row.image, row.file);
        std::vector<DiskModel> written = listed;
        written.back().files.pop_back();
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, expected(listed, subdirectories, false, {}).first);
        EXPECT_EQ(r.err, d88::kWriteFailed.shiftJis);
        // The link is still a link; everything else is what came before it.
        ASSERT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(fs::read_symlink(link), "/dev/full");
        fs::remove(link);
        expectTree(listTree(scratch.out()), expected(written, subdirectories, false, {}).second);
    }
}

// Permission bits bind only an unprivileged user: as root the tool is run as
// nobody through setpriv (util-linux).
std::string unprivileged()
{
    return ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
}

TEST(HostFaults, StartingDirectoryPermissions)
{
    if (windowsHost()) {
        GTEST_SKIP()
            << "runs the tool as another user, and wine refuses a prefix that user does not own";
    }
    if (::geteuid() == 0 &&
        std::system(("cd / && " + unprivileged() + "test -x " + quote(D88UNPACK_BINARY)).c_str()) !=
            0) {
        GTEST_SKIP() << "setpriv cannot run the tool as an unprivileged user here";
    }
    const std::vector<DiskModel> disks = {diskA(), diskA()};
    const std::vector<DiskModel> empty = {{"DISK A", "DISK A", {}}, {"DISK A", "DISK A", {}}};
    std::string cannotCreate;
    for (int image = 0; image < 2; ++image) {
        for (const FileModel& f : disks[image].files) {
            cannotCreate += format(d88::kCannotCreateFile.shiftJis, image, f.stored.c_str());
        }
    }
    const struct {
        const char* what;
        const char* mode; // of the starting directory
        bool subdirectories;
        int status;
        std::string out, err;
        Tree tree;
    } rows[] = {
        {"not writable: no subdirectory made",
         "0555",
         true,
         2,
         expected(empty, true, false, {}).first,
         format(d88::kCannotEnterSubdirectory.shiftJis, 0, "000") +
             format(d88::kCannotEnterSubdirectory.shiftJis, 1, "001"),
         {}},
        {"not writable, -d: no file made",
         "0555",
         false,
         2,
         expected(empty, false, false, {}).first,
         cannotCreate,
         {}},
        // The way back is then held by path alone.
        {"not readable", "0333", true, 0, expected(disks, true, false, {}).first, "",
         expected(disks, true, false, {}).second},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Scratch scratch;
        scratch.input(d88build::concat({build(disks[0]), build(disks[1])}));
        std::vector<std::string> args = {"../in.d88"};
        if (!row.subdirectories) {
            args.push_back("-d");
        }
        const Result r = scratch.run(
            args, "LANG=C", format("chmod 0755 .. && chmod %s . && ", row.mode) + unprivileged());
        fs::permissions(scratch.out(), fs::perms::owner_all);
        EXPECT_EQ(r.status, row.status);
        EXPECT_EQ(r.out, row.out);
        EXPECT_EQ(r.err, row.err);
        expectTree(listTree(scratch.out()), row.tree);
    }
}

// A subdirectory that is a link elsewhere is entered, and the run still comes
// back to where it started, not to the link target's parent.
TEST(HostFaults, SubdirectoryLinkedElsewhere)
{
    const std::vector<DiskModel> disks = {diskA(), diskC()};
    Scratch scratch;
    scratch.input(d88build::concat({build(disks[0]), build(disks[1])}));
    const fs::path elsewhere = scratch.out() / ".." / "elsewhere";
    fs::create_directory(elsewhere);
    fs::create_directory_symlink("../elsewhere", scratch.out() / "000");

    const Result r = scratch.run({"../in.d88"}, "LANG=C");
    const auto [out, tree] = expected(disks, true, false, {});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, out);
    EXPECT_EQ(r.err, "");
    Tree inOut, inElsewhere;
    for (const auto& [path, bytes] : tree) {
        if (path.starts_with("000/") && path != "000/") {
            inElsewhere[path.substr(4)] = bytes;
        } else {
            inOut[path] = bytes;
        }
    }
    expectTree(listTree(scratch.out()), inOut);
    expectTree(listTree(elsewhere), inElsewhere);
}

// Every lookup in a D88 file seeks: a pipe cannot be read as one, and is
// refused as a file that cannot be opened rather than read as no image.
TEST(HostFaults, InputThatCannotSeek)
{
    if (windowsHost()) {
        GTEST_SKIP() << "named pipes and /dev/stdin are Linux files";
    }
    const struct {
        const char* what;
        std::string setup, path;
    } rows[] = {
        {"a named pipe", "mkfifo ../in.pipe && { cat ../in.d88 >../in.pipe & } && ", "../in.pipe"},
        {"the standard input, a pipe", "cat ../in.d88 | ", "/dev/stdin"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Scratch scratch;
        scratch.input(build(diskA()));
        const Result r = scratch.run({row.path}, "LANG=C", row.setup);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, d88::kCannotOpen.shiftJis);
        expectTree(listTree(scratch.out()), {});
    }
}

// A listing whose reader has gone (a pager quit early) is reported at the end;
// it neither kills the run nor stops it. The reader of the pipe opens it and
// leaves before the tool starts.
TEST(HostFaults, ListingReaderGoneDoesNotStopTheRun)
{
    const std::vector<DiskModel> disks = {diskA(), diskC()};
    Scratch scratch;
    scratch.input(d88build::concat({build(disks[0]), build(disks[1])}));
    const Result r =
        scratch.run({"../in.d88"}, "LANG=C",
                    "mkfifo ../pipe && { (exec 3<../pipe) & } && exec >../pipe && wait && ");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, d88::kConsoleLost.shiftJis);
    expectTree(listTree(scratch.out()), expected(disks, true, false, {}).second);
}

// A disk may name a file like the D88 file being read. Writing it would
// truncate the input mid-read; it is reported as a file that cannot be made.
TEST(HostFaults, NeverWritesOverItsInput)
{
    const DiskModel disk = {
        "SELF",
        "SELF",
        {file(0, "in.d88", "", 1, 1, 50, {20}), file(1, "AFTER", "", 2, 2, 30, {21})}};
    DiskModel listed = disk;
    listed.files.erase(listed.files.begin());
    const Bytes input = build(disk);
    const struct {
        const char* what;
        std::string setup, path;
        bool subdirectories;
    } rows[] = {
        {"-d in the D88 file's directory", "mv ../in.d88 . && ", "in.d88", false},
        {"in the subdirectory that holds it", "mkdir 000 && mv ../in.d88 000 && ", "000/in.d88",
         true},
        {"a link of that name to it, -d", "ln -s ../in.d88 in.d88 && ", "../in.d88", false},
        {"a hard link of that name to it, -d", "ln ../in.d88 in.d88 && ", "../in.d88", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Scratch scratch;
        scratch.input(input);
        std::vector<std::string> args = {row.path};
        if (!row.subdirectories) {
            args.push_back("-d");
        }
        const Result r = scratch.run(args, "LANG=C", row.setup);
        auto [out, tree] = expected({listed}, row.subdirectories, false, {});
        tree[row.subdirectories ? "000/in.d88" : "in.d88"] = input;
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, out);
        EXPECT_EQ(r.err, format(d88::kCannotCreateFile.shiftJis, 0, "in.d88"));
        expectTree(listTree(scratch.out()), tree);
    }
}

// ---- An input cut short at every offset -----------------------------------

d88::Workspace workspace;

// The messages a run writes in the encoding the test process's locale asks for.
const d88::ConsoleEncoding kEncoding = d88::host::consoleEncoding();

// How every line about image `index` begins.
std::string imagePrefix(int index)
{
    const std::string line = format(d88::textFor(d88::kImageUnreadable, kEncoding), index);
    return line.substr(0, line.find(": ") + 2);
}

// Runs the extraction in-process in `dir` with `input`; the standard output
// is discarded, the error stream returned.
std::pair<int, std::string> extractHere(const fs::path& dir, const fs::path& input)
{
    const fs::path errPath = dir.parent_path() / "stderr";
    std::fflush(stdout);
    const int savedOut = ::dup(1), savedErr = ::dup(2);
    const int devNull = ::open("/dev/null", O_WRONLY);
    const int errFile = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(devNull, 1);
    ::dup2(errFile, 2);
    const fs::path start = fs::current_path();
    fs::current_path(dir);
    const std::string path = input.string();
    const char* argv[] = {"d88unpack", path.c_str()};
    const int status = d88::runExtraction(workspace, 2, argv);
    fs::current_path(start);
    std::fflush(stdout);
    ::dup2(savedOut, 1);
    ::dup2(savedErr, 2);
    for (int fd : {savedOut, savedErr, devNull, errFile}) {
        ::close(fd);
    }
    return {status, readText(errPath)};
}

// Keeps only the sectors `used` of the tracks of an image, so that every byte
// of the file is one the run needs; directory sectors 13, 15 and 16 go.
template <typename Used> void keepOnly(ImageBuilder& im, Used used)
{
    for (auto& entry : im.tracks) {
        const int track = entry.first;
        std::erase_if(entry.second, [&](const d88build::SectorRecord& s) {
            const bool layout = track == 37 && (s.r <= 12 || s.r == 14);
            return !layout && !used(track, s.r);
        });
    }
    std::erase_if(im.tracks, [](const auto& t) { return t.second.empty(); });
}

struct CutInput {
    std::vector<DiskModel> disks;
    Bytes whole;
    std::size_t second; // where image 1 begins
};

// Two images, files on tracks after the directory's so that a cut can leave
// the directory whole and a file partly read. Image 0: GAME (a full cluster,
// then one sector on the next track) and DATA.BIN (two sectors); image 1:
// ONE (one sector).
CutInput cutInput()
{
    std::vector<DiskModel> disks = {
        {"CUT 0",
         "CUT 0",
         {file(0, kGame, "", 0x6000, 0x6000, 2100, {80, 82}),
          file(1, "DATA.BIN", "", 0xab00, 0x00fe, 300, {81})}},
        {"CUT 1", "CUT 1", {file(0, "ONE", "", 0x0100, 0x0100, 100, {80})}}};
    const Bytes first = build(disks[0], nullptr, [](ImageBuilder& im) {
        keepOnly(im, [](int t, int r) { return (t == 40 && r <= 10) || (t == 41 && r == 1); });
    });
    const Bytes second = build(disks[1], nullptr, [](ImageBuilder& im) {
        keepOnly(im, [](int t, int r) { return t == 40 && r == 1; });
    });
    return {disks, d88build::concat({first, second}), first.size()};
}

// Whatever the offset: no crash, nothing outside the images found, every file
// written is the intact one or the intact one with lost sectors as zeros
// (then reported by name), every file missing from an image that was found is
// explained by a line about that image, and status 2 exactly when something
// was reported. Every byte of the file is needed, so every cut loses
// something, except a cut in the second image's header, which leaves a
// well-formed one-image file with trailing bytes.
TEST(HostFaults, InputCutAtEveryOffset)
{
    if (windowsHost()) {
        GTEST_SKIP() << "runs the extraction in-process: it tests the Linux build";
    }
    const auto [disks, whole, second] = cutInput();
    const Tree intact = expected(disks, true, false, {}).second;
    constexpr std::size_t kHeader = 688;

    // Thousands of runs: on a memory file system when there is one.
    const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
    const fs::path root = base / format("d88unpack-cut-%d", static_cast<int>(::getpid()));
    const fs::path input = root / "in.d88", out = root / "out";
    fs::create_directories(out);
    // Removed however the test ends.
    const std::unique_ptr<const fs::path, void (*)(const fs::path*)> cleanup(
        &root, [](const fs::path* p) { fs::remove_all(*p); });
    d88build::writeFile(input, whole);

    for (std::size_t length = whole.size() + 1; length-- > 0;) {
        fs::resize_file(input, length);
        const auto [status, err] = extractHere(out, input);
        const Tree got = listTree(out);
        const int found = length >= second + kHeader ? 2 : length >= kHeader ? 1 : 0;
        const bool silent = length < kHeader || (length >= second && length < second + kHeader) ||
                            length == whole.size();
        bool ok = status == (silent ? 0 : 2) && (status == 2) == !err.empty();
        for (int i = 0; i < 2; ++i) {
            ok = ok && got.contains(format("%03d/", i)) == (i < found);
        }
        for (const auto& [path, bytes] : got) {
            const auto it = intact.find(path);
            if (it == intact.end()) {
                ok = false;
                continue;
            }
            const Bytes& want = it->second;
            bool asIntact = bytes.size() <= want.size();
            for (std::size_t i = 0; asIntact && i < bytes.size(); ++i) {
                asIntact = bytes[i] == want[i] || bytes[i] == 0;
            }
            const std::string name = path.substr(4);
            const std::string said = imagePrefix(path[2] - '0') + name + ": ";
            ok = ok && asIntact && (bytes == want || err.find(said) != std::string::npos);
        }
        for (const auto& [path, bytes] : intact) {
            const int index = path[2] - '0';
            if (index < found && !got.contains(path)) {
                ok = ok && err.find(imagePrefix(index)) != std::string::npos;
            }
        }
        if (silent) {
            // A silent cut leaves the images found whole.
            for (const auto& [path, bytes] : intact) {
                ok =
                    ok && (path[2] - '0' >= found || (got.contains(path) && got.at(path) == bytes));
            }
        }
        // Nothing next to the output directory but what this test made.
        for (const fs::directory_entry& entry : fs::directory_iterator(root)) {
            const std::string name = entry.path().filename().string();
            ok = ok && (name == "in.d88" || name == "out" || name == "stderr");
        }
        ASSERT_TRUE(ok) << "cut at " << length << " of " << whole.size() << ": status " << status
                        << ", stderr:\n"
                        << err;
        fs::remove_all(out);
        fs::create_directory(out);
    }
}

} // namespace
