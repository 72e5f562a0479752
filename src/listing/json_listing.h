// The JSON Lines listing ("-j"): one record per line on the standard output,
// "run" first, then each image and its files, "summary" last; the problems
// met are carried in the record they belong to. Every line is built in
// fixed storage and written whole. docs/json-listing.md describes each field.
#pragma once

#include <cstdint>
#include <cstdio>

#include "console_text.h"
#include "digest.h"
#include "disk_layout.h"
#include "json_writer.h"
#include "report.h"

namespace d88 {

// The version of the records' fields: changing what a field means changes it.
constexpr int kJsonSchema = 1;

struct RunFacts {
    const char* path; // the D88 path as given
    std::uint64_t size;
    int images;
    const char* folder = nullptr; // with several D88 files, the folder of this one's files
    bool opened = true;           // false: the file could not be opened, its size is unknown
};

// What a run over several D88 files came to, for its summary line and its
// "total" record.
struct RunTotals {
    int d88Files;
    int readWhole;
    int withProblems;
    int notRead; // refused, or never reached after a stop of the whole run
    long long filesWritten;
    long long bytesWritten;
    int problems[kProblemKinds]; // by ProblemId; notices are not counted
    int exitStatus;
};

struct ImageFacts {
    int index;
    std::int64_t offset;
    std::uint32_t diskSize;
    std::int64_t storedSize;
    const char* name; // up to 16 stored bytes, terminated
    int mediaType;
    int writeProtect;
    bool hashed; // false when the image's bytes could not all be read
    std::uint8_t sha256[host::kSha256Bytes];
    const char* subdirectory; // null when files go into the output directory
};

struct FileFacts {
    int image;
    const FileRecord* record;
    const char* path;  // the host path written, or null when none was
    bool pathUtf8;     // the path's name is UTF-8 ("-u"), not Shift_JIS
    long bytesWritten; // 0 when nothing was written
    bool hashed;
    const host::Digests* digests; // over the file as stored
};

// Room for the problems of one record, kept until the record is written.
constexpr int kJsonProblemBytes = 16 * 1024;
// A record (json_writer.h) holds its problems and the fields of a file.
static_assert(kJsonRecordBytes >= kJsonProblemBytes + 8 * 1024);

class JsonListing {
public:
    void run(const RunFacts& facts);
    // The image record waits for the image's own problems: it is written
    // when its first file begins, or at its end.
    void image(const ImageFacts& facts);
    void fileBegin();
    void file(const FileFacts& facts);
    void imageEnd();
    // `message` is the problem's text as written on the error stream, in
    // UTF-8 when `utf8`, else in Shift_JIS (or ASCII with names in it).
    void problem(ProblemId id, const char* message, int length, bool utf8);
    void summary(int exitStatus);
    void total(const RunTotals& totals);
    // False when the records never reached their reader.
    bool runEnd() { return std::fflush(stdout) == 0 && std::ferror(stdout) == 0; }

private:
    // Problems waiting for their record, as "{...},{...}": an image's or a
    // file's while one is open, else the run's, which go into the summary.
    struct Problems {
        char text[kJsonProblemBytes];
        int length;
        int dropped;
    };
    void flushImage();
    // The parts of a file record.
    void putChain(const ChainTrace& trace);
    void putDate(const DirectoryEntry& entry, const EntryTime& time);
    void putDigests(bool hashed, const host::Digests& digests);
    void putSectors(const SectorNotes& notes);
    // The problems kept so far as a JSON array, then forgotten.
    void takeProblems(Problems& problems);

    bool imagePending_ = false;
    ImageFacts pending_{};
    char pendingName_[kImageNameLength + 1] = {};
    char pendingSubdirectory_[16] = {};
    int images_ = 0;
    int files_ = 0;
    int filesWritten_ = 0;
    int problemCount_ = 0;
    Problems recordProblems_{};
    Problems runProblems_{};
    bool recordOpen_ = false;
    JsonWriter out_;
};

} // namespace d88
