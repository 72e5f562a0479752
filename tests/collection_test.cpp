// End-to-end tests of runs over several D88 files: their folders, the lines
// naming each file, the summary, mistakes on the command line, worker
// processes that must give what one at a time gives, interruptions, and the
// recipe the README gives for GNU parallel.
#include <nlohmann/json.hpp>
#include <sys/stat.h>

#include <csignal>
#include <sstream>

#include "e2e_support.h"

namespace {

using namespace e2e;

// Writes `bytes` as the D88 file `path`, under `root`.
void put(const fs::path& root, const std::string& path, const Bytes& bytes)
{
    fs::create_directories((root / path).parent_path());
    d88build::writeFile((root / path).string(), bytes);
}

// `tree` as it lies in folder `folder` of the output directory `out`.
Tree inFolder(const std::string& folder, const Tree& tree)
{
    Tree moved = {{folder + "/", {}}};
    for (const auto& [path, bytes] : tree) {
        moved[folder + "/" + path] = bytes;
    }
    return moved;
}

long long bytesOf(const Tree& tree)
{
    long long bytes = 0;
    for (const auto& [path, data] : tree) {
        bytes += static_cast<long long>(data.size());
    }
    return bytes;
}

// GAME's cluster 11 lost in DISK A: sector R 10 of track 5, bytes 2304..2559.
Bytes lossyDiskA(DiskModel& model)
{
    model = diskA();
    std::fill_n(model.files[0].data.begin() + 2304, 256, 0);
    return build(diskA(), nullptr, [](ImageBuilder& im) { im.removeSector(5, 10); });
}

// Two GAME.d88 (the second with a lost sector) and a file that is not a
// D88 file: a folder each, GAME~1 for the second GAME with one notice; each
// listing under a line that names its file; each problem line beginning
// with the file's path, the notice as it stands; the summary last. The
// JSON listing gives each file's records and a total that agrees.
TEST(Collection, FoldersLinesAndSummary)
{
    DiskModel lossy;
    const Bytes lossyBytes = lossyDiskA(lossy);
    const auto setUp = [&](const Scratch& scratch) {
        const fs::path root = scratch.out().parent_path();
        put(root, "a/GAME.d88", build(diskA()));
        put(root, "b/GAME.d88", lossyBytes);
        put(root, "c/pic.d88", Bytes(3000, 0x89));
    };
    const std::vector<std::string> args = {"-o", "OUT", "../a/GAME.d88", "../b/GAME.d88",
                                           "../c/pic.d88"};
    const auto [goodOut, goodTree] = expected({diskA()}, true, false, {});
    const auto [lossyOut, lossyTree] = expected({lossy}, true, false, {});
    Scratch scratch;
    setUp(scratch);
    const Result r = scratch.run(args, "LANG=C");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, format(d88::kFileLine.shiftJis, "../a/GAME.d88", "GAME") + goodOut +
                         format(d88::kFileLine.shiftJis, "../b/GAME.d88", "GAME~1") + lossyOut);
    const long long bytes = bytesOf(goodTree) + bytesOf(lossyTree);
    EXPECT_EQ(r.err, format(d88::kFolderTaken.shiftJis, "../b/GAME.d88", "GAME", "GAME~1") +
                         "../b/GAME.d88: " + format(d88::kFileSectorsLost.shiftJis, 0, kGame, 1) +
                         format(d88::kNotD88File.shiftJis, "../c/pic.d88") +
                         format(d88::kRunSummary.shiftJis, 3, 1, 1, 1, 6LL, bytes, 2,
                                " (sector_missing 1, not_d88 1)"));
    Tree tree = inFolder("OUT/GAME", goodTree);
    tree.merge(inFolder("OUT/GAME~1", lossyTree));
    tree["OUT/"] = {};
    expectTree(listTree(scratch.out()), tree);

    Scratch json;
    setUp(json);
    std::vector<std::string> withJson = args;
    withJson.push_back("-j");
    const Result j = json.run(withJson, "LANG=C");
    EXPECT_EQ(j.status, 1);
    EXPECT_EQ(j.err, r.err);
    std::vector<nlohmann::json> records;
    std::string types;
    std::istringstream lines(j.out);
    for (std::string line; std::getline(lines, line);) {
        records.push_back(nlohmann::json::parse(line));
        types += records.back().at("type").get<std::string>()[0];
    }
    // run, image, file x3, summary; the same; run, summary for pic.d88; total.
    EXPECT_EQ(types, "rifffsrifffsrst");
    ASSERT_EQ(records.size(), types.size());
    EXPECT_EQ(records[6].at("folder"), "GAME~1");
    EXPECT_EQ(records[9].at("path"), "GAME~1/000/DATA.BIN");
    EXPECT_EQ(records[12].at("images"), 1);
    const nlohmann::json& total = records.back();
    EXPECT_EQ(total.at("d88_files"), 3);
    EXPECT_EQ(total.at("read_whole"), 1);
    EXPECT_EQ(total.at("with_problems"), 1);
    EXPECT_EQ(total.at("not_read"), 1);
    EXPECT_EQ(total.at("files_written"), 6);
    EXPECT_EQ(total.at("bytes_written"), bytes);
    EXPECT_EQ(total.at("problem_kinds"),
              nlohmann::json::parse(R"({"sector_missing":1,"not_d88":1})"));
    EXPECT_EQ(total.at("exit_status"), 1);
}

// A D88 file that does not exist, a directory or a FIFO among the D88 files
// is a mistake: named with the system's reason, status 1, and nothing is
// read or written, not even "-o"'s directory.
TEST(Collection, CommandLineMistakesWriteNothing)
{
    const struct {
        const char* what;
        std::vector<std::string> args;
        int named; // lines naming a D88 file that cannot be read
        bool windows = true;
    } rows[] = {
        {"an output directory given without -o", {"../a.d88", "out"}, 1},
        {"a directory", {"../a.d88", "..", "../b.d88"}, 1},
        {"two missing", {"../none.d88", "../a.d88", "../nothing.d88"}, 2},
        {"a FIFO", {"../a.d88", "../fifo"}, 1, false},
        {"one with -f, missing", {"-f", "../none.d88"}, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (windowsHost() && !row.windows) {
            continue;
        }
        Scratch scratch;
        const fs::path root = scratch.out().parent_path();
        put(root, "a.d88", build(diskA()));
        put(root, "b.d88", build(diskA()));
        ASSERT_EQ(::mkfifo((root / "fifo").c_str(), 0600), 0);
        std::vector<std::string> args = {"-o", "DIR"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const Result r = scratch.run(args, "LANG=C");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        std::string named;
        for (int i = 0; i < row.named; ++i) {
            named += sjis(d88::kCannotOpen);
        }
        EXPECT_EQ(r.err, named);
        EXPECT_EQ(r.details.size(), static_cast<std::size_t>(row.named));
        expectTree(listTree(scratch.out()), {});
    }
}

// Runs the tool in `dir` with both streams into one file, as "2>&1" does.
std::pair<int, std::string> runCombined(const fs::path& dir, const std::vector<std::string>& args,
                                        const std::string& setup)
{
    std::string line = "cd " + quote(dir) + " && (export LANG=C; " + setup + tool();
    for (const std::string& arg : args) {
        line += " " + quote(arg);
    }
    const fs::path both = dir.parent_path() / "both";
    line += ") </dev/null >" + quote(both) + " 2>&1";
    const int raw = std::system(line.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readText(both)};
}

// A collection of damaged disks, disks named alike, files that are not D88
// files and a file that cannot be read, extracted one at a time and four at
// a time: both streams, each alone and into one file, the JSON listing and
// the trees are the same, byte for byte.
TEST(Collection, JobsGiveTheSameOutput)
{
    if (windowsHost()) {
        GTEST_SKIP() << "the Windows tool extracts one D88 file at a time";
    }
    DiskModel lossy;
    const Bytes lossyBytes = lossyDiskA(lossy);
    const std::vector<std::pair<std::string, Bytes>> files = {
        {"coll/x/GAME.d88", build(diskA())},
        {"coll/y/GAME.d88", lossyBytes},
        {"coll/x/names.d88", build(diskC())},
        {"coll/notes.d88", Bytes(5000, 'n')},
        {"coll/empty.d88", {}},
        {"coll/locked.d88", build(diskA())},
        {"coll/many.d88", d88build::concat(std::vector<Bytes>(6, build(manyFiles(0x1000))))},
        {"coll/z/GAME.D88",
         build(diskA(), nullptr, [](ImageBuilder& im) { im.removeSector(37, 14); })},
        {"coll/y/two.d88", d88build::concat({build(diskA()), lossyBytes})},
    };
    // As nobody, for whom the locked file cannot be read.
    const std::string setup = "chmod 0755 .. && chmod 0777 . && " + unprivileged();
    std::vector<std::string> paths;
    for (const auto& [path, bytes] : files) {
        paths.push_back("../" + path);
    }
    const auto runAll = [&](const char* jobs, std::vector<std::string> options) {
        Scratch scratch;
        const fs::path root = scratch.out().parent_path();
        for (const auto& [path, bytes] : files) {
            put(root, path, bytes);
        }
        fs::permissions(root / "coll/locked.d88", fs::perms::none);
        options.insert(options.end(), {"-J", jobs});
        options.insert(options.end(), paths.begin(), paths.end());
        const Result separate = scratch.run(options, "LANG=C", setup);
        const Tree tree = listTree(scratch.out());
        fs::remove_all(scratch.out());
        fs::create_directory(scratch.out());
        const auto [status, both] = runCombined(scratch.out(), options, setup);
        return std::tuple{separate, tree, status, both};
    };
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{}, {"-j", "-b"}, {"-l", "-d"}, {"-c"}}) {
        SCOPED_TRACE(options.empty() ? "extract" : options[0]);
        const auto [one, oneTree, oneStatus, oneBoth] = runAll("1", options);
        const auto [four, fourTree, fourStatus, fourBoth] = runAll("4", options);
        EXPECT_EQ(one.status, 1);
        EXPECT_EQ(four.status, one.status);
        EXPECT_EQ(four.out, one.out);
        EXPECT_EQ(four.err, one.err);
        EXPECT_EQ(four.details, one.details);
        EXPECT_EQ(fourStatus, oneStatus);
        EXPECT_EQ(fourBoth, oneBoth);
        expectTree(fourTree, oneTree);
        // The file nobody may read is named, and the run went on past it.
        EXPECT_NE(one.err.find("../coll/locked.d88: "), std::string::npos);
        EXPECT_NE(oneBoth.find("../coll/y/two.d88"), std::string::npos);
    }
}

// Interrupted at many moments while four workers extract, by a signal to
// the tool alone or to its whole process group: every file left is whole,
// no temporary file is left in the tree or where the workers hold their
// output, no worker is left and nothing is written after the tool has
// ended, and it ends by the signal.
TEST(Collection, InterruptedAtManyMoments)
{
    if (windowsHost()) {
        GTEST_SKIP() << "sends POSIX signals";
    }
    Scratch scratch(manyFilesBase());
    const fs::path root = scratch.out().parent_path();
    const DiskModel disk = manyFiles(0x5000);
    constexpr int kFiles = 16;
    std::string paths;
    Tree whole;
    for (int i = 0; i < kFiles; ++i) {
        put(root, format("coll/D%02d.d88", i),
            d88build::concat(std::vector<Bytes>(6, build(disk))));
        paths += format(" ../coll/D%02d.d88", i);
        whole.merge(inFolder(format("D%02d", i),
                             expected(std::vector<DiskModel>(6, disk), true, false, {}).second));
    }
    fs::create_directory(root / "tmp");
    int interrupted = 0;
    for (int moment = 0; moment < 24; ++moment) {
        const int signal = moment % 3 == 0 ? SIGTERM : SIGINT;
        const bool group = moment % 2 == 1;
        SCOPED_TRACE(format("%s to the %s after %d ms", strsignal(signal), group ? "group" : "tool",
                            moment * 3));
        fs::remove_all(scratch.out());
        fs::create_directory(scratch.out());
        // Job control gives the tool a process group of its own, and keeps
        // the signals it gets from being ignored.
        const std::string line =
            "bash -c " +
            quote("set -m; cd " + quote(scratch.out()) + "; TMPDIR=../tmp " + tool() + " -J 4" +
                  paths + " >/dev/null 2>&1 & pid=$!; sleep " + format("0.%03d", moment * 3) +
                  "; kill -" + std::to_string(signal) + (group ? " -$pid" : " $pid") +
                  " 2>/dev/null; wait $pid; echo $? >../rc; ps -o args= -g $pid | grep -F "
                  "coll/D00.d88 >../left || true") +
            " 2>/dev/null";
        ASSERT_EQ(std::system(line.c_str()), 0);
        const int rc = std::stoi(readText(root / "rc"));
        EXPECT_TRUE(rc == 0 || rc == 128 + signal) << rc;
        interrupted += rc == 128 + signal;
        // No worker outlives the tool: nothing of its process group is left
        // (the group's number may have passed to another test's by now).
        EXPECT_EQ(readText(root / "left"), "");
        const Tree after = listTree(scratch.out());
        EXPECT_EQ(checkTree(scratch.out(), {whole}), "");
        EXPECT_TRUE(fs::is_empty(root / "tmp"));
        // A worker left running would go on writing.
        ::usleep(50000);
        EXPECT_EQ(listTree(scratch.out()).size(), after.size());
    }
    EXPECT_GT(interrupted, 0);
    std::printf("%d of 24 runs interrupted\n", interrupted);
}

// The README's recipe for many machines, with GNU parallel's local login
// ":" standing in for them: each D88 file run alone into a folder under the
// path it came from, its JSON records kept in order, its folder returned.
TEST(Collection, GnuParallelRecipe)
{
    if (windowsHost() || std::system("parallel --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "needs GNU parallel and a POSIX shell";
    }
    Scratch scratch;
    const fs::path root = scratch.out().parent_path();
    put(root, "out/coll/a/GAME.d88", build(diskA()));
    put(root, "out/coll/b/GAME.d88", build(diskC()));
    const std::string line =
        "cd " + quote(scratch.out()) +
        " && find coll -iname '*.d88' | sort | parallel --will-cite -k --sshlogin : "
        "--transferfile {} --return got/{//}/{/.} --cleanup " +
        tool() + " -f -j -o got/{//} {} >records.jsonl 2>/dev/null";
    // Its status counts the jobs that failed: b's name clash makes one.
    const int raw = std::system(line.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
    Tree want = inFolder("got/coll/a/GAME", expected({diskA()}, true, false, {}).second);
    want.merge(inFolder("got/coll/b/GAME", expected({diskC()}, true, false, {}).second));
    Tree got;
    for (const auto& [path, bytes] : listTree(scratch.out())) {
        if (path.starts_with("got/coll/")) {
            got[path] = bytes;
        }
    }
    for (const auto& [path, bytes] : want) {
        if (!path.ends_with("/")) {
            EXPECT_EQ(got[path], bytes) << path;
        }
    }
    std::istringstream records(readText(scratch.out() / "records.jsonl"));
    std::vector<std::string> runs;
    for (std::string record; std::getline(records, record);) {
        const nlohmann::json parsed = nlohmann::json::parse(record);
        if (parsed.at("type") == "run") {
            runs.push_back(parsed.at("path").get<std::string>());
        }
    }
    EXPECT_EQ(runs, (std::vector<std::string>{"coll/a/GAME.d88", "coll/b/GAME.d88"}));
}

} // namespace

namespace {

// A worker killed outright (say, by the system out of memory) loses its one
// D88 file, said as a stop of that file; the others are extracted whole, by
// the workers left or by new ones.
TEST(Collection, AKilledWorkerLosesOnlyItsFile)
{
    if (windowsHost()) {
        GTEST_SKIP() << "kills a worker process";
    }
    Scratch scratch(manyFilesBase());
    const fs::path root = scratch.out().parent_path();
    // The first file long enough to be killed in, the others small.
    const DiskModel disk = manyFiles(0x6000);
    put(root, "coll/BIG.d88", d88build::concat(std::vector<Bytes>(64, build(disk))));
    std::string paths = " ../coll/BIG.d88";
    Tree rest;
    for (int i = 0; i < 6; ++i) {
        put(root, format("coll/S%d.d88", i), build(diskA()));
        paths += format(" ../coll/S%d.d88", i);
        rest.merge(inFolder(format("S%d", i), expected({diskA()}, true, false, {}).second));
    }
    // The first worker to show is the one given BIG.d88.
    const std::string line = "cd " + quote(scratch.out()) +
                             " && { unset LANGUAGE LC_ALL LC_MESSAGES LC_CTYPE; LANG=C " + tool() +
                             " -J 2" + paths +
                             " >/dev/null 2>../err & pid=$!; "
                             "for i in $(seq 5000); do worker=$(pgrep -o -P $pid) && break; done; "
                             "kill -KILL $worker; wait $pid; echo $? >../rc; }";
    ASSERT_EQ(std::system(line.c_str()), 0);
    EXPECT_EQ(std::stoi(readText(root / "rc")), 1);
    const std::string err = readText(root / "err");
    EXPECT_TRUE(err.starts_with("../coll/BIG.d88: " + sjis(d88::kWorkerLost))) << err;
    EXPECT_TRUE(err.ends_with(
        format(d88::kRunSummary.shiftJis, 7, 6, 1, 0, 18LL, bytesOf(rest), 1, " (worker_lost 1)")))
        << err;
    Tree got = listTree(scratch.out());
    std::erase_if(got, [](const auto& entry) { return entry.first.starts_with("BIG"); });
    expectTree(got, rest);
}

} // namespace
