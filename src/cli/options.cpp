// The option table and what reads it.
#include "options.h"

#include <algorithm>
#include <cstring>

#include "disk_layout.h"
#include "folder_names.h"

namespace d88 {

namespace {

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

UsageProblem addPattern(ExtractOptions& options, const char* pattern)
{
    // The pattern table has room for kMaxPatterns.
    if (options.patternCount >= kMaxPatterns) {
        return UsageProblem::TooManyPatterns;
    }
    options.patterns[options.patternCount++] = pattern;
    return UsageProblem::None;
}

UsageProblem chooseImage(ExtractOptions& options, const char* value)
{
    const int index = parseImageIndex(value);
    if (index < 0) {
        return UsageProblem::BadImageIndex;
    }
    options.imageChosen[index] = true;
    options.anyImageChosen = true;
    return UsageProblem::None;
}

// "-J"'s value: digits only, from 1 to kMaxJobs.
UsageProblem chooseJobs(ExtractOptions& options, const char* value)
{
    int jobs = value[0] == '\0' ? -1 : 0;
    for (const char* p = value; *p != '\0' && jobs >= 0; ++p) {
        // Also keeps a long run of digits from overflowing.
        jobs = *p >= '0' && *p <= '9' && jobs <= kMaxJobs ? jobs * 10 + (*p - '0') : -1;
    }
    if (jobs < 1 || jobs > kMaxJobs) {
        return UsageProblem::BadJobs;
    }
    options.jobs = jobs;
    return UsageProblem::None;
}

UsageProblem set(bool& flag)
{
    flag = true;
    return UsageProblem::None;
}

// "-k" and "-r": the last one given counts.
UsageProblem clash(ExtractOptions& options, NameClash rule)
{
    options.nameClash = rule;
    return UsageProblem::None;
}

} // namespace

const OptionRow kOptionRows[] = {
    {'d', "flat", nullptr, &kOptionFlat,
     [](ExtractOptions& o, const char*) {
         o.makeSubdirectories = false;
         return UsageProblem::None;
     }},
    {'b', "no-header", nullptr, &kOptionNoHeader,
     [](ExtractOptions& o, const char*) {
         o.headerSkip = kFileHeaderBytes;
         return UsageProblem::None;
     }},
    {'l', "list", nullptr, &kOptionList,
     [](ExtractOptions& o, const char*) { return set(o.listOnly); }},
    {'p', "stdout", nullptr, &kOptionStdout,
     [](ExtractOptions& o, const char*) { return set(o.toStdout); }},
    {'o', "output", "DIR", &kOptionOutput,
     [](ExtractOptions& o, const char* value) {
         o.outputDirectory = value;
         return UsageProblem::None;
     }},
    {'f', "folders", nullptr, &kOptionFolders,
     [](ExtractOptions& o, const char*) { return set(o.folders); }},
    {'t', "times", nullptr, &kOptionTimes,
     [](ExtractOptions& o, const char*) { return set(o.keepTimes); }},
    {'c', "check", nullptr, &kOptionCheck,
     [](ExtractOptions& o, const char*) { return set(o.check); }},
    {'j', "json", nullptr, &kOptionJson,
     [](ExtractOptions& o, const char*) { return set(o.json); }},
    {'q', "quiet", nullptr, &kOptionQuiet,
     [](ExtractOptions& o, const char*) { return set(o.quiet); }},
    {'n', "name", "PATTERN", &kOptionName, addPattern},
    {'i', "image", "N", &kOptionImage, chooseImage},
    {'k', "keep-existing", nullptr, &kOptionKeepExisting,
     [](ExtractOptions& o, const char*) { return clash(o, NameClash::Keep); }},
    {'r', "rename", nullptr, &kOptionRename,
     [](ExtractOptions& o, const char*) { return clash(o, NameClash::Rename); }},
    {'u', "unicode-names", nullptr, &kOptionUnicodeNames,
     [](ExtractOptions& o, const char*) { return set(o.unicodeNames); }},
    {'J', "jobs", "N", &kOptionJobs, chooseJobs},
    {'h', "help", nullptr, &kOptionHelp,
     [](ExtractOptions& o, const char*) { return set(o.help); }},
    {'\0', "version", nullptr, &kOptionVersion,
     [](ExtractOptions& o, const char*) { return set(o.version); }},
};
const int kOptionRowCount = static_cast<int>(sizeof kOptionRows / sizeof kOptionRows[0]);

namespace {

const OptionRow* shortOption(char letter)
{
    for (const OptionRow& row : kOptionRows) {
        if (row.shortName != '\0' && row.shortName == letter) {
            return &row;
        }
    }
    return nullptr;
}

// A long option as typed finds its row as getopt_long finds it: by its
// whole name, or by the start of one name only ("--out" for "--output").
struct LongMatch {
    const OptionRow* row; // null: no row, or more than one
    int candidates;       // how many names it is the start of
};

LongMatch longOption(const char* name, std::size_t length)
{
    LongMatch match{nullptr, 0};
    if (length == 0) {
        return match;
    }
    for (const OptionRow& row : kOptionRows) {
        if (std::strncmp(row.longName, name, length) != 0) {
            continue;
        }
        // A whole name wins over the longer names it begins.
        if (row.longName[length] == '\0') {
            return {&row, 1};
        }
        match.row = match.candidates == 0 ? &row : nullptr;
        ++match.candidates;
    }
    return match;
}

// The name part of "--name=VALUE", without the dashes.
std::size_t longNameLength(const char* argument)
{
    return std::strcspn(argument + 2, "=");
}

// Optimal string alignment distance: each insertion, deletion, substitution
// and swap of two neighbours counts one. Names longer than kLongest are
// never near.
int editDistance(const char* typed, std::size_t typedLength, const char* name)
{
    constexpr std::size_t kLongest = 32;
    constexpr int kFar = 1000;
    const std::size_t nameLength = std::strlen(name);
    if (typedLength > kLongest || nameLength > kLongest) {
        return kFar;
    }
    // Rows over the name: for the typed text up to i-2, i-1 and i bytes.
    int older[kLongest + 1] = {}, previous[kLongest + 1], current[kLongest + 1];
    for (std::size_t j = 0; j <= nameLength; ++j) {
        previous[j] = static_cast<int>(j);
    }
    for (std::size_t i = 1; i <= typedLength; ++i) {
        current[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= nameLength; ++j) {
            const int change = typed[i - 1] == name[j - 1] ? 0 : 1;
            int best = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + change});
            if (i > 1 && j > 1 && typed[i - 1] == name[j - 2] && typed[i - 2] == name[j - 1]) {
                best = std::min(best, older[j - 2] + 1);
            }
            current[j] = best;
        }
        std::copy(previous, previous + nameLength + 1, older);
        std::copy(current, current + nameLength + 1, previous);
    }
    return previous[nameLength];
}

bool fail(ExtractOptions& options, UsageProblem problem, const char* argument)
{
    options.problem = problem;
    options.problemArgument = argument;
    return false;
}

// Takes one option with its value (null when it takes none); false to stop
// reading.
bool take(ExtractOptions& options, const OptionRow& row, const char* value)
{
    const UsageProblem problem = row.apply(options, value);
    if (problem != UsageProblem::None) {
        return fail(options, problem, value);
    }
    return !options.help && !options.version;
}

// "--name", "--name=VALUE" or "--name VALUE"; `next` steps over a value
// taken from the next argument.
bool takeLong(ExtractOptions& options, int argc, const char* const* argv, int& next)
{
    const char* argument = argv[next];
    const char* name = argument + 2;
    const char* equals = std::strchr(name, '=');
    const LongMatch match = longOption(name, longNameLength(argument));
    if (match.candidates > 1) {
        return fail(options, UsageProblem::AmbiguousOption, argument);
    }
    const OptionRow* row = match.row;
    if (row == nullptr) {
        return fail(options, UsageProblem::UnknownOption, argument);
    }
    if (row->valueName == nullptr) {
        return equals == nullptr ? take(options, *row, nullptr)
                                 : fail(options, UsageProblem::UnexpectedValue, argument);
    }
    if (equals != nullptr) {
        return take(options, *row, equals + 1);
    }
    if (next + 1 >= argc) {
        return fail(options, UsageProblem::MissingValue, argument);
    }
    return take(options, *row, argv[++next]);
}

// "-lb", "-oDIR", "-o DIR".
bool takeShort(ExtractOptions& options, int argc, const char* const* argv, int& next)
{
    const char* argument = argv[next];
    for (const char* letter = argument + 1; *letter != '\0'; ++letter) {
        const OptionRow* row = shortOption(*letter);
        if (row == nullptr) {
            options.problemOption[0] = '-';
            options.problemOption[1] = *letter;
            return fail(options, UsageProblem::UnknownOption, options.problemOption);
        }
        if (row->valueName == nullptr) {
            if (!take(options, *row, nullptr)) {
                return false;
            }
            continue;
        }
        // The rest of the group is the value; without a rest, the next argument.
        if (letter[1] != '\0') {
            return take(options, *row, letter + 1);
        }
        if (next + 1 >= argc) {
            options.problemOption[0] = '-';
            options.problemOption[1] = *letter;
            return fail(options, UsageProblem::MissingValue, options.problemOption);
        }
        return take(options, *row, argv[++next]);
    }
    return true;
}

// Options that make no sense together.
void checkConflicts(ExtractOptions& options)
{
    if (options.problem != UsageProblem::None || options.help || options.version) {
        return;
    }
    // -p's standard output carries the files alone: no listing, no records,
    // and there is nothing to write with -l or -c.
    const struct {
        bool other;
        const char* name;
    } excluded[] = {{options.listOnly, "-l"}, {options.json, "-j"}, {options.check, "-c"}};
    for (const auto& pair : excluded) {
        if (options.toStdout && pair.other) {
            fail(options, UsageProblem::Conflict, "-p");
            options.otherArgument = pair.name;
            return;
        }
    }
    if (options.d88Path == nullptr) {
        fail(options, UsageProblem::NoD88File, nullptr);
    } else if (options.d88Files > FolderNames::kCapacity) {
        fail(options, UsageProblem::TooManyFiles, nullptr);
    }
}

// Reads the arguments from `position` on, taking each option into
// `options`, up to the next D88 path: its place in argv, or argc at the
// end or at a problem.
int readUpToD88File(ExtractOptions& options, int argc, const char* const* argv, int& position,
                    bool& optionsEnded)
{
    for (; position < argc; ++position) {
        const char* argument = argv[position];
        bool goOn = true;
        if (!optionsEnded && std::strcmp(argument, "--") == 0) {
            optionsEnded = true;
        } else if (optionsEnded || argument[0] != '-' || argument[1] == '\0') {
            // "-" alone is a path, as it is to most tools.
            return position++;
        } else if (argument[1] == '-') {
            goOn = takeLong(options, argc, argv, position);
        } else {
            goOn = takeShort(options, argc, argv, position);
        }
        if (!goOn) {
            position = argc;
        }
    }
    return argc;
}

// The help's option column: "  -o, --output=DIR", padded.
void writeOptionForms(std::FILE* stream, const OptionRow& row)
{
    constexpr int kColumn = 24;
    int width = 0;
    if (row.shortName != '\0') {
        width += std::fprintf(stream, "  -%c, ", row.shortName);
    } else {
        width += std::fprintf(stream, "      ");
    }
    width += std::fprintf(stream, "--%s", row.longName);
    if (row.valueName != nullptr) {
        width += std::fprintf(stream, "=%s", row.valueName);
    }
    std::fprintf(stream, "%*s", width < kColumn ? kColumn - width : 1, "");
}

} // namespace

ExtractOptions parseCommandLine(int argc, const char* const* argv, bool firstIsFile)
{
    ExtractOptions options;
    D88Files files(argc, argv, firstIsFile);
    for (int at = files.next(options); at != 0; at = files.next(options)) {
        options.d88Path = options.d88Path != nullptr ? options.d88Path : argv[at];
        ++options.d88Files;
    }
    checkConflicts(options);
    return options;
}

D88Files::D88Files(int argc, const char* const* argv, bool firstIsFile)
    : argc_(argc), argv_(argv), firstIsFile_(firstIsFile && argc > 1)
{
}

int D88Files::next(ExtractOptions& options)
{
    if (firstIsFile_) {
        firstIsFile_ = false;
        position_ = 2;
        return 1;
    }
    const int at = readUpToD88File(options, argc_, argv_, position_, optionsEnded_);
    return at < argc_ ? at : 0;
}

int D88Files::next()
{
    ExtractOptions ignored;
    return next(ignored);
}

void listLongCandidates(const char* argument, char (&list)[kCandidateListBytes])
{
    const std::size_t length = longNameLength(argument);
    int used = 0;
    list[0] = '\0';
    for (const OptionRow& row : kOptionRows) {
        if (length == 0 || std::strncmp(row.longName, argument + 2, length) != 0) {
            continue;
        }
        const int room = kCandidateListBytes - used;
        const int wrote = std::snprintf(list + used, static_cast<std::size_t>(room),
                                        used > 0 ? " '--%s'" : "'--%s'", row.longName);
        // The table's names all fit; a cut list would still end terminated.
        used += std::min(std::max(wrote, 0), room - 1);
    }
}

const char* nearestLongOption(const char* argument)
{
    if (argument[0] != '-' || argument[1] != '-') {
        return nullptr;
    }
    const std::size_t length = longNameLength(argument);
    const char* nearest = nullptr;
    int best = 0;
    for (const OptionRow& row : kOptionRows) {
        const int distance = editDistance(argument + 2, length, row.longName);
        if (nearest == nullptr || distance < best) {
            nearest = row.longName;
            best = distance;
        }
    }
    // Two slips at most, and never more than half of what was typed: "--x"
    // is near nothing.
    return best <= 2 && static_cast<std::size_t>(2 * best) <= length ? nearest : nullptr;
}

void writeBriefUsage(std::FILE* stream, ConsoleStyle console, const char* program)
{
    // Keeps the order of lines already on the other stream.
    std::fflush(stdout);
    std::fprintf(stream, textFor(kUsageLine, console), program);
    std::fputs(textFor(kUsageNoSubdirectories, console), stream);
    std::fputs(textFor(kUsageCutHeader, console), stream);
}

void writeTryHelp(std::FILE* stream, ConsoleStyle console, const char* program)
{
    std::fflush(stdout);
    std::fprintf(stream, textFor(kTryHelp, console), program);
}

void writeHelp(std::FILE* stream, ConsoleStyle console, const char* program)
{
    std::fflush(stdout);
    std::fprintf(stream, textFor(kHelpUsage, console), program);
    std::fputs(textFor(kHelpSummary, console), stream);
    for (const OptionRow& row : kOptionRows) {
        writeOptionForms(stream, row);
        std::fputs(textFor(*row.help, console), stream);
    }
    std::fputs(textFor(kHelpPatterns, console), stream);
    std::fputs(textFor(kHelpExitStatus, console), stream);
}

} // namespace d88
