// D88 files inside archives (zip, 7z, LZH, tar and their compressed forms)
// and on the standard input. The reader seeks, so every such input is first
// copied into an anonymous temporary file: one the system removes when it is
// closed, never a named file left behind, and never the heap. Archives are
// read through libarchive where the platform has it (archive_libarchive.cpp)
// and refused elsewhere (archive_none.cpp); CMake picks the file.
#pragma once

#include <cstdint>
#include <cstdio>

namespace d88 {

// An archive entry or a standard input larger than this is refused: 64
// images of the largest media type (two-sided high density, 77 cylinders)
// come to about 83 MiB.
constexpr long long kMaxCopiedBytes = 100LL * 1024 * 1024;
constexpr int kEntryPathBytes = 1024;
constexpr int kArchiveReasonBytes = 256;

// Whether this build reads archives.
bool archivesSupported();

// Whether `file` holds an archive, judged by its content (rewound after).
// The caller rules out a D88 file first: some D88 files read as empty
// archives. Without archive support, only the signatures of the common
// formats are looked at, so that an archive can be named as one.
bool isArchive(std::FILE* file);

// Whether the first bytes of a file (`length` of them, fewer when the file
// is shorter) look like a D88 file: the caller's test.
using LooksLikeD88 = bool (*)(const std::uint8_t* bytes, int length);

// How many first bytes an entry is judged by.
constexpr int kSniffBytes = 64 * 1024;

enum class EntryKind {
    D88,        // copied out: `data` is open on the copy, and the caller closes it
    Skipped,    // not a D88 file
    Nested,     // an archive inside the archive: not opened
    Unreadable, // encrypted, damaged, or the copy failed: `reason` says why
    TooLarge,   // more than kMaxCopiedBytes
};

struct ArchiveEntry {
    char path[kEntryPathBytes]; // as the archive names it, cut to fit
    EntryKind kind;
    std::FILE* data;
    char reason[kArchiveReasonBytes];
};

// What libarchive reads an archive through: the file, and a block of it.
struct ArchiveSource {
    std::FILE* file;
    unsigned char block[64 * 1024];
};

// The entries of one archive in order, each judged and, when it is a D88
// file, copied.
class LibArchive;

class ArchiveReader {
public:
    // Room for the library's entry points, loaded while an archive is open.
    struct Library {
        alignas(void*) unsigned char bytes[32 * sizeof(void*)];
    };

    ArchiveReader() = default;
    ~ArchiveReader() { close(); }
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    // Reads the archive in `file`, which stays the caller's. False, with
    // reason(), when it cannot be read as one.
    bool open(std::FILE* file, LooksLikeD88 looksLikeD88);
    // The next regular-file entry; false at the end, or when the archive
    // cannot be read any further (failed(), with reason()).
    bool next(ArchiveEntry& entry);
    void close();
    bool failed() const { return failed_; }
    const char* reason() const { return reason_; }

private:
    const LibArchive& library() const;

    void* archive_ = nullptr; // libarchive's, kept out of this header
    Library library_{};
    bool libraryMade_ = false;
    ArchiveSource source_{};
    LooksLikeD88 looksLikeD88_ = nullptr;
    bool failed_ = false;
    char reason_[kArchiveReasonBytes] = {};
};

// Whether an entry's name says D88: it ends in .d88, .d77, .88d or .d8u, in
// any case.
bool hasD88Extension(const char* name);

// Copies what is left of `in` into an anonymous temporary file, rewound,
// at most kMaxCopiedBytes: null when it cannot be made or written (errno
// says why), or with `tooLarge` set when `in` holds more.
std::FILE* copyToAnonymousFile(std::FILE* in, bool& tooLarge);

// Another stdio handle on the file `file` is open on, for a reader that
// closes what it is given; null when none can be had.
std::FILE* shareFile(std::FILE* file);

} // namespace d88
