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
#include "command_test_support.h"
#include "console_text.h"
#include "d88_builder.h"
#include "fake_host.h"
#include "report.h"

namespace {

using d88::host::NameRules;
using d88build::Bytes;
using d88build::DiskBuilder;
using fakehost::Call;

using commandtest::Outcome;
using commandtest::run;

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
    const std::string writeFailed = said(d88::kWriteFailed);
    const struct {
        const char* what;
        Call call;
        int nth;
        std::vector<const char*> options;
        int status;
        std::string err;
        std::vector<std::string> closedFiles; // created, closed and kept, in order
        std::string endsIn = "";              // the working directory at the end
        int error = 0;                        // the failure's errno, when not the call's own
        std::vector<std::string> directories = {"000", "001"}; // left by the run
    } rows[] = {
        {"a write fails: stop",
         Call::Write,
         2,
         {},
         1,
         writeFailed + detail("000/DATA", ENOSPC),
         {"000/GAME"},
         "",
         0,
         {"000"}},
        {"a close fails: stop",
         Call::Close,
         2,
         {},
         1,
         writeFailed + detail("000/DATA", EIO),
         {"000/GAME"},
         "",
         0,
         {"000"}},
        // Every file is made under a temporary name first: the refusal was
        // about that name.
        {"a create fails: go on",
         Call::Create,
         1,
         {"-d"},
         2,
         said(d88::kCannotCreateFile, 0, "GAME") + detail(".d88unpack-tmp-4242", EACCES),
         {"DATA", "ONE"},
         "",
         0,
         {}},
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
        // Nor made: the run leaves no empty subdirectory behind.
        {"the way back cannot be kept: no subdirectory made or entered",
         Call::Remember,
         1,
         {},
         2,
         said(d88::kCannotKeepStart) + detail(".", EACCES) +
             said(d88::kCannotEnterSubdirectory, 0, "000") +
             said(d88::kCannotEnterSubdirectory, 1, "001"),
         {},
         "",
         EACCES,
         {}},
        {"the way back cannot be kept for want of a descriptor: stop",
         Call::Remember,
         1,
         {},
         1,
         said(d88::kCannotKeepOutput) + detail(".", EMFILE),
         {},
         "",
         EMFILE,
         {}},
        // The reason is the making's, not the entering's that only finds
        // nothing there.
        {"a subdirectory cannot be made",
         Call::MakeDirectory,
         1,
         {},
         2,
         said(d88::kCannotEnterSubdirectory, 0, "000") + detail("000", EACCES),
         {"001/ONE"},
         "",
         EACCES,
         {"001"}},
        {"no subdirectory can be made: stop",
         Call::MakeDirectory,
         1,
         {},
         1,
         said(d88::kHostFullSubdirectory, 0, "000") + detail("000", EROFS),
         {},
         "",
         EROFS,
         {}},
        {"the output directory cannot be made",
         Call::MakeDirectory,
         1,
         {"-o", "NEW"},
         1,
         said(d88::kCannotEnterOutput, "NEW") + detail("NEW", EROFS),
         {},
         "",
         EROFS,
         {}},
        {"the way back fails: stop",
         Call::ReturnTo,
         1,
         {},
         1,
         said(d88::kCannotReturn) + detail(".", ENOENT),
         {"000/GAME", "000/DATA"},
         "000",
         0,
         {"000"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fakehost::reset();
        fakehost::failOn(row.call, row.nth, row.error);
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
        EXPECT_EQ(fakehost::directories(), row.directories);
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
    EXPECT_EQ(outcome.err, said(d88::kFileSectorsLost, 0, "LOST", 1) + said(d88::kWriteFailed) +
                               detail("NEXT", ENOSPC));
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
        EXPECT_EQ(outcome.err, said(d88::kWriteFailed) + detail("000/DATA", row.error));
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
// a new name is given to the temporary file by a move that replaces nothing.
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
    // GAME's temporary file is renamed over the old one, and ONE's moved to
    // its free name; DATA's name, a FIFO's, is not opened at all.
    EXPECT_EQ(fakehost::calls(Call::Rename), 1);
    EXPECT_EQ(fakehost::calls(Call::Move), 1);
    EXPECT_EQ(fakehost::calls(Call::Create), 2);
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

// An interruption at any step of making a file, from opening its temporary
// name to its move into place, removes the temporary file and nothing else:
// an earlier file of its name is untouched, and no name is left to the file
// unfinished; then the process ends by the signal. One during the open
// waits for the open's outcome.
TEST_F(Command, InterruptionRemovesTheUnfinishedFile)
{
    const std::vector<std::uint8_t> earlier(9, 'e');
    const int signals[] = {SIGINT, SIGTERM, SIGHUP};
    int round = 0;
    for (const bool existed : {false, true}) {
        // DATA's call of each step: the second of its kind, but for a
        // replacement's rename, the run's first (GAME's name is new).
        const Call moveCall = existed ? Call::Rename : Call::Move;
        for (const Call call : {Call::Create, Call::Write, Call::SetTime, Call::Close, moveCall}) {
            const int signal = signals[round++ % 3];
            SCOPED_TRACE(std::string(existed ? "replacing, " : "new, ") + "call " +
                         std::to_string(static_cast<int>(call)) + ", " + strsignal(signal));
            fakehost::reset();
            if (existed) {
                fakehost::plantFile("000/DATA", earlier);
            }
            fakehost::interrupt(call, call == Call::Rename ? 1 : 2, signal);
            run(twoImages(), {"-t"});
            EXPECT_EQ(fakehost::endedBy(), signal);
            // DATA's record: its temporary file, made after GAME's.
            const fakehost::File& data = fakehost::files()[existed ? 2 : 1];
            EXPECT_NE(data.path.find(d88::host::kTemporaryPrefix), std::string::npos);
            EXPECT_TRUE(data.removed);
            Tree want = {{"000/GAME", fakehost::files()[existed ? 1 : 0].bytes}};
            if (existed) {
                want["000/DATA"] = earlier;
            }
            EXPECT_EQ(fakehost::tree(), want);
        }
    }
}

// Files another run of the tool puts in place while this one works (its
// own complete files renamed over this run's names) all survive this run
// being interrupted at any moment: what this run removes is only ever its
// own temporary file. Not interrupted, it leaves every name to a whole file
// of one run or the other.
TEST_F(Command, AnotherRunsFilesSurviveAnInterruption)
{
    const Tree others = {{"000/GAME", std::vector<std::uint8_t>(11, 'b')},
                         {"000/DATA", std::vector<std::uint8_t>(12, 'b')},
                         {"001/ONE", std::vector<std::uint8_t>(13, 'b')}};
    // The calls a whole run makes, by kind.
    run(twoImages(), {"-t"});
    std::map<Call, int> made;
    for (int kind = 0; kind <= static_cast<int>(Call::Look); ++kind) {
        made[static_cast<Call>(kind)] = fakehost::calls(static_cast<Call>(kind));
    }
    const Tree ours = fakehost::tree();
    const int signals[] = {SIGINT, SIGTERM, SIGHUP};
    int moments = 0;
    for (const auto& [call, count] : made) {
        for (int nth = 1; nth <= count; ++nth) {
            for (const bool interrupted : {true, false}) {
                SCOPED_TRACE("call " + std::to_string(static_cast<int>(call)) + " #" +
                             std::to_string(nth) + (interrupted ? ", interrupted" : ""));
                fakehost::reset();
                fakehost::whenCalled(call, nth, [&] {
                    for (const auto& [path, bytes] : others) {
                        fakehost::plantFile(path, bytes);
                    }
                });
                const int signal = signals[moments % 3];
                if (interrupted) {
                    fakehost::interrupt(call, nth, signal);
                    ++moments;
                }
                run(twoImages(), {"-t"});
                EXPECT_EQ(fakehost::endedBy(), interrupted ? signal : 0);
                const Tree tree = fakehost::tree();
                for (const auto& [path, bytes] : others) {
                    ASSERT_TRUE(tree.contains(path)) << path;
                    if (interrupted) {
                        EXPECT_EQ(tree.at(path), bytes) << path;
                    } else {
                        EXPECT_TRUE(tree.at(path) == bytes || tree.at(path) == ours.at(path))
                            << path;
                    }
                }
                EXPECT_EQ(tree.size(), others.size());
            }
        }
    }
    EXPECT_GT(moments, 20);
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
            EXPECT_EQ(outcome.err,
                      said(d88::kHostFull, 0, "GAME") + detail(".d88unpack-tmp-4242", row.error));
            EXPECT_EQ(fakehost::calls(Call::Create), 1);
        } else {
            EXPECT_EQ(outcome.status, d88::kExitDamaged);
            EXPECT_EQ(outcome.err, said(d88::kCannotCreateFile, 0, "GAME") +
                                       detail(".d88unpack-tmp-4242", row.error));
            EXPECT_EQ(fakehost::calls(Call::Create), 3);
        }
    }
}

// "-t" gives each file its time while it is open under its temporary name,
// before it has its own: nothing is done by name once it is in place, where
// the name could meanwhile lead to another file.
TEST_F(Command, TimesAreSetBeforeTheFileHasItsName)
{
    fakehost::plantFile("000/GAME", std::vector<std::uint8_t>(5, 'o'));
    const Outcome outcome = run(twoImages(), {"-t"});
    EXPECT_EQ(outcome.status, d88::kExitSuccess);
    std::vector<std::string> placed;
    for (const fakehost::File& file : fakehost::files()) {
        if (file.timedAs.empty()) {
            continue;
        }
        EXPECT_NE(file.timedAs.find(d88::host::kTemporaryPrefix), std::string::npos);
        placed.push_back(file.path);
    }
    EXPECT_EQ(placed, (std::vector<std::string>{"000/GAME", "000/DATA", "001/ONE"}));
}

// With "-r", each name is gone round once in a directory, not once for each
// file that has it: forty files of one name over ten taken from before look
// at each taken name once, and then at one free name each.
TEST_F(Command, RenameGoesRoundEachNameOnce)
{
    DiskBuilder disk("SAME");
    constexpr int kFiles = 40, kTaken = 10;
    for (int i = 0; i < kFiles; ++i) {
        disk.addFile(i, "SAME", {10 + i}, d88build::withHeader(1, 1, d88build::pattern(20, i)));
    }
    for (int n = 0; n < kTaken; ++n) {
        fakehost::plantFile(n == 0 ? "SAME" : "SAME~" + std::to_string(n), {'o'});
    }
    const Outcome outcome = run(disk.image().build(), {"-d", "-r"});
    EXPECT_EQ(outcome.status, d88::kExitSuccess);
    const Tree tree = fakehost::tree();
    EXPECT_EQ(tree.size(), static_cast<std::size_t>(kFiles + kTaken));
    for (int n = kTaken; n < kTaken + kFiles; ++n) {
        ASSERT_TRUE(tree.contains("SAME~" + std::to_string(n))) << n;
    }
    EXPECT_EQ(fakehost::calls(Call::Look), kTaken + kFiles);
}

// Whatever has a temporary name already, a file or not, is left as it is:
// the next name is taken, and once none is left the file is not made, the
// message naming the temporary name that could not be.
TEST_F(Command, TemporaryNamesTakenAreGoneRound)
{
    const std::vector<std::uint8_t> planted(3, 'p');
    for (const int taken : {1, 2, 15, 16}) {
        SCOPED_TRACE(taken);
        fakehost::reset();
        Tree before;
        for (int n = 0; n < taken; ++n) {
            const std::string path =
                "000/.d88unpack-tmp-4242" + (n == 0 ? std::string() : "-" + std::to_string(n));
            if (n % 2 == 0) {
                fakehost::plantFile(path, planted);
                before[path] = planted;
            } else {
                fakehost::plantOther(path);
            }
        }
        const Outcome outcome = run(twoImages(), {});
        Tree tree = fakehost::tree();
        for (const auto& [path, bytes] : before) {
            ASSERT_TRUE(tree.contains(path)) << path;
            EXPECT_EQ(tree.at(path), bytes);
            tree.erase(path);
        }
        if (taken < 16) {
            EXPECT_EQ(outcome.status, d88::kExitSuccess);
            EXPECT_EQ(outcome.err, "");
            EXPECT_EQ(tree.size(), 3u);
        } else {
            EXPECT_EQ(outcome.status, d88::kExitDamaged);
            EXPECT_EQ(outcome.err, said(d88::kCannotCreateFile, 0, "GAME") +
                                       detail("000/.d88unpack-tmp-4242-15", EEXIST) +
                                       said(d88::kCannotCreateFile, 0, "DATA") +
                                       detail("000/.d88unpack-tmp-4242-15", EEXIST));
            EXPECT_EQ(tree.size(), 1u); // 001/ONE
        }
    }
}

// GAME over clusters 10 and 11, DATA in 12, with a row's changes to the
// disk's layout and then to its image's records.
struct TwoFileDisk {
    DiskBuilder builder;
    Bytes bytes;
};

TwoFileDisk twoFileDisk(void (*shape)(DiskBuilder&), void (*damage)(d88build::ImageBuilder&))
{
    DiskBuilder disk("DISK");
    disk.addFile(0, "GAME", {10, 11},
                 d88build::withHeader(0x6000, 0x6000, d88build::pattern(3000, 1)));
    disk.addFile(1, "DATA", {12}, d88build::withHeader(1, 2, d88build::pattern(100, 2)));
    if (shape != nullptr) {
        shape(disk);
    }
    d88build::ImageBuilder image = disk.image();
    if (damage != nullptr) {
        damage(image);
    }
    return {disk, image.build()};
}

// The directory entry index's name for the check's texts.
const char* const kDirectory = "\x83\x66\x83\x42\x83\x8c\x83\x4e\x83\x67\x83\x8a";

// Each row plants one fault in the two-file disk and says what extraction
// ("-d") and the check ("-c") report, under both hosts' name rules. The
// check writes nothing; extraction writes every chosen file, its header and
// size bytes taken from the clusters of its chain whatever they hold. A
// check that finds nothing says so.
TEST_F(Command, PlantedFaultsAsExtractionAndTheCheckReportThem)
{
    using d88build::ImageBuilder;
    const std::size_t size = twoFileDisk(nullptr, nullptr).bytes.size();
    // The check's error stream when it is extraction's.
    const std::string asExtracted = "(as extracted)";
    const struct {
        const char* what;
        void (*shape)(DiskBuilder&);
        void (*damage)(ImageBuilder&);
        std::string extracted, checked;
        // The clusters of each file written, GAME's then DATA's; none: the
        // bytes are not compared.
        std::vector<std::vector<int>> chains = {{10, 11}, {12}};
        std::vector<const char*> options = {};
        int filesRead = 2; // by a check that finds nothing
    } rows[] = {
        {"nothing planted", nullptr, nullptr, "", ""},
        {"data CRC errors in GAME", nullptr,
         [](ImageBuilder& i) {
             i.find(5, 3)->status = 0xB0;
             i.find(5, 4)->status = 0xB0;
         },
         said(d88::kFileSectorStatus, 0, "GAME", 2, d88::kStatusDataCrcError.shiftJis,
              "C2 H1 R3, C2 H1 R4"),
         asExtracted},
        {"two statuses in one file, and one in the directory", nullptr,
         [](ImageBuilder& i) {
             i.find(37, 2)->status = 0xF0;
             i.find(5, 9)->status = 0x77;
             i.find(5, 1)->status = 0xA0;
         },
         said(d88::kDirectorySectorStatus, 0, 1, d88::kStatusNoDataMark.shiftJis, "C18 H1 R2") +
             said(d88::kFileSectorStatus, 0, "GAME", 1, d88::kStatusIdCrcError.shiftJis,
                  "C2 H1 R1") +
             said(d88::kFileSectorStatus, 0, "GAME", 1,
                  "\x95\x73\x96\xbe\x82\xc8\x83\x58\x83\x65\x81\x5b\x83\x5e\x83\x58"
                  "0x77",
                  "C2 H1 R9"),
         asExtracted},
        {"deleted-data marks: no damage, but noted by the check", nullptr,
         [](ImageBuilder& i) {
             i.find(5, 3)->status = 0x10;
             i.find(5, 4)->deletedMark = 0x10;
         },
         "", said(d88::kDeletedSectors, 0, "GAME", 2, "C2 H1 R3, C2 H1 R4")},
        {"DATA's last cluster runs on into cluster 13",
         [](DiskBuilder& d) { d.setTableByte(12, 0xCA); }, nullptr,
         said(d88::kRunOn, 0, "DATA", 10, 13), asExtracted},
        {"DATA's chain crosses GAME's",
         [](DiskBuilder& d) { d.setTableByte(12, 11); },
         nullptr,
         said(d88::kCrossLinked, 0, "DATA", 11, "GAME"),
         said(d88::kChainTooLong, 0, "DATA", 1) + said(d88::kCrossLinked, 0, "DATA", 11, "GAME"),
         {{10, 11}, {12, 11}}},
        {"GAME's chain runs through the directory track",
         [](DiskBuilder& d) {
             d.setTableByte(10, 74);
             d.setTableByte(74, 11);
         },
         nullptr,
         said(d88::kChainThroughDirectory, 0, "GAME", 74),
         said(d88::kChainTooLong, 0, "GAME", 1) + said(d88::kChainThroughDirectory, 0, "GAME", 74),
         {{10, 74, 11}, {12}}},
        // Extraction's finding first, then the check's more precise one.
        {"a loop", [](DiskBuilder& d) { d.setTableByte(11, 10); }, nullptr,
         said(d88::kChainCut, 0, "GAME"),
         said(d88::kChainCut, 0, "GAME") + said(d88::kChainLoops, 0, "GAME")},
        {"past the disk's last track",
         [](DiskBuilder& d) {
             d.setTableByte(10, 170);
             d.setTableByte(170, 11);
         },
         nullptr,
         said(d88::kFileSectorsLost, 0, "GAME", 8),
         said(d88::kTableBeyondDisk, 0, 10, 170) + said(d88::kFileSectorsLost, 0, "GAME", 8) +
             said(d88::kChainBeyondDisk, 0, "GAME", 170) + said(d88::kChainTooLong, 0, "GAME", 1),
         {}},
        {"a header size beyond the chain",
         nullptr,
         [](ImageBuilder& i) { i.find(5, 1)->data[2] = 0x20; },
         said(d88::kFileShort, 0, "GAME"),
         asExtracted,
         {}},
        {"a chain a cluster too long",
         [](DiskBuilder& d) {
             d.setTableByte(12, 13);
             d.setTableByte(13, 0xC1);
         },
         nullptr, "", said(d88::kChainTooLong, 0, "DATA", 1)},
        {"a table byte beyond the disk", [](DiskBuilder& d) { d.setTableByte(200, 190); }, nullptr,
         "", said(d88::kTableBeyondDisk, 0, 200, 190)},
        {"the same name twice",
         [](DiskBuilder& d) { d.setEntry(1, "GAME", 12, {}); },
         nullptr,
         said(d88::kNameReplaced, 0, "GAME", 0, "GAME"),
         said(d88::kSameName, 0, "GAME", 0),
         {}},
        {"names that meet on the host",
         [](DiskBuilder& d) {
             d.setEntry(0, "A/B", 10, {});
             d.setEntry(1, "A_B", 12, {});
         },
         nullptr,
         said(d88::kNameReplaced, 0, "A_B", 0, "A/B"),
         said(d88::kHostNameCollision, 0, "A_B", "A/B"),
         {}},
        {"names that meet once read (-u)",
         [](DiskBuilder& d) {
             d.setEntry(0, "\x83\x51", 10, {});
             d.setEntry(1, "\x83\x51       ", 12, {});
         },
         nullptr,
         said(d88::kNameReplaced, 0, "ゲ", 0, "ゲ"),
         said(d88::kHostNameCollision, 0, "ゲ", "ゲ"),
         {},
         {"-u"}},
        {"error statuses and deleted marks", nullptr,
         [](ImageBuilder& i) {
             i.find(37, 14)->status = 0xE0;
             i.find(37, 1)->deletedMark = 0x10;
             i.find(6, 1)->status = 0x10;
         },
         said(d88::kTableSectorStatus, 0, 1, d88::kStatusNoAddressMark.shiftJis, "C18 H1 R14"),
         said(d88::kTableSectorStatus, 0, 1, d88::kStatusNoAddressMark.shiftJis, "C18 H1 R14") +
             said(d88::kDeletedSectors, 0, kDirectory, 1, "C18 H1 R1") +
             said(d88::kDeletedSectors, 0, "DATA", 1, "C3 H0 R1")},
        {"a file-like entry after the end mark",
         [](DiskBuilder& d) {
             d.endDirectory(2);
             d.setEntry(3, "HIDDEN", 12, {});
         },
         nullptr, "", said(d88::kEntryAfterEnd, 0, 3, "HIDDEN")},
        {"a size field past the file's end", nullptr,
         [](ImageBuilder& i) { i.diskSize = static_cast<long long>(i.build().size()) + 100; },
         said(d88::kImageCutShort, 0, static_cast<long long>(size) + 100,
              static_cast<long long>(size)),
         asExtracted},
        {"an unreadable table",
         nullptr,
         [](ImageBuilder& i) { i.find(37, 14)->data.resize(10); },
         said(d88::kTableUnreadable, 0),
         said(d88::kTableUnreadableInCheck, 0),
         {}},
        {"a fault in a file left out by -n",
         [](DiskBuilder& d) { d.setTableByte(12, 11); },
         nullptr,
         "",
         "",
         {{10, 11}},
         {"-n", "GAME"},
         1},
    };
    for (const auto& row : rows) {
        for (const NameRules rules : {NameRules::Posix, NameRules::Windows}) {
            SCOPED_TRACE(std::string(row.what) +
                         (rules == NameRules::Posix ? ", POSIX names" : ", Windows names"));
            TwoFileDisk disk = twoFileDisk(row.shape, row.damage);
            std::vector<const char*> options = {"-d"};
            options.insert(options.end(), row.options.begin(), row.options.end());
            fakehost::reset();
            fakehost::useNameRules(rules);
            const Outcome extracted = run(disk.bytes, options);
            EXPECT_EQ(extracted.err, row.extracted);
            EXPECT_EQ(extracted.status,
                      row.extracted.empty() ? d88::kExitSuccess : d88::kExitDamaged);
            const std::vector<fakehost::File>& files = fakehost::files();
            if (!row.chains.empty()) {
                ASSERT_EQ(files.size(), row.chains.size());
            }
            for (std::size_t f = 0; f < files.size() && !row.chains.empty(); ++f) {
                Bytes expected;
                for (const int cluster : row.chains[f]) {
                    for (int k = 0; k < 8; ++k) {
                        const Bytes& sector =
                            disk.builder.sector(cluster >> 1, (cluster & 1) * 8 + 1 + k);
                        expected.insert(expected.end(), sector.begin(), sector.end());
                    }
                }
                expected.resize(f == 0 ? 3006 : 106);
                EXPECT_EQ(files[f].bytes, expected) << files[f].path;
            }

            options[0] = "-c";
            fakehost::reset();
            fakehost::useNameRules(rules);
            const Outcome checked = run(disk.bytes, options);
            const std::string& err = row.checked == asExtracted ? row.extracted : row.checked;
            EXPECT_EQ(checked.err, err);
            EXPECT_EQ(checked.status, err.empty() ? d88::kExitSuccess : d88::kExitDamaged);
            // A check that finds nothing says so, with what it read.
            EXPECT_EQ(checked.out, err.empty() ? said(d88::kCheckClean, 1, row.filesRead) : "");
            EXPECT_TRUE(fakehost::files().empty());
        }
    }
}

// ---- Several D88 files ------------------------------------------------------

using commandtest::runMany;
using Inputs = std::vector<std::pair<std::string, Bytes>>;

// The last line of a run over several D88 files; `kinds` as the line lists
// them, " (sector_missing 1, not_d88 1)".
std::string summary(int files, int whole, int problems, int notRead, long long written,
                    long long bytes, int count, const char* kinds = "")
{
    return said(d88::kRunSummary, files, whole, problems, notRead, written, bytes, count, kinds);
}

// twoImages() as written: GAME, DATA and ONE, with their headers.
constexpr long long kTwoImagesBytes = 3006 + 106 + 56;

// Each row's D88 files go into folders named after them, as the host
// names them, never into one another's.
TEST_F(Command, EachD88FileHasAFolder)
{
    const Bytes two = twoImages();
    const Bytes notD88(100, 'x');
    const std::string whole2 = summary(2, 2, 0, 0, 6, 2 * kTwoImagesBytes, 0);
    const struct {
        const char* what;
        Inputs inputs;
        std::vector<const char*> options;
        std::vector<std::string> files; // regular files after the run
        std::string err;
        std::vector<std::pair<std::string, Bytes>> before = {};
    } rows[] = {
        {"the same name twice: the later gets ~1",
         {{"a/GAME.d88", two}, {"b/GAME.d88", two}},
         {},
         {"GAME/000/DATA", "GAME/000/GAME", "GAME/001/ONE", "GAME~1/000/DATA", "GAME~1/000/GAME",
          "GAME~1/001/ONE"},
         said(d88::kFolderTaken, "b/GAME.d88", "GAME", "GAME~1") + whole2},
        {"a file that is not a D88 file takes no folder",
         {{"a/GAME.d88", notD88}, {"b/GAME.d88", two}},
         {},
         {"GAME/000/DATA", "GAME/000/GAME", "GAME/001/ONE"},
         said(d88::kNotD88File, "a/GAME.d88") +
             summary(2, 1, 0, 1, 3, kTwoImagesBytes, 1, " (not_d88 1)")},
        {"one file with -f, into DIR with its missing parents",
         {{"GAMES.D88", two}},
         {"-f", "-o", "DIR/IN"},
         {"DIR/IN/GAMES/000/DATA", "DIR/IN/GAMES/000/GAME", "DIR/IN/GAMES/001/ONE"},
         summary(1, 1, 0, 0, 3, kTwoImagesBytes, 0)},
        {"-d: the files in the folder itself",
         {{"x.d88", two}, {"y", two}},
         {"-d"},
         {"x/DATA", "x/GAME", "x/ONE", "y/DATA", "y/GAME", "y/ONE"},
         whole2},
        // "..d88" asks for ".", "...d88" for "..": the run's own directory
        // and its parent.
        {"names made safe",
         {{"..d88", two}, {"...d88", two}},
         {"-d"},
         {"_/DATA", "_/GAME", "_/ONE", "__/DATA", "__/GAME", "__/ONE"},
         whole2},
        {"a folder from before is reused",
         {{"a/GAME.d88", two}},
         {"-f"},
         {"GAME/000/DATA", "GAME/000/GAME", "GAME/001/ONE", "GAME/KEEP"},
         summary(1, 1, 0, 0, 3, kTwoImagesBytes, 0),
         {{"GAME/000/GAME", Bytes(5, 'o')}, {"GAME/KEEP", Bytes(3, 'k')}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fakehost::reset();
        for (const auto& [path, bytes] : row.before) {
            fakehost::plantFile(path, bytes);
        }
        const Outcome outcome = runMany(row.inputs, row.options);
        std::vector<std::string> files;
        for (const auto& [path, bytes] : fakehost::tree()) {
            files.push_back(path);
        }
        EXPECT_EQ(files, row.files);
        EXPECT_EQ(outcome.err, row.err);
        EXPECT_EQ(outcome.status, row.err.find("not_d88") != std::string::npos ? 1 : 0);
        const Tree tree = fakehost::tree();
        if (tree.contains("GAME/000/GAME")) {
            EXPECT_EQ(tree.at("GAME/000/GAME").size(), 3006u);
        }
    }
}

// A stop ends its own D88 file and the run goes on; one that every later
// file would meet too ends the run, and the files after it are not read.
// Every line about a file begins with its path; the status is the worst.
TEST_F(Command, StopsOfOneFileAndOfTheRun)
{
    const Bytes two = twoImages();
    DiskBuilder lossy("LOSSY");
    lossy.addFile(0, "LOST", {10}, d88build::withHeader(1, 1, d88build::pattern(600, 1)));
    d88build::ImageBuilder damaged = lossy.image();
    damaged.removeSector(5, 2);
    const Inputs inputs = {{"a.d88", two}, {"b.d88", two}};
    const struct {
        const char* what;
        Call call;
        int error;
        std::vector<const char*> options;
        int status;
        std::string err;
        Inputs inputs = {};
    } rows[] = {
        {"a write fails: that file stops",
         Call::Write,
         EIO,
         {},
         1,
         "a.d88: " + said(d88::kWriteFailed) + detail("a/000/GAME", EIO) +
             summary(2, 1, 1, 0, 3, kTwoImagesBytes, 1, " (write_failed 1)")},
        {"no space: the run stops",
         Call::Write,
         ENOSPC,
         {},
         1,
         "a.d88: " + said(d88::kWriteFailed) + detail("a/000/GAME", ENOSPC) +
             summary(2, 0, 1, 1, 0, 0, 1, " (write_failed 1)")},
        {"the folder cannot be entered: that file stops",
         Call::EnterDirectory,
         ENOTDIR,
         {},
         1,
         "a.d88: " + said(d88::kCannotEnterFolder, "a") + detail("a", ENOTDIR) +
             summary(2, 1, 1, 0, 3, kTwoImagesBytes, 1, " (cannot_enter_folder 1)")},
        {"the output directory cannot be entered: the run stops",
         Call::EnterDirectory,
         ENOTDIR,
         {"-o", "OUT"},
         1,
         "a.d88: " + said(d88::kCannotEnterOutput, "OUT") + detail("OUT", ENOTDIR) +
             summary(2, 0, 1, 1, 0, 0, 1, " (cannot_enter_output 1)")},
        {"damage in one file: status 2",
         Call::SetTime,
         0,
         {},
         2,
         "l.d88: " + said(d88::kFileSectorsLost, 0, "LOST", 1) +
             summary(2, 1, 1, 0, 4, 606 + kTwoImagesBytes, 1, " (sector_missing 1)"),
         {{"l.d88", damaged.build()}, {"b.d88", two}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fakehost::reset();
        fakehost::failOn(row.call, 1, row.error);
        const Outcome outcome = runMany(row.inputs.empty() ? inputs : row.inputs, row.options);
        EXPECT_EQ(outcome.status, row.status);
        EXPECT_EQ(outcome.err, row.err);
        EXPECT_EQ(temporaries(), std::vector<std::string>{});
    }
}

// A selection that finds nothing is said once after the run, counted over
// every file: a pattern or index that one file has is no loss.
TEST_F(Command, SelectionFoundNothingInAnyFile)
{
    DiskBuilder one("ONE");
    one.addFile(0, "SOLO", {10}, d88build::withHeader(1, 1, d88build::pattern(10, 1)));
    const Inputs inputs = {{"a.d88", twoImages()}, {"b.d88", one.image().build()}};
    const struct {
        std::vector<const char*> options;
        std::string unfound;
    } rows[] = {
        {{"-n", "SOLO", "-n", "ONE", "-i", "0", "-i", "1"}, ""},
        // SOLO is in b's image 0, which is not chosen.
        {{"-n", "SOLO", "-n", "ONE", "-i", "1"}, said(d88::kNothingMatched, "SOLO")},
        {{"-n", "NONE", "-n", "SOLO", "-n", "NONE"}, said(d88::kNothingMatched, "NONE")},
        {{"-i", "0", "-i", "2", "-i", "7"},
         said(d88::kNoSuchImage, 2) + said(d88::kNoSuchImage, 7)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.options[1]);
        fakehost::reset();
        const Outcome outcome = runMany(inputs, row.options);
        EXPECT_EQ(outcome.status, row.unfound.empty() ? 0 : 2);
        ASSERT_TRUE(outcome.err.starts_with(row.unfound)) << outcome.err;
        EXPECT_EQ(outcome.err.find('\n'),
                  row.unfound.empty() ? outcome.err.size() - 1 : row.unfound.find('\n'));
    }
}

// Run again over what it extracted, "-k" keeps every file from before: one
// notice for each, as it stands, and status 0.
TEST_F(Command, KeepingWhatIsThereIsNoLoss)
{
    const Inputs inputs = {{"a.d88", twoImages()}, {"b.d88", twoImages()}};
    ASSERT_EQ(runMany(inputs, {}).status, 0);
    const Outcome again = runMany(inputs, {"-k"});
    EXPECT_EQ(again.status, 0);
    std::string kept;
    for (int file = 0; file < 2; ++file) {
        kept += said(d88::kExistingKept, 0, "GAME") + said(d88::kExistingKept, 0, "DATA") +
                said(d88::kExistingKept, 1, "ONE");
    }
    EXPECT_EQ(again.err, kept + summary(2, 2, 0, 0, 0, 0, 0));
}

// Names that are one file on Windows and two on POSIX: letters of either
// case, full-width ones too, and trailing dots and blanks. Extraction and
// the check tell them apart as the host does; ヂ (83 61) and ア (83 41) are
// two names on both, their second bytes no letters.
TEST_F(Command, NamesClashAsTheHostComparesThem)
{
    DiskBuilder disk("NAMES");
    const char* const names[] = {"Name",     "NAME",     "DOT.",     "DOT  ",
                                 "\x83\x61", "\x83\x41", "\x82\x81", "\x82\x60"};
    for (int i = 0; i < 8; ++i) {
        disk.addFile(i, names[i], {10 + i}, d88build::withHeader(1, 1, d88build::pattern(20, i)));
    }
    const Bytes bytes = disk.image().build();
    const struct {
        std::vector<const char*> options;
        std::string onWindows; // nothing on POSIX
    } rows[] = {
        {{"-d"},
         said(d88::kNameReplaced, 0, "NAME", 0, "Name") +
             said(d88::kNameReplaced, 0, "DOT  ", 0, "DOT.") +
             said(d88::kNameReplaced, 0, "\x82\x60", 0, "\x82\x81")},
        {{"-c"},
         said(d88::kHostNameCollision, 0, "NAME", "Name") +
             said(d88::kHostNameCollision, 0, "DOT  ", "DOT.") +
             said(d88::kHostNameCollision, 0, "\x82\x60", "\x82\x81")},
        // Listing only, the names come out as -r would write them.
        {{"-l", "-r"},
         said(d88::kWrittenAs, 0, "NAME", "NAME~1") + said(d88::kWrittenAs, 0, "DOT  ", "DOT  ~1") +
             said(d88::kWrittenAs, 0, "\x82\x60", "\x82\x60~1")},
    };
    for (const auto& row : rows) {
        for (const NameRules rules : {NameRules::Posix, NameRules::Windows}) {
            SCOPED_TRACE(std::string(row.options.back()) +
                         (rules == NameRules::Posix ? ", POSIX" : ", Windows"));
            fakehost::reset();
            fakehost::useNameRules(rules);
            const Outcome outcome = run(bytes, row.options);
            const std::string err = rules == NameRules::Windows ? row.onWindows : "";
            EXPECT_EQ(outcome.err, err);
            // Under -r a clash is no problem.
            const bool problem = !err.empty() && std::string(row.options.back()) != "-r";
            EXPECT_EQ(outcome.status, problem ? d88::kExitDamaged : d88::kExitSuccess);
        }
    }
}

} // namespace
