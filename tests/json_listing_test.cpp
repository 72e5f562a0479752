// The JSON listing read back with a JSON library: every line parses, the
// records come in order with the fields and types the document gives, and
// the hashes are those of the bytes written. Run in-process over the fake
// host, which keeps every written file.
#include <gtest/gtest.h>

#include <cerrno>
#include <zlib.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "command_test_support.h"
#include "digest.h"
#include "report.h"

namespace {

using d88build::Bytes;
using d88build::DiskBuilder;
using nlohmann::json;

std::vector<json> records(const std::string& out)
{
    std::vector<json> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        // Throws, and fails the test, on a line that is not JSON.
        lines.push_back(json::parse(line));
    }
    return lines;
}

std::string hex(const std::uint8_t* bytes, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i) {
        char two[3];
        std::snprintf(two, sizeof two, "%02x", bytes[i]);
        out += two;
    }
    return out;
}

// Image 0: GAME over two clusters with two data-CRC-error sectors and a
// deleted-marked one; a name of half-width katakana; a name of the bytes
// JSON escapes (a backslash, a quote, 0x01 and 0x1F) and one that is no
// Shift_JIS, in an entry whose stamp is no date. Image 1: ONE.
Bytes archive()
{
    DiskBuilder first("FIRST");
    first.addFile(0, "GAME", {10, 11},
                  d88build::withHeader(0x6000, 0x6010, d88build::pattern(3000, 1)));
    first.addFile(1, "\xB1\xB2\xB3", {12}, d88build::withHeader(1, 2, d88build::pattern(100, 2)));
    first.addFile(2, "B\\\"\x01\x1f\x80", {13},
                  d88build::withHeader(3, 4, d88build::pattern(10, 3)),
                  {0x24, 0x13, 0x40, 0x25, 0x61});
    d88build::ImageBuilder image = first.image();
    image.find(5, 3)->status = 0xB0;
    image.find(5, 4)->status = 0xB0;
    image.find(5, 9)->deletedMark = 0x10;
    image.mediaType = 0x20;
    DiskBuilder second("SECOND");
    second.addFile(0, "ONE", {10}, d88build::withHeader(3, 4, d88build::pattern(50, 4)));
    return d88build::concat({image.build(), second.image().build()});
}

class JsonListing : public ::testing::Test {
protected:
    void SetUp() override { fakehost::reset(); }
};

} // namespace

TEST_F(JsonListing, RecordsParseAndCarryTheFactsAndHashes)
{
    const Bytes input = archive();
    const commandtest::Outcome outcome = commandtest::run(input, {"-j"});
    EXPECT_EQ(outcome.status, d88::kExitDamaged);
    const std::vector<json> lines = records(outcome.out);

    std::vector<std::string> types;
    for (const json& line : lines) {
        types.push_back(line.at("type").get<std::string>());
    }
    EXPECT_EQ(types, (std::vector<std::string>{"run", "image", "file", "file", "file", "image",
                                               "file", "summary"}));
    ASSERT_EQ(lines.size(), 8u);

    const json& run = lines[0];
    EXPECT_EQ(run.at("schema"), 1);
    EXPECT_TRUE(run.at("version").is_string());
    EXPECT_EQ(run.at("size"), input.size());
    EXPECT_EQ(run.at("images"), 2);

    const json& image = lines[1];
    EXPECT_EQ(image.at("index"), 0);
    EXPECT_EQ(image.at("offset"), 0);
    EXPECT_EQ(image.at("name").at("text"), "FIRST");
    EXPECT_EQ(image.at("name").at("hex"), "4649525354");
    EXPECT_EQ(image.at("media_type"), 0x20);
    EXPECT_TRUE(image.at("write_protect").is_number_integer());
    EXPECT_EQ(image.at("subdirectory"), "000");
    const std::uint64_t firstSize = image.at("disk_size").get<std::uint64_t>();
    EXPECT_EQ(lines[5].at("offset"), firstSize);
    {
        d88::host::Hash sha256(d88::host::HashKind::Sha256);
        std::uint8_t digest[32];
        ASSERT_TRUE(sha256.add(input.data(), firstSize) && sha256.finish(digest));
        EXPECT_EQ(image.at("sha256"), hex(digest, 32));
    }

    // Each file's hashes are those of the bytes written (the header kept).
    ASSERT_EQ(fakehost::files().size(), 4u);
    const int fileLines[] = {2, 3, 4, 6};
    for (int k = 0; k < 4; ++k) {
        const json& file = lines[static_cast<std::size_t>(fileLines[k])];
        const fakehost::File& written = fakehost::files()[static_cast<std::size_t>(k)];
        SCOPED_TRACE(written.path);
        // The path as text: the name's part decoded as the name is.
        EXPECT_EQ(file.at("path"), "00" + std::to_string(k == 3 ? 1 : 0) + "/" +
                                       file.at("name").at("text").get<std::string>());
        EXPECT_EQ(file.at("bytes_written"), written.bytes.size());
        d88::host::Digests digests{};
        ASSERT_TRUE(d88::host::digestAll(written.bytes.data(), written.bytes.size(), digests));
        const std::uint32_t crc = static_cast<std::uint32_t>(
            ::crc32(0, written.bytes.data(), static_cast<uInt>(written.bytes.size())));
        char crcText[9];
        std::snprintf(crcText, sizeof crcText, "%08x", crc);
        EXPECT_EQ(file.at("crc32"), crcText);
        EXPECT_EQ(file.at("sha1"), hex(digests.sha1, 20));
        EXPECT_EQ(file.at("sha256"), hex(digests.sha256, 32));
        for (const char* key : {"image", "entry", "raw", "first_cluster", "load", "size", "exec"}) {
            EXPECT_TRUE(file.at(key).is_number_integer()) << key;
        }
        EXPECT_TRUE(file.at("chain").is_array());
        EXPECT_TRUE(file.at("problems").is_array());
    }

    const json& game = lines[2];
    EXPECT_EQ(game.at("name").at("text"), "GAME");
    EXPECT_EQ(game.at("chain"), json::array({10, 11}));
    EXPECT_EQ(game.at("load"), 0x6000);
    EXPECT_EQ(game.at("exec"), 0x6010);
    EXPECT_EQ(game.at("size"), 3000);
    EXPECT_EQ(game.at("date").at("bcd"), "2403150930");
    EXPECT_EQ(game.at("date").at("iso"), "2024-03-15T09:30");
    const json& sectors = game.at("sectors");
    EXPECT_EQ(sectors.at("error"), json::parse(R"([{"c":2,"h":1,"r":3,"status":176},
                                                   {"c":2,"h":1,"r":4,"status":176}])"));
    EXPECT_EQ(sectors.at("error_count"), 2);
    EXPECT_EQ(sectors.at("deleted"), json::parse(R"([{"c":2,"h":1,"r":9,"status":0}])"));
    EXPECT_EQ(sectors.at("missing"), json::array());
    ASSERT_EQ(game.at("problems").size(), 1u);
    EXPECT_EQ(game.at("problems")[0].at("kind"), "sector_error_status");
    EXPECT_TRUE(game.at("problems")[0].at("message").is_string());

    EXPECT_EQ(lines[3].at("name").at("text"), "ｱｲｳ");
    EXPECT_EQ(lines[3].at("name").at("hex"), "b1b2b3");
    // Read back by a JSON parser, the name and the path give its bytes.
    EXPECT_EQ(lines[4].at("name").at("text"), "B\\\"\x01\x1f\xEF\xBF\xBD");
    EXPECT_EQ(lines[4].at("name").at("hex"), "425c22011f80");
    EXPECT_EQ(lines[4].at("date").at("bcd"), "2413402561");
    EXPECT_TRUE(lines[4].at("date").at("iso").is_null());

    const json& summary = lines[7];
    EXPECT_EQ(summary.at("images"), 2);
    EXPECT_EQ(summary.at("files"), 4);
    EXPECT_EQ(summary.at("files_written"), 4);
    EXPECT_EQ(summary.at("problem_count"), 1);
    EXPECT_EQ(summary.at("exit_status"), 2);
}

// Under -l nothing is written and every path is null; the hashes are over
// the file as stored, so they do not change with -b.
TEST_F(JsonListing, ListOnlyAndCutHeadersKeepTheHashes)
{
    const Bytes input = archive();
    const std::vector<json> plain = records(commandtest::run(input, {"-j"}).out);
    fakehost::reset();
    const commandtest::Outcome listed = commandtest::run(input, {"-l", "-b", "-j"});
    EXPECT_TRUE(fakehost::files().empty());
    const std::vector<json> lines = records(listed.out);
    ASSERT_EQ(lines.size(), plain.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].at("type") != "file") {
            continue;
        }
        EXPECT_TRUE(lines[i].at("path").is_null());
        EXPECT_EQ(lines[i].at("bytes_written"), 0);
        for (const char* key : {"crc32", "sha1", "sha256"}) {
            EXPECT_EQ(lines[i].at(key), plain[i].at(key)) << key;
        }
    }
    EXPECT_EQ(lines.back().at("files_written"), 0);
}

// The check's findings come as records too, in the record they belong to.
TEST_F(JsonListing, CheckFindingsAreRecords)
{
    DiskBuilder disk("CROSS");
    disk.addFile(0, "A", {10}, d88build::withHeader(1, 1, d88build::pattern(10, 1)));
    disk.addFile(1, "B", {12}, d88build::withHeader(2, 2, d88build::pattern(10, 2)));
    disk.addFile(2, "A", {14}, d88build::withHeader(3, 3, d88build::pattern(10, 3)));
    disk.setTableByte(12, 10);
    const commandtest::Outcome outcome = commandtest::run(disk.image().build(), {"-c", "-j"});
    EXPECT_EQ(outcome.status, d88::kExitDamaged);
    const std::vector<json> lines = records(outcome.out);
    ASSERT_EQ(lines.size(), 6u);
    const auto kinds = [](const json& record) {
        std::vector<std::string> out;
        for (const json& problem : record.at("problems")) {
            out.push_back(problem.at("kind").get<std::string>());
        }
        return out;
    };
    EXPECT_EQ(lines[3].at("type"), "file");
    EXPECT_EQ(kinds(lines[3]), (std::vector<std::string>{"chain_too_long", "cross_linked"}));
    // A name finding is the file's, not the run's.
    EXPECT_EQ(kinds(lines[4]), std::vector<std::string>{"same_name"});
    EXPECT_EQ(lines[5].at("type"), "summary");
    EXPECT_TRUE(lines[5].at("problems").empty());
    EXPECT_TRUE(fakehost::files().empty());
}

// A problem of the run itself goes into the summary; one of an image into its
// record, with the system's reason after the message.
TEST_F(JsonListing, ProblemsGoToTheRecordTheyBelongTo)
{
    fakehost::failOn(fakehost::Call::Remember, 1, EACCES);
    const commandtest::Outcome outcome = commandtest::run(archive(), {"-j"});
    EXPECT_EQ(outcome.status, d88::kExitDamaged);
    const std::vector<json> lines = records(outcome.out);
    // An image whose files cannot be written lists none, as the text does.
    ASSERT_EQ(lines.size(), 4u);
    const auto kinds = [](const json& record) {
        std::vector<std::string> out;
        for (const json& problem : record.at("problems")) {
            out.push_back(problem.at("kind").get<std::string>());
        }
        return out;
    };
    EXPECT_EQ(kinds(lines.back()), std::vector<std::string>{"cannot_keep_start"});
    EXPECT_NE(lines.back().at("problems")[0].at("message").get<std::string>().find(" (.: "),
              std::string::npos);
    EXPECT_EQ(kinds(lines[1]), std::vector<std::string>{"cannot_enter_subdirectory"});
    EXPECT_EQ(kinds(lines[2]), std::vector<std::string>{"cannot_enter_subdirectory"});
    EXPECT_EQ(lines.back().at("problem_count"), 3);
    EXPECT_EQ(lines.back().at("files"), 0);
}

namespace {

// The problem kinds of every record of a JSON listing.
std::set<std::string> problemKinds(const std::string& out)
{
    std::set<std::string> kinds;
    for (const json& record : records(out)) {
        for (const json& problem : record.value("problems", json::array())) {
            kinds.insert(problem.at("kind").get<std::string>());
        }
    }
    return kinds;
}

} // namespace

// The check reports every fact extraction reports about an image, under the
// same kind, on every input of the fuzz corpus. Extraction alone meets the
// names its own files take on the host.
TEST_F(JsonListing, CheckReportsWhatExtractionReports)
{
    const std::set<std::string> ofTheOutput = {"name_replaced", "name_kept"};
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(D88UNPACK_CORPUS)) {
        SCOPED_TRACE(entry.path().filename().string());
        const Bytes bytes = d88build::readFile(entry.path().string());
        const std::set<std::string> extracted =
            problemKinds(commandtest::run(bytes, {"-l", "-j"}).out);
        const std::set<std::string> checked =
            problemKinds(commandtest::run(bytes, {"-c", "-j"}).out);
        for (const std::string& kind : extracted) {
            if (ofTheOutput.count(kind) == 0) {
                EXPECT_EQ(checked.count(kind), 1u) << kind;
            }
        }
        ++inputs;
    }
    EXPECT_GT(inputs, 40);
}
