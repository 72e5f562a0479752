// End-to-end tests of extraction: images, options, locales and damage.
#include <nlohmann/json.hpp>
#include <sstream>

#include "digest.h"
#include <cerrno>
#include <cstring>
#include <numeric>

#include "e2e_support.h"

namespace {

using namespace e2e;

TEST(ExtractCommand, RunsThatWriteNothing)
{
    const Bytes good = build(diskA());
    const std::string open = sjis(d88::kCannotOpen);
    const std::string usageTail = sjis(d88::kUsageNoSubdirectories) + sjis(d88::kUsageCutHeader);
    const std::string usage = format(d88::kUsageLine.shiftJis, D88UNPACK_BINARY) + usageTail;
    const struct {
        const char* what;
        Bytes input;
        std::vector<std::string> args;
        int status;
        std::string out, err;
        std::string locale = "LANG=C";
    } rows[] = {
        {"no argument", good, {}, 1, "", usage},
        // Not a D88 file: refused before anything, the -b notice included.
        {"no complete image header, -b",
         Bytes(687, 0x41),
         {"../in.d88", "-b"},
         1,
         "",
         format(d88::kNotD88File.shiftJis, "../in.d88")},
        {"empty file, -o",
         {},
         {"../in.d88", "-o", "DIR"},
         1,
         "",
         format(d88::kNotD88File.shiftJis, "../in.d88")},
        {"missing file: no -b notice", good, {"../none.d88", "-b"}, 1, "", open},
        {"a directory", good, {"..", "-b"}, 1, "", open},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Scratch scratch;
        scratch.input(row.input);
        const Result r = scratch.run(row.args, row.locale);
        EXPECT_EQ(r.status, row.status);
        EXPECT_EQ(r.out, row.out);
        if (row.args.empty() && customCommand() != nullptr) {
            // Another command may see its own path differently.
            EXPECT_TRUE(r.err.starts_with("Usage: ") &&
                        r.err.ends_with(" [d88file] [-d] [-b]\n" + usageTail))
                << r.err;
        } else {
            EXPECT_EQ(r.err, row.err);
        }
        expectTree(listTree(scratch.out()), {});
    }
}

// Three images: A, one with an empty directory, C. With "-d" C's GAME
// replaces A's; the later TWICE always replaces the earlier; each is
// reported. Names are bytes and never converted.
struct ThreeImagesRow {
    const char* what;
    std::vector<std::string> args;
    bool subdirectories, cut, reuse;
    std::string locale = "LANG=C";
    ConsoleEncoding encoding = ConsoleEncoding::ShiftJis;
};

void runOverThreeImages(const ThreeImagesRow& row)
{
    SCOPED_TRACE(row.what);
    const std::vector<DiskModel> disks = {diskA(), {"DISK B", "DISK B", {}}, diskC()};
    Scratch scratch;
    scratch.input(d88build::concat({build(disks[0]), build(disks[1]), build(disks[2])}));
    if (row.reuse) {
        fs::create_directory(scratch.out() / "000");
        d88build::writeFile(scratch.out() / "000" / onDisk(disks[0].files[0]), Bytes(9000, 'o'));
        d88build::writeFile(scratch.out() / "000" / "KEEP", Bytes(3, 'k'));
    }
    std::vector<std::string> args = {"../in.d88"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const auto [out, tree] =
        expected(disks, row.subdirectories, row.cut, listTree(scratch.out()), row.encoding);
    const Result r = scratch.run(args, row.locale);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, out);
    EXPECT_EQ(r.err, replacedLines(disks, row.subdirectories, row.encoding));
    expectTree(listTree(scratch.out()), tree);
    EXPECT_NE(r.out.find("\nGAME      6000 1234 6000 24/03/15 09:30\n"), std::string::npos);
}

TEST(ExtractCommand, OptionsOverThreeImages)
{
    const ThreeImagesRow rows[] = {
        {"defaults", {}, true, false, false},
        {"-b", {"-b"}, true, true, false},
        {"-d", {"-d"}, false, false, false},
        {"-d -b", {"-d", "-b"}, false, true, false},
        {"-b -d", {"-b", "-d"}, false, true, false},
        {"repeated", {"-b", "-d", "-b", "-d"}, false, true, false},
        {"existing subdirectory reused", {}, true, false, true},
    };
    for (const ThreeImagesRow& row : rows) {
        runOverThreeImages(row);
    }
}

// Console texts follow the locale: the first of LC_ALL, LC_CTYPE and LANG
// that is set decides.
TEST(ExtractCommand, LocaleChoosesTheConsoleEncoding)
{
    if (windowsHost()) {
        GTEST_SKIP() << "the Windows tool follows the console's code page, not the locale";
    }
    {
        Scratch scratch;
        const Result r = scratch.run({"../none.d88"}, "LC_ALL=C.UTF-8");
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, d88::kCannotOpen.utf8);
        expectTree(listTree(scratch.out()), {});
    }
    const ConsoleEncoding utf8 = ConsoleEncoding::Utf8;
    const ThreeImagesRow rows[] = {
        {"UTF-8 locale", {"-b"}, true, true, false, "LC_ALL=C.UTF-8", utf8},
        {"LC_ALL before LANG", {"-b"}, true, true, false, "LC_ALL=C LANG=C.UTF-8"},
        {"LC_CTYPE before LANG", {"-b"}, true, true, false, "LC_CTYPE=en_US.utf8 LANG=C", utf8},
    };
    for (const ThreeImagesRow& row : rows) {
        runOverThreeImages(row);
    }
}

// The language of the messages: the first of LANGUAGE, LC_ALL, LC_MESSAGES
// and LANG that is set and not empty; Japanese for ja, C, POSIX or none,
// English for any other. English output holds no byte outside ASCII that
// did not come from the disk (these disks have ASCII names).
TEST(ExtractCommand, LocaleChoosesTheLanguage)
{
    if (windowsHost()) {
        GTEST_SKIP() << "the Windows tool follows the user's interface language";
    }
    using d88::Language;
    const ConsoleEncoding sjis = ConsoleEncoding::ShiftJis, utf8 = ConsoleEncoding::Utf8;
    const struct {
        std::string locale;
        d88::ConsoleStyle style;
    } rows[] = {
        {"LANG=", {Language::Japanese, sjis}},
        {"LANG=C", {Language::Japanese, sjis}},
        {"LANG=POSIX", {Language::Japanese, sjis}},
        {"LANG=ja_JP.UTF-8", {Language::Japanese, utf8}},
        {"LANG=en_US.UTF-8", {Language::English, utf8}},
        {"LC_ALL=de_DE.UTF-8 LANG=ja_JP.UTF-8", {Language::English, utf8}},
        {"LANGUAGE=en LANG=ja_JP.UTF-8", {Language::English, utf8}},
        {"LANGUAGE= LC_MESSAGES=ja_JP.UTF-8 LANG=en_US.UTF-8", {Language::Japanese, utf8}},
        {"LC_MESSAGES=en_US LANG=C", {Language::English, sjis}},
        {"LANGUAGE=ja LC_ALL=en_US.UTF-8", {Language::Japanese, utf8}},
    };
    DiskModel disk = diskA();
    const Bytes input = build(disk, nullptr, [](ImageBuilder& im) { im.removeSector(5, 10); });
    for (const auto& row : rows) {
        SCOPED_TRACE(row.locale);
        Scratch scratch;
        scratch.input(input);
        const Result run = scratch.run({"../in.d88", "-b", "-l"}, row.locale);
        const Result help = scratch.run({"--help"}, row.locale);
        const Result missing = scratch.run({"../none.d88"}, row.locale);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.starts_with(d88::textFor(d88::kCuttingHeader, row.style)));
        EXPECT_EQ(run.err, format(d88::textFor(d88::kFileSectorsLost, row.style), 0, kGame, 1));
        EXPECT_TRUE(help.out.ends_with(d88::textFor(d88::kHelpExitStatus, row.style)));
        EXPECT_EQ(missing.err, d88::textFor(d88::kCannotOpen, row.style));
        ASSERT_EQ(missing.details.size(), 1u);
        EXPECT_TRUE(missing.details[0].starts_with("../none.d88: "));
        if (row.style.language == Language::English) {
            const std::string all = run.out + run.err + help.out + missing.err;
            EXPECT_TRUE(std::all_of(all.begin(), all.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
        }
    }
}

FileModel& named(DiskModel& disk, const std::string& name)
{
    return *std::find_if(disk.files.begin(), disk.files.end(),
                         [&](const FileModel& f) { return f.stored == name; });
}

void drop(DiskModel& disk, const std::string& name, const std::string& other = "")
{
    std::erase_if(disk.files,
                  [&](const FileModel& f) { return f.stored == name || f.stored == other; });
}

// One fault in image 001 of A, A, A: it must stay in that image, and the run
// must go on to image 002.
TEST(ExtractCommandDamage, OneFaultInTheMiddleImage)
{
    const auto imageBytes = static_cast<long long>(build(diskA()).size());
    const struct {
        const char* what;
        void (*disk)(DiskBuilder&) = nullptr;
        void (*image)(ImageBuilder&) = nullptr;
        void (*prepare)(const fs::path& out) = nullptr;
        std::string err;
        void (*adjust)(DiskModel& image001) = nullptr;
        std::size_t images = 3;
    } rows[] = {
        // GAME's cluster 11 is sectors 9..16 of track 5: R 10 holds bytes 2304..2559.
        {.what = "missing file sector",
         .image = [](ImageBuilder& im) { im.removeSector(5, 10); },
         .err = format(d88::kFileSectorsLost.shiftJis, 1, kGame, 1),
         .adjust = [](DiskModel& d) { std::fill_n(named(d, kGame).data.begin() + 2304, 256, 0); }},
        {.what = "short file sector",
         .image = [](ImageBuilder& im) { im.find(5, 10)->data.resize(100); },
         .err = format(d88::kFileSectorsLost.shiftJis, 1, kGame, 1),
         .adjust = [](DiskModel& d) { std::fill_n(named(d, kGame).data.begin() + 2404, 156, 0); }},
        {.what = "unreadable last-cluster sector past the header's size",
         .disk = [](DiskBuilder& d) { d.setTableByte(40, 0xC4); },
         .image = [](ImageBuilder& im) { im.removeSector(20, 4); },
         .err = format(d88::kFileSectorsLost.shiftJis, 1, kGame, 1)},
        // Entries 0..15 are lost; LATE, entry 16, is read after the gap.
        {.what = "first directory sector missing",
         .image = [](ImageBuilder& im) { im.removeSector(37, 1); },
         .err = format(d88::kDirectoryDamaged.shiftJis, 1, 1),
         .adjust = [](DiskModel& d) { drop(d, kGame, "DATA.BIN"); }},
        {.what = "cluster table missing",
         .image = [](ImageBuilder& im) { im.removeSector(37, 14); },
         .err = format(d88::kTableUnreadable.shiftJis, 1),
         .adjust = [](DiskModel& d) { d.files.clear(); }},
        {.what = "cluster table short",
         .image = [](ImageBuilder& im) { im.find(37, 14)->data.resize(255); },
         .err = format(d88::kTableUnreadable.shiftJis, 1),
         .adjust = [](DiskModel& d) { d.files.clear(); }},
        {.what = "chain loop",
         .disk = [](DiskBuilder& d) { d.setTableByte(40, 10); },
         .err = format(d88::kChainCut.shiftJis, 1, kGame)},
        {.what = "header size beyond the chain's data",
         .disk = [](DiskBuilder& d) { d.setTableByte(40, 0xC2); },
         .err = format(d88::kFileShort.shiftJis, 1, kGame),
         .adjust = [](DiskModel& d) { named(d, kGame).data.resize(4608); }},
        // Nothing assembled: the header reads as zeros, the file is empty.
        {.what = "first cluster is last with no sectors",
         .disk = [](DiskBuilder& d) { d.setTableByte(5, 0xC0); },
         .err = format(d88::kFileShort.shiftJis, 1, "DATA.BIN"),
         .adjust =
             [](DiskModel& d) {
                 FileModel& f = named(d, "DATA.BIN");
                 f.load = f.size = f.exec = 0;
                 f.data.clear();
             }},
        {.what = "output name taken by a directory",
         .prepare = [](const fs::path& out) { fs::create_directories(out / "001" / "DATA.BIN"); },
         .err = format(d88::kNotRegularFile.shiftJis, 1, "DATA.BIN"),
         .adjust = [](DiskModel& d) { drop(d, "DATA.BIN"); }},
        {.what = "subdirectory name taken by a file",
         .prepare = [](const fs::path& out) { d88build::writeFile(out / "001", Bytes(1, 'x')); },
         .err = format(d88::kCannotEnterSubdirectory.shiftJis, 1, "001"),
         .adjust = [](DiskModel& d) { d.files.clear(); }},
        // The size also bounds the track offsets, so none of its tracks is read.
        {.what = "disk size 0 ends the scan",
         .image = [](ImageBuilder& im) { im.diskSize = 0; },
         // The rest of the file after its header is never read: that is said,
         // and nothing of the layout is found in it.
         .err = format(d88::kImageSizeTooSmall.shiftJis, 1, 0LL, 2 * imageBytes - 688) +
                format(d88::kNoLayout.shiftJis, 1),
         .adjust = [](DiskModel& d) { d.files.clear(); },
         .images = 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Scratch scratch;
        const Bytes good = build(diskA());
        scratch.input(d88build::concat({good, build(diskA(), row.disk, row.image), good}));
        if (row.prepare != nullptr) {
            row.prepare(scratch.out());
        }
        std::vector<DiskModel> disks(row.images, diskA());
        if (row.adjust != nullptr) {
            row.adjust(disks[1]);
        }
        const auto [out, tree] = expected(disks, true, false, listTree(scratch.out()));
        const Result r = scratch.run({"../in.d88"}, "LANG=C");
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, out);
        EXPECT_EQ(r.err, row.err);
        expectTree(listTree(scratch.out()), tree);
    }
}

// Losses at the level of the D88 file: each is one line on the error stream
// and status 2; every image that is there is still extracted.
TEST(ExtractCommandDamage, ContainerLosses)
{
    const Bytes good = build(diskA());
    const auto size = static_cast<long long>(good.size());
    const auto withSize = [&](long long diskSize) {
        Bytes image = good;
        for (int i = 0; i < 4; ++i) {
            image[0x1C + i] = static_cast<std::uint8_t>(diskSize >> (8 * i));
        }
        return image;
    };
    // The first `length` bytes of an image with the size field `diskSize`.
    const auto header = [&](long long diskSize, std::size_t length) {
        Bytes image = withSize(diskSize);
        image.resize(length);
        return image;
    };
    const DiskModel nothing{"DISK A", "DISK A", {}};
    const struct {
        const char* what;
        Bytes input;
        std::vector<DiskModel> disks; // what is extracted
        std::string err;
    } rows[] = {
        {"trailing bytes, one short of a header",
         d88build::concat({good, Bytes(687, 0x55)}),
         {diskA()},
         format(d88::kTrailingBytes.shiftJis, 687)},
        {"a size past the end of the file",
         withSize(size + 1000),
         {diskA()},
         format(d88::kImageCutShort.shiftJis, 0, size + 1000, size)},
        // The second image's size below its header: the rest is not read.
        {"a size below its header, bytes after it",
         d88build::concat({good, withSize(100), good}),
         {diskA(), nothing},
         format(d88::kImageSizeTooSmall.shiftJis, 1, 100LL, 2 * size - 688) +
             format(d88::kNoLayout.shiftJis, 1)},
        // A header alone is an image with no tracks, and the next follows it.
        {"a size of exactly one header, in the second image",
         d88build::concat({good, header(688, 688), good}),
         {diskA(), nothing, diskA()},
         format(d88::kNoLayout.shiftJis, 1)},
        {"images past the 64th: one more header",
         d88build::concat({d88build::concat(std::vector<Bytes>(64, good)), header(size, 688)}),
         std::vector<DiskModel>(64, diskA()), format(d88::kImagesBeyondLimit.shiftJis, 64)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Scratch scratch;
        scratch.input(row.input);
        const Result r = scratch.run({"../in.d88"}, "LANG=C");
        auto [out, tree] = expected(row.disks, true, false, {});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, out);
        EXPECT_EQ(r.err, row.err);
        expectTree(listTree(scratch.out()), tree);
    }
}

// A file that is not a D88 file is refused in one line naming it, status
// 1, and nothing is made for it, not even the directory of "-o". What
// tells: no complete image header, or a first header no D88 file can have
// with no disk of this layout behind it. A header like that in front of a
// disk that is there is read as a damaged D88 file.
TEST(ExtractCommand, NotD88FilesAreRefused)
{
    const Bytes good = build(diskA());
    // A PNG: signature, IHDR (640 x 400, 8-bit RGB), then image data.
    Bytes png = {0x89, 'P',  'N',  'G',  '\r', '\n', 0x1a, '\n', 0,    0,    0,   13,  'I', 'H',
                 'D',  'R',  0,    0,    2,    0x80, 0,    0,    1,    0x90, 8,   2,   0,   0,
                 0,    0x68, 0x9b, 0x2a, 0x60, 0,    0,    0x07, 0xd0, 'I',  'D', 'A', 'T'};
    const Bytes data = d88build::pattern(2000, 7);
    png.insert(png.end(), data.begin(), data.end());
    std::string text;
    while (text.size() < 3000) {
        text += "This is a list of the disks, not a disk.\n";
    }
    Bytes headerInside = good;
    headerInside[0x20] = 16; // track 0, which no file uses, starts inside the header
    // DISK A's first header with another size, cut to `length` bytes.
    const auto header = [&](std::uint32_t diskSize, std::size_t length) {
        Bytes image = good;
        for (int i = 0; i < 4; ++i) {
            image[0x1C + i] = static_cast<std::uint8_t>(diskSize >> (8 * i));
        }
        image.resize(length);
        return image;
    };
    const struct {
        const char* what;
        Bytes input;
        bool read;
    } rows[] = {
        {"a PNG", png, false},
        {"text", Bytes(text.begin(), text.end()), false},
        {"empty", {}, false},
        {"short of a header", Bytes(good.begin(), good.begin() + 687), false},
        {"a size below its header", d88build::concat({header(100, good.size()), good}), false},
        {"a size below its header, nothing after it", header(100, 688), false},
        // Its tracks lie past a size of 688: no image behind it, though one follows.
        {"a size of exactly one header", d88build::concat({header(688, 688), good}), false},
        {"the same byte throughout", Bytes(10000, 0x41), false},
        {"a track inside the header, the disk there", headerInside, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Scratch scratch;
        scratch.input(row.input);
        const Result r = scratch.run({"../in.d88", "-o", "DIR"}, "LANG=C");
        if (row.read) {
            EXPECT_EQ(r.status, 0);
            EXPECT_EQ(r.err, "");
            expectTree(listTree(scratch.out() / "DIR"),
                       expected({diskA()}, true, false, {}).second);
            continue;
        }
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, format(d88::kNotD88File.shiftJis, "../in.d88"));
        expectTree(listTree(scratch.out()), {});
    }
}

// ---- Names taken twice ----------------------------------------------------

// One disk whose names clash: TWICE twice, "A/B" and "A_B" (the same host
// name), and a name with trailing blanks twice.
DiskModel clashing()
{
    return {"CLASH",
            "CLASH",
            {file(0, "TWICE", "", 1, 1, 40, {10}), file(1, "TWICE", "", 2, 2, 50, {11}),
             file(2, "A/B", "A_B", 3, 3, 60, {12}), file(3, "A_B", "", 4, 4, 70, {13}),
             file(4, kGame, "", 5, 5, 80, {14}), file(5, kGame, "", 6, 6, 90, {15})}};
}

// The name a file has on Linux once the tool has written it under `name`.
std::string onDisk(const std::string& name)
{
    FileModel f;
    f.host = name;
    return e2e::onDisk(f);
}

// Each name-clash rule, in one image's subdirectory and under "-d" over two
// images, where an earlier image's files clash with a later one's. Before
// the run, a file "A_B" of the user's is there. The listing shows the files
// written; the lines on the error stream say what happened to the others.
TEST(ExtractCommandNames, CollisionRules)
{
    const DiskModel disk = clashing();
    const auto& f = disk.files;
    const Bytes own(5, 'o');
    const auto said = [](const d88::ConsoleText& text, auto... values) {
        return format(text.shiftJis, values...);
    };
    const std::string game = kGame;
    const struct {
        const char* what;
        std::vector<std::string> args;
        int images;
        std::vector<std::vector<int>> listed; // per image, the entries written
        std::string err;
        std::map<std::string, Bytes> files; // name written under -> bytes
        int status;
    } rows[] = {
        {"default: the later replaces the earlier, reported",
         {},
         1,
         {{0, 1, 2, 3, 4, 5}},
         said(d88::kNameReplaced, 0, "TWICE", 0, "TWICE") +
             said(d88::kNameReplaced, 0, "A_B", 0, "A/B") +
             said(d88::kNameReplaced, 0, kGame, 0, kGame),
         {{"TWICE", f[1].data}, {"A_B", f[3].data}, {game, f[5].data}},
         2},
        {"-k: nothing existing is replaced",
         {"-k"},
         1,
         {{0, 4}},
         said(d88::kNameKept, 0, "TWICE", 0, "TWICE") + said(d88::kExistingKept, 0, "A/B") +
             said(d88::kExistingKept, 0, "A_B") + said(d88::kNameKept, 0, kGame, 0, kGame),
         {{"TWICE", f[0].data}, {"A_B", own}, {game, f[4].data}},
         2},
        {"-r, then -k: the last one counts",
         {"-r", "-k"},
         1,
         {{0, 4}},
         said(d88::kNameKept, 0, "TWICE", 0, "TWICE") + said(d88::kExistingKept, 0, "A/B") +
             said(d88::kExistingKept, 0, "A_B") + said(d88::kNameKept, 0, kGame, 0, kGame),
         {{"TWICE", f[0].data}, {"A_B", own}, {game, f[4].data}},
         2},
        {"-r: nothing is lost",
         {"-k", "-r"},
         1,
         {{0, 1, 2, 3, 4, 5}},
         said(d88::kWrittenAs, 0, "TWICE", "TWICE~1") + said(d88::kWrittenAs, 0, "A/B", "A_B~1") +
             said(d88::kWrittenAs, 0, "A_B", "A_B~2") +
             said(d88::kWrittenAs, 0, kGame, (game + "~1").c_str()),
         {{"TWICE", f[0].data},
          {"TWICE~1", f[1].data},
          {"A_B", own},
          {"A_B~1", f[2].data},
          {"A_B~2", f[3].data},
          {game, f[4].data},
          {game + "~1", f[5].data}},
         0},
        // What is on disk is not looked at: the user's A_B is no clash.
        {"-l -r: listed as -r would write them, nothing written",
         {"-l", "-r"},
         1,
         {{0, 1, 2, 3, 4, 5}},
         said(d88::kWrittenAs, 0, "TWICE", "TWICE~1") + said(d88::kWrittenAs, 0, "A_B", "A_B~1") +
             said(d88::kWrittenAs, 0, kGame, (game + "~1").c_str()),
         {{"A_B", own}},
         0},
        {"default, -d: across images too",
         {"-d"},
         2,
         {{0, 1, 2, 3, 4, 5}, {0, 1, 2, 3, 4, 5}},
         said(d88::kNameReplaced, 0, "TWICE", 0, "TWICE") +
             said(d88::kNameReplaced, 0, "A_B", 0, "A/B") +
             said(d88::kNameReplaced, 0, kGame, 0, kGame) +
             said(d88::kNameReplaced, 1, "TWICE", 0, "TWICE") +
             said(d88::kNameReplaced, 1, "TWICE", 1, "TWICE") +
             said(d88::kNameReplaced, 1, "A/B", 0, "A_B") +
             said(d88::kNameReplaced, 1, "A_B", 1, "A/B") +
             said(d88::kNameReplaced, 1, kGame, 0, kGame) +
             said(d88::kNameReplaced, 1, kGame, 1, kGame),
         {{"TWICE", f[1].data}, {"A_B", f[3].data}, {game, f[5].data}},
         2},
        {"-k, -d: the first image's files stay",
         {"-d", "-k"},
         2,
         {{0, 4}, {}},
         said(d88::kNameKept, 0, "TWICE", 0, "TWICE") + said(d88::kExistingKept, 0, "A/B") +
             said(d88::kExistingKept, 0, "A_B") + said(d88::kNameKept, 0, kGame, 0, kGame) +
             said(d88::kNameKept, 1, "TWICE", 0, "TWICE") +
             said(d88::kNameKept, 1, "TWICE", 0, "TWICE") + said(d88::kExistingKept, 1, "A/B") +
             said(d88::kExistingKept, 1, "A_B") + said(d88::kNameKept, 1, kGame, 0, kGame) +
             said(d88::kNameKept, 1, kGame, 0, kGame),
         {{"TWICE", f[0].data}, {"A_B", own}, {game, f[4].data}},
         2},
        {"-r, -d: every file under a name of its own",
         {"-r", "-d"},
         2,
         {{0, 1, 2, 3, 4, 5}, {0, 1, 2, 3, 4, 5}},
         said(d88::kWrittenAs, 0, "TWICE", "TWICE~1") + said(d88::kWrittenAs, 0, "A/B", "A_B~1") +
             said(d88::kWrittenAs, 0, "A_B", "A_B~2") +
             said(d88::kWrittenAs, 0, kGame, (game + "~1").c_str()) +
             said(d88::kWrittenAs, 1, "TWICE", "TWICE~2") +
             said(d88::kWrittenAs, 1, "TWICE", "TWICE~3") +
             said(d88::kWrittenAs, 1, "A/B", "A_B~3") + said(d88::kWrittenAs, 1, "A_B", "A_B~4") +
             said(d88::kWrittenAs, 1, kGame, (game + "~2").c_str()) +
             said(d88::kWrittenAs, 1, kGame, (game + "~3").c_str()),
         {{"TWICE", f[0].data},
          {"TWICE~1", f[1].data},
          {"TWICE~2", f[0].data},
          {"TWICE~3", f[1].data},
          {"A_B", own},
          {"A_B~1", f[2].data},
          {"A_B~2", f[3].data},
          {"A_B~3", f[2].data},
          {"A_B~4", f[3].data},
          {game, f[4].data},
          {game + "~1", f[5].data},
          {game + "~2", f[4].data},
          {game + "~3", f[5].data}},
         0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const bool flat = std::find(row.args.begin(), row.args.end(), "-d") != row.args.end();
        const std::string dir = flat ? "" : "000/";
        Scratch scratch;
        scratch.input(d88build::concat(
            std::vector<Bytes>(static_cast<std::size_t>(row.images), build(disk))));
        fs::create_directories(scratch.out() / dir);
        d88build::writeFile(scratch.out() / dir / "A_B", own);
        std::vector<std::string> args = {"../in.d88"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const Result r = scratch.run(args, "LANG=C");
        std::vector<DiskModel> listed;
        for (const std::vector<int>& entries : row.listed) {
            listed.push_back(disk);
            std::erase_if(listed.back().files, [&](const FileModel& m) {
                return std::find(entries.begin(), entries.end(), m.entry) == entries.end();
            });
        }
        Tree tree;
        if (!flat) {
            tree["000/"] = {};
        }
        for (const auto& [name, bytes] : row.files) {
            tree[dir + onDisk(name)] = bytes;
        }
        EXPECT_EQ(r.status, row.status);
        EXPECT_EQ(r.out, expected(listed, !flat, false, {}).first);
        EXPECT_EQ(r.err, row.err);
        expectTree(listTree(scratch.out()), tree);
    }
}

// Windows tells names apart without case and without trailing dots and
// blanks: there "Name" and "NAME", "DOT." and "DOT" clash, and are
// reported; on Linux they are four files. Shift_JIS bytes that only look
// like letters (the second byte of a character) never clash.
TEST(ExtractCommandNames, NamesAsTheHostComparesThem)
{
    const DiskModel disk = {
        "CASE",
        "CASE",
        {file(0, "Name", "", 1, 1, 10, {10}), file(1, "NAME", "", 2, 2, 20, {11}),
         file(2, "DOT.", "", 3, 3, 30, {12}), file(3, "DOT", "", 4, 4, 40, {13}),
         // The second bytes are 'a' and 'A': two characters.
         file(4,
              "\x83"
              "a",
              "", 5, 5, 50, {14}),
         file(5,
              "\x83"
              "A",
              "", 6, 6, 60, {15})}};
    Scratch scratch;
    scratch.input(build(disk));
    const Result r = scratch.run({"../in.d88", "-d"}, "LANG=C");
    EXPECT_EQ(r.out, expected({disk}, false, false, {}).first);
    if (!windowsHost()) {
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        expectTree(listTree(scratch.out()), expected({disk}, false, false, {}).second);
        return;
    }
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, format(d88::kNameReplaced.shiftJis, 0, "NAME", 0, "Name") +
                         format(d88::kNameReplaced.shiftJis, 0, "DOT", 0, "DOT."));
    // Which case the one file keeps is the file system's to say.
    std::map<std::string, Bytes> upper;
    for (const auto& [path, bytes] : listTree(scratch.out())) {
        std::string key = path;
        std::transform(key.begin(), key.end(), key.begin(), [](char c) {
            return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        });
        EXPECT_TRUE(upper.emplace(key, bytes).second) << "two files for " << key;
    }
    EXPECT_EQ(upper.size(), 4u);
    EXPECT_EQ(upper["NAME"], disk.files[1].data);
    EXPECT_EQ(upper["DOT"], disk.files[3].data);
}

// A write that falls short under a file-size limit stops the run at once
// with status 1 and a message naming the file, which is then gone; an
// earlier file of that name is left whole, and nothing after it is written.
// The tool ignores SIGXFSZ itself: the shell's default would kill it.
TEST(ExtractCommand, ShortWriteStops)
{
    if (windowsHost()) {
        GTEST_SKIP() << "Windows has no file-size limit (ulimit -f) to make a write fall short";
    }
    const FileModel game = diskA().files[0];
    const Bytes earlier(100, 'e');
    for (const bool existed : {false, true}) {
        SCOPED_TRACE(existed ? "over an earlier file" : "a new file");
        Scratch scratch;
        const Bytes good = build(diskA());
        scratch.input(d88build::concat({good, good}));
        Tree before;
        if (existed) {
            d88build::writeFile(scratch.out() / kGame, earlier);
            before[kGame] = earlier;
        }
        // A file-size limit of 2 or 4 KiB: GAME (4666 bytes) is the first file over it.
        const Result r = scratch.run({"../in.d88", "-d"}, "LANG=C", "ulimit -f 4; ");
        const std::string listing = format(d88::kListingLine.shiftJis, kGame, game.load, game.size,
                                           game.exec, 24, 3, 15, 9, 30);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, std::string(d88::kColumnHeader.shiftJis) + listing);
        EXPECT_EQ(r.err, sjis(d88::kWriteFailed));
        EXPECT_EQ(r.details,
                  std::vector<std::string>{std::string(kGame) + ": " + std::strerror(EFBIG)});
        expectTree(listTree(scratch.out()), before);
    }
}

// Every file is written, but a listing that cannot reach its reader is
// reported rather than passed off as success.
TEST(ExtractCommand, LostListingIsReported)
{
    Scratch scratch;
    scratch.input(build(diskA()));
    const Result r = scratch.run({"../in.d88"}, "LANG=C", "exec >/dev/full; ");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, d88::kConsoleLost.shiftJis);
    expectTree(listTree(scratch.out()), expected({diskA()}, true, false, {}).second);
}

// What a run in `scratch` shows on a terminal (a pseudo-terminal made by
// script(1)) with both streams on it, each CR LF the terminal made an LF
// again; `status` is the exit status expected.
std::string onTerminal(const Scratch& scratch, const std::vector<std::string>& args,
                       const std::string& locale, int status)
{
    const fs::path tty = scratch.out().parent_path() / "tty";
    std::string tool = customCommand() ? customCommand() : quote(D88UNPACK_BINARY);
    for (const std::string& arg : args) {
        tool += " " + quote(arg);
    }
    const std::string line = "cd " + quote(scratch.out()) +
                             " && (unset LANGUAGE LC_ALL LC_MESSAGES LC_CTYPE LANG; export " +
                             locale + "; script -qec " + quote(tool) + " /dev/null) </dev/null >" +
                             quote(tty) + " 2>&1";
    EXPECT_EQ(WEXITSTATUS(std::system(line.c_str())), status);
    std::string shown = readText(tty);
    std::erase(shown, '\r');
    return shown;
}

// Names with control bytes: escaped on a terminal, byte for byte in a pipe,
// for the listing and the messages.
TEST(ExtractCommand, ControlBytesOnATerminal)
{
    if (windowsHost()) {
        GTEST_SKIP() << "wine gives the tool a console of its own, not the terminal";
    }
    const std::string name = "A\x1b[2J\a\nB";
    DiskModel disk{"T\x1b]0;X\a", "T\x1b]0;X\a", {file(0, name, "", 1, 1, 300, {10})}};
    const Bytes input = build(disk, nullptr, [](ImageBuilder& im) { im.removeSector(5, 2); });
    const std::string escaped = "A\\x1b[2J\\a\\nB";
    Scratch scratch;
    scratch.input(input);

    const Result piped = scratch.run({"../in.d88", "-l"}, "LANG=C");
    EXPECT_EQ(piped.status, 2);
    EXPECT_NE(piped.out.find("\n[T\x1b]0;X\a] -> 000\n"), std::string::npos);
    EXPECT_NE(piped.out.find("\n" + name + "  0001 012c 0001"), std::string::npos);
    EXPECT_EQ(piped.err, format(d88::kFileSectorsLost.shiftJis, 0, name.c_str(), 1));

    const std::string shown = onTerminal(scratch, {"../in.d88", "-l"}, "LANG=C", 2);
    EXPECT_NE(shown.find("\n[T\\x1b]0;X\\a] -> 000\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\n" + escaped + " 0001 012c 0001"), std::string::npos) << shown;
    EXPECT_NE(shown.find(format(d88::kFileSectorsLost.shiftJis, 0, escaped.c_str(), 1)),
              std::string::npos)
        << shown;
    EXPECT_EQ(shown.find('\x1b'), std::string::npos);
    EXPECT_EQ(shown.find('\a'), std::string::npos);
}

// The C1 controls, U+0080 to U+009F in UTF-8, on a terminal whose locale
// is UTF-8, in either language: escaped in the names of the listing, of a
// problem and of the -r notice, in an error's paths and in a usage error;
// in a pipe, byte for byte.
TEST(ExtractCommand, C1ControlsOnAUtf8Terminal)
{
    if (windowsHost()) {
        GTEST_SKIP() << "wine gives the tool a console of its own, not the terminal";
    }
    const std::string image = "I\xC2\x9D"
                              "0;X\xC2\x9C";
    DiskModel disk{image, image, {}};
    std::vector<std::string> names, escaped;
    for (int code = 0x80; code <= 0x9F; ++code) {
        names.push_back("F\xC2" + std::string(1, static_cast<char>(code)));
        escaped.push_back(format("F\\u%04x", code));
        disk.files.push_back(file(code - 0x80, names.back(), "", 1, 1, 10, {code - 0x80 + 10}));
    }
    // The first name twice, for a notice of -r; a lost sector in the second.
    disk.files.push_back(file(32, names[0], "", 1, 1, 10, {50}));
    Scratch scratch;
    scratch.input(build(disk, nullptr, [](ImageBuilder& im) { im.removeSector(5, 9); }));
    // Under a file: no directory can be made there.
    const std::string dir = "../in.d88/\xC2\x9B"
                            "2J";
    const std::string option = "--\xC2\x9B"
                               "2J";
    // Each text of a list is in the output at least as often as in the list.
    const auto expectHolds = [](const std::string& output, const std::vector<std::string>& texts) {
        for (const std::string& text : texts) {
            std::size_t seen = 0;
            for (std::size_t at = output.find(text); at != std::string::npos;
                 at = output.find(text, at + 1)) {
                ++seen;
            }
            EXPECT_GE(seen, static_cast<std::size_t>(std::count(texts.begin(), texts.end(), text)))
                << text << " in\n"
                << output;
        }
    };
    const std::string shownDir = "../in.d88/\\u009b2J";
    const struct {
        std::vector<std::string> args;
        int status;
        std::vector<std::string> raw, shown; // in a pipe, on the terminal
    } runs[] = {
        {{"../in.d88", "-l", "-r"}, 2, names, escaped},
        // The message and the reason's line.
        {{"../in.d88", "-o", dir}, 1, {dir, dir}, {shownDir, shownDir}},
        {{option}, 1, {option}, {"--\\u009b2J"}},
    };
    for (const std::string locale : {"LANG=en_US.UTF-8", "LANG=ja_JP.UTF-8"}) {
        for (const auto& run : runs) {
            SCOPED_TRACE(locale + " " + run.args.back());
            const Result piped = scratch.run(run.args, locale);
            EXPECT_EQ(piped.status, run.status);
            std::string all = piped.out + piped.err;
            for (const std::string& detail : piped.details) {
                all += detail + "\n";
            }
            expectHolds(all, run.raw);
            const std::string shown = onTerminal(scratch, run.args, locale, run.status);
            expectHolds(shown, run.shown);
            for (int code = 0x80; code <= 0x9F; ++code) {
                EXPECT_EQ(shown.find("\xC2" + std::string(1, static_cast<char>(code))),
                          std::string::npos)
                    << code << " in\n"
                    << shown;
            }
        }
        // The listing, the lost sector's message and the notice of -r.
        const std::string shown = onTerminal(scratch, runs[0].args, locale, 2);
        EXPECT_NE(shown.find("[I\\u009d0;X\\u009c] -> 000"), std::string::npos) << shown;
        EXPECT_NE(shown.find(": F\\u0081: "), std::string::npos) << shown;
        EXPECT_NE(shown.find("F\\u0080~1"), std::string::npos) << shown;
    }
}

} // namespace

namespace {

std::string hexOf(const std::uint8_t* bytes, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += format("%02x", bytes[i]);
    }
    return out;
}

} // namespace

// -u: every file written and listed under the name it reads as, in UTF-8,
// by the Linux tool and by the Windows tool on any code page. What cannot
// be named is written visibly; names that meet once read clash as any names
// do; patterns take characters.
TEST(ExtractCommand, NamesAsTheyRead)
{
    const struct {
        std::string stored, listed, host; // listed: in nine columns, as the listing pads it
    } named[] = {
        {"\x83\x51\x81\x5b\x83\x80   ", "ゲーム   ", "ゲーム"},
        {"\xb9\xde\xb0\xd1", "ｹﾞｰﾑ     ", "ｹﾞｰﾑ"},
        {"\x93\xfa\x96\x7b", "日本     ", "日本"},
        {"\x83\x5c", "ソ       ", "ソ"}, // its second byte is no backslash
        {"A\x80"
         "B\xfd",
         "A%80B%FD", "A%80B%FD"},
        {"100%", "100%25", "100%25"},
        {"C\x01"
         "D",
         "C%01D", "C%01D"},
        {"A/B", "A/B", "A_B"},
        {".", ".", "_"},
        {"..", "..", "__"},
        {"GAME", "GAME", "GAME"},
        {"GAME     ", "GAME", "GAME"}, // reads as the one before
        {"\x87\x54", "Ⅰ       ", "Ⅰ"},
        {"\xfa\x4a", "Ⅰ       ", "Ⅰ"}, // CP932's other code for it
    };
    const std::string imageName = "\x83\x66\x83\x42\x83\x58\x83\x4e"; // ディスク
    DiskModel disk{imageName, "ディスク", {}};
    for (int i = 0; i < static_cast<int>(std::size(named)); ++i) {
        disk.files.push_back(file(i, named[i].stored, "", 0x100 + i, 1, 20 + i, {10 + i}));
    }
    const Bytes input = build(disk);
    const auto listed = [&](std::vector<int> entries) {
        std::string listing =
            format(d88::kImageLine.shiftJis, "ディスク", "000") + d88::kColumnHeader.shiftJis;
        for (const int i : entries) {
            const FileModel& f = disk.files[static_cast<std::size_t>(i)];
            listing += format(d88::kListingLine.shiftJis, named[i].listed.c_str(), f.load, f.size,
                              f.exec, 24, 3, 15, 9, 30);
        }
        return listing;
    };
    std::vector<int> all(std::size(named));
    std::iota(all.begin(), all.end(), 0);
    const std::string clashes = format(d88::kNameReplaced.shiftJis, 0, "GAME", 0, "GAME") +
                                format(d88::kNameReplaced.shiftJis, 0, "Ⅰ", 0, "Ⅰ");
    // The tree: each file under its name, or with -r under the next free one.
    const auto tree = [&](bool renamed) {
        Tree written = {{"000/", {}}};
        for (int i = 0; i < static_cast<int>(std::size(named)); ++i) {
            std::string name = "000/" + named[i].host;
            if (renamed && written.contains(name)) {
                name += "~1";
            }
            written[name] = disk.files[static_cast<std::size_t>(i)].data;
        }
        return written;
    };
    const struct {
        const char* what;
        std::vector<std::string> args;
        int status;
        std::string out, err;
        Tree tree;
        std::string setup = "";
    } rows[] = {
        {"written", {"-u"}, 2, listed(all), clashes, tree(false)},
        {"renamed",
         {"-u", "-r"},
         0,
         listed(all),
         format(d88::kWrittenAs.shiftJis, 0, "GAME", "GAME~1") +
             format(d88::kWrittenAs.shiftJis, 0, "Ⅰ", "Ⅰ~1"),
         tree(true)},
        {"chosen by patterns of characters",
         {"-u", "-l", "-n", "ゲ?ム", "-n", "?ﾞｰﾑ", "-n", "[Ⅰ-Ⅲ]", "-n", "*%25"},
         2,
         listed({0, 1, 5, 12, 13}),
         format(d88::kNameReplaced.shiftJis, 0, "Ⅰ", 0, "Ⅰ"),
         {}},
        // A Western code page for the Windows tool: the names are the same.
        {"on a Western code page", {"-u"}, 2, "", "", tree(false), "export LC_ALL=en_US.UTF-8; "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Scratch scratch;
        scratch.input(input);
        std::vector<std::string> args = {"../in.d88"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const Result r = scratch.run(args, "LANG=C", row.setup);
        EXPECT_EQ(r.status, row.status);
        if (row.setup.empty()) {
            EXPECT_EQ(r.out, row.out);
            EXPECT_EQ(r.err, row.err);
        }
        expectTree(listTree(scratch.out()), row.tree);
    }

    if (windowsHost()) {
        // Without -u that code page spells other names: the row above ran on one.
        Scratch bytes;
        bytes.input(input);
        bytes.run({"../in.d88"}, "LANG=C", rows[3].setup);
        EXPECT_FALSE(listTree(bytes.out()).contains("000/ゲーム"));
    }

    // The JSON records name the file written, and keep the stored bytes.
    Scratch json;
    json.input(input);
    const Result r = json.run({"../in.d88", "-u", "-j"}, "LANG=C");
    EXPECT_EQ(r.status, 2);
    std::istringstream lines(r.out);
    std::size_t files = 0;
    for (std::string line; std::getline(lines, line);) {
        const nlohmann::json record = nlohmann::json::parse(line);
        if (record.at("type") != "file") {
            continue;
        }
        const auto& f = named[record.at("entry").get<std::size_t>()];
        std::string stored = f.stored;
        EXPECT_EQ(record.at("path"), "000/" + f.host);
        EXPECT_EQ(record.at("name").at("hex"),
                  hexOf(reinterpret_cast<const std::uint8_t*>(stored.data()),
                        static_cast<int>(stored.size())));
        ++files;
    }
    EXPECT_EQ(files, std::size(named));

    // The demo: GAME can be typed.
    Scratch demo;
    demo.input(d88build::readFile(D88UNPACK_DEMO));
    EXPECT_EQ(demo.run({"../in.d88", "-u", "-o", "out"}, "LANG=C").status, 0);
    EXPECT_EQ(d88build::readFile((demo.out() / "out" / "000" / "GAME").string()).size(), 5006u);
}

// The tool's JSON listing and check as a user runs them (the Windows tool's
// hashes come from BCrypt): every line parses, each written file's hashes
// are those of its bytes, and the check finds the entry planted after the
// end mark and the name stored twice, and nothing else.
TEST(ExtractCommand, JsonListingAndCheck)
{
    Scratch scratch;
    scratch.input(build(diskC()));
    const Result listed = scratch.run({"../in.d88", "-j"}, "LANG=C");
    // The later TWICE replaces the earlier one, and says so.
    EXPECT_EQ(listed.status, 2);
    EXPECT_EQ(listed.err, format(d88::kNameReplaced.shiftJis, 0, "TWICE", 0, "TWICE"));
    std::vector<std::string> recorded, types;
    std::istringstream lines(listed.out);
    for (std::string line; std::getline(lines, line);) {
        const nlohmann::json record = nlohmann::json::parse(line);
        types.push_back(record.at("type").get<std::string>());
        if (record.at("type") == "file") {
            recorded.push_back(record.at("sha256").get<std::string>() + " " +
                               record.at("sha1").get<std::string>() + " " +
                               record.at("crc32").get<std::string>());
        }
    }
    ASSERT_GE(types.size(), 3u);
    EXPECT_EQ(types.front(), "run");
    EXPECT_EQ(types[1], "image");
    EXPECT_EQ(types.back(), "summary");
    std::vector<std::string> written;
    for (const auto& [path, bytes] : listTree(scratch.out())) {
        if (path.ends_with("/")) {
            continue; // a directory
        }
        d88::host::Digests digests{};
        ASSERT_TRUE(d88::host::digestAll(bytes.data(), bytes.size(), digests));
        written.push_back(hexOf(digests.sha256, 32) + " " + hexOf(digests.sha1, 20) + " " +
                          format("%08x", digests.crc32));
    }
    // One record per file; a later TWICE replaces the earlier on the host.
    EXPECT_EQ(recorded.size(), diskC().files.size());
    EXPECT_EQ(written.size(), diskC().files.size() - 1);
    for (const std::string& digests : written) {
        EXPECT_NE(std::find(recorded.begin(), recorded.end(), digests), recorded.end()) << digests;
    }

    Scratch check;
    check.input(build(diskC()));
    const Result checked = check.run({"../in.d88", "-c"}, "LANG=C");
    EXPECT_EQ(checked.status, 2);
    EXPECT_EQ(checked.out, "");
    const int ghost = diskC().files.back().entry + 2;
    int firstTwice = -1;
    for (const FileModel& f : diskC().files) {
        firstTwice = firstTwice < 0 && f.stored == "TWICE" ? f.entry : firstTwice;
    }
    EXPECT_EQ(checked.err, format(d88::kSameName.shiftJis, 0, "TWICE", firstTwice) +
                               format(d88::kEntryAfterEnd.shiftJis, 0, ghost, "GHOST"));
    expectTree(listTree(check.out()), {});
}
