// The extraction command and everything it says on the console.
//
// One pass: images in index order, entries in directory order. With
// subdirectories, each image's files go into a directory named by its index
// ("000", "001", ...) and the run comes back to its starting directory after
// each image. Problems that leave the run able to go on (unreadable sectors,
// a chain cut short, a file or subdirectory that cannot be made) are one
// line each on the error stream and make the exit status 2; a failed write
// stops the run at once with status 1.
#include "extract/extract_command.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "extract/console_text.h"
#include "extract/host.h"

namespace d88 {

namespace {

// Sized for the whole disk, reused for every image and file.
Directory directory;
ClusterTable clusterTable;
FileBuffer fileBuffer;

// "%03d" of an image index: three digits below kMaxImages, room for any int.
constexpr int kSubdirectoryNameBytes = 12;
static_assert(kMaxImages <= 1000);

struct Run {
    D88Image& image;
    ExtractOptions options;
    ConsoleEncoding encoding;
    host::StartingDirectory start;
    host::FileIdentity input; // the D88 file, never to be written over
    bool damaged = false;
};

const char* text(const Run& run, const ConsoleText& consoleText)
{
    return textFor(consoleText, run.encoding);
}

void complainList(const char* format, va_list args)
{
    // Error lines follow what was already printed, also when both streams
    // go to one file.
    std::fflush(stdout);
    std::vfprintf(stderr, format, args);
}

void complain(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    complainList(format, args);
    va_end(args);
}

// A problem the run survives: reported, and the exit status becomes 2.
void reportDamage(Run& run, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    complainList(format, args);
    va_end(args);
    run.damaged = true;
}

// Writes one file of the current image. False when the run must stop.
bool extractFile(Run& run, int imageIndex, const DirectoryEntry& entry)
{
    const AssembledFile file =
        assembleFile(run.image, clusterTable, entry.firstCluster, fileBuffer);
    const FileHeader header = decodeFileHeader(fileBuffer);

    char hostName[kNameBytes + 1];
    hostFileName(entry.name, hostName);
    // A stored name that leads to the D88 file itself would truncate it
    // while it is being read: such a file cannot be created.
    std::FILE* out = host::isFile(hostName, run.input) ? nullptr : std::fopen(hostName, "wb");
    if (out != nullptr) {
        std::printf(text(run, kListingLine), entry.name, header.loadAddress, header.size,
                    header.execAddress, entry.stamp[0], entry.stamp[1], entry.stamp[2],
                    entry.stamp[3], entry.stamp[4]);
    } else {
        reportDamage(run, text(run, kCannotCreateFile), imageIndex, entry.name);
    }

    // The damage is the file's whether or not it could be created.
    if (file.sectorsLost > 0) {
        reportDamage(run, text(run, kFileSectorsLost), imageIndex, entry.name, file.sectorsLost);
    }
    if (file.chainCut) {
        reportDamage(run, text(run, kChainCut), imageIndex, entry.name);
    }
    // The header's size counts the bytes after the header.
    const int wanted = kFileHeaderBytes + static_cast<int>(header.size);
    if (file.length < wanted) {
        reportDamage(run, text(run, kFileShort), imageIndex, entry.name);
    }
    if (out == nullptr) {
        return true;
    }

    // Never past the data the chain assembled, whatever the header claims.
    const int end = std::min(wanted, file.length);
    const int begin = std::min(run.options.headerSkip, end);
    const std::size_t length = static_cast<std::size_t>(end - begin);
    const bool written = std::fwrite(fileBuffer.bytes + begin, 1, length, out) == length;
    // Data that only reaches the disk at close can fail there too.
    const bool flushed = std::fflush(out) == 0;
    const bool closed = std::fclose(out) == 0;
    if (!written || !flushed || !closed) {
        complain(text(run, kWriteFailed));
        return false;
    }
    return true;
}

// Writes every file of image `index`, which is current. False when the run
// must stop.
bool extractImage(Run& run, int index)
{
    run.image.setSectorRange(kFirstSector, kLastSector);
    const LayoutRead layout = readDirectoryAndTable(run.image, directory, clusterTable);

    bool entered = false;
    char subdirectory[kSubdirectoryNameBytes];
    if (run.options.makeSubdirectories) {
        std::snprintf(subdirectory, sizeof subdirectory, "%03d", index);
        // An existing directory of that name is reused.
        host::makeDirectory(subdirectory);
        // Entering is only safe when the way back is known.
        entered = run.start.remembered() && host::enterDirectory(subdirectory);
        std::printf(text(run, kImageLine), run.image.imageName(), subdirectory);
    }
    std::fputs(text(run, kColumnHeader), stdout);

    bool writeFiles = true;
    if (run.options.makeSubdirectories && !entered) {
        reportDamage(run, text(run, kCannotEnterSubdirectory), index, subdirectory);
        writeFiles = false;
    }
    if (layout.directorySectorsLost > 0) {
        reportDamage(run, text(run, kDirectoryDamaged), index, layout.directorySectorsLost);
    }
    // A table of zeros would turn every file into garbage.
    if (layout.tableSectorsLost > 0) {
        reportDamage(run, text(run, kTableUnreadable), index);
        writeFiles = false;
    }

    bool keepGoing = true;
    for (int i = 0; writeFiles && keepGoing && i < kEntryCount; ++i) {
        const DirectoryEntry entry = decodeEntry(directory.bytes + i * kEntryBytes);
        if (entry.state == EntryState::EndOfDirectory) {
            break;
        }
        if (entry.state == EntryState::File) {
            keepGoing = extractFile(run, index, entry);
        }
    }

    if (entered && !run.start.returnTo()) {
        // Anything written now would land in the wrong place.
        complain(text(run, kCannotReturn));
        return false;
    }
    return keepGoing;
}

} // namespace

ExtractOptions parseOptions(int argc, const char* const* argv)
{
    ExtractOptions options;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "-b") == 0) {
            options.headerSkip = kFileHeaderBytes;
        } else if (std::strcmp(argv[i], "-d") == 0) {
            options.makeSubdirectories = false;
        }
    }
    return options;
}

void hostFileName(const char* stored, char (&host)[kNameBytes + 1])
{
    // "." and ".." would name the directory itself or its parent.
    if (std::strcmp(stored, ".") == 0) {
        stored = "_";
    } else if (std::strcmp(stored, "..") == 0) {
        stored = "__";
    }
    int i = 0;
    // The stored name has at most kNameBytes bytes before its terminator.
    for (; i < kNameBytes && stored[i] != '\0'; ++i) {
        host[i] = stored[i] == '/' ? '_' : stored[i];
    }
    host[i] = '\0';
}

int runExtraction(D88Image& image, int argc, const char* const* argv)
{
    Run run{image, ExtractOptions{}, host::consoleEncoding(), {}, {}, false};
    if (argc < 2) {
        const char* program = argc > 0 && argv[0] != nullptr ? argv[0] : "d88unpack";
        complain(text(run, kUsageLine), program);
        complain(text(run, kUsageNoSubdirectories));
        complain(text(run, kUsageCutHeader));
        return kExitFatal;
    }
    run.options = parseOptions(argc, argv);
    // A listing nobody reads any more is reported at the end, not fatal.
    const host::BrokenPipesIgnored brokenPipesIgnored;

    if (!image.open(argv[1])) {
        complain(text(run, kCannotOpen));
        return kExitFatal;
    }
    run.input = host::identify(argv[1]);
    if (run.options.headerSkip == kFileHeaderBytes) {
        std::fputs(text(run, kCuttingHeader), stdout);
    }
    // Without a way back, no subdirectory is entered; each image says so.
    if (run.options.makeSubdirectories && !run.start.remember()) {
        reportDamage(run, text(run, kCannotKeepStart));
    }

    int status = kExitSuccess;
    const int count = image.imageCount();
    for (int index = 0; index < count; ++index) {
        if (!image.selectImage(index)) {
            reportDamage(run, text(run, kImageUnreadable), index);
            continue;
        }
        if (!extractImage(run, index)) {
            status = kExitFatal;
            break;
        }
    }
    image.close();
    // A listing that never reached its reader is something left out.
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        reportDamage(run, text(run, kConsoleLost));
    }
    if (status == kExitSuccess && run.damaged) {
        status = kExitDamaged;
    }
    return status;
}

} // namespace d88
