// End-to-end tests: the built d88unpack runs as a separate process in a fresh
// directory; its streams, exit status and every file it leaves are compared
// with what the test's own images hold. The command is D88UNPACK_COMMAND when
// set (shell words, so "wine64 path/to/d88unpack.exe" works), else the build's.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "d88_builder.h"
#include "extract/console_text.h"

namespace {

namespace fs = std::filesystem;
using d88::ConsoleEncoding;
using d88build::Bytes;
using d88build::DiskBuilder;
using d88build::ImageBuilder;
using d88build::Stamp;

// Everything under a directory: relative path -> contents; directories end in '/'.
using Tree = std::map<std::string, Bytes>;

std::string format(const char* pattern, ...)
{
    char text[1024];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    return text;
}

std::string sjis(const d88::ConsoleText& text)
{
    return text.shiftJis;
}

std::string quote(const std::string& word)
{
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

const char* customCommand()
{
    const char* command = std::getenv("D88UNPACK_COMMAND");
    return command != nullptr && command[0] != '\0' ? command : nullptr;
}

std::string readText(const fs::path& path)
{
    const Bytes bytes = d88build::readFile(path.string());
    return std::string(bytes.begin(), bytes.end());
}

Tree listTree(const fs::path& root)
{
    Tree tree;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        const std::string path = entry.path().lexically_relative(root).string();
        if (entry.is_directory()) {
            tree[path + "/"] = {};
        } else {
            tree[path] = d88build::readFile(entry.path().string());
        }
    }
    return tree;
}

void expectTree(const Tree& got, const Tree& want)
{
    for (const auto& [path, bytes] : want) {
        const auto it = got.find(path);
        EXPECT_TRUE(it != got.end()) << "missing: " << path;
        if (it != got.end() && it->second != bytes) {
            const auto diff =
                std::mismatch(bytes.begin(), bytes.end(), it->second.begin(), it->second.end());
            ADD_FAILURE() << path << ": " << it->second.size() << " bytes, expected "
                          << bytes.size() << ", first difference at " << diff.first - bytes.begin();
        }
    }
    for (const auto& [path, bytes] : got) {
        EXPECT_TRUE(want.contains(path)) << "not expected: " << path;
    }
}

struct Result {
    int status;
    std::string out, err;
};

// A fresh directory per test. The input file and the captured streams lie
// next to "out", the tool's working directory, so "out" holds only what the
// tool made (and what a test put there first).
class Scratch {
public:
    Scratch()
    {
        char name[] = "/tmp/d88unpack-test-XXXXXX";
        if (::mkdtemp(name) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        root_ = name;
        fs::create_directory(out());
    }
    ~Scratch()
    {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    fs::path out() const { return root_ / "out"; }
    void input(const Bytes& bytes) const { d88build::writeFile(root_ / "in.d88", bytes); }

    // `locale`: the variables exported after LC_ALL, LC_CTYPE and LANG are
    // unset; `setup`: shell commands run just before the tool.
    Result run(const std::vector<std::string>& args, const std::string& locale,
               const std::string& setup = "") const
    {
        std::string line = "cd " + quote(out()) + " && (unset LC_ALL LC_CTYPE LANG; export " +
                           locale + "; " + setup +
                           (customCommand() ? customCommand() : quote(D88UNPACK_BINARY));
        for (const std::string& arg : args) {
            line += " " + quote(arg);
        }
        line += ") >" + quote(root_ / "stdout") + " 2>" + quote(root_ / "stderr");
        const int raw = std::system(line.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readText(root_ / "stdout"),
                readText(root_ / "stderr")};
    }

private:
    fs::path root_;
};

const Stamp kStamp = {0x24, 0x03, 0x15, 0x09, 0x30};
const char* const kGame = "GAME     ";

// One file as the test lays it on a disk and as the tool should give it back.
struct FileModel {
    int entry;
    std::string stored;        // name bytes on the disk
    std::string host;          // name of the file on the host
    unsigned load, size, exec; // as the listing line shows them
    std::vector<int> chain;
    Stamp stamp;
    Bytes data; // header and body: what is written without "-b"
};

FileModel file(int entry, const std::string& stored, const std::string& host, unsigned load,
               unsigned exec, std::size_t bodySize, std::vector<int> chain, Stamp stamp = kStamp)
{
    FileModel f{entry, stored, host.empty() ? stored : host, load, 0, exec, std::move(chain),
                stamp, {}};
    f.size = static_cast<unsigned>(bodySize);
    f.data = d88build::withHeader(load, exec, d88build::pattern(bodySize, entry * 977 + load));
    return f;
}

struct DiskModel {
    std::string name;  // the 17-byte name field
    std::string shown; // the name in the image line
    std::vector<FileModel> files;
};

// The directory holds the files, empty entries between them, the end mark,
// and after it a complete entry that must never be extracted.
Bytes build(const DiskModel& model, void (*diskHook)(DiskBuilder&) = nullptr,
            void (*imageHook)(ImageBuilder&) = nullptr)
{
    DiskBuilder disk(model.name);
    // Files are listed in entry order.
    const int end = model.files.empty() ? 0 : model.files.back().entry + 1;
    for (int i = 0; i < end; ++i) {
        disk.setRawEntry(i, {});
    }
    for (const FileModel& f : model.files) {
        disk.addFile(f.entry, f.stored, f.chain, f.data, f.stamp);
    }
    disk.addFile(end + 1, "GHOST", {150}, d88build::withHeader(1, 2, Bytes(10, 0x47)));
    disk.endDirectory(end);
    if (diskHook != nullptr) {
        diskHook(disk);
    }
    ImageBuilder image = disk.image();
    if (imageHook != nullptr) {
        imageHook(image);
    }
    return image.build();
}

// What a run over `disks` prints, and the output tree it leaves on top of
// `before`.
std::pair<std::string, Tree> expected(const std::vector<DiskModel>& disks, bool subdirectories,
                                      bool cut, Tree before,
                                      ConsoleEncoding encoding = ConsoleEncoding::ShiftJis)
{
    const auto bcd = [](std::uint8_t value) { return (value >> 4) * 10 + (value & 0x0F); };
    std::pair<std::string, Tree> e{cut ? d88::textFor(d88::kCuttingHeader, encoding) : "",
                                   std::move(before)};
    for (std::size_t i = 0; i < disks.size(); ++i) {
        std::string dir;
        if (subdirectories) {
            dir = format("%03zu", i);
            e.first += format(d88::kImageLine.shiftJis, disks[i].shown.c_str(), dir.c_str());
            if (!e.second.contains(dir)) { // a file of that name stays a file
                e.second[dir + "/"] = {};
            }
            dir += "/";
        }
        e.first += d88::kColumnHeader.shiftJis;
        for (const FileModel& f : disks[i].files) {
            const Stamp& s = f.stamp;
            e.first += format(d88::kListingLine.shiftJis, f.stored.c_str(), f.load, f.size, f.exec,
                              bcd(s[0]), bcd(s[1]), bcd(s[2]), bcd(s[3]), bcd(s[4]));
            const std::size_t skip = std::min<std::size_t>(cut ? 6 : 0, f.data.size());
            e.second[dir + f.host] = Bytes(f.data.begin() + static_cast<long>(skip), f.data.end());
        }
    }
    return e;
}

// Files in both directory sectors, one and several clusters, chains that
// jump across the disk, last sectors only partly used by the data.
DiskModel diskA()
{
    return {"DISK A",
            "DISK A",
            {file(0, kGame, "", 0x6000, 0x6000, 0x1234, {10, 11, 40}),
             file(2, "DATA.BIN", "", 0xab00, 0x00fe, 300, {5}, {0x99, 0x12, 0x31, 0x23, 0x59}),
             file(16, "LATE", "", 0x0100, 0xffff, 5000, {7, 60, 9}, {0, 1, 1, 0, 0})}};
}

// A full name field with no NUL; names the host must not take as they stand.
DiskModel diskC()
{
    return {"ABCDEFGHIJKLMNOPQ",
            "ABCDEFGHIJKLMNOP",
            {file(0, kGame, "", 0x7000, 0x7003, 100, {20}), file(1, "TWICE", "", 1, 1, 50, {21}),
             file(2, "TWICE", "", 2, 2, 70, {22}), file(3, "A/B", "A_B", 3, 3, 10, {23}),
             file(4, ".", "_", 4, 4, 10, {24}), file(5, "..", "__", 5, 5, 10, {25}),
             file(6, "EMPTY", "", 0x1234, 0x5678, 0, {26}),
             file(7, "\xb1\xb2\xb3 X", "", 7, 7, 20, {27})}};
}

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
        {"no complete image header, -b", Bytes(687, 0x41), {"../in.d88", "-b"}, 0, notice, ""},
        {"empty file", {}, {"../in.d88"}, 0, "", ""},
        {"-d first is a path", good, {"-d"}, 1, "", open},
        {"-d first is a path, also before one", good, {"-d", "../in.d88"}, 1, "", open},
        {"missing file: no -b notice", good, {"../none.d88", "-b"}, 1, "", open},
        {"a directory", good, {"..", "-b"}, 1, "", open},
        {"UTF-8 locale", good, {"../none.d88"}, 1, "", d88::kCannotOpen.utf8, "LC_ALL=C.UTF-8"},
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
// replaces A's; the later TWICE always replaces the earlier. Console texts
// follow the locale; names are bytes and never converted.
TEST(ExtractCommand, OptionsOverThreeImages)
{
    const std::vector<DiskModel> disks = {diskA(), {"DISK B", "DISK B", {}}, diskC()};
    const Bytes input = d88build::concat({build(disks[0]), build(disks[1]), build(disks[2])});
    const ConsoleEncoding utf8 = ConsoleEncoding::Utf8;
    const struct {
        const char* what;
        std::vector<std::string> args;
        bool subdirectories, cut, reuse;
        std::string locale = "LANG=C";
        ConsoleEncoding encoding = ConsoleEncoding::ShiftJis;
    } rows[] = {
        {"defaults", {}, true, false, false},
        {"-b", {"-b"}, true, true, false},
        {"-d", {"-d"}, false, false, false},
        {"-d -b", {"-d", "-b"}, false, true, false},
        {"-b -d", {"-b", "-d"}, false, true, false},
        {"repeated", {"-b", "-d", "-b", "-d"}, false, true, false},
        {"others ignored", {"-x", "-B", "-D", "--b", "b", "-bd", ""}, true, false, false},
        {"existing subdirectory reused", {}, true, false, true},
        {"UTF-8 locale", {"-b"}, true, true, false, "LC_ALL=C.UTF-8", utf8},
        {"LC_ALL before LANG", {"-b"}, true, true, false, "LC_ALL=C LANG=C.UTF-8"},
        {"LC_CTYPE before LANG", {"-b"}, true, true, false, "LC_CTYPE=en_US.utf8 LANG=C", utf8},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Scratch scratch;
        scratch.input(input);
        if (row.reuse) {
            fs::create_directory(scratch.out() / "000");
            d88build::writeFile(scratch.out() / "000" / kGame, Bytes(9000, 'o'));
            d88build::writeFile(scratch.out() / "000" / "KEEP", Bytes(3, 'k'));
        }
        std::vector<std::string> args = {"../in.d88"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const auto [out, tree] =
            expected(disks, row.subdirectories, row.cut, listTree(scratch.out()), row.encoding);
        const Result r = scratch.run(args, row.locale);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, out);
        EXPECT_EQ(r.err, "");
        expectTree(listTree(scratch.out()), tree);
        EXPECT_NE(r.out.find("\nGAME      6000 1234 6000 24/03/15 09:30\n"), std::string::npos);
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
         .err = format(d88::kCannotCreateFile.shiftJis, 1, "DATA.BIN"),
         .adjust = [](DiskModel& d) { drop(d, "DATA.BIN"); }},
        {.what = "subdirectory name taken by a file",
         .prepare = [](const fs::path& out) { d88build::writeFile(out / "001", Bytes(1, 'x')); },
         .err = format(d88::kCannotEnterSubdirectory.shiftJis, 1, "001"),
         .adjust = [](DiskModel& d) { d.files.clear(); }},
        // The size also bounds the track offsets, so none of its tracks is read.
        {.what = "disk size 0 ends the scan",
         .image = [](ImageBuilder& im) { im.diskSize = 0; },
         .err = format(d88::kDirectoryDamaged.shiftJis, 1, 12) +
                format(d88::kTableUnreadable.shiftJis, 1),
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

// A write that falls short stops the run at once with status 1; the partly
// written file stays, and nothing after it is written.
TEST(ExtractCommand, ShortWriteStops)
{
    Scratch scratch;
    const Bytes good = build(diskA());
    scratch.input(d88build::concat({good, good}));
    // A file-size limit of 2 or 4 KiB: GAME (4666 bytes) is the first file over it.
    const Result r = scratch.run({"../in.d88", "-d"}, "LANG=C", "trap '' XFSZ; ulimit -f 4; ");
    const FileModel game = diskA().files[0];
    const std::string listing = format(d88::kListingLine.shiftJis, kGame, game.load, game.size,
                                       game.exec, 24, 3, 15, 9, 30);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, std::string(d88::kColumnHeader.shiftJis) + listing);
    EXPECT_EQ(r.err, d88::kWriteFailed.shiftJis);
    const Tree tree = listTree(scratch.out());
    ASSERT_EQ(tree.size(), 1u);
    // The limit's unit is the shell's own; what was written is a true prefix.
    const Bytes& partial = tree.at(kGame);
    ASSERT_LT(partial.size(), game.data.size());
    EXPECT_EQ(partial, Bytes(game.data.begin(), game.data.begin() + partial.size()));
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
