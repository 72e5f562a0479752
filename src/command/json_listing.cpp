// The JSON Lines records. Numbers are written as numbers, byte strings as
// lowercase hexadecimal, names twice: "hex", the stored bytes and the
// authority, and "text", those bytes decoded as Shift_JIS.
#include "json_listing.h"

#include <cstring>

#include "report.h"
#include "shift_jis.h"
#include "version.h"

namespace d88 {

const char* problemKindName(ProblemId id)
{
    switch (id) {
    case ProblemId::UsageNeedsValue:
        return "usage_needs_value";
    case ProblemId::UsageBadImageIndex:
        return "usage_bad_image_index";
    case ProblemId::UsageTooManyPatterns:
        return "usage_too_many_patterns";
    case ProblemId::UsageUnknownOption:
        return "usage_unknown_option";
    case ProblemId::UsageUnexpectedValue:
        return "usage_unexpected_value";
    case ProblemId::UsageExtraOperand:
        return "usage_extra_operand";
    case ProblemId::UsageNoD88File:
        return "usage_no_d88_file";
    case ProblemId::UsageConflict:
        return "usage_conflict";
    case ProblemId::StdoutFailed:
        return "stdout_failed";
    case ProblemId::CannotOpen:
        return "cannot_open";
    case ProblemId::CannotKeepStartForOutput:
        return "cannot_keep_start_for_output";
    case ProblemId::CannotEnterOutput:
        return "cannot_enter_output";
    case ProblemId::CannotKeepStart:
        return "cannot_keep_start";
    case ProblemId::ImageUnreadable:
        return "image_unreadable";
    case ProblemId::CannotEnterSubdirectory:
        return "cannot_enter_subdirectory";
    case ProblemId::DirectoryDamaged:
        return "directory_sector_missing";
    case ProblemId::TableUnreadable:
        return "table_unreadable";
    case ProblemId::CannotCreateFile:
        return "cannot_create";
    case ProblemId::FileSectorsLost:
        return "sector_missing";
    case ProblemId::ChainCut:
        return "chain_cut";
    case ProblemId::FileShort:
        return "file_short";
    case ProblemId::WriteFailed:
        return "write_failed";
    case ProblemId::CannotSetTime:
        return "cannot_set_time";
    case ProblemId::CannotReturn:
        return "cannot_return";
    case ProblemId::ConsoleLost:
        return "console_lost";
    case ProblemId::NoImage:
        return "no_image";
    case ProblemId::TrailingBytes:
        return "trailing_bytes";
    case ProblemId::ImagesBeyondLimit:
        return "images_beyond_limit";
    case ProblemId::ImageCutShort:
        return "image_cut_short";
    case ProblemId::ImageSizeTooSmall:
        return "image_size_below_header";
    case ProblemId::NoLayout:
        return "no_layout";
    case ProblemId::NameReplaced:
        return "name_replaced";
    case ProblemId::NameKept:
        return "name_kept";
    case ProblemId::ExistingKept:
        return "existing_kept";
    case ProblemId::WrittenAs:
        return "written_as";
    case ProblemId::NotRegularFile:
        return "not_regular_file";
    case ProblemId::HostFull:
        return "host_full";
    case ProblemId::HostFullSubdirectory:
        return "host_full_subdirectory";
    case ProblemId::FileSectorStatus:
        return "sector_error_status";
    case ProblemId::DirectorySectorStatus:
        return "directory_sector_error_status";
    case ProblemId::TableSectorStatus:
        return "table_sector_error_status";
    case ProblemId::RunOn:
        return "last_cluster_run_on";
    case ProblemId::CrossLinked:
        return "cross_linked";
    case ProblemId::ChainThroughDirectory:
        return "chain_through_directory";
    case ProblemId::ChainLoops:
        return "chain_loop";
    case ProblemId::ChainBeyondDisk:
        return "chain_beyond_disk";
    case ProblemId::ChainTooLong:
        return "chain_too_long";
    case ProblemId::TableBeyondDisk:
        return "table_beyond_disk";
    case ProblemId::SameName:
        return "same_name";
    case ProblemId::HostNameCollision:
        return "name_collision";
    case ProblemId::DeletedSectors:
        return "sector_deleted";
    case ProblemId::EntryAfterEnd:
        return "entry_after_end";
    case ProblemId::ImageSizeDisagrees:
        return "image_size_mismatch";
    }
    return "unknown";
}

void JsonListing::put(const char* text, int length)
{
    // A record past its room is not written as it stands (see write()).
    if (length_ + length > kJsonRecordBytes) {
        cut_ = true;
        return;
    }
    std::memcpy(record_ + length_, text, static_cast<std::size_t>(length));
    length_ += length;
}

void JsonListing::put(const char* text)
{
    put(text, static_cast<int>(std::strlen(text)));
}

void JsonListing::putNumber(std::uint64_t value)
{
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    char out[24];
    for (int i = 0; i < n; ++i) {
        out[i] = digits[n - 1 - i];
    }
    put(out, n);
}

void JsonListing::putSigned(std::int64_t value)
{
    if (value < 0) {
        put("-", 1);
        putNumber(static_cast<std::uint64_t>(-(value + 1)) + 1);
        return;
    }
    putNumber(static_cast<std::uint64_t>(value));
}

void JsonListing::putHex(const std::uint8_t* bytes, int count)
{
    constexpr const char* kDigits = "0123456789abcdef";
    char two[2];
    for (int i = 0; i < count; ++i) {
        two[0] = kDigits[bytes[i] >> 4];
        two[1] = kDigits[bytes[i] & 0x0F];
        put(two, 2);
    }
}

void JsonListing::putString(const std::uint8_t* bytes, int length, bool shiftJis)
{
    // Each byte decodes to at most three.
    constexpr int kTextBytes = 4096;
    char text[kTextBytes];
    const int clamped = length < kTextBytes / 3 ? length : kTextBytes / 3;
    const int n = shiftJis ? shiftJisToUtf8(bytes, clamped, text, kTextBytes)
                           : cleanUtf8(bytes, clamped, text, kTextBytes);
    put("\"", 1);
    for (int i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            const char escaped[2] = {'\\', static_cast<char>(c)};
            put(escaped, 2);
        } else if (c < 0x20) {
            constexpr const char* kDigits = "0123456789abcdef";
            const char escaped[6] = {'\\', 'u', '0', '0', kDigits[c >> 4], kDigits[c & 0x0F]};
            put(escaped, 6);
        } else {
            put(text + i, 1);
        }
    }
    put("\"", 1);
}

void JsonListing::putName(const char* name)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(name);
    const int length = static_cast<int>(std::strlen(name));
    put("{\"hex\":\"");
    putHex(bytes, length);
    put("\",\"text\":");
    putString(bytes, length, true);
    put("}");
}

void JsonListing::putKey(const char* key)
{
    put(",\"");
    put(key);
    put("\":");
}

void JsonListing::write()
{
    if (cut_) {
        // Its type survives, at the start of the record; the rest would be
        // cut at any byte, so it is left out.
        const char* const start = "{\"type\":\"";
        const int typeEnd = static_cast<int>(std::strcspn(record_ + std::strlen(start), "\""));
        length_ = static_cast<int>(std::strlen(start)) + typeEnd;
        cut_ = false;
        put("\",\"truncated\":true}");
    }
    put("\n", 1);
    std::fwrite(record_, 1, static_cast<std::size_t>(length_), stdout);
    length_ = 0;
    cut_ = false;
}

void JsonListing::takeProblems(Problems& problems)
{
    putKey("problems");
    put("[");
    put(problems.text, problems.length);
    put("]");
    if (problems.dropped > 0) {
        putKey("problems_not_listed");
        putNumber(static_cast<std::uint64_t>(problems.dropped));
    }
    problems.length = 0;
    problems.dropped = 0;
}

void JsonListing::run(const RunFacts& facts)
{
    put("{\"type\":\"run\",\"schema\":");
    putNumber(kJsonSchema);
    putKey("version");
    put("\"");
    put(kVersion);
    put("\"");
    putKey("path");
    // A path is the host's bytes: kept where they are UTF-8.
    putString(reinterpret_cast<const std::uint8_t*>(facts.path),
              static_cast<int>(std::strlen(facts.path)), false);
    putKey("size");
    putNumber(facts.size);
    putKey("images");
    putNumber(static_cast<std::uint64_t>(facts.images));
    put("}");
    write();
}

void JsonListing::image(const ImageFacts& facts)
{
    flushImage();
    pending_ = facts;
    std::snprintf(pendingName_, sizeof pendingName_, "%s", facts.name);
    pending_.name = pendingName_;
    if (facts.subdirectory != nullptr) {
        std::snprintf(pendingSubdirectory_, sizeof pendingSubdirectory_, "%s", facts.subdirectory);
        pending_.subdirectory = pendingSubdirectory_;
    }
    imagePending_ = true;
    recordOpen_ = true;
}

void JsonListing::flushImage()
{
    if (!imagePending_) {
        return;
    }
    imagePending_ = false;
    ++images_;
    const ImageFacts& f = pending_;
    put("{\"type\":\"image\",\"index\":");
    putNumber(static_cast<std::uint64_t>(f.index));
    putKey("offset");
    putSigned(f.offset);
    putKey("disk_size");
    putNumber(f.diskSize);
    putKey("stored_size");
    putSigned(f.storedSize);
    putKey("name");
    putName(f.name);
    putKey("media_type");
    putSigned(f.mediaType);
    putKey("write_protect");
    putSigned(f.writeProtect);
    putKey("sha256");
    if (f.hashed) {
        put("\"");
        putHex(f.sha256, host::kSha256Bytes);
        put("\"");
    } else {
        put("null");
    }
    putKey("subdirectory");
    if (f.subdirectory != nullptr) {
        putString(reinterpret_cast<const std::uint8_t*>(f.subdirectory),
                  static_cast<int>(std::strlen(f.subdirectory)), false);
    } else {
        put("null");
    }
    takeProblems(recordProblems_);
    put("}");
    write();
}

void JsonListing::fileBegin()
{
    flushImage();
    recordOpen_ = true;
}

void JsonListing::imageEnd()
{
    flushImage();
    recordOpen_ = false;
}

void JsonListing::file(const FileFacts& f)
{
    ++files_;
    if (f.path != nullptr) {
        ++filesWritten_;
    }
    put("{\"type\":\"file\",\"image\":");
    putNumber(static_cast<std::uint64_t>(f.image));
    putKey("entry");
    putNumber(static_cast<std::uint64_t>(f.entryIndex));
    putKey("name");
    putName(f.entry->name);
    putKey("raw");
    putNumber(f.rawEntry[kNameBytes]);
    putKey("first_cluster");
    putNumber(static_cast<std::uint64_t>(f.entry->firstCluster));
    putKey("chain");
    put("[");
    for (int i = 0; i < f.trace->clusterCount; ++i) {
        if (i > 0) {
            put(",");
        }
        putNumber(f.trace->clusters[i]);
    }
    put("]");
    putKey("load");
    putNumber(f.header->loadAddress);
    putKey("size");
    putNumber(f.header->size);
    putKey("exec");
    putNumber(f.header->execAddress);
    putKey("date");
    put("{\"bcd\":\"");
    putHex(f.entry->stampBcd, kStampCount);
    put("\",\"iso\":");
    const EntryTime time = entryTime(*f.entry);
    if (time.valid) {
        char iso[24];
        std::snprintf(iso, sizeof iso, "\"%04d-%02d-%02dT%02d:%02d\"", time.year, time.month,
                      time.day, time.hour, time.minute);
        put(iso);
    } else {
        put("null");
    }
    put("}");
    putKey("path");
    if (f.path != nullptr) {
        putString(reinterpret_cast<const std::uint8_t*>(f.path),
                  static_cast<int>(std::strlen(f.path)), true);
    } else {
        put("null");
    }
    putKey("bytes_written");
    putSigned(f.bytesWritten);
    if (f.hashed) {
        putKey("crc32");
        const std::uint8_t crc[4] = {static_cast<std::uint8_t>(f.digests->crc32 >> 24),
                                     static_cast<std::uint8_t>(f.digests->crc32 >> 16),
                                     static_cast<std::uint8_t>(f.digests->crc32 >> 8),
                                     static_cast<std::uint8_t>(f.digests->crc32)};
        put("\"");
        putHex(crc, 4);
        put("\"");
        putKey("sha1");
        put("\"");
        putHex(f.digests->sha1, host::kSha1Bytes);
        put("\"");
        putKey("sha256");
        put("\"");
        putHex(f.digests->sha256, host::kSha256Bytes);
        put("\"");
    } else {
        putKey("crc32");
        put("null");
        putKey("sha1");
        put("null");
        putKey("sha256");
        put("null");
    }
    const SectorNotes& notes = f.trace->sectors;
    putKey("sectors");
    const struct {
        const char* key;
        SectorTrouble trouble;
        int count;
    } groups[] = {{"missing", SectorTrouble::Missing, notes.missing},
                  {"error", SectorTrouble::ErrorStatus, notes.errors},
                  {"deleted", SectorTrouble::Deleted, notes.deleted}};
    put("{");
    bool firstGroup = true;
    for (const auto& group : groups) {
        put(firstGroup ? "\"" : ",\"");
        firstGroup = false;
        put(group.key);
        put("\":[");
        bool first = true;
        for (int i = 0; i < notes.kept; ++i) {
            const SectorNote& n = notes.notes[i];
            if (n.trouble != group.trouble) {
                continue;
            }
            put(first ? "{\"c\":" : ",{\"c\":");
            first = false;
            putNumber(n.c);
            put(",\"h\":");
            putNumber(n.h);
            put(",\"r\":");
            putNumber(n.r);
            put(",\"status\":");
            putNumber(n.status);
            put("}");
        }
        put("],\"");
        put(group.key);
        put("_count\":");
        putNumber(static_cast<std::uint64_t>(group.count));
    }
    put("}");
    takeProblems(recordProblems_);
    put("}");
    write();
    recordOpen_ = false;
}

void JsonListing::problem(ProblemId id, const char* message, int length)
{
    ++problemCount_;
    // Built in the record's buffer, which is free between records, then kept.
    const int saved = length_;
    const Problems& held = recordOpen_ ? recordProblems_ : runProblems_;
    put(held.length > 0 ? ",{\"kind\":\"" : "{\"kind\":\"");
    put(problemKindName(id));
    put("\",\"message\":");
    // Without the line ends: one message, one string.
    while (length > 0 && message[length - 1] == '\n') {
        --length;
    }
    // Japanese in UTF-8 is already UTF-8 (names from the disk aside);
    // anything else is Shift_JIS, or ASCII with names in Shift_JIS.
    const bool utf8 =
        console_.language == Language::Japanese && console_.encoding == ConsoleEncoding::Utf8;
    putString(reinterpret_cast<const std::uint8_t*>(message), length, !utf8);
    put("}");
    const int n = length_ - saved;
    Problems& problems = recordOpen_ ? recordProblems_ : runProblems_;
    if (!cut_ && problems.length + n <= kJsonProblemBytes) {
        std::memcpy(problems.text + problems.length, record_ + saved, static_cast<std::size_t>(n));
        problems.length += n;
    } else {
        ++problems.dropped;
    }
    length_ = saved;
    cut_ = false;
}

void JsonListing::summary(int exitStatus)
{
    flushImage();
    put("{\"type\":\"summary\",\"images\":");
    putNumber(static_cast<std::uint64_t>(images_));
    putKey("files");
    putNumber(static_cast<std::uint64_t>(files_));
    putKey("files_written");
    putNumber(static_cast<std::uint64_t>(filesWritten_));
    putKey("problem_count");
    putNumber(static_cast<std::uint64_t>(problemCount_));
    putKey("exit_status");
    putNumber(static_cast<std::uint64_t>(exitStatus));
    // Problems that belong to no image or file record: the run's own.
    takeProblems(runProblems_);
    put("}");
    write();
}

} // namespace d88
