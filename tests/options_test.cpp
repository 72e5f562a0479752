// The options beyond -d and -b: wildcard and date rules on their own, then
// the built binary end to end with every option and its combinations.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <ctime>
#include <optional>
#include <set>

#include "e2e_support.h"
#include "extract/disk_layout.h"
#include "extract/extract_command.h"
#include "extract/name_pattern.h"

namespace {

using namespace e2e;

TEST(NamePattern, Matches)
{
    const std::string stars(100000, '*');
    const struct {
        std::string pattern, name;
        bool matches;
    } rows[] = {
        {"GAME", "GAME", true},
        {"game", "GAME", false},
        {"GAM", "GAME", false},
        {"GAME?", "GAME", false},
        {"", "", true},
        {"", "A", false},
        {"*", "", true},
        {"**", "AB", true},
        {"G*", "GAME", true},
        {"*E", "GAME", true},
        {"*M", "GAME", false},
        {"A*B*C", "AXBXC", true},
        {"A*B*C", "AXBXCX", false},
        {"*AB", "AAB", true}, // the star must give back what it took
        {"?A?E", "GAME", true},
        {"[FG]AME", "GAME", true},
        {"[!G]AME", "GAME", false},
        {"[^F]AME", "GAME", true},
        {"[A-Z]AME", "GAME", true},
        {"[a-z]AME", "GAME", false},
        {"[Z-A]", "M", false},
        {"[]]", "]", true},
        {"[!]]", "]", false},
        {"[!]]", "x", true},
        {"[a-]", "-", true},
        {"[-a]", "-", true},
        {"[", "[", true},
        {"A[B", "A[B", true},
        {"[!", "[!", true},
        {"[*]", "*", true},
        {"[*]", "x", false},
        {"\\*", "\\x", true}, // no escape character
        {"\xb1*", "\xb1\xb2 X", true},
        {"[\x80-\xff]?", "\xb1\xb2", true},
        {"[\x80-\xff]", "A", false},
        {"*a*a*a*a*a*a*a*a*b", "aaaaaaaaa", false},
        {stars + "b", "aaaaaaaaa", false},
        {stars + "a", "aaaaaaaaa", true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(d88::namePatternMatches(row.pattern.c_str(), row.name.c_str(), row.name.size()),
                  row.matches)
            << row.pattern.substr(0, 40) << " / " << row.name;
    }
    // Only the given length of the name counts.
    EXPECT_TRUE(d88::namePatternMatches("GAME", "GAME     ", 4));
}

TEST(EntryTime, ValidDatesOnly)
{
    const struct {
        Stamp stamp; // printing order, as stored from byte 15 down
        bool valid;
        int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    } rows[] = {
        {{0x24, 0x03, 0x15, 0x09, 0x30}, true, 2024, 3, 15, 9, 30},
        {{0x80, 0x01, 0x01, 0x00, 0x00}, true, 1980, 1, 1, 0, 0},
        {{0x99, 0x12, 0x31, 0x23, 0x59}, true, 1999, 12, 31, 23, 59},
        {{0x79, 0x12, 0x31, 0x23, 0x59}, true, 2079, 12, 31, 23, 59},
        {{0x00, 0x02, 0x29, 0x12, 0x00}, true, 2000, 2, 29, 12, 0},
        {{0x24, 0x02, 0x29, 0x12, 0x00}, true, 2024, 2, 29, 12, 0},
        {{0x23, 0x02, 0x29, 0x12, 0x00}, false},
        {{0x24, 0x04, 0x31, 0x12, 0x00}, false},
        {{0x24, 0x00, 0x01, 0x12, 0x00}, false},
        {{0x24, 0x13, 0x01, 0x12, 0x00}, false},
        {{0x24, 0x01, 0x00, 0x12, 0x00}, false},
        {{0x24, 0x01, 0x01, 0x24, 0x00}, false},
        {{0x24, 0x01, 0x01, 0x12, 0x60}, false},
        {{0x24, 0x0A, 0x01, 0x12, 0x00}, false}, // would decode as month 10
        {{0x2A, 0x01, 0x01, 0x12, 0x00}, false},
        {{0x24, 0x01, 0x01, 0x12, 0x0F}, false},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, false},
    };
    for (const auto& row : rows) {
        std::uint8_t raw[d88::kEntryBytes] = {'F'};
        for (int i = 0; i < d88::kStampCount; ++i) {
            raw[d88::kStampFirstOffset - i] = row.stamp[static_cast<std::size_t>(i)];
        }
        const d88::EntryTime t = d88::entryTime(d88::decodeEntry(raw));
        SCOPED_TRACE(format("%02x%02x%02x %02x%02x", row.stamp[0], row.stamp[1], row.stamp[2],
                            row.stamp[3], row.stamp[4]));
        ASSERT_EQ(t.valid, row.valid);
        if (row.valid) {
            EXPECT_EQ(std::vector<int>({t.year, t.month, t.day, t.hour, t.minute}),
                      std::vector<int>({row.year, row.month, row.day, row.hour, row.minute}));
        }
    }
}

std::string fullUsage(const std::string& program, ConsoleEncoding encoding)
{
    std::string usage = format(d88::textFor(d88::kUsageLine, encoding), program.c_str());
    for (const d88::ConsoleText* line :
         {&d88::kUsageNoSubdirectories, &d88::kUsageCutHeader, &d88::kUsageListOnly,
          &d88::kUsageOutputDirectory, &d88::kUsageKeepTimes, &d88::kUsageNamePattern,
          &d88::kUsageImageIndex, &d88::kUsageHelp, &d88::kUsageVersion}) {
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
    const struct {
        const char* what;
        std::vector<std::string> args;
        int status;
        std::string out, err;
        std::string locale = "LANG=C";
    } rows[] = {
        {"--help", {"--help"}, 0, usage, ""},
        {"-h, more after it", {"-h", "../in.d88", "-o"}, 0, usage, ""},
        {"UTF-8 help",
         {"-h"},
         0,
         fullUsage(D88UNPACK_BINARY, ConsoleEncoding::Utf8),
         "",
         "LC_ALL=C.UTF-8"},
        {"--version", {"--version"}, 0, "d88unpack " D88UNPACK_VERSION "\n", ""},
        {"-o without a value",
         {"../in.d88", "-b", "-o"},
         1,
         "",
         format(needs.c_str(), "-o") + usage},
        {"-n without a value", {"../in.d88", "-n"}, 1, "", format(needs.c_str(), "-n") + usage},
        {"-i without a value",
         {"../in.d88", "-i", "0", "-i"},
         1,
         "",
         format(needs.c_str(), "-i") + usage},
        {"-i 64", {"../in.d88", "-i", "64"}, 1, "", format(bad.c_str(), "64", 63) + usage},
        {"-i -1", {"../in.d88", "-i", "-1"}, 1, "", format(bad.c_str(), "-1", 63) + usage},
        {"-i +1", {"../in.d88", "-i", "+1"}, 1, "", format(bad.c_str(), "+1", 63) + usage},
        {"-i 1x", {"../in.d88", "-i", "1x"}, 1, "", format(bad.c_str(), "1x", 63) + usage},
        {"-i empty", {"../in.d88", "-i", ""}, 1, "", format(bad.c_str(), "", 63) + usage},
        {"-i huge",
         {"../in.d88", "-i", "4294967296"},
         1,
         "",
         format(bad.c_str(), "4294967296", 63) + usage},
        {"33 patterns", patterns, 1, "",
         format(sjis(d88::kTooManyPatterns).c_str(), "P32", 32) + usage},
        {"UTF-8 usage error",
         {"../in.d88", "-n"},
         1,
         "",
         format(d88::kOptionNeedsValue.utf8, "-n") +
             fullUsage(D88UNPACK_BINARY, ConsoleEncoding::Utf8),
         "LANG=ja_JP.UTF-8"},
        {"-o on a file that cannot be opened",
         {"../none.d88", "-o", "DIR"},
         1,
         "",
         sjis(d88::kCannotOpen)},
        {"-o whose parent is missing",
         {"../in.d88", "-b", "-o", "no/DIR"},
         1,
         "",
         format(sjis(d88::kCannotEnterOutput).c_str(), "no/DIR")},
        {"-o empty",
         {"../in.d88", "-o", ""},
         1,
         "",
         format(sjis(d88::kCannotEnterOutput).c_str(), "")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Scratch scratch;
        scratch.input(build(diskA()));
        const Result r = scratch.run(row.args, row.locale);
        EXPECT_EQ(r.status, row.status);
        if (customCommand() != nullptr) {
            // Another command may see its own path differently.
            const std::string tail = row.out.substr(row.out.find('\n') + 1);
            EXPECT_TRUE(r.out.ends_with(tail)) << r.out;
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
// images and stored names it expects, and where the files go.
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
        const char* what;
        std::vector<std::string> args;
        std::set<int> images; // empty: all
        Names names;          // stored names kept; none: all
        bool subdirectories = true, cut = false, list = false;
        std::string dir = "";  // where the files go
        std::string keep = ""; // a file made there before the run
    } rows[] = {
        {"-l", {"-l"}, {}, {}, true, false, true},
        {"-l -d -b", {"-l", "-d", "-b"}, {}, {}, false, true, true},
        {"-l -o: not even DIR", {"-l", "-o", "DIR"}, {}, {}, true, false, true},
        {"-o", {"-o", "DIR"}, {}, {}, true, false, false, "DIR"},
        {"-o -d -b", {"-d", "-o", "DIR", "-b"}, {}, {}, false, true, false, "DIR"},
        {"-o again: the last", {"-o", "-d", "-o", "DIR"}, {}, {}, true, false, false, "DIR"},
        {"-o reuses DIR", {"-o", "DIR"}, {}, {}, true, false, false, "DIR", "DIR/KEEP"},
        {"-o inside a directory", {"-o", "a/DIR"}, {}, {}, true, false, false, "a/DIR", "a/KEEP"},
        {"-t", {"-t"}, {}, {}},
        {"-i", {"-i", "2"}, {2}, {}},
        {"-i twice, -d", {"-i", "0", "-d", "-i", "002"}, {0, 2}, {}, false},
        {"-i an empty image", {"-i", "1"}, {1}, {}},
        {"-i with no image", {"-i", "5", "-b"}, {5}, {}, true, true},
        {"-n, blanks cut", {"-n", "GAME"}, {}, Names({kGame})},
        {"-n twice, -b",
         {"-n", "T*", "-b", "-n", "[.]*"},
         {},
         Names({"TWICE", ".", ".."}),
         true,
         true},
        {"-n on bytes", {"-n", "\xb1*X"}, {}, Names({"\xb1\xb2\xb3 X"})},
        {"-n on the stored name", {"-n", "?/B"}, {}, Names({"A/B"})},
        {"-n case counts", {"-n", "game"}, {}, Names(std::in_place)},
        {"32 patterns", thirtyTwo, {}, Names({"EMPTY"})},
        {"-n -i -l -d",
         {"-n", "DATA*", "-i", "0", "-l", "-d"},
         {0},
         Names({"DATA.BIN"}),
         false,
         false,
         true},
        {"all of them",
         {"-t", "-n", "*E*", "-i", "2", "-b", "-d", "-o", "DIR"},
         {2},
         Names({kGame, "TWICE", "EMPTY"}),
         false,
         true,
         false,
         "DIR"},
        {"help words after the path",
         {"-l", "--help", "-h", "--version"},
         {},
         {},
         true,
         false,
         true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Scratch scratch;
        scratch.input(input);
        if (!row.keep.empty()) {
            fs::create_directories((scratch.out() / row.keep).parent_path());
            d88build::writeFile(scratch.out() / row.keep, Bytes(3, 'k'));
        }
        const Tree before = listTree(scratch.out());
        std::vector<DiskModel> chosen;
        for (int i = 0; i < static_cast<int>(disks.size()); ++i) {
            if (!row.images.empty() && !row.images.contains(i)) {
                continue;
            }
            DiskModel disk = disks[static_cast<std::size_t>(i)];
            disk.index = i;
            if (row.names) {
                std::erase_if(disk.files,
                              [&](const FileModel& f) { return !row.names->contains(f.stored); });
            }
            chosen.push_back(disk);
        }
        auto [out, tree] = expected(chosen, row.subdirectories, row.cut, {});
        if (row.list) {
            tree = before;
        } else if (!row.dir.empty()) {
            tree = under(row.dir, tree);
            tree.insert(before.begin(), before.end());
        }
        std::vector<std::string> args = {"../in.d88"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const Result r = scratch.run(args, "LANG=C");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, out);
        EXPECT_EQ(r.err, "");
        expectTree(listTree(scratch.out()), tree);
    }
}

// -l prints what an extraction prints and ends with the same status, also
// on damage found while reading.
TEST(Options, ListingDamagedImages)
{
    const struct {
        const char* what;
        void (*image)(ImageBuilder&);
        std::vector<std::string> args;
    } rows[] = {
        {"lost file sector", [](ImageBuilder& im) { im.removeSector(5, 10); }, {"-b"}},
        {"cluster table missing", [](ImageBuilder& im) { im.removeSector(37, 14); }, {}},
        {"lost directory sector, -d", [](ImageBuilder& im) { im.removeSector(37, 1); }, {"-d"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const Bytes input = d88build::concat({build(diskA()), build(diskA(), nullptr, row.image)});
        Scratch extracting, listing;
        extracting.input(input);
        listing.input(input);
        std::vector<std::string> args = {"../in.d88"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const Result want = extracting.run(args, "LANG=C");
        args.push_back("-l");
        const Result got = listing.run(args, "LANG=C");
        EXPECT_EQ(want.status, 2);
        EXPECT_EQ(got.status, want.status);
        EXPECT_EQ(got.out, want.out);
        EXPECT_EQ(got.err, want.err);
        expectTree(listTree(listing.out()), {});
    }
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
        {{0x00, 0x02, 0x29, 0x23, 0x59}, 2000, 2, 29, 23, 59},
        {{0x80, 0x01, 0x01, 0x00, 0x00}, 1980, 1, 1, 0, 0},
        {{0x79, 0x12, 0x31, 0x23, 0x59}, 2079, 12, 31, 23, 59},
        {{0x23, 0x02, 0x29, 0x12, 0x00}},
        {{0x24, 0x0A, 0x01, 0x12, 0x00}},
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
        const Result r = scratch.run(args, "LANG=C TZ=JST-9");
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
    static d88::D88Image image;
    Scratch scratch;
    scratch.input(build(diskA()));
    const fs::path before = fs::current_path();
    const std::string input = (scratch.out().parent_path() / "in.d88").string();
    const std::string dir = (scratch.out() / "DIR").string();
    const char* argv[] = {"d88unpack", input.c_str(), "-o", dir.c_str(), "-n", "none"};
    EXPECT_EQ(d88::runExtraction(image, 6, argv), 0);
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_TRUE(fs::is_directory(scratch.out() / "DIR" / "000"));
}

} // namespace
