// Archive input through libarchive: every format and filter it reads, the
// entries judged by name and first bytes, and a D88 entry copied into an
// anonymous temporary file. libarchive allocates inside itself; nothing
// here does.
#include <archive.h>
#include <archive_entry.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "archive_input.h"

namespace d88 {

// libarchive is loaded when an input first needs it, not when the tool
// starts: linked in, it and the libraries it brings would double the
// resident memory of every run, archives or none.
#define D88_LIBARCHIVE_CALLS(X)                                                                    \
    X(archive_entry_filetype)                                                                      \
    X(archive_entry_is_encrypted)                                                                  \
    X(archive_entry_pathname)                                                                      \
    X(archive_entry_size)                                                                          \
    X(archive_entry_size_is_set)                                                                   \
    X(archive_error_string)                                                                        \
    X(archive_format)                                                                              \
    X(archive_read_data)                                                                           \
    X(archive_read_free)                                                                           \
    X(archive_read_new)                                                                            \
    X(archive_read_next_header)                                                                    \
    X(archive_read_open_memory)                                                                    \
    X(archive_read_set_callback_data)                                                              \
    X(archive_read_set_read_callback)                                                              \
    X(archive_read_set_seek_callback)                                                              \
    X(archive_read_set_skip_callback)                                                              \
    X(archive_read_support_filter_all)                                                             \
    X(archive_read_support_format_all)                                                             \
    X(archive_read_open1)

class LibArchive {
public:
    LibArchive() : handle_(dlopen("libarchive.so.13", RTLD_NOW | RTLD_LOCAL))
    {
        bool all = handle_ != nullptr;
#define D88_FIND(name)                                                                             \
    name = all ? reinterpret_cast<decltype(&::name)>(dlsym(handle_, #name)) : nullptr;             \
    all = all && name != nullptr;
        D88_LIBARCHIVE_CALLS(D88_FIND)
#undef D88_FIND
        loaded_ = all;
    }
    ~LibArchive()
    {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
    LibArchive(const LibArchive&) = delete;
    LibArchive& operator=(const LibArchive&) = delete;

    bool loaded() const
    {
        return loaded_;
    }

#define D88_CALL(name) decltype(&::name) name = nullptr;
    D88_LIBARCHIVE_CALLS(D88_CALL)
#undef D88_CALL

private:
    void* handle_;
    bool loaded_ = false;
};
static_assert(sizeof(LibArchive) <= sizeof(ArchiveReader::Library));

namespace {

archive* newReader(const LibArchive& lib)
{
    archive* a = lib.archive_read_new();
    if (a != nullptr) {
        lib.archive_read_support_filter_all(a);
        lib.archive_read_support_format_all(a);
    }
    return a;
}

// The callbacks that let libarchive read, skip and seek in a stdio file:
// formats such as 7z read their index at the end first.
using Source = ArchiveSource;

la_ssize_t readSource(archive*, void* data, const void** buffer)
{
    Source* source = static_cast<Source*>(data);
    *buffer = source->block;
    const std::size_t got = std::fread(source->block, 1, sizeof source->block, source->file);
    return std::ferror(source->file) != 0 ? -1 : static_cast<la_ssize_t>(got);
}

la_int64_t seekSource(archive*, void* data, la_int64_t offset, int whence)
{
    Source* source = static_cast<Source*>(data);
    if (std::fseek(source->file, static_cast<long>(offset), whence) != 0) {
        return ARCHIVE_FATAL;
    }
    return std::ftell(source->file);
}

la_int64_t skipSource(archive* a, void* data, la_int64_t request)
{
    Source* source = static_cast<Source*>(data);
    const long before = std::ftell(source->file);
    if (before < 0 || seekSource(a, data, request, SEEK_CUR) < 0) {
        return 0;
    }
    return std::ftell(source->file) - before;
}

int openSource(const LibArchive& lib, archive* a, Source& source, std::FILE* file)
{
    source.file = file;
    lib.archive_read_set_read_callback(a, readSource);
    lib.archive_read_set_seek_callback(a, seekSource);
    lib.archive_read_set_skip_callback(a, skipSource);
    lib.archive_read_set_callback_data(a, &source);
    return lib.archive_read_open1(a);
}

void say(char (&out)[kArchiveReasonBytes], const char* what)
{
    std::snprintf(out, sizeof out, "%s", what != nullptr ? what : "unknown archive error");
}

// Whether the reader `a`, just opened, finds an archive: at least one entry,
// or an empty archive of a real format. Frees `a`.
bool findsArchive(const LibArchive& lib, archive* a, bool opened)
{
    bool found = false;
    if (opened) {
        archive_entry* entry = nullptr;
        const int r = lib.archive_read_next_header(a, &entry);
        found = r == ARCHIVE_OK || r == ARCHIVE_WARN ||
                (r == ARCHIVE_EOF && lib.archive_format(a) != ARCHIVE_FORMAT_EMPTY);
    }
    lib.archive_read_free(a);
    return found;
}

// Whether `bytes` begin an archive.
bool beginsArchive(const LibArchive& lib, const void* bytes, std::size_t length)
{
    archive* a = newReader(lib);
    return a != nullptr &&
           findsArchive(lib, a, lib.archive_read_open_memory(a, bytes, length) == ARCHIVE_OK);
}

} // namespace

std::FILE* shareFile(std::FILE* file)
{
    const int copy = dup(fileno(file));
    if (copy < 0) {
        return nullptr;
    }
    std::FILE* shared = fdopen(copy, "rb");
    if (shared == nullptr) {
        ::close(copy);
    }
    return shared;
}

bool archivesSupported()
{
    const LibArchive lib;
    return lib.loaded();
}

bool isArchive(std::FILE* file)
{
    const LibArchive lib;
    if (!lib.loaded()) {
        return false;
    }
    archive* a = newReader(lib);
    if (a == nullptr) {
        return false;
    }
    Source source;
    const bool found = findsArchive(lib, a, openSource(lib, a, source, file) == ARCHIVE_OK);
    std::rewind(file);
    return found;
}

bool ArchiveReader::open(std::FILE* file, LooksLikeD88 looksLikeD88)
{
    close();
    failed_ = false;
    looksLikeD88_ = looksLikeD88;
    const LibArchive& lib = *new (library_.bytes) LibArchive;
    libraryMade_ = true;
    if (!lib.loaded()) {
        failed_ = true;
        say(reason_, "cannot load libarchive.so.13");
        return false;
    }
    archive* a = newReader(lib);
    if (a == nullptr) {
        failed_ = true;
        say(reason_, "cannot start the archive reader");
        return false;
    }
    if (openSource(lib, a, source_, file) != ARCHIVE_OK) {
        failed_ = true;
        say(reason_, lib.archive_error_string(a));
        lib.archive_read_free(a);
        return false;
    }
    archive_ = a;
    return true;
}

const LibArchive& ArchiveReader::library() const
{
    return *std::launder(reinterpret_cast<const LibArchive*>(library_.bytes));
}

void ArchiveReader::close()
{
    if (archive_ != nullptr) {
        library().archive_read_free(static_cast<archive*>(archive_));
        archive_ = nullptr;
    }
    if (libraryMade_) {
        std::launder(reinterpret_cast<LibArchive*>(library_.bytes))->~LibArchive();
        libraryMade_ = false;
    }
}

bool ArchiveReader::next(ArchiveEntry& out)
{
    if (archive_ == nullptr) {
        return false;
    }
    const LibArchive& lib = library();
    archive* a = static_cast<archive*>(archive_);
    if (a == nullptr || failed_) {
        return false;
    }
    archive_entry* entry = nullptr;
    for (;;) {
        const int r = lib.archive_read_next_header(a, &entry);
        if (r == ARCHIVE_EOF) {
            return false;
        }
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN) {
            failed_ = true;
            say(reason_, lib.archive_error_string(a));
            return false;
        }
        // Folders, links and devices hold no D88 file.
        if (lib.archive_entry_filetype(entry) == AE_IFREG) {
            break;
        }
    }
    const char* name = lib.archive_entry_pathname(entry);
    std::snprintf(out.path, sizeof out.path, "%s", name != nullptr ? name : "");
    out.data = nullptr;
    out.reason[0] = '\0';
    if (lib.archive_entry_is_encrypted(entry)) {
        out.kind = EntryKind::Unreadable;
        say(out.reason, "the entry is encrypted");
        return true;
    }
    // A size the header claims past the limit is not read at all.
    if (lib.archive_entry_size_is_set(entry) && lib.archive_entry_size(entry) > kMaxCopiedBytes) {
        out.kind = EntryKind::TooLarge;
        return true;
    }

    // The first bytes decide what the entry is, unless its name already has.
    static_assert(kSniffBytes > 0);
    std::uint8_t block[kSniffBytes];
    long long held = 0;
    bool ended = false;
    while (held < kSniffBytes && !ended) {
        const la_ssize_t got = lib.archive_read_data(a, block + held, kSniffBytes - held);
        if (got < 0) {
            out.kind = EntryKind::Unreadable;
            say(out.reason, lib.archive_error_string(a));
            return true;
        }
        ended = got == 0;
        held += got;
    }
    const int sniffed = static_cast<int>(held);
    const bool d88 =
        hasD88Extension(out.path) || (looksLikeD88_ != nullptr && looksLikeD88_(block, sniffed));
    if (!d88) {
        out.kind = sniffed > 0 && beginsArchive(lib, block, static_cast<std::size_t>(sniffed))
                       ? EntryKind::Nested
                       : EntryKind::Skipped;
        return true;
    }

    std::FILE* copy = std::tmpfile();
    if (copy == nullptr) {
        out.kind = EntryKind::Unreadable;
        say(out.reason, std::strerror(errno));
        return true;
    }
    long long total = held;
    bool written = std::fwrite(block, 1, static_cast<std::size_t>(held), copy) ==
                   static_cast<std::size_t>(held);
    while (written && !ended) {
        const la_ssize_t got = lib.archive_read_data(a, block, sizeof block);
        if (got < 0) {
            std::fclose(copy);
            out.kind = EntryKind::Unreadable;
            say(out.reason, lib.archive_error_string(a));
            return true;
        }
        ended = got == 0;
        total += got;
        // A bomb's entry stops here, whatever its header said.
        if (total > kMaxCopiedBytes) {
            std::fclose(copy);
            out.kind = EntryKind::TooLarge;
            return true;
        }
        written = std::fwrite(block, 1, static_cast<std::size_t>(got), copy) ==
                  static_cast<std::size_t>(got);
    }
    if (!written || std::fflush(copy) != 0) {
        const int error = errno;
        std::fclose(copy);
        out.kind = EntryKind::Unreadable;
        say(out.reason, std::strerror(error));
        return true;
    }
    std::rewind(copy);
    out.kind = EntryKind::D88;
    out.data = copy;
    return true;
}

} // namespace d88
