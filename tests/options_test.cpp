// The options beyond -d and -b: wildcard and date rules on their own, then
// the built binary end to end with every option and its combinations.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <optional>
#include <set>

#include "e2e_support.h"
#include "disk_layout.h"
#include "command.h"
#include "options.h"
#include "version.h"
#include "name_pattern.h"

namespace {

using namespace e2e;

TEST(NamePattern, Matches)
{
    using Row = std::pair<const char*, const char*>; // pattern, name
    const Row matching[] = {{"GAME", "GAME"},
                            {"", ""},
                            {"*", ""},
                            {"*E", "GAME"},
                            {"*AB", "AAB"},
                            {"?A?E", "GAME"},
                            {"[^F]AME", "GAME"},
                            {"[A-Z]AME", "GAME"},
                            {"[]]", "]"},
                            {"[a-]", "-"},
                            {"A[B", "A[B"},
                            {"\\*", "\\x"},
                            {"[\x80-\xff]?", "\xb1\xb2"}};
    const Row failing[] = {{"game", "GAME"},     {"GAM", "GAME"},
                           {"GAME?", "GAME"},    {"*M", "GAME"},
                           {"A*B*C", "AXBXCX"},  {"[!G]AME", "GAME"},
                           {"[a-z]AME", "GAME"}, {"[!]]", "]"},
                           {"[*]", "x"},         {"*a*a*a*a*a*a*a*a*b", "aaaaaaaaa"}};
    for (const auto& [pattern, name] : matching) {
        EXPECT_TRUE(d88::namePatternMatches(pattern, name, std::strlen(name))) << pattern;
    }
    for (const auto& [pattern, name] : failing) {
        EXPECT_FALSE(d88::namePatternMatches(pattern, name, std::strlen(name))) << pattern;
    }
    // Only the given length of the name counts; a huge pattern stays linear.
    EXPECT_TRUE(d88::namePatternMatches("GAME", "GAME     ", 4));
    const std::string stars(100000, '*');
    EXPECT_FALSE(d88::namePatternMatches((stars + "b").c_str(), "aaaaaaaaa", 9));
    EXPECT_TRUE(d88::namePatternMatches((stars + "a").c_str(), "aaaaaaaaa", 9));
}

TEST(EntryTime, ValidDatesOnly)
{
    const struct {
        Stamp stamp; // printing order, as stored from byte 15 down
        int year;    // 0: not a date
    } rows[] = {{{0x80, 0x01, 0x01, 0x00, 0x00}, 1980}, {{0x99, 0x12, 0x31, 0x23, 0x59}, 1999},
                {{0x79, 0x12, 0x31, 0x23, 0x59}, 2079}, {{0x00, 0x02, 0x29, 0x12, 0x00}, 2000},
                {{0x23, 0x02, 0x29, 0x12, 0x00}, 0},    {{0x24, 0x04, 0x31, 0x12, 0x00}, 0},
                {{0x24, 0x00, 0x01, 0x12, 0x00}, 0},    {{0x24, 0x13, 0x01, 0x12, 0x00}, 0},
                {{0x24, 0x01, 0x00, 0x12, 0x00}, 0},    {{0x24, 0x01, 0x01, 0x24, 0x00}, 0},
                {{0x24, 0x01, 0x01, 0x12, 0x60}, 0},    {{0x24, 0x0A, 0x01, 0x12, 0x00}, 0},
                {{0x2A, 0x01, 0x01, 0x12, 0x00}, 0},    {{0x24, 0x01, 0x01, 0x12, 0x0F}, 0}};
    for (const auto& row : rows) {
        std::uint8_t raw[d88::kEntryBytes] = {'F'};
        for (int i = 0; i < d88::kStampCount; ++i) {
            raw[d88::kStampFirstOffset - i] = row.stamp[static_cast<std::size_t>(i)];
        }
        const d88::EntryTime t = d88::entryTime(d88::decodeEntry(raw));
        EXPECT_EQ(t.valid ? t.year : 0, row.year) << int(row.stamp[0]) << " " << int(row.stamp[1]);
    }
}

std::string fullUsage(const std::string& program, ConsoleEncoding encoding)
{
    std::string usage = format(d88::textFor(d88::kUsageLine, encoding), program.c_str());
    for (const d88::ConsoleText* line :
         {&d88::kUsageNoSubdirectories, &d88::kUsageCutHeader, &d88::kUsageListOnly,
          &d88::kUsageOutputDirectory, &d88::kUsageKeepTimes, &d88::kUsageNamePattern,
          &d88::kUsageImageIndex, &d88::kUsageKeepExisting, &d88::kUsageRename, &d88::kUsageHelp,
          &d88::kUsageVersion}) {
        usage += d88::textFor(*line, encoding);
    }
    return usage;
}

// Help, version and usage errors: nothing is read, nothing created.
TEST(Options, HelpVersionAndUsageErrors)
{
    const std::string usage = fullUsage(D88UNPACK_BINARY, ConsoleEncoding::ShiftJis);
    const std::string needs = sjis(d88::kOptionNeedsValue), bad = sjis(d88::kBadImageIndex);
    std::vector<std::string> patterns = {"../in.d88", "-l"};
    for (int i = 0; i <= d88::kMaxPatterns; ++i) {
        patterns.insert(patterns.end(), {"-n", format("P%d", i)});
    }
    const auto usageError = [&](const std::string& line) { return line + usage; };
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err;
        std::string locale = "LANG=C";
    } rows[] = {
        {{"--help"}, 0, usage, ""},
        {{"-h", "../in.d88", "-o"}, 0, usage, ""},
        {{"-h"}, 0, fullUsage(D88UNPACK_BINARY, ConsoleEncoding::Utf8), "", "LC_ALL=C.UTF-8"},
        {{"--version"}, 0, "d88unpack " D88UNPACK_VERSION "\n", ""},
        {{"../in.d88", "-b", "-o"}, 1, "", usageError(format(needs.c_str(), "-o"))},
        {{"../in.d88", "-n"}, 1, "", usageError(format(needs.c_str(), "-n"))},
        {{"../in.d88", "-i", "0", "-i"}, 1, "", usageError(format(needs.c_str(), "-i"))},
        {{"../in.d88", "-i", "64"}, 1, "", usageError(format(bad.c_str(), "64", 63))},
        {{"../in.d88", "-i", "-1"}, 1, "", usageError(format(bad.c_str(), "-1", 63))},
        {{"../in.d88", "-i", "1x"}, 1, "", usageError(format(bad.c_str(), "1x", 63))},
        {{"../in.d88", "-i", "4294967296"},
         1,
         "",
         usageError(format(bad.c_str(), "4294967296", 63))},
        {patterns, 1, "", usageError(format(sjis(d88::kTooManyPatterns).c_str(), "P32", 32))},
        {{"../none.d88", "-o", "DIR"}, 1, "", sjis(d88::kCannotOpen)},
        {{"../in.d88", "-b", "-o", "no/DIR"},
         1,
         "",
         format(sjis(d88::kCannotEnterOutput).c_str(), "no/DIR")}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.back());
        if (windowsHost() && row.locale != "LANG=C") {
            continue; // the Windows tool follows the console's code page, not the locale
        }
        Scratch scratch;
        scratch.input(build(diskA()));
        const Result r = scratch.run(row.args, row.locale);
        EXPECT_EQ(r.status, row.status);
        if (customCommand() != nullptr) {
            // Another command may see its own path differently.
            EXPECT_TRUE(r.out.ends_with(row.out.substr(row.out.find('\n') + 1))) << r.out;
        } else {
            EXPECT_EQ(r.out, row.out);
            EXPECT_EQ(r.err, row.err);
        }
        expectTree(listTree(scratch.out()), {});
    }
}

// The files of `tree` as they lie under `dir`.
Tree under(const std::string& dir, const Tree& tree)
{
    Tree moved = {{dir + "/", {}}};
    for (const auto& [path, bytes] : tree) {
        moved[dir + "/" + path] = bytes;
    }
    return moved;
}

// Three images: A, an empty one, C (see e2e_support.h). Each row says which
// images and stored names it expects, how and where the files go.
TEST(Options, ChoosingListingAndPlacing)
{
    const std::vector<DiskModel> disks = {diskA(), {"DISK B", "DISK B", {}}, diskC()};
    const Bytes input = d88build::concat({build(disks[0]), build(disks[1]), build(disks[2])});
    std::vector<std::string> thirtyTwo;
    for (int i = 1; i < d88::kMaxPatterns; ++i) {
        thirtyTwo.insert(thirtyTwo.end(), {"-n", "none"});
    }
    thirtyTwo.insert(thirtyTwo.end(), {"-n", "EMPTY"});
    using Names = std::optional<std::set<std::string>>;
    const struct {
        std::vector<std::string> args;
        std::set<int> images;  // empty: all
        Names names;           // stored names kept; none: all
        std::string how;       // d: no subdirectories, b: no headers, l: nothing created
        std::string dir = "";  // where the files go
        std::string keep = ""; // a file made there before the run
    } rows[] = {{{"-l"}, {}, {}, "l"},
                {{"-l", "-d", "-b"}, {}, {}, "ldb"},
                {{"-l", "-o", "DIR"}, {}, {}, "l"},
                {{"-o", "DIR"}, {}, {}, "", "DIR"},
                {{"-d", "-o", "DIR", "-b"}, {}, {}, "db", "DIR"},
                {{"-o", "-d", "-o", "DIR"}, {}, {}, "", "DIR"}, // the last -o; -d was a value
                {{"-o", "DIR"}, {}, {}, "", "DIR", "DIR/KEEP"},
                {{"-i", "2"}, {2}, {}, ""},
                {{"-i", "0", "-d", "-i", "002"}, {0, 2}, {}, "d"},
                {{"-i", "1"}, {1}, {}, ""},
                {{"-i", "5", "-b"}, {5}, {}, "b"},
                {{"-n", "GAME"}, {}, Names({kGame}), ""},
                {{"-n", "T*", "-b", "-n", "[.]*"}, {}, Names({"TWICE", ".", ".."}), "b"},
                {{"-n", "?/B"}, {}, Names({"A/B"}), ""},
                {thirtyTwo, {}, Names({"EMPTY"}), ""},
                {{"-n", "DATA*", "-i", "0", "-l", "-d"}, {0}, Names({"DATA.BIN"}), "ld"},
                {{"-t", "-n", "*E*", "-i", "2", "-b", "-d", "-o", "DIR"},
                 {2},
                 Names({kGame, "TWICE", "EMPTY"}),
                 "db",
                 "DIR"},
                {{"-l", "--help", "-h", "--version"}, {}, {}, "l"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.size() > 4 ? row.args.back() : row.args[0] + " " + row.args.back());
        Scratch scratch;
        scratch.input(input);
        if (!row.keep.empty()) {
            fs::create_directories((scratch.out() / row.keep).parent_path());
            d88build::writeFile(scratch.out() / row.keep, Bytes(3, 'k'));
        }
        const Tree before = listTree(scratch.out());
        std::vector<DiskModel> chosen;
        for (int i = 0; i < static_cast<int>(disks.size()); ++i) {
            if (row.images.empty() || row.images.contains(i)) {
                chosen.push_back(disks[static_cast<std::size_t>(i)]);
                chosen.back().index = i;
                std::erase_if(chosen.back().files, [&](const FileModel& f) {
                    return row.names && !row.names->contains(f.stored);
                });
            }
        }
        const auto has = [&](char c) { return row.how.find(c) != std::string::npos; };
        auto [out, tree] = expected(chosen, !has('d'), has('b'), {});
        if (has('l')) {
            tree = before;
        } else if (!row.dir.empty()) {
            tree = under(row.dir, tree);
            tree.insert(before.begin(), before.end());
        }
        std::vector<std::string> args = {"../in.d88"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const Result r = scratch.run(args, "LANG=C");
        // "-l" says what a run that writes would say.
        const std::string replaced = replacedLines(chosen, !has('d'));
        EXPECT_EQ(r.status, replaced.empty() ? 0 : 2);
        EXPECT_EQ(r.out, out);
        EXPECT_EQ(r.err, replaced);
        expectTree(listTree(scratch.out()), tree);
    }
}

// -l prints what an extraction prints and ends with the same status, also
// on damage found while reading: a lost file sector in image 001, a lost
// cluster table in image 002.
TEST(Options, ListingDamagedImages)
{
    const Bytes input = d88build::concat(
        {build(diskA()), build(diskA(), nullptr, [](ImageBuilder& im) { im.removeSector(5, 10); }),
         build(diskA(), nullptr, [](ImageBuilder& im) { im.removeSector(37, 14); })});
    Scratch extracting, listing;
    extracting.input(input);
    listing.input(input);
    const Result want = extracting.run({"../in.d88", "-b"}, "LANG=C");
    const Result got = listing.run({"../in.d88", "-l", "-b"}, "LANG=C");
    EXPECT_EQ(want.status, 2);
    EXPECT_EQ(got.status, want.status);
    EXPECT_EQ(got.out, want.out);
    EXPECT_EQ(got.err, want.err);
    expectTree(listTree(listing.out()), {});
}

// An existing file named like an option is still the D88 file.
TEST(Options, HelpWordThatNamesAFile)
{
    for (const std::string word : {"-h", "--help", "--version"}) {
        SCOPED_TRACE(word);
        Scratch scratch;
        d88build::writeFile(scratch.out() / word, build(diskA()));
        const Result r = scratch.run({word, "-l", "-d"}, "LANG=C");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, expected({diskA()}, false, false, {}).first);
        EXPECT_EQ(r.err, "");
    }
}

// With -t every file whose entry holds a real date gets it as local time;
// the others keep the time they were written at.
TEST(Options, KeepTimes)
{
    const struct {
        Stamp stamp;
        int year = 0, month = 0, day = 0, hour = 0, minute = 0; // year 0: not a date
    } files[] = {
        {{0x24, 0x03, 0x15, 0x09, 0x30}, 2024, 3, 15, 9, 30},
        {{0x80, 0x01, 0x01, 0x00, 0x00}, 1980, 1, 1, 0, 0},
        {{0x23, 0x02, 0x29, 0x12, 0x00}},
    };
    DiskModel disk = {"TIMES", "TIMES", {}};
    for (int i = 0; i < static_cast<int>(std::size(files)); ++i) {
        disk.files.push_back(file(i, format("F%d", i), "", 0, 0, 10, {i + 4}, files[i].stamp));
    }
    const std::time_t startOfRun = std::time(nullptr);
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{"-t"}, {"-t", "-b", "-d", "-o", "DIR"}, {}}) {
        Scratch scratch;
        scratch.input(build(disk));
        std::vector<std::string> args = {"../in.d88"};
        args.insert(args.end(), options.begin(), options.end());
        const Result r = scratch.run(args, "LANG=C", "export TZ=JST-9; ");
        ASSERT_EQ(r.status, 0) << r.err;
        const fs::path dir = options.size() > 1 ? scratch.out() / "DIR" : scratch.out() / "000";
        for (int i = 0; i < static_cast<int>(std::size(files)); ++i) {
            SCOPED_TRACE(format("%zu options, file F%d", options.size(), i));
            struct stat status {};
            ASSERT_EQ(::stat((dir / format("F%d", i)).c_str(), &status), 0);
            if (!options.empty() && files[i].year != 0) {
                std::tm utc{};
                utc.tm_year = files[i].year - 1900;
                utc.tm_mon = files[i].month - 1;
                utc.tm_mday = files[i].day;
                utc.tm_hour = files[i].hour;
                utc.tm_min = files[i].minute;
                EXPECT_EQ(status.st_mtime, ::timegm(&utc) - 9 * 3600);
            } else {
                EXPECT_GE(status.st_mtime, startOfRun - 1);
            }
        }
    }
}

// Called in-process, as a fuzzer does: with -o the run still ends where it
// began, whatever it did inside DIR.
TEST(Options, InProcessRunComesBack)
{
    static d88::Workspace workspace;
    Scratch scratch;
    scratch.input(build(diskA()));
    const fs::path before = fs::current_path();
    const std::string input = (scratch.out().parent_path() / "in.d88").string();
    const std::string dir = (scratch.out() / "DIR").string();
    const char* argv[] = {"d88unpack", input.c_str(), "-o", dir.c_str(), "-n", "none"};
    EXPECT_EQ(d88::runExtraction(workspace, 6, argv), 0);
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_TRUE(fs::is_directory(scratch.out() / "DIR" / "000"));
}

} // namespace
