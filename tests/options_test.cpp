// The options beyond -d and -b: wildcard and date rules on their own, then
// the built binary end to end with every option and its combinations.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <optional>
#include <set>
#include <sstream>

#include "command.h"
#include "disk_layout.h"
#include "e2e_support.h"
#include "extract_options.h"
#include "name_pattern.h"
#include "options.h"
#include "version.h"

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
    // With UTF-8 every element takes a character, and ranges run over code
    // points; a byte that begins no character stands for itself.
    const Row utf8Matching[] = {{"ゲ?ム", "ゲーム"},
                                {"?ﾞｰﾑ", "ｹﾞｰﾑ"},
                                {"[ア-ン]*", "ゲーム"},
                                {"*[!a-z]", "Aム"},
                                {"[Ⅰ]", "Ⅰ"},
                                {"*%25", "100%25"},
                                {"A\x80?", "A\x80"
                                           "B"}};
    const Row utf8Failing[] = {
        {"??", "ゲ"}, {"ゲ?ム", "ゲム"}, {"[ア-ン]", "ｱ"}, {"?", "\xE3\x82"}};
    for (const auto& [pattern, name] : utf8Matching) {
        EXPECT_TRUE(d88::namePatternMatches(pattern, name, std::strlen(name), true)) << pattern;
    }
    for (const auto& [pattern, name] : utf8Failing) {
        EXPECT_FALSE(d88::namePatternMatches(pattern, name, std::strlen(name), true)) << pattern;
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

// The help as the tool writes it on the standard output.
std::string helpText(const std::string& locale = "LANG=C")
{
    Scratch scratch;
    const Result r = scratch.run({"--help"}, locale);
    EXPECT_EQ(r.status, 0);
    return r.out;
}

// The help word for word in each language, with the program as typed.
TEST(Options, Help)
{
    if (windowsHost()) {
        GTEST_SKIP() << "the Windows tool follows the console's code page, not the locale";
    }
    const char* const english = R"(Usage: %s [OPTION]... D88FILE...
Copies every file of every disk image in each D88FILE to the host.

  -d, --flat            no subdirectories: every file in the output directory
  -b, --no-header       leave out each file's 6-byte header
  -l, --list            list only; create nothing
  -p, --stdout          only the chosen files' bytes, on the standard output
  -o, --output=DIR      write under DIR
  -f, --folders         a folder of its own for each D88 file, even for one
  -t, --times           give files the date and time of their directory entry
  -c, --check           check each image's consistency; create nothing
  -j, --json            a JSON Lines listing with each file's hashes
  -q, --quiet           no listing: only the problems and the summary
  -n, --name=PATTERN    only files whose name matches PATTERN (repeatable)
  -i, --image=N         only image N (repeatable)
  -k, --keep-existing   never replace an existing file; skip the later one
  -r, --rename          write a file whose name is taken as NAME~1, NAME~2, ...
  -u, --unicode-names   write and list names as they read on the disk (UTF-8)
  -J, --jobs=N          up to N D88 files at once (default: one per processor)
  -h, --help            show this help
      --version         show the version

PATTERN: * any run of bytes, ? any one byte, [...] one byte of a set,
  [!...] one byte not in it; with -u, characters instead of bytes
Exit status: 0  all written
             1  stopped (usage, open or write failure, not a D88 file)
             2  something damaged or left out
)";
    const char* const japanese = R"(Usage: %s [OPTION]... D88FILE...
各D88FILEの全ディスクイメージの全ファイルを書き出します.

  -d, --flat            サブディレクトリを作成しない
  -b, --no-header       6byteのヘッダを切り落とす
  -l, --list            一覧を表示するだけで何も作成しない
  -p, --stdout          選んだファイルの中身だけを標準出力に書き出す
  -o, --output=DIR      DIRの中に書き出す
  -f, --folders         D88ファイルごとのフォルダに書き出す(1個でも)
  -t, --times           ファイルの更新日時をディレクトリの日時にする
  -c, --check           各イメージの整合性を調べるだけで何も作成しない
  -j, --json            一覧をJSON Linesで標準出力に書く
  -q, --quiet           一覧を表示せず, 問題と集計だけを表示する
  -n, --name=PATTERN    名前がPATTERNに合うファイルだけ(複数可)
  -i, --image=N         N番のイメージだけ(複数可)
  -k, --keep-existing   既にあるファイルを置き換えない
  -r, --rename          名前が既にあればNAME~1などの名前で書き出す
  -u, --unicode-names   ディスク上の名前を読める文字(UTF-8)で書き出し表示する
  -J, --jobs=N          D88ファイルをN個まで同時に(既定はプロセッサ数)
  -h, --help            この説明を表示する
      --version         バージョンを表示する

PATTERN: * 任意のバイト列, ? 任意の1バイト, [...] 集合の1バイト,
  [!...] 集合にない1バイト (-uでは バイトでなく文字)
終了ステータス: 0 すべて書き出した
                1 中断した(使い方・オープン・書き込みの誤り, D88ファイルでない)
                2 壊れていたか書き出せなかったものがある
)";
    const struct {
        const char* locale;
        const char* text;
    } rows[] = {
        {"LANG=en_US.UTF-8", english},
        {"LANG=ja_JP.UTF-8", japanese},
        {"LANG=C", japanese}, // in Shift_JIS
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.locale);
        std::string help = helpText(row.locale);
        if (std::strcmp(row.locale, "LANG=C") == 0) {
            help = utf8FromShiftJis(help);
        }
        std::string want = row.text;
        want.replace(want.find("%s"), 2, D88UNPACK_BINARY);
        if (customCommand() != nullptr) {
            // Another command may see its own path differently.
            help.erase(0, help.find('\n'));
            want.erase(0, want.find('\n'));
        }
        EXPECT_EQ(help, want);
    }
}

// No line of the help is wider than 79 columns, in either language. In
// Shift_JIS each byte takes one column, as each byte of English does.
TEST(Options, HelpFitsIn79Columns)
{
    for (const d88::Language language : {d88::Language::Japanese, d88::Language::English}) {
        char* text = nullptr;
        std::size_t size = 0;
        std::FILE* stream = ::open_memstream(&text, &size);
        ASSERT_NE(stream, nullptr);
        d88::writeHelp(stream, {language, ConsoleEncoding::ShiftJis}, "d88unpack");
        std::fclose(stream);
        std::istringstream lines(std::string(text, size));
        std::free(text);
        int count = 0;
        for (std::string line; std::getline(lines, line); ++count) {
            EXPECT_LE(line.size(), 79u) << line;
        }
        EXPECT_GT(count, d88::kOptionRowCount);
    }
}

// Every kind of command line: help and version, usage errors (a line naming
// the argument, then one pointing to the help, on the error stream, status
// 1, nothing read or created), long options by the start of their names,
// and the forms that must be taken as written. Where the row expects a
// listing, it is the one -l gives for the D88 file alone.
TEST(Options, CommandLines)
{
    const std::string help = helpText();
    std::vector<std::string> patterns = {"../in.d88", "-l"};
    for (int i = 0; i <= d88::kMaxPatterns; ++i) {
        patterns.insert(patterns.end(), {"-n", format("P%d", i)});
    }
    const auto error = [&](const d88::ConsoleText& text, auto... values) {
        return format(text.shiftJis, values...) + format(d88::kTryHelp.shiftJis, D88UNPACK_BINARY);
    };
    const auto english = [&](const d88::ConsoleText& text, auto... values) {
        return format(text.english, values...) + format(d88::kTryHelp.english, D88UNPACK_BINARY);
    };
    const std::string en = "LANG=en_US.UTF-8";
    const std::string listing = expected({diskA()}, true, false, {}).first;
    const std::string flat = expected({diskA()}, false, true, {}).first;
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, err;
        std::string locale = "LANG=C";
    } rows[] = {
        // Help and version, wherever they stand, before anything else is looked at.
        {{"--help"}, 0, help, ""},
        {{"-h", "../in.d88", "-o"}, 0, help, ""},
        {{"../in.d88", "-l", "--help", "-x"}, 0, help, ""},
        {{"-lh"}, 0, help, ""},
        {{"--version"}, 0, "d88unpack " D88UNPACK_VERSION "\n", ""},
        {{"../in.d88", "--version"}, 0, "d88unpack " D88UNPACK_VERSION "\n", ""},
        // Values missing or wrong.
        {{"../in.d88", "-b", "-o"}, 1, "", error(d88::kNeedsValue, "-o")},
        {{"../in.d88", "-lbn"}, 1, "", error(d88::kNeedsValue, "-n")},
        {{"../in.d88", "--output"}, 1, "", error(d88::kNeedsValue, "--output")},
        {{"../in.d88", "-i", "0", "-i"}, 1, "", error(d88::kNeedsValue, "-i")},
        {{"../in.d88", "-i", "64"}, 1, "", error(d88::kBadImageIndex, "64", 63)},
        {{"../in.d88", "-i-1"}, 1, "", error(d88::kBadImageIndex, "-1", 63)},
        {{"../in.d88", "--image=1x"}, 1, "", error(d88::kBadImageIndex, "1x", 63)},
        {{"../in.d88", "-i", "4294967296"}, 1, "", error(d88::kBadImageIndex, "4294967296", 63)},
        {patterns, 1, "", error(d88::kTooManyPatterns, "P32", 32)},
        // Mistakes that must not extract into the current directory.
        {{"../in.d88", "-x"}, 1, "", error(d88::kUnknownOption, "-x")},
        {{"../in.d88", "-lx"}, 1, "", error(d88::kUnknownOption, "-x")},
        {{"../in.d88", "--lsit"}, 1, "", error(d88::kUnknownOptionNear, "--lsit", "--list")},
        {{"../in.d88", "--lsit"}, 1, "", english(d88::kUnknownOptionNear, "--lsit", "--list"), en},
        {{"--verison"}, 1, "", error(d88::kUnknownOptionNear, "--verison", "--version")},
        // Two letters swapped twice are two slips, not four.
        {{"--verisno"}, 1, "", error(d88::kUnknownOptionNear, "--verisno", "--version")},
        {{"../in.d88", "--no-headers"},
         1,
         "",
         english(d88::kUnknownOptionNear, "--no-headers", "--no-header"),
         en},
        {{"../in.d88", "--x"}, 1, "", english(d88::kUnknownOption, "--x"), en},
        {{"../in.d88", "--=x"}, 1, "", error(d88::kUnknownOption, "--=x")},
        // The start of more than one long option names them all.
        {{"../in.d88", "--n"},
         1,
         "",
         error(d88::kAmbiguousOption, "--n", "'--no-header' '--name'")},
        {{"../in.d88", "--n=GAME"},
         1,
         "",
         english(d88::kAmbiguousOption, "--n=GAME", "'--no-header' '--name'"),
         en},
        {{"../in.d88", "--li=yes"}, 1, "", english(d88::kUnexpectedValue, "--li=yes"), en},
        {{"../in.d88", "--out"}, 1, "", error(d88::kNeedsValue, "--out")},
        {{"-d"}, 1, "", english(d88::kNoD88File), en},
        {{"../in.d88", "--list=yes"}, 1, "", error(d88::kUnexpectedValue, "--list=yes")},
        // A second operand that is no file: nothing is read or written.
        {{"../in.d88", "out"}, 1, "", sjis(d88::kCannotOpen)},
        {{"../in.d88", "-d", "out"}, 1, "", sjis(d88::kCannotOpen)},
        {{"../in.d88", "-J", "0"}, 1, "", error(d88::kBadJobs, "0", 64)},
        {{"../in.d88", "--jobs=65"}, 1, "", error(d88::kBadJobs, "65", 64)},
        {{"../in.d88", "-J2x"}, 1, "", error(d88::kBadJobs, "2x", 64)},
        {{"-l"}, 1, "", error(d88::kNoD88File)},
        {{"-d"}, 1, "", error(d88::kNoD88File)},
        {{"../in.d88", "-p", "-l"}, 1, "", error(d88::kConflict, "-p", "-l")},
        {{"-pj", "../in.d88"}, 1, "", error(d88::kConflict, "-p", "-j")},
        {{"../in.d88", "--check", "--stdout"}, 1, "", error(d88::kConflict, "-p", "-c")},
        // The D88 file that cannot be opened, and an output directory that
        // cannot be made.
        {{"../none.d88", "-o", "DIR"}, 1, "", sjis(d88::kCannotOpen)},
        {{"../in.d88", "-b", "-o", "../in.d88/DIR"},
         1,
         "",
         format(sjis(d88::kCannotEnterOutput).c_str(), "../in.d88/DIR")},
        // Forms taken as written (-l keeps the tree empty).
        {{"-l", "../in.d88"}, 0, listing, ""},
        {{"--list", "../in.d88"}, 0, listing, ""},
        {{"../in.d88", "-ldb"}, 0, flat, ""},
        {{"-bd", "--list", "--", "../in.d88"}, 0, flat, ""},
        {{"../in.d88", "--no-header", "--flat", "-l"}, 0, flat, ""},
        {{"../in.d88", "-lnGAME", "-n", "DATA*", "--name=LATE"}, 0, listing, ""},
        {{"../in.d88", "-li0", "--image", "0"}, 0, listing, ""},
        {{"../in.d88", "-loDIR"}, 0, listing, ""},
        {{"../in.d88", "-l", "--output=DIR", "--output", "-d"}, 0, listing, ""},
        // The start of one long option's name is that option.
        {{"../in.d88", "--li"}, 0, listing, ""},
        {{"--out=DIR", "--l", "../in.d88"}, 0, listing, ""},
        {{"../in.d88", "--no", "--fl", "--li", "--out", "DIR"}, 0, flat, ""},
        {{"../in.d88", "--he", "--n"}, 0, help, ""},
    };
    for (const auto& row : rows) {
        std::string line;
        for (const std::string& arg : row.args) {
            line += " " + arg;
        }
        SCOPED_TRACE(line.substr(0, 60));
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
        std::set<int> images;     // empty: all
        Names names;              // stored names kept; none: all
        std::string how;          // d: no subdirectories, b: no headers, l: nothing created
        std::string dir = "";     // where the files go
        std::string keep = "";    // a file made there before the run
        std::string unfound = ""; // what the selection did not find, said at the end
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
                {{"-i", "5", "-b"}, {5}, {}, "b", "", "", format(d88::kNoSuchImage.shiftJis, 5)},
                {{"-n", "GAME"}, {}, Names({kGame}), ""},
                {{"-n", "T*", "-b", "-n", "[.]*"}, {}, Names({"TWICE", ".", ".."}), "b"},
                {{"-n", "?/B"}, {}, Names({"A/B"}), ""},
                // Thirty-one times the same pattern, named once.
                {thirtyTwo,
                 {},
                 Names({"EMPTY"}),
                 "",
                 "",
                 "",
                 format(d88::kNothingMatched.shiftJis, "none")},
                {{"-n", "DATA*", "-i", "0", "-l", "-d"}, {0}, Names({"DATA.BIN"}), "ld"},
                {{"-t", "-n", "*E*", "-i", "2", "-b", "-d", "-o", "DIR"},
                 {2},
                 Names({kGame, "TWICE", "EMPTY"}),
                 "db",
                 "DIR"},
                {{"--output", "DIR", "-bd"}, {}, {}, "db", "DIR"},
                {{"-tdbn", "*E*", "-i2", "--output=DIR"},
                 {2},
                 Names({kGame, "TWICE", "EMPTY"}),
                 "db",
                 "DIR"}};
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
        EXPECT_EQ(r.status, replaced.empty() && row.unfound.empty() ? 0 : 2);
        EXPECT_EQ(r.out, out);
        EXPECT_EQ(r.err, replaced + row.unfound);
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

// A file named like an option is the D88 file when it exists and comes
// first, and whatever it is after "--".
TEST(Options, FileNamedLikeAnOption)
{
    const struct {
        std::string file;
        std::vector<std::string> args;
    } rows[] = {{"-h", {"-h", "-l", "-d"}},
                {"--help", {"--help", "-l", "-d"}},
                {"--version", {"--version", "-l", "-d"}},
                {"-d", {"-d", "-l", "-d"}},
                {"-x.d88", {"-l", "-d", "--", "-x.d88"}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        Scratch scratch;
        d88build::writeFile(scratch.out() / row.file, build(diskA()));
        const Result r = scratch.run(row.args, "LANG=C");
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

// -p gives each file of the demo image byte for byte as an extraction
// writes it, with and without -b; the whole run gives them all one after
// another in listing order, and nothing else. A standard output that fails
// stops the run.
TEST(Options, StdoutCarriesTheFilesAlone)
{
    const Bytes demo = d88build::readFile(D88UNPACK_DEMO);
    for (const bool cut : {false, true}) {
        SCOPED_TRACE(cut ? "-b" : "with headers");
        Scratch extracted;
        extracted.input(demo);
        std::vector<std::string> args = {"../in.d88"};
        if (cut) {
            args.push_back("-b");
        }
        ASSERT_EQ(extracted.run(args, "LANG=C").status, 0);
        const Tree tree = listTree(extracted.out());
        std::string all;
        std::size_t files = 0;
        for (const std::string image : {"000", "001"}) {
            // Listing order is directory order: the names as -l prints them.
            args.insert(args.end(), {"-l", "-i", image});
            const std::string listing = extracted.run(args, "LANG=C").out;
            args.resize(args.size() - 3);
            std::size_t at = listing.find("time\n");
            for (at += 5; at < listing.size(); at = listing.find('\n', at) + 1) {
                // The stored name fills nine columns, trailing blanks and all.
                const std::string stored = listing.substr(at, 9);
                const std::string name = stored.substr(0, stored.find_last_not_of(' ') + 1);
                auto file = tree.find(image + "/" + stored);
                if (file == tree.end()) {
                    file = tree.find(image + "/" + name);
                }
                ASSERT_NE(file, tree.end()) << name;
                Scratch piped;
                piped.input(demo);
                std::vector<std::string> one = args;
                one.insert(one.end(), {"-p", "-n", name, "-i", image});
                const Result r = piped.run(one, "LANG=C", "", true);
                EXPECT_EQ(r.status, 0);
                EXPECT_EQ(r.err, "");
                EXPECT_EQ(r.out, std::string(file->second.begin(), file->second.end())) << name;
                expectTree(listTree(piped.out()), {});
                all += r.out;
                ++files;
            }
        }
        EXPECT_EQ(files, 6u);
        Scratch piped;
        piped.input(demo);
        args.push_back("--stdout");
        EXPECT_EQ(piped.run(args, "LANG=C", "", true).out, all);
    }
    // A standard output that fails stops the run, also when the files are
    // small enough to wait in a buffer till the end (those of C); files of
    // one name are no clash there.
    const std::vector<FileModel>& c = diskC().files;
    const std::string twice(c[1].data.begin(), c[1].data.end());
    const std::string again(c[2].data.begin(), c[2].data.end());
    const struct {
        const char* what;
        Bytes input;
        std::vector<std::string> args;
        const char* setup;
        int status;
        std::string out, err;
    } rows[] = {
        {"to /dev/full", demo, {"-p"}, "exec >/dev/full; ", 1, "", sjis(d88::kStdoutFailed)},
        {"small files to /dev/full",
         build(diskC()),
         {"-p"},
         "exec >/dev/full; ",
         1,
         "",
         sjis(d88::kStdoutFailed)},
        {"a name twice", build(diskC()), {"-p", "-n", "TWICE"}, "", 0, twice + again, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const bool full = std::string(row.setup).find("/dev/full") != std::string::npos;
        if (full && windowsHost()) {
            continue; // Windows has no /dev/full
        }
        Scratch scratch;
        scratch.input(row.input);
        std::vector<std::string> args = {"../in.d88"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const Result r = scratch.run(args, "LANG=C", row.setup, true);
        EXPECT_EQ(r.status, row.status);
        EXPECT_EQ(r.out, row.out);
        EXPECT_EQ(r.err, row.err);
        EXPECT_EQ(r.details.size(), full ? 1u : 0u);
        for (const std::string& detail : r.details) {
            EXPECT_TRUE(detail.starts_with("-: ")) << detail;
        }
        expectTree(listTree(scratch.out()), {});
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
    // A pattern that matches nothing: a loss said after the run.
    const char* argv[] = {"d88unpack", input.c_str(), "-o", dir.c_str(), "-n", "none"};
    EXPECT_EQ(d88::runExtraction(workspace, 6, argv), 2);
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_TRUE(fs::is_directory(scratch.out() / "DIR" / "000"));
}

} // namespace
