// The host failing the tool, or set against it: a full device, a
// read-only file system, the descriptor limit, a starting directory the tool
// may not write or read, links, FIFOs and hard links planted at output names
// and subdirectories, an input that is a pipe, closed standard streams, a
// listing nobody reads, a stored name that leads to the input, runs killed
// at many moments, two runs into one directory, and an input cut short in
// every kind of place. Each case checks the message, the exit status and
// what is left on disk. (A file-size limit, a name taken by a directory, a
// subdirectory name taken by a file, a reused subdirectory and an input that
// is a directory are in extract_command_test.cpp.)
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <memory>
#include <set>
#include <sstream>

#include "command.h"
#include "e2e_support.h"
#include "host.h"
#include "redirected_streams.h"

namespace {

using namespace e2e;

// Something planted at an output name is never written through: a link
// (to a file, to /dev/full, to nowhere) and a hard link are replaced by a
// new regular file, their targets untouched; a FIFO is not opened at all,
// the run does not block on it, and the file is reported as not written.
TEST(HostFaults, PlantedThingsAreNeverWrittenThrough)
{
    const DiskModel disk = diskA();
    const FileModel& data = disk.files[1];
    const Bytes precious(123, 'p');
    const struct {
        const char* what;
        std::string plant; // shell commands run in the name's directory; NAME is the name
        bool replaced;     // else left as it was, and reported
        bool fifo = false;
        // Wine shows the Windows tool a Linux link as what it leads to: a
        // link to a device or a FIFO is one there, which no Windows
        // directory holds, and a dangling one cannot be made.
        bool windows = true;
    } rows[] = {
        {"a link to a file elsewhere", "ln -s \"$VICTIM\" NAME", true},
        {"a link to /dev/full", "ln -s /dev/full NAME", true, false, false},
        {"a dangling link", "ln -s \"$VICTIM.none\" NAME", true, false, false},
        {"a hard link to a file elsewhere", "ln \"$VICTIM\" NAME", true},
        {"a link to a FIFO", "mkfifo \"$VICTIM.fifo\" && ln -s \"$VICTIM.fifo\" NAME", true, false,
         false},
        {"a FIFO", "mkfifo NAME", false, true, false},
    };
    for (const auto& row : rows) {
        for (const bool subdirectories : {false, true}) {
            SCOPED_TRACE(std::string(row.what) + (subdirectories ? "" : ", -d"));
            if (windowsHost() && !row.windows) {
                continue;
            }
            Scratch scratch;
            scratch.input(build(disk));
            const fs::path victim = scratch.out() / ".." / "victim";
            d88build::writeFile(victim, precious);
            const fs::path dir = subdirectories ? scratch.out() / "000" : scratch.out();
            fs::create_directories(dir);
            std::string plant = row.plant;
            plant.replace(plant.find("NAME"), 4, quote(onDisk(data)));
            ASSERT_EQ(
                std::system(
                    ("cd " + quote(dir) + " && VICTIM=" + quote(victim) + " && " + plant).c_str()),
                0);
            std::vector<std::string> args = {"../in.d88"};
            if (!subdirectories) {
                args.push_back("-d");
            }
            const Result r = scratch.run(args, "LANG=C", "timeout 20 ");
            auto [out, tree] = expected({disk}, subdirectories, false, {});
            // A file not written is not listed.
            DiskModel listed = disk;
            if (!row.replaced) {
                listed.files.erase(listed.files.begin() + 1);
            }
            EXPECT_EQ(r.out, expected({listed}, subdirectories, false, {}).first);
            EXPECT_EQ(d88build::readFile(victim), precious);
            EXPECT_FALSE(fs::exists(victim.string() + ".none"));
            const fs::path name = dir / onDisk(data);
            if (row.replaced) {
                EXPECT_EQ(r.status, 0);
                EXPECT_EQ(r.err, "");
                EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(name)));
            } else {
                EXPECT_EQ(r.status, 2);
                EXPECT_EQ(r.err, format(d88::kNotRegularFile.shiftJis, 0, data.stored.c_str()));
                EXPECT_EQ(row.fifo, fs::is_fifo(fs::symlink_status(name)));
                // Read, a FIFO would block the test.
                fs::remove(name);
                tree.erase((subdirectories ? "000/" : "") + onDisk(data));
            }
            expectTree(listTree(scratch.out()), tree);
        }
    }
}

// True when this process can make a private mount of its own (a user and
// mount namespace: unshare from util-linux), for a small or read-only file
// system under the tool.
bool privateMounts()
{
    return std::system("unshare -rm true >/dev/null 2>&1") == 0;
}

// Runs the tool with a fresh tmpfs of `options` mounted on its working
// directory, in a mount namespace of its own: put before the tool's command.
std::string onTmpfs(const std::string& options)
{
    return "exec unshare -rm sh -c 'mount -t tmpfs -o " + options +
           " tmpfs \"$PWD\" && cd \"$PWD\" && exec \"$0\" \"$@\"' ";
}

// A failure to create that every later file would meet too stops the run
// with status 1 and one message (and the system's reason), rather than one
// per file: the descriptor limit, no space (no inode left), a read-only
// file system. A subdirectory's creation stands for its files.
TEST(HostFaults, WholeRunHostFailures)
{
    if (windowsHost()) {
        GTEST_SKIP() << "ulimit and mount namespaces are Linux's";
    }
    const std::vector<DiskModel> disks = {diskA(), diskA()};
    const bool mounts = privateMounts();
    const struct {
        const char* what;
        std::string setup;
        bool subdirectories;
        bool needsMount;
        std::string err;
        std::size_t listedImages; // images whose lines were shown
        std::size_t listedFiles;  // files listed in the last of them
    } rows[] = {
        // Descriptors 0-2 and the D88 file take four; with subdirectories the
        // way back takes the fifth. Any the test runner left open are closed.
        {"the descriptor limit, -d", "exec 3>&- 4>&-; ulimit -n 4; ", false, false,
         format(d88::kHostFull.shiftJis, 0, kGame), 1, 0},
        {"the descriptor limit", "exec 3>&- 4>&-; ulimit -n 5; ", true, false,
         format(d88::kHostFullSubdirectory.shiftJis, 0, "000"), 1, 0},
        // The mount's root takes one inode, GAME and DATA.BIN the others.
        {"no inode left, -d", onTmpfs("size=1m,nr_inodes=3"), false, true,
         format(d88::kHostFull.shiftJis, 0, "LATE"), 1, 2},
        {"a read-only file system, -d", onTmpfs("ro"), false, true,
         format(d88::kHostFull.shiftJis, 0, kGame), 1, 0},
        {"a read-only file system", onTmpfs("ro"), true, true,
         format(d88::kHostFullSubdirectory.shiftJis, 0, "000"), 1, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.needsMount && !mounts) {
            std::printf("skipped: %s (no private mounts here)\n", row.what);
            continue;
        }
        Scratch scratch;
        scratch.input(d88build::concat({build(disks[0]), build(disks[1])}));
        std::vector<std::string> args = {"../in.d88"};
        if (!row.subdirectories) {
            args.push_back("-d");
        }
        const Result r = scratch.run(args, "LANG=C", row.setup);
        std::vector<DiskModel> listed(disks.begin(),
                                      disks.begin() + static_cast<long>(row.listedImages));
        listed.back().files.resize(row.listedFiles);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, expected(listed, row.subdirectories, false, {}).first);
        EXPECT_EQ(r.err, row.err);
        EXPECT_EQ(r.details.size(), 1u);
    }
}

// Whatever the descriptor limit, a run writes every file or stops at once
// with status 1 and one message (with its reason), having written no file
// and made at most the one subdirectory it could not enter: never a message
// and an empty subdirectory for each image.
TEST(HostFaults, EveryDescriptorLimitStopsOnceOrExtractsAll)
{
    if (windowsHost()) {
        GTEST_SKIP() << "ulimit is Linux's";
    }
    const std::vector<DiskModel> disks = {diskA(), diskA(), diskA()};
    const Bytes input = d88build::concat({build(disks[0]), build(disks[1]), build(disks[2])});
    const struct {
        const char* what;
        std::vector<std::string> options;
        bool subdirectories;
        const char* outputDirectory; // under the working directory
    } modes[] = {
        {"subdirectories", {}, true, ""},
        {"-d", {"-d"}, false, ""},
        {"-o NEW", {"-o", "NEW"}, true, "NEW"},
    };
    int extracted = 0;
    int stopped = 0;
    for (const auto& mode : modes) {
        for (int limit = 3; limit <= 10; ++limit) {
            SCOPED_TRACE(format("%s, ulimit -n %d", mode.what, limit));
            Scratch scratch;
            scratch.input(input);
            std::vector<std::string> args = {"../in.d88"};
            args.insert(args.end(), mode.options.begin(), mode.options.end());
            // Any descriptor the test runner left open is closed first.
            const Result r = scratch.run(
                args, "LANG=C",
                format("exec 3>&- 4>&- 5>&- 6>&- 7>&- 8>&- 9>&-; ulimit -n %d; ", limit));
            // With only the standard streams allowed, the dynamic loader
            // cannot open the shared libraries: the tool never starts.
            if (limit == 3 && r.status == 127 &&
                r.err.find("error while loading shared libraries") != std::string::npos) {
                std::printf("ulimit -n 3: the loader cannot start the tool\n");
                continue;
            }
            const fs::path out = scratch.out() / mode.outputDirectory;
            const Tree tree = fs::exists(out) ? listTree(out) : Tree{};
            if (r.status == 1) {
                ++stopped;
                EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
                EXPECT_EQ(r.details.size(), 1u);
                int directories = 0;
                for (const auto& [path, bytes] : tree) {
                    EXPECT_TRUE(path.ends_with("/")) << "a file written: " << path;
                    directories += path.ends_with("/");
                }
                EXPECT_LE(directories, 1);
            } else {
                ++extracted;
                // Under "-d" each image's files replace the last one's.
                EXPECT_EQ(r.status, mode.subdirectories ? 0 : 2);
                EXPECT_EQ(r.err, mode.subdirectories ? "" : replacedLines(disks, false));
                expectTree(tree, expected(disks, mode.subdirectories, false, {}).second);
            }
        }
    }
    // The limits reach both ways out.
    EXPECT_GT(extracted, 0);
    EXPECT_GT(stopped, 0);
}

// The reason shown is that of the call that failed: a "-o" directory or a
// subdirectory that cannot be made on a read-only file system is said to be
// on one, not to be missing when it is then entered.
TEST(HostFaults, ReasonIsTheFailingCalls)
{
    if (windowsHost() || !privateMounts()) {
        GTEST_SKIP() << "needs a private read-only mount (Linux)";
    }
    const struct {
        const char* what;
        std::vector<std::string> options;
        int status;
        std::string err;
        std::string detail;
    } rows[] = {
        {"-o NEW",
         {"-o", "NEW"},
         1,
         format(d88::kCannotEnterOutput.shiftJis, "NEW"),
         "NEW: Read-only file system"},
        {"a subdirectory",
         {},
         1,
         format(d88::kHostFullSubdirectory.shiftJis, 0, "000"),
         "000: Read-only file system"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Scratch scratch;
        scratch.input(build(diskA()));
        std::vector<std::string> args = {"../in.d88"};
        args.insert(args.end(), row.options.begin(), row.options.end());
        const Result r = scratch.run(args, "LANG=C", onTmpfs("ro"));
        EXPECT_EQ(r.status, row.status);
        EXPECT_EQ(r.err, row.err);
        EXPECT_EQ(r.details, std::vector<std::string>{row.detail});
    }
}

// With the standard streams closed, no output file takes their numbers:
// the tree holds exactly the disk's bytes, no console text.
TEST(HostFaults, ClosedStandardStreams)
{
    if (windowsHost()) {
        GTEST_SKIP() << "a Windows process gets its standard handles from the system";
    }
    const std::vector<DiskModel> disks = {diskA(), diskA()};
    for (const char* closing : {"exec <&- >&- 2>&-; ", "exec >&-; ", "exec 2>&-; "}) {
        SCOPED_TRACE(closing);
        Scratch scratch;
        scratch.input(d88build::concat({build(disks[0]), build(disks[1])}));
        const Result r = scratch.run({"../in.d88", "-d"}, "LANG=C", closing);
        EXPECT_EQ(r.status, 2); // the second image's files replace the first's
        expectTree(listTree(scratch.out()), expected(disks, false, false, {}).second);
    }
}

// Killed by SIGINT, SIGTERM or SIGHUP at many moments, into an empty tree
// and over a complete earlier one: every file present is whole (the new
// one, or the earlier one it was to replace), and no temporary file is left.
TEST(HostFaults, InterruptedAtManyMoments)
{
    if (windowsHost()) {
        GTEST_SKIP() << "sends POSIX signals";
    }
    Scratch scratch(manyFilesBase());
    const DiskModel now = manyFiles(0x1000), before = manyFiles(0x2000);
    constexpr std::size_t kImages = 64;
    scratch.input(d88build::concat(std::vector<Bytes>(kImages, build(now))));
    const std::vector<DiskModel> nowDisks(kImages, now), beforeDisks(kImages, before);
    const Tree nowTree = expected(nowDisks, true, false, {}).second;
    const Tree beforeTree = expected(beforeDisks, true, false, {}).second;
    const fs::path root = scratch.out().parent_path();
    d88build::writeFile(root / "before.d88",
                        d88build::concat(std::vector<Bytes>(kImages, build(before))));
    const int signals[] = {SIGINT, SIGTERM, SIGHUP};
    int interrupted = 0;
    for (int moment = 0; moment < 36; ++moment) {
        const int signal = signals[moment % 3];
        const bool over = moment % 2 == 1;
        SCOPED_TRACE(format("%s after %d ms%s", strsignal(signal), moment * 2,
                            over ? ", over an earlier tree" : ""));
        fs::remove_all(scratch.out());
        fs::create_directory(scratch.out());
        const std::string cd = "cd " + quote(scratch.out()) + "; ";
        if (over) {
            ASSERT_EQ(std::system((cd + tool() + " ../before.d88 >/dev/null 2>&1").c_str()), 0);
        }
        // Job control keeps the signals the tool gets from being ignored.
        const std::string line =
            "bash -c " +
            quote("set -m; " + cd + tool() + " ../in.d88 >/dev/null 2>&1 & pid=$!; sleep " +
                  format("%d.%03d", moment * 2 / 1000, moment * 2 % 1000) + "; kill -" +
                  std::to_string(signal) + " $pid 2>/dev/null; wait $pid; echo $? >../rc");
        ASSERT_EQ(std::system(line.c_str()), 0);
        const int rc = std::stoi(readText(root / "rc"));
        EXPECT_TRUE(rc == 0 || rc == 128 + signal) << rc;
        interrupted += rc == 128 + signal;
        const std::vector<Tree> versions =
            over ? std::vector<Tree>{nowTree, beforeTree} : std::vector<Tree>{nowTree};
        EXPECT_EQ(checkTree(scratch.out(), versions), "");
    }
    // Not a test of anything unless some runs were cut short.
    EXPECT_GT(interrupted, 0);
    std::printf("%d of 36 runs interrupted\n", interrupted);
}

// Started under nohup, the run keeps SIGHUP ignored from its first moment
// to its last: hang-ups sent while it runs end nothing, and every file is
// written whole. Its listing goes to a FIFO read only once the hang-ups are
// sent, so the run, which lists more than the FIFO holds, is still going.
TEST(HostFaults, HangupsIgnoredUnderNohup)
{
    if (windowsHost()) {
        GTEST_SKIP() << "sends POSIX signals";
    }
    Scratch scratch(manyFilesBase());
    const std::vector<DiskModel> disks(64, manyFiles(0x1000));
    scratch.input(d88build::concat(std::vector<Bytes>(disks.size(), build(disks[0]))));
    const auto [listing, tree] = expected(disks, true, false, {});
    ASSERT_GT(listing.size(), 2u * 65536); // twice what a Linux pipe holds
    const fs::path root = scratch.out().parent_path();
    // The hang-ups begin once the run has made its first subdirectory.
    const std::string line =
        "bash -c " +
        quote("unset LANGUAGE LC_ALL LC_MESSAGES LC_CTYPE; export LANG=C; cd " +
              quote(scratch.out()) + " && mkfifo ../fifo && { nohup " + tool() +
              " ../in.d88 </dev/null >../fifo 2>../err & pid=$!; } && exec 3<../fifo && "
              "until [ -e 000 ] || ! kill -0 $pid 2>/dev/null; do :; done; sent=0; "
              "while [ $sent -lt 100 ] && kill -HUP $pid 2>/dev/null; do sent=$((sent + 1)); "
              "done; cat <&3 >../out.txt; wait $pid; echo $? $sent >../rc");
    ASSERT_EQ(std::system(line.c_str()), 0);
    int status = -1, sent = 0;
    std::istringstream(readText(root / "rc")) >> status >> sent;
    EXPECT_EQ(sent, 100);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readText(root / "err"), "");
    EXPECT_EQ(readText(root / "out.txt"), listing);
    expectTree(listTree(scratch.out()), tree);
}

// Two runs of different disks with the same names into one directory, at
// once, many times: every file is wholly one disk's, and no temporary file
// is left.
TEST(HostFaults, TwoRunsIntoOneDirectory)
{
    if (windowsHost()) {
        GTEST_SKIP() << "runs two tools at once through a POSIX shell";
    }
    Scratch scratch(manyFilesBase());
    const DiskModel first = manyFiles(0x3000), second = manyFiles(0x4000);
    const fs::path root = scratch.out().parent_path();
    // Each run replaces each name three times over.
    d88build::writeFile(root / "first.d88", d88build::concat(std::vector<Bytes>(4, build(first))));
    d88build::writeFile(root / "second.d88",
                        d88build::concat(std::vector<Bytes>(4, build(second))));
    const std::vector<Tree> versions = {expected({first}, false, false, {}).second,
                                        expected({second}, false, false, {}).second};
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        const std::string line = "cd " + quote(scratch.out()) + " && { " + tool() +
                                 " ../first.d88 -d >/dev/null 2>&1 & " + tool() +
                                 " ../second.d88 -d >/dev/null 2>&1 & wait; }";
        ASSERT_EQ(std::system(line.c_str()), 0);
        EXPECT_EQ(checkTree(scratch.out(), versions), "");
        EXPECT_EQ(listTree(scratch.out()).size(), first.files.size());
    }
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

// A numbered subdirectory that is a link elsewhere (another user's
// "000 -> /home/victim" in a shared directory) is not entered: that image's
// files are not written, the link and its target are left alone, and the
// run goes on with the next image.
TEST(HostFaults, SubdirectoryLinkIsNotEntered)
{
    if (windowsHost()) {
        GTEST_SKIP() << "wine shows a Linux link to a directory as the directory itself; the "
                        "Windows tool refuses a reparse point, which wine cannot plant";
    }
    const std::vector<DiskModel> disks = {diskA(), diskC()};
    Scratch scratch;
    scratch.input(d88build::concat({build(disks[0]), build(disks[1])}));
    const fs::path elsewhere = scratch.out() / ".." / "elsewhere";
    fs::create_directory(elsewhere);
    d88build::writeFile(elsewhere / onDisk(disks[0].files[0]), Bytes(7, 'v'));
    fs::create_directory_symlink("../elsewhere", scratch.out() / "000");

    const Result r = scratch.run({"../in.d88"}, "LANG=C");
    auto [out, tree] = expected(disks, true, false, {});
    std::vector<DiskModel> listed = disks;
    listed[0].files.clear(); // not written, so not listed
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, expected(listed, true, false, {}).first);
    EXPECT_EQ(r.err, format(d88::kCannotEnterSubdirectory.shiftJis, 0, "000") +
                         replacedLines(disks, true));
    EXPECT_EQ(r.details.size(), 1u);
    EXPECT_TRUE(fs::is_symlink(scratch.out() / "000"));
    std::erase_if(tree, [](const auto& entry) { return entry.first.starts_with("000/"); });
    fs::remove(scratch.out() / "000");
    expectTree(listTree(scratch.out()), tree);
    expectTree(listTree(elsewhere), {{onDisk(disks[0].files[0]), Bytes(7, 'v')}});
}

// Every lookup in a D88 file seeks: a pipe cannot be read as one, and is
// refused as a file that cannot be opened rather than read as no image,
// without waiting for a writer.
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
        // Opening it for reading would wait for a writer for ever.
        {"a named pipe nobody writes", "mkfifo ../in.pipe && timeout 20 ", "../in.pipe"},
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
    EXPECT_EQ(r.err, replacedLines(disks, true) + d88::kConsoleLost.shiftJis);
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

// ---- An input cut short -----------------------------------------------------

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
    int status = 0;
    {
        const RedirectedStreams redirected("/dev/null", errPath.c_str());
        const fs::path start = fs::current_path();
        fs::current_path(dir);
        const std::string path = input.string();
        const char* argv[] = {"d88unpack", path.c_str()};
        status = d88::runExtraction(workspace, 2, argv);
        fs::current_path(start);
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

// The lengths to cut `whole` to, the images beginning at `starts`: every
// offset of each image's header and of each sector record's header with
// the byte on either side, and of each record's data its middle and last
// byte. A cut elsewhere in the data loses the same as its neighbours; the
// fuzzer, seeded with a cut in each place (fuzz/corpus/cut-*), tries them.
std::set<std::size_t> cutLengths(const Bytes& whole, const std::vector<std::size_t>& starts)
{
    std::set<std::size_t> lengths = {whole.size()};
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : whole.size();
        std::size_t record = starts[i] + d88::kImageHeaderSize;
        for (std::size_t length = starts[i]; length <= record; ++length) {
            lengths.insert(length);
        }
        while (record + d88::kSectorHeaderSize <= end) {
            const std::size_t data = record + d88::kSectorHeaderSize;
            const std::size_t size = whole[record + d88::kDataSizeOffset] |
                                     whole[record + d88::kDataSizeOffset + 1] << 8;
            for (std::size_t length = record - 1; length <= data + 1; ++length) {
                lengths.insert(length);
            }
            lengths.insert({data + size / 2, data + size - 1});
            record = data + size;
        }
    }
    return lengths;
}

// Whatever the offset (see cutLengths): no crash, nothing outside the images found, every file
// written is the intact one or the intact one with lost sectors as zeros
// (then reported by name), every file missing from an image that was found is
// explained by a line about that image, and status 2 exactly when something
// was reported. Every byte of the file is needed, so every cut loses
// something and is reported, except one between the two images.
TEST(HostFaults, InputCutShort)
{
    if (windowsHost()) {
        GTEST_SKIP() << "runs the extraction in-process: it tests the Linux build";
    }
    const auto [disks, whole, second] = cutInput();
    const Tree intact = expected(disks, true, false, {}).second;
    constexpr std::size_t kHeader = 688;

    // Hundreds of runs: on a memory file system when there is one.
    const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
    const fs::path root = base / format("d88unpack-cut-%d", static_cast<int>(::getpid()));
    const fs::path input = root / "in.d88", out = root / "out";
    fs::create_directories(out);
    // Removed however the test ends.
    const std::unique_ptr<const fs::path, void (*)(const fs::path*)> cleanup(
        &root, [](const fs::path* p) { fs::remove_all(*p); });
    d88build::writeFile(input, whole);

    const std::set<std::size_t> lengths = cutLengths(whole, {0, second});
    std::printf("%zu of %zu lengths\n", lengths.size(), whole.size() + 1);
    // Longest first: the file is cut shorter each time.
    for (auto cut = lengths.rbegin(); cut != lengths.rend(); ++cut) {
        const std::size_t length = *cut;
        fs::resize_file(input, length);
        const auto [status, err] = extractHere(out, input);
        const Tree got = listTree(out);
        if (length < kHeader) {
            // No complete image header: not a D88 file, and nothing is made.
            const std::string refused =
                format(d88::textFor(d88::kNotD88File, kEncoding), input.c_str());
            ASSERT_TRUE(status == 1 && err == refused && got.empty())
                << "cut at " << length << ": status " << status << ", stderr:\n"
                << err;
            continue;
        }
        const int found = length >= second + kHeader ? 2 : 1;
        // A cut anywhere past the first header is reported: in the second as
        // trailing bytes, elsewhere as an image cut short. Only a cut between
        // the images leaves a well-formed file.
        const bool silent = length == whole.size() || length == second;
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
