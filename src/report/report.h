// Problems: every kind the command can meet, with its console text, its
// severity and the values its text takes, and the exit status they come to.
// A call site names a kind and its values; the compiler checks the values
// against the kind, and each kind's text against its values.
#pragma once

#include <type_traits>

#include "console_text.h"
#include "host.h"

namespace d88 {

// Exit statuses of a run.
constexpr int kExitSuccess = 0; // every file of every image written whole
constexpr int kExitFatal = 1;   // usage, open failure or failed write: stopped at once
constexpr int kExitDamaged = 2; // ran to the end, but something was damaged or left out

enum class Severity {
    Damage, // the run goes on; the exit status becomes 2
    Fatal,  // the run stops; the exit status is 1, whatever came before
    Notice, // nothing was lost: said, but the exit status stays as it is
};

enum class ProblemId : int {
    UsageNeedsValue,
    UsageBadImageIndex,
    UsageTooManyPatterns,
    UsageUnknownOption,
    UsageUnexpectedValue,
    UsageExtraOperand,
    UsageNoD88File,
    UsageConflict,
    CannotOpen,
    CannotKeepStartForOutput,
    CannotEnterOutput,
    CannotKeepStart,
    ImageUnreadable,
    CannotEnterSubdirectory,
    DirectoryDamaged,
    TableUnreadable,
    CannotCreateFile,
    FileSectorsLost,
    ChainCut,
    FileShort,
    WriteFailed,
    CannotSetTime,
    CannotReturn,
    ConsoleLost,
    StdoutFailed,
    FileSectorStatus,
    DirectorySectorStatus,
    TableSectorStatus,
    RunOn,
    CrossLinked,
    ChainThroughDirectory,
    ChainLoops,
    ChainBeyondDisk,
    ChainTooLong,
    TableBeyondDisk,
    SameName,
    HostNameCollision,
    DeletedSectors,
    EntryAfterEnd,
    ImageSizeDisagrees,
    NoImage,
    TrailingBytes,
    ImagesBeyondLimit,
    ImageCutShort,
    ImageSizeTooSmall,
    NoLayout,
    NameReplaced,
    NameKept,
    ExistingKept,
    WrittenAs,
    NotRegularFile,
    HostFull,
    HostFullSubdirectory,
    CannotKeepOutput,
};

// The values a message takes, each one printf conversion of its text.
struct ImageIndex { // %03d
    int value;
};
struct FileName { // %s: a stored name
    const char* value;
};
struct Count { // %d
    int value;
};
struct Text { // %s: a path, an option or its value
    const char* value;
};

// The path a failed system call was made on, and the system's code for why.
struct SystemReason {
    const char* path;
    host::ErrorCode code;
};

// %lld: a byte count or offset of the D88 file, which may be past any int.
struct ByteCount {
    long long value;
};

namespace detail {

template <typename Value> constexpr char kConversion = '\0';
// Only the first letter of "%lld" is compared.
template <> inline constexpr char kConversion<ByteCount> = 'l';
template <> inline constexpr char kConversion<ImageIndex> = 'd';
template <> inline constexpr char kConversion<FileName> = 's';
template <> inline constexpr char kConversion<Count> = 'd';
template <> inline constexpr char kConversion<Text> = 's';

// The printf conversions of `format`, flags and widths skipped, are those
// of Values, in order.
template <typename... Values> consteval bool conversionsMatch(const char* format)
{
    constexpr char kWanted[] = {kConversion<Values>..., '\0'};
    int next = 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            continue;
        }
        ++p;
        while (*p == '-' || (*p >= '0' && *p <= '9')) {
            ++p;
        }
        if (kWanted[next] == '\0' || *p != kWanted[next]) {
            return false;
        }
        ++next;
    }
    return kWanted[next] == '\0';
}

// Not constexpr: reaching it while a kind is checked stops the build.
inline void textDoesNotTakeTheseValues() {}

} // namespace detail

template <typename... Values> struct ProblemKind {
    consteval ProblemKind(ProblemId problemId, Severity problemSeverity, const ConsoleText& message)
        : id(problemId), severity(problemSeverity), text(&message)
    {
        if (!detail::conversionsMatch<Values...>(message.shiftJis) ||
            !detail::conversionsMatch<Values...>(message.utf8)) {
            detail::textDoesNotTakeTheseValues();
        }
    }
    ProblemId id;
    Severity severity;
    const ConsoleText* text;
};

namespace problem {

using enum ProblemId;
using enum Severity;

// The command line (the usage text follows each).
inline constexpr ProblemKind<Text> kNeedsValue{UsageNeedsValue, Fatal, kOptionNeedsValue};
inline constexpr ProblemKind<Text, Count> kBadImageIndex{UsageBadImageIndex, Fatal,
                                                         d88::kBadImageIndex};
inline constexpr ProblemKind<Text, Count> kTooManyPatterns{UsageTooManyPatterns, Fatal,
                                                           d88::kTooManyPatterns};
inline constexpr ProblemKind<Text> kUnknownOption{UsageUnknownOption, Fatal, d88::kUnknownOption};
inline constexpr ProblemKind<Text> kUnexpectedValue{UsageUnexpectedValue, Fatal,
                                                    kOptionTakesNoValue};
inline constexpr ProblemKind<Text> kExtraOperand{UsageExtraOperand, Fatal, d88::kExtraOperand};
inline constexpr ProblemKind<> kNoD88File{UsageNoD88File, Fatal, d88::kNoD88File};
inline constexpr ProblemKind<Text, Text> kConflict{UsageConflict, Fatal, kOptionsConflict};
// The run as a whole.
inline constexpr ProblemKind<> kCannotOpen{CannotOpen, Fatal, d88::kCannotOpen};
inline constexpr ProblemKind<> kCannotKeepStartForOutput{CannotKeepStartForOutput, Fatal,
                                                         d88::kCannotKeepStart};
inline constexpr ProblemKind<Text> kCannotEnterOutput{CannotEnterOutput, Fatal,
                                                      d88::kCannotEnterOutput};
inline constexpr ProblemKind<> kCannotKeepStart{CannotKeepStart, Damage, d88::kCannotKeepStart};
inline constexpr ProblemKind<> kCannotReturn{CannotReturn, Fatal, d88::kCannotReturn};
inline constexpr ProblemKind<> kConsoleLost{ConsoleLost, Damage, d88::kConsoleLost};
// One image.
inline constexpr ProblemKind<ImageIndex> kImageUnreadable{ImageUnreadable, Damage,
                                                          d88::kImageUnreadable};
inline constexpr ProblemKind<ImageIndex, Text> kCannotEnterSubdirectory{
    CannotEnterSubdirectory, Damage, d88::kCannotEnterSubdirectory};
inline constexpr ProblemKind<ImageIndex, Count> kDirectoryDamaged{DirectoryDamaged, Damage,
                                                                  d88::kDirectoryDamaged};
inline constexpr ProblemKind<ImageIndex> kTableUnreadable{TableUnreadable, Damage,
                                                          d88::kTableUnreadable};
// One file.
inline constexpr ProblemKind<ImageIndex, FileName> kCannotCreateFile{CannotCreateFile, Damage,
                                                                     d88::kCannotCreateFile};
inline constexpr ProblemKind<ImageIndex, FileName, Count> kFileSectorsLost{FileSectorsLost, Damage,
                                                                           d88::kFileSectorsLost};
inline constexpr ProblemKind<ImageIndex, FileName> kChainCut{ChainCut, Damage, d88::kChainCut};
inline constexpr ProblemKind<ImageIndex, FileName> kFileShort{FileShort, Damage, d88::kFileShort};
inline constexpr ProblemKind<> kWriteFailed{WriteFailed, Fatal, d88::kWriteFailed};
inline constexpr ProblemKind<> kStdoutFailed{StdoutFailed, Fatal, d88::kStdoutFailed};
inline constexpr ProblemKind<ImageIndex, FileName> kCannotSetTime{CannotSetTime, Damage,
                                                                  d88::kCannotSetTime};
// Sector status and chain consistency. The two Texts of a status report
// are the status's name and the places of its sectors.
inline constexpr ProblemKind<ImageIndex, FileName, Count, Text, Text> kFileSectorStatus{
    FileSectorStatus, Damage, d88::kFileSectorStatus};
inline constexpr ProblemKind<ImageIndex, Count, Text, Text> kDirectorySectorStatus{
    DirectorySectorStatus, Damage, d88::kDirectorySectorStatus};
inline constexpr ProblemKind<ImageIndex, Count, Text, Text> kTableSectorStatus{
    TableSectorStatus, Damage, d88::kTableSectorStatus};
inline constexpr ProblemKind<ImageIndex, FileName, Count, Count> kRunOn{RunOn, Damage, d88::kRunOn};
inline constexpr ProblemKind<ImageIndex, FileName, Count, FileName> kCrossLinked{
    CrossLinked, Damage, d88::kCrossLinked};
inline constexpr ProblemKind<ImageIndex, FileName, Count> kChainThroughDirectory{
    ChainThroughDirectory, Damage, d88::kChainThroughDirectory};
// Found by the check alone.
inline constexpr ProblemKind<ImageIndex, FileName> kChainLoops{ChainLoops, Damage,
                                                               d88::kChainLoops};
inline constexpr ProblemKind<ImageIndex, FileName, Count> kChainBeyondDisk{ChainBeyondDisk, Damage,
                                                                           d88::kChainBeyondDisk};
inline constexpr ProblemKind<ImageIndex, FileName, Count> kChainTooLong{ChainTooLong, Damage,
                                                                        d88::kChainTooLong};
inline constexpr ProblemKind<ImageIndex, Count, Count> kTableBeyondDisk{TableBeyondDisk, Damage,
                                                                        d88::kTableBeyondDisk};
inline constexpr ProblemKind<ImageIndex, FileName, Count> kSameName{SameName, Damage,
                                                                    d88::kSameName};
inline constexpr ProblemKind<ImageIndex, FileName, FileName> kHostNameCollision{
    HostNameCollision, Damage, d88::kHostNameCollision};
// The second value names the file, or the directory or table.
inline constexpr ProblemKind<ImageIndex, Text, Count, Text> kDeletedSectors{DeletedSectors, Damage,
                                                                            d88::kDeletedSectors};
inline constexpr ProblemKind<ImageIndex, Count, FileName> kEntryAfterEnd{EntryAfterEnd, Damage,
                                                                         d88::kEntryAfterEnd};
// Sizes as decimal text: a size field is 32 bits unsigned.
inline constexpr ProblemKind<ImageIndex, Text, Text> kImageSizeDisagrees{ImageSizeDisagrees, Damage,
                                                                         d88::kImageSizeDisagrees};

// Losses, name collisions and safe writes.
inline constexpr ProblemKind<> kNoImage{NoImage, Damage, d88::kNoImage};
inline constexpr ProblemKind<Count> kTrailingBytes{TrailingBytes, Damage, d88::kTrailingBytes};
inline constexpr ProblemKind<Count> kImagesBeyondLimit{ImagesBeyondLimit, Damage,
                                                       d88::kImagesBeyondLimit};
inline constexpr ProblemKind<ImageIndex, ByteCount, ByteCount> kImageCutShort{ImageCutShort, Damage,
                                                                              d88::kImageCutShort};
inline constexpr ProblemKind<ImageIndex, ByteCount, ByteCount> kImageSizeTooSmall{
    ImageSizeTooSmall, Damage, d88::kImageSizeTooSmall};
inline constexpr ProblemKind<ImageIndex> kNoLayout{NoLayout, Damage, d88::kNoLayout};
inline constexpr ProblemKind<ImageIndex, FileName, ImageIndex, FileName> kNameReplaced{
    NameReplaced, Damage, d88::kNameReplaced};
inline constexpr ProblemKind<ImageIndex, FileName, ImageIndex, FileName> kNameKept{NameKept, Damage,
                                                                                   d88::kNameKept};
inline constexpr ProblemKind<ImageIndex, FileName> kExistingKept{ExistingKept, Damage,
                                                                 d88::kExistingKept};
inline constexpr ProblemKind<ImageIndex, FileName, Text> kWrittenAs{WrittenAs, Notice,
                                                                    d88::kWrittenAs};
inline constexpr ProblemKind<ImageIndex, FileName> kNotRegularFile{NotRegularFile, Damage,
                                                                   d88::kNotRegularFile};
inline constexpr ProblemKind<ImageIndex, FileName> kHostFull{HostFull, Fatal, d88::kHostFull};
inline constexpr ProblemKind<ImageIndex, Text> kHostFullSubdirectory{HostFullSubdirectory, Fatal,
                                                                     d88::kHostFullSubdirectory};
inline constexpr ProblemKind<> kCannotKeepOutput{CannotKeepOutput, Fatal, d88::kCannotKeepOutput};

} // namespace problem

// The stable identifier of each kind of problem, as the JSON records name it.
const char* problemKindName(ProblemId id);

} // namespace d88
