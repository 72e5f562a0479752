// D88 files read out of archives and from the standard input, end to end:
// the trees written equal those of the same D88 files given as files, a
// folder per D88 file inside its archive's, whatever the entry paths hold;
// damage stops its entry alone; worker processes change nothing.
#include <archive.h>
#include <archive_entry.h>

#include "e2e_support.h"

namespace {

using namespace e2e;

struct Member {
    std::string name;
    Bytes bytes;
};

// An archive of `members`, written with libarchive itself.
void writeArchive(const fs::path& path, int format, int filter, const std::vector<Member>& members,
                  const char* encryption = nullptr)
{
    archive* a = archive_write_new();
    archive_write_set_format(a, format);
    if (filter != ARCHIVE_FILTER_NONE) {
        archive_write_add_filter(a, filter);
    }
    if (encryption != nullptr) {
        archive_write_set_options(a, encryption);
        archive_write_set_passphrase(a, "secret");
    }
    archive_write_open_filename(a, path.c_str());
    for (const Member& m : members) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, m.name.c_str());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, static_cast<la_int64_t>(m.bytes.size()));
        archive_write_header(a, entry);
        archive_write_data(a, m.bytes.data(), m.bytes.size());
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
}

// The tree one D88 file gives when it is given as a file, with "-f".
Tree treeOfFile(const Bytes& bytes)
{
    Scratch scratch;
    d88build::writeFile(scratch.out() / "d.d88", bytes);
    scratch.run({"-f", "-o", "ref", "d.d88"}, "LANG=en_US.UTF-8");
    return listTree(scratch.out() / "ref" / "d");
}

bool skipped()
{
    return windowsHost();
}

TEST(Archives, EachD88FileGetsTheTreeItsFileGets)
{
    if (skipped()) {
        GTEST_SKIP() << "the Windows tool reads no archives";
    }
    const Bytes a = build(diskA()), c = build(diskC());
    Scratch scratch;
    const fs::path inner = scratch.out() / ".." / "inner.zip";
    writeArchive(inner, ARCHIVE_FORMAT_ZIP, ARCHIVE_FILTER_NONE, {{"x.d88", a}});
    const std::vector<Member> members = {
        {"disks/A.d88", a},
        {"readme.txt", Bytes(40, 'r')},
        {"inner.zip", d88build::readFile((scratch.out() / ".." / "inner.zip").string())},
        // Nothing an entry path holds reaches out of the archive's folder.
        {"../../escape/C.D88", c},
        {"/abs/A.d88", a},
        // A path from DOS or Windows, its parts apart by backslashes.
        {"DOS\\DISKS\\A.D88", a},
        // Known by its bytes alone.
        {"C.img", c},
    };
    const struct {
        const char* name;
        int format;
        int filter;
    } rows[] = {
        {"coll.zip", ARCHIVE_FORMAT_ZIP, ARCHIVE_FILTER_NONE},
        {"coll.7z", ARCHIVE_FORMAT_7ZIP, ARCHIVE_FILTER_NONE},
        {"coll.tar.gz", ARCHIVE_FORMAT_TAR_PAX_RESTRICTED, ARCHIVE_FILTER_GZIP},
    };
    const Tree treeA = treeOfFile(a), treeC = treeOfFile(c);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Scratch run;
        writeArchive(run.out() / row.name, row.format, row.filter, members);
        const Result result = run.run({"-o", "o", row.name}, "LANG=en_US.UTF-8");
        // DISK C holds one name twice.
        EXPECT_EQ(result.status, 2) << result.err;
        fs::remove(run.out() / row.name);
        expectTree(listTree(run.out() / "o" / "coll" / "A"), treeA);
        expectTree(listTree(run.out() / "o" / "coll" / "C"), treeC);
        expectTree(listTree(run.out() / "o" / "coll" / "A~1"), treeA);
        expectTree(listTree(run.out() / "o" / "coll" / "A~2"), treeA);
        expectTree(listTree(run.out() / "o" / "coll" / "C~1"), treeC);
        EXPECT_EQ(listTree(run.out()).count("o/escape/"), 0u);
        EXPECT_NE(result.err.find(std::string(row.name) + ":inner.zip: an archive inside"),
                  std::string::npos)
            << result.err;
        EXPECT_NE(result.err.find(std::string(row.name) + ": 2 entries of the archive are not D88"),
                  std::string::npos)
            << result.err;
        EXPECT_NE(result.out.find(std::string("D88 file: ") + row.name + ":disks/A.d88 -> coll/A"),
                  std::string::npos)
            << result.out;
    }
}

// An archive of one D88 file, given alone, is that file given alone; so is
// the standard input, which may also hold an archive.
TEST(Archives, AloneAndFromTheStandardInput)
{
    if (skipped()) {
        GTEST_SKIP() << "the Windows tool reads no archives";
    }
    const Bytes a = build(diskA()), c = build(diskC());
    Scratch scratch;
    const fs::path files = scratch.out() / "..";
    d88build::writeFile(files / "A.d88", a);
    writeArchive(files / "one.zip", ARCHIVE_FORMAT_ZIP, ARCHIVE_FILTER_NONE, {{"A.d88", a}});
    writeArchive(files / "two.zip", ARCHIVE_FORMAT_ZIP, ARCHIVE_FILTER_NONE,
                 {{"A.d88", a}, {"C.d88", c}});

    const Result plain = scratch.run({"../A.d88"}, "LANG=en_US.UTF-8");
    const Tree plainTree = listTree(scratch.out());
    for (const std::vector<std::string>& way : {std::vector<std::string>{"", "../one.zip"},
                                                {"cat ../A.d88 | ", "-"},
                                                {"cat ../one.zip | ", "-"}}) {
        SCOPED_TRACE(way[0] + way[1]);
        fs::remove_all(scratch.out());
        fs::create_directory(scratch.out());
        const Result got = scratch.run({way[1]}, "LANG=en_US.UTF-8", way[0]);
        EXPECT_EQ(got.status, plain.status);
        EXPECT_EQ(got.out, plain.out);
        EXPECT_EQ(got.err, plain.err);
        expectTree(listTree(scratch.out()), plainTree);
    }
    // The listing of the standard input is that of the file, but for the name.
    const Result listed = scratch.run({"-l", "-j", "-"}, "LANG=en_US.UTF-8", "cat ../A.d88 | ");
    const Result listedFile = scratch.run({"-l", "-j", "../A.d88"}, "LANG=en_US.UTF-8");
    EXPECT_EQ(listed.out.substr(listed.out.find('\n')),
              listedFile.out.substr(listedFile.out.find('\n')));
    EXPECT_NE(listed.out.find("\"path\":\"(standard input)\""), std::string::npos);

    fs::remove_all(scratch.out());
    fs::create_directory(scratch.out());
    const Result several = scratch.run({"-"}, "LANG=en_US.UTF-8", "cat ../two.zip | ");
    EXPECT_EQ(several.status, 2) << several.err;
    expectTree(listTree(scratch.out() / "stdin" / "C"), treeOfFile(c));
}

// An encrypted entry and a cut archive stop what they hold, and nothing else.
TEST(Archives, DamageStopsItsOwnEntry)
{
    if (skipped()) {
        GTEST_SKIP() << "the Windows tool reads no archives";
    }
    const Bytes a = build(diskA());
    Scratch scratch;
    writeArchive(scratch.out() / "locked.zip", ARCHIVE_FORMAT_ZIP, ARCHIVE_FILTER_NONE,
                 {{"A.d88", a}}, "zip:encryption=zipcrypt");
    writeArchive(scratch.out() / "cut.tar.gz", ARCHIVE_FORMAT_TAR_USTAR, ARCHIVE_FILTER_GZIP,
                 {{"A.d88", a}, {"B.d88", d88build::pattern(300000, 9)}});
    Bytes cut = d88build::readFile((scratch.out() / "cut.tar.gz").string());
    cut.resize(cut.size() * 2 / 3);
    d88build::writeFile(scratch.out() / "cut.tar.gz", cut);
    d88build::writeFile(scratch.out() / "plain.d88", a);
    const Result result =
        scratch.run({"-o", "o", "locked.zip", "cut.tar.gz", "plain.d88"}, "LANG=en_US.UTF-8");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("locked.zip:A.d88: cannot read this entry of the archive"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("cut.tar.gz: cannot read the archive any further"), std::string::npos)
        << result.err;
    const Tree treeA = treeOfFile(a);
    expectTree(listTree(scratch.out() / "o" / "cut" / "A"), treeA);
    // Given alone, the one line and no summary, as a file given alone.
    const Result alone = scratch.run({"-o", "o2", "locked.zip"}, "LANG=en_US.UTF-8");
    EXPECT_EQ(alone.status, 1);
    EXPECT_EQ(alone.err.rfind("locked.zip:A.d88: cannot read this entry of the archive", 0), 0u)
        << alone.err;
    EXPECT_EQ(std::count(alone.err.begin(), alone.err.end(), '\n'), 1) << alone.err;
    // A JSON reader still gets the record that carries it.
    const Result json = scratch.run({"-j", "-o", "o2", "locked.zip"}, "LANG=en_US.UTF-8");
    EXPECT_EQ(json.status, 1);
    EXPECT_EQ(json.out.rfind("{\"type\":\"total\",", 0), 0u) << json.out;
    EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 1) << json.out;
    expectTree(listTree(scratch.out() / "o" / "plain"), treeA);
}

// Archives among files: the same bytes on both streams, and the same tree,
// with four workers as with one.
TEST(Archives, JobsGiveTheSameOutput)
{
    if (skipped()) {
        GTEST_SKIP() << "the Windows tool reads no archives";
    }
    const Bytes a = build(diskA()), c = build(diskC());
    const auto runWith = [&](const char* jobs) {
        Scratch scratch;
        const fs::path files = scratch.out() / "..";
        d88build::writeFile(files / "A.d88", a);
        d88build::writeFile(files / "C.d88", c);
        writeArchive(files / "coll.zip", ARCHIVE_FORMAT_ZIP, ARCHIVE_FILTER_NONE,
                     {{"A.d88", a}, {"sub/C.d88", c}});
        const Result result =
            scratch.run({"-J", jobs, "../A.d88", "../coll.zip", "../C.d88"}, "LANG=en_US.UTF-8");
        return std::pair{result, listTree(scratch.out())};
    };
    const auto [one, oneTree] = runWith("1");
    const auto [four, fourTree] = runWith("4");
    EXPECT_EQ(one.status, 2) << one.err;
    EXPECT_EQ(four.status, one.status);
    EXPECT_EQ(four.out, one.out);
    EXPECT_EQ(four.err, one.err);
    expectTree(fourTree, oneTree);
    EXPECT_EQ(oneTree.count("coll/C/"), 1u);
}

// The Windows tool reads no archive, and says so in one line.
TEST(Archives, WindowsReadsNone)
{
    if (!windowsHost()) {
        GTEST_SKIP() << "this tool reads archives";
    }
    Scratch scratch;
    writeArchive(scratch.out() / "coll.zip", ARCHIVE_FORMAT_ZIP, ARCHIVE_FILTER_NONE,
                 {{"A.d88", build(diskA())}});
    const Result result = scratch.run({"-o", "o", "coll.zip"}, "LANG=en_US.UTF-8");
    EXPECT_EQ(result.status, 1);
    // Wine runs the tool as on a Japanese Windows.
    EXPECT_EQ(result.err, std::string("coll.zip: ") + d88::kArchivesUnsupported.shiftJis);
    EXPECT_FALSE(fs::exists(scratch.out() / "o" / "coll"));
}

// LZH, made by the lha tool where it is installed.
TEST(Archives, Lzh)
{
    if (skipped() || std::system("command -v lha >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no lha to make an LZH archive";
    }
    const Bytes a = build(diskA());
    Scratch scratch;
    const fs::path files = scratch.out() / "..";
    d88build::writeFile(files / "A.d88", a);
    ASSERT_EQ(std::system(("cd " + quote(files) + " && lha -aq games.lzh A.d88").c_str()), 0);
    const Result result = scratch.run({"-f", "../games.lzh"}, "LANG=en_US.UTF-8");
    EXPECT_EQ(result.status, 0) << result.err;
    expectTree(listTree(scratch.out() / "games"), treeOfFile(a));
}

} // namespace
