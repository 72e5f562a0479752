// The command run in-process over the fake host: failures of the host that
// the operating system cannot easily be made to produce, and how the exit
// status comes out of what was reported.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "command.h"
#include "console_text.h"
#include "d88_builder.h"
#include "fake_host.h"
#include "report.h"

namespace {

using d88build::Bytes;
using d88build::DiskBuilder;
using fakehost::Call;

d88::Workspace workspace;

struct Outcome {
    int status;
    std::string err;
};

std::string readAll(const std::string& path)
{
    const Bytes bytes = d88build::readFile(path);
    return {bytes.begin(), bytes.end()};
}

// Runs the command on `input` with `options`, its standard output thrown
// away and its error stream returned.
Outcome run(const Bytes& input, std::vector<const char*> options)
{
    const std::string base =
        ::testing::TempDir() + "d88unpack-command-" + std::to_string(::getpid());
    const std::string inputPath = base + ".d88", errPath = base + ".err";
    d88build::writeFile(inputPath, input);
    std::vector<const char*> argv = {"d88unpack", inputPath.c_str()};
    argv.insert(argv.end(), options.begin(), options.end());

    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = ::dup(1), savedErr = ::dup(2);
    const int devNull = ::open("/dev/null", O_WRONLY);
    const int errFile = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(devNull, 1);
    ::dup2(errFile, 2);
    const int status = d88::runExtraction(workspace, static_cast<int>(argv.size()), argv.data());
    std::fflush(stdout);
    std::fflush(stderr);
    ::dup2(savedOut, 1);
    ::dup2(savedErr, 2);
    for (int fd : {savedOut, savedErr, devNull, errFile}) {
        ::close(fd);
    }
    const Outcome outcome{status, readAll(errPath)};
    std::remove(inputPath.c_str());
    std::remove(errPath.c_str());
    return outcome;
}

// A message in Shift_JIS with its values, and the detail line that follows
// a failed system call: "  PATH: REASON".
template <typename... Values> std::string said(const d88::ConsoleText& text, Values... values)
{
    char line[512];
    if constexpr (sizeof...(Values) == 0) {
        std::snprintf(line, sizeof line, "%s", text.shiftJis);
    } else {
        std::snprintf(line, sizeof line, text.shiftJis, values...);
    }
    return line;
}

std::string detail(const std::string& path, int error)
{
    return "  " + path + ": " + std::strerror(error) + "\n";
}

// Image 0: GAME (two clusters), then DATA (one); image 1: ONE.
Bytes twoImages()
{
    DiskBuilder first("FIRST");
    first.addFile(0, "GAME", {10, 11},
                  d88build::withHeader(0x6000, 0x6000, d88build::pattern(3000, 1)));
    first.addFile(1, "DATA", {12}, d88build::withHeader(1, 2, d88build::pattern(100, 2)));
    DiskBuilder second("SECOND");
    second.addFile(0, "ONE", {10}, d88build::withHeader(3, 4, d88build::pattern(50, 3)));
    return d88build::concat({first.image().build(), second.image().build()});
}

class Command : public ::testing::Test {
protected:
    void SetUp() override { fakehost::reset(); }
};

// Each row makes one host call fail and says what the run must come to.
TEST_F(Command, HostFailures)
{
    const std::string writeFailed = said(d88::kFileWriteFailed, 0, "DATA");
    const struct {
        const char* what;
        Call call;
        int nth;
        std::vector<const char*> options;
        int status;
        std::string err;
        std::vector<std::string> closedFiles; // created, closed and kept, in order
        std::string endsIn = "";              // the working directory at the end
    } rows[] = {
        {"a write fails: stop",
         Call::Write,
         2,
         {},
         1,
         writeFailed + detail("000/DATA", ENOSPC),
         {"000/GAME"}},
        {"a close fails: stop",
         Call::Close,
         2,
         {},
         1,
         writeFailed + detail("000/DATA", EIO),
         {"000/GAME"}},
        {"a create fails: go on",
         Call::Create,
         1,
         {"-d"},
         2,
         said(d88::kCannotCreateFile, 0, "GAME") + detail("GAME", EACCES),
         {"DATA", "ONE"}},
        {"setting a time fails",
         Call::SetTime,
         2,
         {"-t"},
         2,
         said(d88::kCannotSetTime, 0, "DATA") + detail("000/DATA", EPERM),
         {"000/GAME", "000/DATA", "001/ONE"}},
        {"a subdirectory cannot be entered",
         Call::EnterDirectory,
         1,
         {},
         2,
         said(d88::kCannotEnterSubdirectory, 0, "000") + detail("000", ENOTDIR),
         {"001/ONE"}},
        {"the way back cannot be kept: no subdirectory entered",
         Call::Remember,
         1,
         {},
         2,
         said(d88::kCannotKeepStart) + detail(".", EMFILE) +
             said(d88::kCannotEnterSubdirectory, 0, "000") +
             said(d88::kCannotEnterSubdirectory, 1, "001"),
         {}},
        {"the way back fails: stop",
         Call::ReturnTo,
         1,
         {},
         1,
         said(d88::kCannotReturn) + detail(".", ENOENT),
         {"000/GAME", "000/DATA"},
         "000"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fakehost::reset();
        fakehost::failOn(row.call, row.nth);
        const Outcome outcome = run(twoImages(), row.options);
        EXPECT_EQ(outcome.status, row.status);
        EXPECT_EQ(outcome.err, row.err);
        std::vector<std::string> closed;
        for (const fakehost::File& file : fakehost::files()) {
            // A file whose write or close failed is gone.
            if (file.closed && !file.oversized && !file.removed) {
                closed.push_back(file.path);
            }
        }
        EXPECT_EQ(closed, row.closedFiles);
        EXPECT_EQ(fakehost::workingDirectory(), row.endsIn);
    }
}

// Damage reported before a failed write does not soften the stop.
TEST_F(Command, FatalWinsOverEarlierDamage)
{
    DiskBuilder disk("DAMAGED");
    disk.addFile(0, "LOST", {10}, d88build::withHeader(1, 1, d88build::pattern(600, 1)));
    disk.addFile(1, "NEXT", {12}, d88build::withHeader(2, 2, d88build::pattern(60, 2)));
    d88build::ImageBuilder image = disk.image();
    image.removeSector(5, 2);
    fakehost::failOn(Call::Write, 2);
    const Outcome outcome = run(image.build(), {"-d"});
    EXPECT_EQ(outcome.status, d88::kExitFatal);
    EXPECT_EQ(outcome.err, said(d88::kFileSectorsLost, 0, "LOST", 1) +
                               said(d88::kFileWriteFailed, 0, "NEXT") + detail("NEXT", ENOSPC));
}

// "-b" on a file whose chain holds fewer bytes than a header: nothing is
// written, and nothing is asked of the host beyond the data.
TEST_F(Command, CutHeaderOfAnEmptyChain)
{
    DiskBuilder disk("SHORT");
    disk.addFile(0, "NONE", {10}, d88build::withHeader(1, 1, {}));
    disk.setTableByte(10, 0xC0); // a last cluster of no sectors
    const Outcome outcome = run(disk.image().build(), {"-b", "-d"});
    EXPECT_EQ(outcome.status, d88::kExitDamaged); // shorter than its header says
    ASSERT_EQ(fakehost::files().size(), 1u);
    EXPECT_FALSE(fakehost::files()[0].oversized);
    EXPECT_TRUE(fakehost::files()[0].bytes.empty());
    EXPECT_TRUE(fakehost::files()[0].closed);
}

using Tree = std::map<std::string, std::vector<std::uint8_t>>;

// The names left that a run of this process could have made temporarily.
std::vector<std::string> temporaries()
{
    std::vector<std::string> left;
    for (const auto& [path, bytes] : fakehost::tree()) {
        if (path.find(d88::host::kTemporaryPrefix) != std::string::npos) {
            left.push_back(path);
        }
    }
    return left;
}

// A write, close or rename that fails: the run stops with status 1 and one
// message naming the file, the file is gone, an earlier file of its name is
// as it was, and no temporary file is left.
TEST_F(Command, FailedWritesLeaveNoFile)
{
    const std::vector<std::uint8_t> earlier(77, 'e');
    const struct {
        const char* what;
        bool existed; // 000/DATA was there before the run
        Call call;
        int error;
    } rows[] = {
        {"a new file's write", false, Call::Write, ENOSPC},
        {"a new file's close", false, Call::Close, EIO},
        {"a replacement's write", true, Call::Write, EFBIG},
        {"a replacement's close", true, Call::Close, EDQUOT},
        {"a replacement's rename", true, Call::Rename, EACCES},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fakehost::reset();
        if (row.existed) {
            fakehost::plantFile("000/DATA", earlier);
        }
        // GAME's call comes first, except for the rename only a replacement makes.
        fakehost::failOn(row.call, row.call == Call::Rename ? 1 : 2, row.error);
        const Outcome outcome = run(twoImages(), {});
        EXPECT_EQ(outcome.status, d88::kExitFatal);
        EXPECT_EQ(outcome.err,
                  said(d88::kFileWriteFailed, 0, "DATA") + detail("000/DATA", row.error));
        const Tree tree = fakehost::tree();
        EXPECT_TRUE(tree.contains("000/GAME"));
        EXPECT_EQ(tree.contains("000/DATA"), row.existed);
        if (row.existed && tree.contains("000/DATA")) {
            EXPECT_EQ(tree.at("000/DATA"), earlier);
        }
        EXPECT_FALSE(tree.contains("001/ONE"));
        EXPECT_EQ(temporaries(), std::vector<std::string>{});
    }
}

// An existing name is replaced through a temporary file renamed over it;
// a new name is written in place with nothing more than its create.
TEST_F(Command, ReplacingGoesThroughATemporaryName)
{
    fakehost::plantFile("000/GAME", std::vector<std::uint8_t>(5, 'o'));
    fakehost::plantOther("000/DATA"); // a FIFO, say: never opened
    const Outcome outcome = run(twoImages(), {});
    EXPECT_EQ(outcome.status, d88::kExitDamaged);
    EXPECT_EQ(outcome.err, said(d88::kNotRegularFile, 0, "DATA"));
    const Tree tree = fakehost::tree();
    ASSERT_TRUE(tree.contains("000/GAME"));
    EXPECT_EQ(tree.at("000/GAME").size(), 3006u);
    EXPECT_EQ(fakehost::calls(Call::Rename), 1);
    // GAME's meets the old file, then makes its temporary one; DATA's meets
    // the FIFO; ONE's makes it.
    EXPECT_EQ(fakehost::calls(Call::Create), 4);
    EXPECT_EQ(temporaries(), std::vector<std::string>{});
    EXPECT_EQ(fakehost::files().back().path, "001/ONE");
}

// With "-r" whatever has a name, a file from before or a FIFO, is gone
// round: the file is written under the first free NAME~N, and that is a
// notice, not a problem.
TEST_F(Command, RenameGoesRoundWhateverHasTheName)
{
    fakehost::plantFile("000/GAME", std::vector<std::uint8_t>(5, 'o'));
    fakehost::plantFile("000/GAME~1", std::vector<std::uint8_t>(6, 'o'));
    fakehost::plantOther("000/DATA");
    const Outcome outcome = run(twoImages(), {"-r"});
    EXPECT_EQ(outcome.status, d88::kExitSuccess);
    EXPECT_EQ(outcome.err, said(d88::kWrittenAs, 0, "GAME", "GAME~2") +
                               said(d88::kWrittenAs, 0, "DATA", "DATA~1"));
    const Tree tree = fakehost::tree();
    EXPECT_EQ(tree.at("000/GAME"), std::vector<std::uint8_t>(5, 'o'));
    EXPECT_EQ(tree.at("000/GAME~1"), std::vector<std::uint8_t>(6, 'o'));
    EXPECT_EQ(tree.at("000/GAME~2").size(), 3006u);
    EXPECT_EQ(tree.at("000/DATA~1").size(), 106u);
    EXPECT_EQ(fakehost::calls(Call::Rename), 0);
}

// An interruption mid-write removes the file being written, a new one or a
// replacement's temporary file, and leaves an earlier file untouched; then
// the process ends by the signal. One during the open waits for the open's
// outcome: the file it made is removed, and one that was there is not.
TEST_F(Command, InterruptionRemovesTheUnfinishedFile)
{
    const std::vector<std::uint8_t> earlier(9, 'e');
    for (const Call call : {Call::Create, Call::Write}) {
        for (const bool existed : {false, true}) {
            for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
                SCOPED_TRACE(std::string(call == Call::Create ? "opening, " : "writing, ") +
                             (existed ? "replacing, " : "new, ") + strsignal(signal));
                fakehost::reset();
                if (existed) {
                    fakehost::plantFile("000/DATA", earlier);
                }
                // DATA's: its create after GAME's (the first, or the temporary
                // one after meeting the earlier file), or its write.
                fakehost::interrupt(call, call == Call::Create && existed ? 3 : 2, signal);
                run(twoImages(), {});
                EXPECT_EQ(fakehost::endedBy(), signal);
                // The run's record for DATA: the new file, or the temporary
                // one (the earlier file's record comes first).
                const fakehost::File* data = nullptr;
                for (std::size_t i = existed ? 1 : 0; i < fakehost::files().size(); ++i) {
                    const fakehost::File& file = fakehost::files()[i];
                    if (data == nullptr &&
                        (file.path.ends_with("DATA") ||
                         file.path.find(d88::host::kTemporaryPrefix) != std::string::npos)) {
                        data = &file;
                    }
                }
                ASSERT_NE(data, nullptr);
                EXPECT_TRUE(data->removed);
                const Tree tree = fakehost::tree();
                if (existed) {
                    ASSERT_TRUE(tree.contains("000/DATA"));
                    EXPECT_EQ(tree.at("000/DATA"), earlier);
                }
                EXPECT_EQ(temporaries(), std::vector<std::string>{});
            }
        }
    }
}

// A create failure that every later file would meet too stops the run at
// once with one message; one that belongs to the name does not.
TEST_F(Command, WholeRunCreateFailures)
{
    const struct {
        int error;
        bool wholeRun;
    } rows[] = {
        {ENOSPC, true}, {EROFS, true},   {EDQUOT, true},        {EMFILE, true},
        {ENFILE, true}, {EACCES, false}, {ENAMETOOLONG, false}, {EISDIR, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::strerror(row.error));
        fakehost::reset();
        fakehost::failOn(Call::Create, 1, row.error);
        const Outcome outcome = run(twoImages(), {"-d"});
        if (row.wholeRun) {
            EXPECT_EQ(outcome.status, d88::kExitFatal);
            EXPECT_EQ(outcome.err, said(d88::kHostFull, 0, "GAME") + detail("GAME", row.error));
            EXPECT_EQ(fakehost::calls(Call::Create), 1);
        } else {
            EXPECT_EQ(outcome.status, d88::kExitDamaged);
            EXPECT_EQ(outcome.err,
                      said(d88::kCannotCreateFile, 0, "GAME") + detail("GAME", row.error));
            EXPECT_EQ(fakehost::calls(Call::Create), 3);
        }
    }
}

} // namespace
