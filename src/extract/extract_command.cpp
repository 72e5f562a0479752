// The extraction command and everything it says on the console.
//
// One pass: images in index order, entries in directory order. With
// subdirectories, each image's files go into a directory named by its index
// ("000", "001", ...) and the run comes back to its starting directory after
// each image. Problems that leave the run able to go on (unreadable sectors,
// a chain cut short, a file or subdirectory that cannot be made) are one
// line each on the error stream and make the exit status 2; a failed write
// stops the run at once with status 1.
//
// "-l" goes through the same steps and prints the same lines but creates
// nothing; "-o DIR" runs the whole extraction inside DIR; "-i" and "-n" skip
// images and files before anything of them is read.
#include "extract/extract_command.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "extract/console_text.h"
#include "extract/host.h"
#include "extract/name_pattern.h"

#ifndef D88UNPACK_VERSION
#error "D88UNPACK_VERSION must be defined by the build (the CMake project version)"
#endif

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

// The usage text: the three lines a missing argument gets, and with
// `allOptions` one line more for every option after those two.
void writeUsage(const Run& run, std::FILE* stream, const char* program, bool allOptions)
{
    static constexpr const ConsoleText* kOptionLines[] = {&kUsageListOnly,   &kUsageOutputDirectory,
                                                          &kUsageKeepTimes,  &kUsageNamePattern,
                                                          &kUsageImageIndex, &kUsageHelp,
                                                          &kUsageVersion};
    // Keeps the order of lines already on the other stream.
    std::fflush(stdout);
    std::fprintf(stream, text(run, kUsageLine), program);
    std::fputs(text(run, kUsageNoSubdirectories), stream);
    std::fputs(text(run, kUsageCutHeader), stream);
    for (const ConsoleText* line : kOptionLines) {
        if (!allOptions) {
            break;
        }
        std::fputs(text(run, *line), stream);
    }
}

void reportUsageProblem(const Run& run)
{
    const char* argument = run.options.problemArgument;
    switch (run.options.problem) {
    case UsageProblem::None:
        return;
    case UsageProblem::MissingValue:
        complain(text(run, kOptionNeedsValue), argument);
        return;
    case UsageProblem::BadImageIndex:
        complain(text(run, kBadImageIndex), argument, kMaxImages - 1);
        return;
    case UsageProblem::TooManyPatterns:
        complain(text(run, kTooManyPatterns), argument, kMaxPatterns);
        return;
    }
}

// "-i": without it every image is chosen.
bool imageChosen(const ExtractOptions& options, int index)
{
    // The reader counts at most kMaxImages images; anything else is no image.
    return !options.anyImageChosen ||
           (index >= 0 && index < kMaxImages && options.imageChosen[index]);
}

// "-n": the stored name without its trailing blanks must match a pattern.
bool fileChosen(const ExtractOptions& options, const char* name)
{
    if (options.patternCount == 0) {
        return true;
    }
    std::size_t length = std::strlen(name);
    while (length > 0 && name[length - 1] == ' ') {
        --length;
    }
    for (int i = 0; i < options.patternCount; ++i) {
        if (namePatternMatches(options.patterns[i], name, length)) {
            return true;
        }
    }
    return false;
}

// A written file gets its entry's date; a stamp that is no date changes
// nothing and is not a problem.
void keepTime(Run& run, int imageIndex, const DirectoryEntry& entry, const char* hostName)
{
    const EntryTime time = entryTime(entry);
    if (time.valid && !host::setModificationTime(hostName, time.year, time.month, time.day,
                                                 time.hour, time.minute)) {
        reportDamage(run, text(run, kCannotSetTime), imageIndex, entry.name);
    }
}

// Writes one file of the current image (with "-l", only lists it). False
// when the run must stop.
bool extractFile(Run& run, int imageIndex, const DirectoryEntry& entry)
{
    const AssembledFile file =
        assembleFile(run.image, clusterTable, entry.firstCluster, fileBuffer);
    const FileHeader header = decodeFileHeader(fileBuffer);

    char hostName[kHostNameBytes];
    hostFileName(entry.name, hostName, host::kNameRules);
    host::OutputFile out;
    bool created = false;
    if (!run.options.listOnly) {
        // A stored name that leads to the D88 file itself would truncate it
        // while it is being read: such a file cannot be created.
        created = out.create(hostName, run.input);
        if (!created) {
            reportDamage(run, text(run, kCannotCreateFile), imageIndex, entry.name);
        }
    }
    if (created || run.options.listOnly) {
        char line[kListingLineBytes];
        std::fwrite(line, 1, static_cast<std::size_t>(formatListingLine(entry, header, line)),
                    stdout);
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
    if (!created) {
        return true;
    }

    // Never past the data the chain assembled, whatever the header claims.
    const int end = std::min(wanted, file.length);
    const int begin = std::min(run.options.headerSkip, end);
    if (!out.writeAndClose(fileBuffer.bytes + begin, static_cast<std::size_t>(end - begin))) {
        complain(text(run, kWriteFailed));
        return false;
    }
    if (run.options.keepTimes) {
        keepTime(run, imageIndex, entry, hostName);
    }
    return true;
}

// The exit status once everything is printed.
int finish(Run& run, int status)
{
    // A listing that never reached its reader is something left out.
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        reportDamage(run, text(run, kConsoleLost));
    }
    if (status == kExitSuccess && run.damaged) {
        status = kExitDamaged;
    }
    return status;
}

// Writes (with "-l", lists) every chosen file of image `index`, which is
// current. False when the run must stop.
bool extractImage(Run& run, int index)
{
    run.image.setSectorRange(kFirstSector, kLastSector);
    const LayoutRead layout = readDirectoryAndTable(run.image, directory, clusterTable);

    bool entered = false;
    char subdirectory[kSubdirectoryNameBytes];
    if (run.options.makeSubdirectories) {
        std::snprintf(subdirectory, sizeof subdirectory, "%03d", index);
        if (!run.options.listOnly) {
            // An existing directory of that name is reused.
            host::makeDirectory(subdirectory);
            // Entering is only safe when the way back is known.
            entered = run.start.remembered() && host::enterDirectory(subdirectory);
        }
        std::printf(text(run, kImageLine), run.image.imageName(), subdirectory);
    }
    std::fputs(text(run, kColumnHeader), stdout);

    bool writeFiles = true;
    if (run.options.makeSubdirectories && !run.options.listOnly && !entered) {
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
        if (entry.state == EntryState::File && fileChosen(run.options, entry.name)) {
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

// "-i"'s value: digits only, below kMaxImages; -1 for anything else.
int parseImageIndex(const char* value)
{
    if (value[0] == '\0') {
        return -1;
    }
    int index = 0;
    for (const char* p = value; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') {
            return -1;
        }
        index = index * 10 + (*p - '0');
        // Also keeps a long run of digits from overflowing.
        if (index >= kMaxImages) {
            return -1;
        }
    }
    return index;
}

void fail(ExtractOptions& options, UsageProblem problem, const char* argument)
{
    options.problem = problem;
    options.problemArgument = argument;
}

// Characters that Windows does not allow in a file name.
bool windowsRefuses(char c)
{
    constexpr unsigned char kFirstPrintable = 0x20;
    return static_cast<unsigned char>(c) < kFirstPrintable ||
           (c != '\0' && std::strchr("\\:*?\"<>|", c) != nullptr);
}

bool sameLetters(const char* name, const char* upper, int length)
{
    for (int i = 0; i < length; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != upper[i]) {
            return false;
        }
    }
    return true;
}

// Superscripts 1, 2 and 3 in Windows' Western code page (1252): Windows
// takes them for the digits of COM and LPT too.
constexpr char kSuperscriptDigits[] = "\xB9\xB2\xB3";

// Windows opens these as the device in whatever directory they are named:
// "nul", "Con.txt" and "AUX  .BAS" alike.
bool isWindowsDevice(const char* name)
{
    int base = 0;
    while (name[base] != '\0' && name[base] != '.') {
        ++base;
    }
    while (base > 0 && name[base - 1] == ' ') {
        --base;
    }
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        const int length = static_cast<int>(std::strlen(device));
        if (base == length && sameLetters(name, device, length)) {
            return true;
        }
    }
    constexpr int kPortNameBytes = 4; // "COM1", "LPT9"
    if (base != kPortNameBytes || !(sameLetters(name, "COM", 3) || sameLetters(name, "LPT", 3))) {
        return false;
    }
    // name[3] is neither the terminator nor a dot: base is 4.
    return std::isdigit(static_cast<unsigned char>(name[3])) ||
           std::strchr(kSuperscriptDigits, name[3]) != nullptr;
}

// Windows drops a name's trailing dots and blanks; of such a name nothing
// would be left.
bool onlyDotsAndBlanks(const char* name)
{
    for (; *name != '\0'; ++name) {
        if (*name != '.' && *name != ' ') {
            return false;
        }
    }
    return true;
}

} // namespace

namespace {

// printf's "%0*x" and "%0*d" for the values a listing line holds: at
// least `digits` digits, more when the value needs them. Base and width are
// constants, so the divisions come down to shifts and multiplications, and
// a value that fits its field (nearly all do) needs no digit counting.
template <unsigned base, int digits>
char* appendNumber(char* out, unsigned value)
{
    constexpr unsigned kFieldLimit = [] {
        unsigned limit = 1;
        for (int k = 0; k < digits; ++k) {
            limit *= base;
        }
        return limit;
    }();
    constexpr const char* kDigits = "0123456789abcdef";
    int count = digits;
    for (unsigned rest = value / kFieldLimit; rest != 0; rest /= base) {
        ++count;
    }
    // Written from the last digit back; once the value is used up the
    // leading places get zeros.
    for (int k = count - 1; k >= 0; --k) {
        out[k] = kDigits[value % base];
        value /= base;
    }
    return out + count;
}

} // namespace

int formatListingLine(const DirectoryEntry& entry, const FileHeader& header,
                      char (&line)[kListingLineBytes])
{
    // "%-9s %04x %04x %04x %02d/%02d/%02d %02d:%02d\n"
    constexpr int kNameWidth = 9;
    static_assert(kNameBytes <= kNameWidth);
    constexpr int kHexDigits = 4;
    constexpr int kDecimalDigits = 2;
    char* out = line;
    int i = 0;
    // The name is at most kNameBytes bytes and terminated.
    for (; i < kNameBytes && entry.name[i] != '\0'; ++i) {
        *out++ = entry.name[i];
    }
    for (; i < kNameWidth; ++i) {
        *out++ = ' ';
    }
    for (const unsigned field : {header.loadAddress, header.size, header.execAddress}) {
        *out++ = ' ';
        out = appendNumber<16, kHexDigits>(out, field);
    }
    const char separators[kStampCount] = {' ', '/', '/', ' ', ':'};
    for (int k = 0; k < kStampCount; ++k) {
        *out++ = separators[k];
        // Decoded BCD is never negative.
        out = appendNumber<10, kDecimalDigits>(out, static_cast<unsigned>(entry.stamp[k]));
    }
    *out++ = '\n';
    return static_cast<int>(out - line);
}

ExtractOptions parseOptions(int argc, const char* const* argv)
{
    ExtractOptions options;
    for (int i = 2; i < argc && options.problem == UsageProblem::None; ++i) {
        const char* option = argv[i];
        const bool takesValue = std::strcmp(option, "-o") == 0 || std::strcmp(option, "-n") == 0 ||
                                std::strcmp(option, "-i") == 0;
        if (takesValue && i + 1 >= argc) {
            fail(options, UsageProblem::MissingValue, option);
        } else if (std::strcmp(option, "-b") == 0) {
            options.headerSkip = kFileHeaderBytes;
        } else if (std::strcmp(option, "-d") == 0) {
            options.makeSubdirectories = false;
        } else if (std::strcmp(option, "-l") == 0) {
            options.listOnly = true;
        } else if (std::strcmp(option, "-t") == 0) {
            options.keepTimes = true;
        } else if (std::strcmp(option, "-o") == 0) {
            options.outputDirectory = argv[++i];
        } else if (std::strcmp(option, "-n") == 0) {
            const char* pattern = argv[++i];
            // The pattern table has room for kMaxPatterns.
            if (options.patternCount >= kMaxPatterns) {
                fail(options, UsageProblem::TooManyPatterns, pattern);
            } else {
                options.patterns[options.patternCount++] = pattern;
            }
        } else if (std::strcmp(option, "-i") == 0) {
            const int index = parseImageIndex(argv[++i]);
            if (index < 0) {
                fail(options, UsageProblem::BadImageIndex, argv[i]);
            } else {
                options.imageChosen[index] = true;
                options.anyImageChosen = true;
            }
        }
    }
    return options;
}

void hostFileName(const char* stored, char (&host)[kHostNameBytes], host::NameRules rules)
{
    static_assert(kHostNameBytes >= 1 + kNameBytes + 1, "'_', the stored bytes, the terminator");
    // "." and ".." would name the directory itself or its parent.
    if (std::strcmp(stored, ".") == 0) {
        stored = "_";
    } else if (std::strcmp(stored, "..") == 0) {
        stored = "__";
    }
    const bool windows = rules == host::NameRules::Windows;
    // Mapped one place to the right, leaving room for a '_' in front.
    char* name = host + 1;
    int length = 0;
    // The stored name has at most kNameBytes bytes before its terminator.
    for (; length < kNameBytes && stored[length] != '\0'; ++length) {
        const char c = stored[length];
        name[length] = c == '/' || (windows && windowsRefuses(c)) ? '_' : c;
    }
    name[length] = '\0';
    if (windows && (isWindowsDevice(name) || onlyDotsAndBlanks(name))) {
        host[0] = '_';
    } else {
        std::memmove(host, name, static_cast<std::size_t>(length) + 1);
    }
}

int runExtraction(D88Image& image, int argc, const char* const* argv)
{
    Run run{image, ExtractOptions{}, host::consoleEncoding(), {}, {}, false};
    const char* program = argc > 0 && argv[0] != nullptr ? argv[0] : "d88unpack";
    if (argc < 2) {
        writeUsage(run, stderr, program, false);
        return kExitFatal;
    }
    // Only when no file has that name: otherwise it is the D88 file, as the
    // first argument always was.
    const bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
    const bool version = std::strcmp(argv[1], "--version") == 0;
    if ((help || version) && !host::identify(argv[1]).known) {
        if (help) {
            writeUsage(run, stdout, program, true);
        } else {
            std::printf(text(run, kVersionLine), D88UNPACK_VERSION);
        }
        return finish(run, kExitSuccess);
    }
    run.options = parseOptions(argc, argv);
    if (run.options.problem != UsageProblem::None) {
        reportUsageProblem(run);
        writeUsage(run, stderr, program, true);
        return kExitFatal;
    }
    // A listing nobody reads any more is reported at the end, not fatal.
    const host::BrokenPipesIgnored brokenPipesIgnored;

    if (!image.open(argv[1])) {
        complain(text(run, kCannotOpen));
        return kExitFatal;
    }
    // Known before "-o" changes the working directory: the path may be relative.
    run.input = host::identify(argv[1]);
    // With "-o", DIR stands in for the starting directory until the end of
    // the run, and the run then goes back to where it really started.
    host::StartingDirectory home;
    const char* outputDirectory = run.options.listOnly ? nullptr : run.options.outputDirectory;
    if (outputDirectory != nullptr) {
        if (!home.remember()) {
            complain(text(run, kCannotKeepStart));
            image.close();
            return kExitFatal;
        }
        // An existing directory is used as it is.
        host::makeDirectory(outputDirectory);
        if (!host::enterDirectory(outputDirectory)) {
            complain(text(run, kCannotEnterOutput), outputDirectory);
            image.close();
            return kExitFatal;
        }
    }
    if (run.options.headerSkip == kFileHeaderBytes) {
        std::fputs(text(run, kCuttingHeader), stdout);
    }
    // Without a way back, no subdirectory is entered; each image says so.
    if (run.options.makeSubdirectories && !run.options.listOnly && !run.start.remember()) {
        reportDamage(run, text(run, kCannotKeepStart));
    }

    int status = kExitSuccess;
    const int count = image.imageCount();
    for (int index = 0; index < count; ++index) {
        if (!imageChosen(run.options, index)) {
            continue;
        }
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
    if (outputDirectory != nullptr && !home.returnTo()) {
        complain(text(run, kCannotReturn));
        status = kExitFatal;
    }
    return finish(run, status);
}

} // namespace d88
