// The option table and what reads it.
#include "options.h"

#include <cstring>

#include "disk_layout.h"
#include "name_pattern.h"

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

constexpr bool kValue = true;
constexpr bool kBrief = true;
constexpr auto kAfterPath = OptionPlace::AfterPath;

} // namespace

const OptionRow kOptionRows[] = {
    {'d', "flat", !kValue, kAfterPath, kBrief, &kUsageNoSubdirectories,
     [](ExtractOptions& o, const char*) {
         o.makeSubdirectories = false;
         return UsageProblem::None;
     }},
    {'b', "no-header", !kValue, kAfterPath, kBrief, &kUsageCutHeader,
     [](ExtractOptions& o, const char*) {
         o.headerSkip = kFileHeaderBytes;
         return UsageProblem::None;
     }},
    {'l', "list", !kValue, kAfterPath, !kBrief, &kUsageListOnly,
     [](ExtractOptions& o, const char*) {
         o.listOnly = true;
         return UsageProblem::None;
     }},
    {'o', "output", kValue, kAfterPath, !kBrief, &kUsageOutputDirectory,
     [](ExtractOptions& o, const char* value) {
         o.outputDirectory = value;
         return UsageProblem::None;
     }},
    {'t', "times", !kValue, kAfterPath, !kBrief, &kUsageKeepTimes,
     [](ExtractOptions& o, const char*) {
         o.keepTimes = true;
         return UsageProblem::None;
     }},
    {'n', "name", kValue, kAfterPath, !kBrief, &kUsageNamePattern, addPattern},
    {'i', "image", kValue, kAfterPath, !kBrief, &kUsageImageIndex, chooseImage},
    {'k', "keep-existing", !kValue, kAfterPath, !kBrief, &kUsageKeepExisting,
     [](ExtractOptions& o, const char*) {
         o.nameClash = NameClash::Keep;
         return UsageProblem::None;
     }},
    {'r', "rename", !kValue, kAfterPath, !kBrief, &kUsageRename,
     [](ExtractOptions& o, const char*) {
         o.nameClash = NameClash::Rename;
         return UsageProblem::None;
     }},
    {'h', "help", !kValue, OptionPlace::Alone, !kBrief, &kUsageHelp, nullptr},
    {'\0', "version", !kValue, OptionPlace::Alone, !kBrief, &kUsageVersion, nullptr},
};
const int kOptionRowCount = static_cast<int>(sizeof kOptionRows / sizeof kOptionRows[0]);

const OptionRow* findOption(const char* argument, OptionPlace place)
{
    if (argument[0] != '-') {
        return nullptr;
    }
    for (const OptionRow& row : kOptionRows) {
        if (row.place != place) {
            continue;
        }
        const bool isShort =
            row.shortName != '\0' && argument[1] == row.shortName && argument[2] == '\0';
        // Long forms stand alone today: "--help" and "--version".
        const bool isLong = place == OptionPlace::Alone && row.longName != nullptr &&
                            argument[1] == '-' && std::strcmp(argument + 2, row.longName) == 0;
        if (isShort || isLong) {
            return &row;
        }
    }
    return nullptr;
}

ExtractOptions parseOptions(int argc, const char* const* argv)
{
    ExtractOptions options;
    for (int i = 2; i < argc && options.problem == UsageProblem::None; ++i) {
        const OptionRow* row = findOption(argv[i], OptionPlace::AfterPath);
        if (row == nullptr) {
            continue;
        }
        if (row->takesValue && i + 1 >= argc) {
            options.problem = UsageProblem::MissingValue;
            options.problemArgument = argv[i];
            break;
        }
        const char* value = row->takesValue ? argv[++i] : nullptr;
        options.problem = row->apply(options, value);
        if (options.problem != UsageProblem::None) {
            options.problemArgument = value;
        }
    }
    return options;
}

void writeUsage(std::FILE* stream, ConsoleStyle console, const char* program, bool allOptions)
{
    // Keeps the order of lines already on the other stream.
    std::fflush(stdout);
    std::fprintf(stream, textFor(kUsageLine, console), program);
    for (const OptionRow& row : kOptionRows) {
        if (allOptions || row.inBriefUsage) {
            std::fputs(textFor(*row.help, console), stream);
        }
    }
}

bool imageChosen(const ExtractOptions& options, int index)
{
    // The reader counts at most kMaxImages images; anything else is no image.
    return !options.anyImageChosen ||
           (index >= 0 && index < kMaxImages && options.imageChosen[index]);
}

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

} // namespace d88
