// Archive input: archives made here with libarchive's own writer, read back
// entry by entry: which entries are D88 files and copied byte for byte, and
// which are skipped, nested, encrypted, damaged or too large.
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "archive_input.h"
#include "d88_builder.h"

namespace {

using d88build::Bytes;

struct Member {
    std::string name;
    Bytes bytes;
    bool sizeUnknown = false; // written without a size in its header
};

// The D88 test the command passes in is the reader's; this one knows the
// disks made here by their first byte.
bool startsWithD(const std::uint8_t* bytes, int length)
{
    return length > 0 && bytes[0] == 'D';
}

Bytes diskBytes(const char* name)
{
    d88build::DiskBuilder disk(name);
    disk.addFile(0, "GAME", {10}, d88build::withHeader(1, 2, d88build::pattern(1000, 7)));
    return disk.image().build();
}

// An archive of `members` in a temporary file, rewound.
std::FILE* makeArchive(int format, int filter, const std::vector<Member>& members,
                       const char* options = nullptr)
{
    std::FILE* file = std::tmpfile();
    archive* a = archive_write_new();
    archive_write_set_format(a, format);
    if (filter != ARCHIVE_FILTER_NONE) {
        archive_write_add_filter(a, filter);
    }
    if (options != nullptr) {
        EXPECT_EQ(archive_write_set_options(a, options), ARCHIVE_OK) << archive_error_string(a);
        archive_write_set_passphrase(a, "secret");
    }
    archive_write_open_FILE(a, file);
    for (const Member& m : members) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, m.name.c_str());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        if (!m.sizeUnknown) {
            archive_entry_set_size(entry, static_cast<la_int64_t>(m.bytes.size()));
        }
        archive_write_header(a, entry);
        archive_write_data(a, m.bytes.data(), m.bytes.size());
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
    std::fflush(file);
    std::rewind(file);
    return file;
}

Bytes contents(std::FILE* file)
{
    Bytes bytes;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    return bytes;
}

struct Seen {
    std::string path;
    d88::EntryKind kind;
    Bytes bytes;
};

std::vector<Seen> walk(std::FILE* file, bool* failed = nullptr)
{
    d88::ArchiveReader reader;
    EXPECT_TRUE(reader.open(file, startsWithD)) << reader.reason();
    std::vector<Seen> seen;
    d88::ArchiveEntry entry;
    while (reader.next(entry)) {
        seen.push_back({entry.path, entry.kind, {}});
        if (entry.data != nullptr) {
            seen.back().bytes = contents(entry.data);
            std::fclose(entry.data);
        }
    }
    if (failed != nullptr) {
        *failed = reader.failed();
    }
    return seen;
}

TEST(ArchiveInput, EachFormatYieldsItsD88Entries)
{
    const Bytes one = diskBytes("DONE"), two = diskBytes("DTWO");
    const Bytes text = {'h', 'e', 'l', 'l', 'o'};
    const std::vector<Member> members = {{"disks/ONE.D88", one},
                                         {"readme.txt", text},
                                         // Named for nothing, known by its bytes.
                                         {"disks/two.img", two}};
    const struct {
        const char* what;
        int format;
        int filter;
    } rows[] = {
        {"zip", ARCHIVE_FORMAT_ZIP, ARCHIVE_FILTER_NONE},
        {"7z", ARCHIVE_FORMAT_7ZIP, ARCHIVE_FILTER_NONE},
        {"tar.gz", ARCHIVE_FORMAT_TAR_PAX_RESTRICTED, ARCHIVE_FILTER_GZIP},
        {"tar.xz", ARCHIVE_FORMAT_TAR_USTAR, ARCHIVE_FILTER_XZ},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::FILE* file = makeArchive(row.format, row.filter, members);
        EXPECT_TRUE(d88::isArchive(file));
        const std::vector<Seen> seen = walk(file);
        std::fclose(file);
        ASSERT_EQ(seen.size(), 3u);
        EXPECT_EQ(seen[0].kind, d88::EntryKind::D88);
        EXPECT_EQ(seen[0].path, "disks/ONE.D88");
        EXPECT_EQ(seen[0].bytes, one);
        EXPECT_EQ(seen[1].kind, d88::EntryKind::Skipped);
        EXPECT_EQ(seen[2].kind, d88::EntryKind::D88);
        EXPECT_EQ(seen[2].bytes, two);
    }
}

TEST(ArchiveInput, EntriesThatAreNotRead)
{
    const Bytes disk = diskBytes("DONE");
    std::FILE* inner = makeArchive(ARCHIVE_FORMAT_ZIP, ARCHIVE_FILTER_NONE, {{"a.d88", disk}});
    const Bytes nested = contents(inner);
    std::fclose(inner);
    // Past the limit by one byte: once with the size in its header, once
    // streamed with none, as a bomb's entry may be.
    const Bytes big(static_cast<std::size_t>(d88::kMaxCopiedBytes) + 1, 'D');
    std::FILE* file = makeArchive(ARCHIVE_FORMAT_ZIP, ARCHIVE_FILTER_NONE,
                                  {{"inner.zip", nested},
                                   {"big.d88", big},
                                   {"streamed.d88", big, true},
                                   {"after.d88", disk}});
    const std::vector<Seen> seen = walk(file);
    std::fclose(file);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].kind, d88::EntryKind::Nested);
    EXPECT_EQ(seen[1].kind, d88::EntryKind::TooLarge);
    EXPECT_EQ(seen[2].kind, d88::EntryKind::TooLarge);
    EXPECT_EQ(seen[3].kind, d88::EntryKind::D88);
    EXPECT_EQ(seen[3].bytes, disk);
}

TEST(ArchiveInput, EncryptedAndTruncated)
{
    const Bytes disk = diskBytes("DONE");
    std::FILE* file = makeArchive(ARCHIVE_FORMAT_ZIP, ARCHIVE_FILTER_NONE, {{"a.d88", disk}},
                                  "zip:encryption=zipcrypt");
    std::vector<Seen> seen = walk(file);
    std::fclose(file);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].kind, d88::EntryKind::Unreadable);

    // A tar.gz cut in its second entry: the first comes whole, then the
    // archive fails.
    file = makeArchive(ARCHIVE_FORMAT_TAR_USTAR, ARCHIVE_FILTER_GZIP,
                       {{"a.d88", disk}, {"b.d88", d88build::pattern(400000, 3)}});
    Bytes cut = contents(file);
    std::fclose(file);
    cut.resize(cut.size() * 3 / 4);
    file = std::tmpfile();
    std::fwrite(cut.data(), 1, cut.size(), file);
    std::rewind(file);
    bool failed = false;
    seen = walk(file, &failed);
    std::fclose(file);
    ASSERT_GE(seen.size(), 1u);
    EXPECT_EQ(seen[0].bytes, disk);
    EXPECT_TRUE(failed || (seen.size() == 2 && seen[1].kind == d88::EntryKind::Unreadable));
}

TEST(ArchiveInput, PlainFilesAreNoArchives)
{
    const Bytes text = {'j', 'u', 's', 't', ' ', 't', 'e', 'x', 't', '\n'};
    for (const Bytes& bytes : {diskBytes("DONE"), text, Bytes{}}) {
        std::FILE* file = std::tmpfile();
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::rewind(file);
        EXPECT_FALSE(d88::isArchive(file));
        std::fclose(file);
    }
}

TEST(ArchiveInput, D88Extensions)
{
    for (const char* name : {"a.d88", "A.D88", "b/c.D77", "x.88d", "y.d8U"}) {
        EXPECT_TRUE(d88::hasD88Extension(name)) << name;
    }
    for (const char* name : {".d88", "a.d88.zip", "a.d8", "d88", "a.dd88"}) {
        EXPECT_FALSE(d88::hasD88Extension(name)) << name;
    }
}

} // namespace
