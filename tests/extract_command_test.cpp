// End-to-end tests of extraction: images, options, locales and damage.
#include <cerrno>
#include <cstring>

#include "e2e_support.h"

namespace {

using namespace e2e;

TEST(ExtractCommand, RunsThatWriteNothing)
{
    const Bytes good = build(diskA());
    const std::string open = sjis(d88::kCannotOpen), notice = sjis(d88::kCuttingHeader);
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
        {"no complete image header, -b", Bytes(687, 0x41), {"../in.d88", "-b"}, 2, notice,
         sjis(d88::kNoImage)},
        {"empty file", {}, {"../in.d88"}, 2, "", sjis(d88::kNoImage)},
        {"-d first is a path", good, {"-d"}, 1, "", open},
        {"-d first is a path, also before one", good, {"-d", "../in.d88"}, 1, "", open},
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
        {"others ignored", {"-x", "-B", "-D", "--b", "b", "-bd", ""}, true, false, false},
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
        const std::string listing = format(d88::kListingLine.shiftJis, kGame, game.load,
                                           game.size, game.exec, 24, 3, 15, 9, 30);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, std::string(d88::kColumnHeader.shiftJis) + listing);
        EXPECT_EQ(r.err, format(d88::kFileWriteFailed.shiftJis, 0, kGame));
        EXPECT_EQ(r.details, std::vector<std::string>{std::string(kGame) + ": " +
                                                      std::strerror(EFBIG)});
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

} // namespace
