// The JSON Lines records. Numbers are written as numbers, byte strings as
// lowercase hexadecimal, names twice: "hex", the stored bytes and the
// authority, and "text", those bytes decoded as Shift_JIS.
#include "json_listing.h"

#include <cstring>

#include "report.h"
#include "version.h"

namespace d88 {

void JsonListing::takeProblems(Problems& problems)
{
    out_.putKey("problems");
    out_.put("[");
    out_.put(problems.text, problems.length);
    out_.put("]");
    if (problems.dropped > 0) {
        out_.putKey("problems_not_listed");
        out_.putNumber(static_cast<std::uint64_t>(problems.dropped));
    }
    problems.length = 0;
    problems.dropped = 0;
}

void JsonListing::run(const RunFacts& facts)
{
    out_.put("{\"type\":\"run\",\"schema\":");
    out_.putNumber(kJsonSchema);
    out_.putKey("version");
    out_.put("\"");
    out_.put(kVersion);
    out_.put("\"");
    out_.putKey("path");
    // A path is the host's bytes: kept where they are UTF-8.
    out_.putText(facts.path);
    out_.putKey("size");
    if (facts.opened) {
        out_.putNumber(facts.size);
    } else {
        out_.put("null");
    }
    out_.putKey("images");
    if (facts.opened) {
        out_.putNumber(static_cast<std::uint64_t>(facts.images));
    } else {
        out_.put("null");
    }
    if (facts.folder != nullptr) {
        out_.putKey("folder");
        out_.putText(facts.folder);
    }
    // A D88 file read out of an archive: the archive and the entry's path.
    if (facts.archive != nullptr) {
        out_.putKey("archive");
        out_.putText(facts.archive);
        out_.putKey("entry");
        out_.putText(facts.entry);
    }
    out_.put("}");
    out_.write();
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
    out_.put("{\"type\":\"image\",\"index\":");
    out_.putNumber(static_cast<std::uint64_t>(f.index));
    out_.putKey("offset");
    out_.putSigned(f.offset);
    out_.putKey("disk_size");
    out_.putNumber(f.diskSize);
    out_.putKey("stored_size");
    out_.putSigned(f.storedSize);
    out_.putKey("name");
    out_.putName(f.name);
    out_.putKey("media_type");
    out_.putSigned(f.mediaType);
    out_.putKey("write_protect");
    out_.putSigned(f.writeProtect);
    out_.putKey("sha256");
    out_.putHexString(f.hashed ? f.sha256 : nullptr, host::kSha256Bytes);
    out_.putKey("subdirectory");
    if (f.subdirectory != nullptr) {
        out_.putText(f.subdirectory);
    } else {
        out_.put("null");
    }
    takeProblems(recordProblems_);
    out_.put("}");
    out_.write();
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

void JsonListing::putChain(const ChainTrace& trace)
{
    out_.putKey("chain");
    out_.put("[");
    for (int i = 0; i < trace.clusterCount; ++i) {
        if (i > 0) {
            out_.put(",");
        }
        out_.putNumber(trace.clusters[i]);
    }
    out_.put("]");
}

void JsonListing::putDate(const DirectoryEntry& entry, const EntryTime& time)
{
    out_.putKey("date");
    out_.put("{\"bcd\":\"");
    out_.putHex(entry.stampBcd, kStampCount);
    out_.put("\",\"iso\":");
    if (time.valid) {
        char iso[24];
        std::snprintf(iso, sizeof iso, "\"%04d-%02d-%02dT%02d:%02d\"", time.year, time.month,
                      time.day, time.hour, time.minute);
        out_.put(iso);
    } else {
        out_.put("null");
    }
    out_.put("}");
}

void JsonListing::putDigests(bool hashed, const host::Digests& digests)
{
    // Big-endian, as CRC-32 values are written.
    const std::uint8_t crc[4] = {static_cast<std::uint8_t>(digests.crc32 >> 24),
                                 static_cast<std::uint8_t>(digests.crc32 >> 16),
                                 static_cast<std::uint8_t>(digests.crc32 >> 8),
                                 static_cast<std::uint8_t>(digests.crc32)};
    out_.putKey("crc32");
    out_.putHexString(hashed ? crc : nullptr, 4);
    out_.putKey("sha1");
    out_.putHexString(hashed ? digests.sha1 : nullptr, host::kSha1Bytes);
    out_.putKey("sha256");
    out_.putHexString(hashed ? digests.sha256 : nullptr, host::kSha256Bytes);
}

void JsonListing::putSectors(const SectorNotes& notes)
{
    out_.putKey("sectors");
    const struct {
        const char* key;
        SectorTrouble trouble;
        int count;
    } groups[] = {{"missing", SectorTrouble::Missing, notes.missing},
                  {"error", SectorTrouble::ErrorStatus, notes.errors},
                  {"deleted", SectorTrouble::Deleted, notes.deleted}};
    out_.put("{");
    bool firstGroup = true;
    for (const auto& group : groups) {
        out_.put(firstGroup ? "\"" : ",\"");
        firstGroup = false;
        out_.put(group.key);
        out_.put("\":[");
        bool first = true;
        for (int i = 0; i < notes.kept; ++i) {
            const SectorNote& n = notes.notes[i];
            if (n.trouble != group.trouble) {
                continue;
            }
            out_.put(first ? "{\"c\":" : ",{\"c\":");
            first = false;
            out_.putNumber(n.c);
            out_.put(",\"h\":");
            out_.putNumber(n.h);
            out_.put(",\"r\":");
            out_.putNumber(n.r);
            out_.put(",\"status\":");
            out_.putNumber(n.status);
            out_.put("}");
        }
        out_.put("],\"");
        out_.put(group.key);
        out_.put("_count\":");
        out_.putNumber(static_cast<std::uint64_t>(group.count));
    }
    out_.put("}");
}

void JsonListing::file(const FileFacts& f)
{
    const FileRecord& record = *f.record;
    ++files_;
    if (f.path != nullptr) {
        ++filesWritten_;
    }
    out_.put("{\"type\":\"file\",\"image\":");
    out_.putNumber(static_cast<std::uint64_t>(f.image));
    out_.putKey("entry");
    out_.putNumber(static_cast<std::uint64_t>(record.entryIndex));
    out_.putKey("name");
    out_.putName(record.entry.name);
    out_.putKey("raw");
    out_.putNumber(record.entry.attribute);
    out_.putKey("first_cluster");
    out_.putNumber(static_cast<std::uint64_t>(record.entry.firstCluster));
    putChain(*record.trace);
    out_.putKey("load");
    out_.putNumber(record.header.loadAddress);
    out_.putKey("size");
    out_.putNumber(record.header.size);
    out_.putKey("exec");
    out_.putNumber(record.header.execAddress);
    putDate(record.entry, record.time);
    out_.putKey("path");
    if (f.path != nullptr) {
        out_.putText(f.path, !f.pathUtf8);
    } else {
        out_.put("null");
    }
    out_.putKey("bytes_written");
    out_.putSigned(f.bytesWritten);
    putDigests(f.hashed, *f.digests);
    putSectors(record.trace->sectors);
    takeProblems(recordProblems_);
    out_.put("}");
    out_.write();
    recordOpen_ = false;
}

void JsonListing::problem(ProblemId id, const char* message, int length, bool utf8)
{
    ++problemCount_;
    // Built in the record's buffer, which is free between records, then kept.
    const int saved = out_.length();
    const Problems& held = recordOpen_ ? recordProblems_ : runProblems_;
    out_.put(held.length > 0 ? ",{\"kind\":\"" : "{\"kind\":\"");
    out_.put(problemKindName(id));
    out_.put("\",\"message\":");
    // Without the line ends: one message, one string.
    while (length > 0 && message[length - 1] == '\n') {
        --length;
    }
    out_.putString(reinterpret_cast<const std::uint8_t*>(message), length, !utf8);
    out_.put("}");
    const int n = out_.length() - saved;
    Problems& problems = recordOpen_ ? recordProblems_ : runProblems_;
    if (!out_.cut() && problems.length + n <= kJsonProblemBytes) {
        std::memcpy(problems.text + problems.length, out_.text() + saved,
                    static_cast<std::size_t>(n));
        problems.length += n;
    } else {
        ++problems.dropped;
    }
    out_.truncate(saved);
}

void JsonListing::summary(int exitStatus)
{
    flushImage();
    out_.put("{\"type\":\"summary\",\"images\":");
    out_.putNumber(static_cast<std::uint64_t>(images_));
    out_.putKey("files");
    out_.putNumber(static_cast<std::uint64_t>(files_));
    out_.putKey("files_written");
    out_.putNumber(static_cast<std::uint64_t>(filesWritten_));
    out_.putKey("problem_count");
    out_.putNumber(static_cast<std::uint64_t>(problemCount_));
    out_.putKey("exit_status");
    out_.putNumber(static_cast<std::uint64_t>(exitStatus));
    // Problems that belong to no image or file record: the run's own.
    takeProblems(runProblems_);
    out_.put("}");
    out_.write();
}

} // namespace d88

namespace d88 {

void JsonListing::total(const RunTotals& t)
{
    out_.put("{\"type\":\"total\",\"d88_files\":");
    out_.putNumber(static_cast<std::uint64_t>(t.d88Files));
    const struct {
        const char* key;
        long long value;
    } counts[] = {{"read_whole", t.readWhole},
                  {"with_problems", t.withProblems},
                  {"not_read", t.notRead},
                  {"files_written", t.filesWritten},
                  {"bytes_written", t.bytesWritten}};
    for (const auto& count : counts) {
        out_.putKey(count.key);
        out_.putSigned(count.value);
    }
    long long all = 0;
    for (const int n : t.problems) {
        all += n;
    }
    out_.putKey("problem_count");
    out_.putSigned(all);
    out_.putKey("problem_kinds");
    out_.put("{");
    bool first = true;
    for (int id = 0; id < kProblemKinds; ++id) {
        if (t.problems[id] == 0) {
            continue;
        }
        out_.put(first ? "\"" : ",\"");
        first = false;
        out_.put(problemKindName(static_cast<ProblemId>(id)));
        out_.put("\":");
        out_.putNumber(static_cast<std::uint64_t>(t.problems[id]));
    }
    out_.put("}");
    out_.putKey("exit_status");
    out_.putNumber(static_cast<std::uint64_t>(t.exitStatus));
    // The run's own problems: what the selection found, a lost listing.
    takeProblems(runProblems_);
    out_.put("}");
    out_.write();
}

} // namespace d88
