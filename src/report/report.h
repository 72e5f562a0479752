// Problems: every kind the command can meet, from its row in problems.def,
// and the exit status they come to. A call site names a kind and its
// values; the compiler checks the values against the kind, and each kind's
// texts against its values.
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

// One id per row of problems.def.
enum class ProblemId : int {
#define D88_PROBLEM(Name, ...) Name,
#include "problems.def"
};

// Every problem, in the order of its rows.
inline constexpr ProblemId kAllProblems[] = {
#define D88_PROBLEM(Name, ...) ProblemId::Name,
#include "problems.def"
};

// How many kinds there are.
inline constexpr int kProblemKinds = static_cast<int>(sizeof kAllProblems / sizeof kAllProblems[0]);

// A stop that every later D88 file of the run would meet too, whatever its
// reason: the output directory, the way back, the standard output under
// "-p", and a host that refuses every file. (Any stop whose system reason
// fails every file is one too; see host::failsEveryFile.)
constexpr bool stopsEveryFile(ProblemId id)
{
    switch (id) {
    case ProblemId::CannotKeepStartForOutput:
    case ProblemId::CannotEnterOutput:
    case ProblemId::CannotReturn:
    case ProblemId::StdoutFailed:
    case ProblemId::HostFull:
    case ProblemId::HostFullSubdirectory:
        return true;
    default:
        return false;
    }
}

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
            !detail::conversionsMatch<Values...>(message.utf8) ||
            !detail::conversionsMatch<Values...>(message.english)) {
            detail::textDoesNotTakeTheseValues();
        }
    }
    ProblemId id;
    Severity severity;
    const ConsoleText* text;
};

namespace problem {

// problem::kName, the kind a call site reports, with the values its text takes.
#define D88_VALUES(...) __VA_ARGS__
#define D88_PROBLEM(Name, Level, Values, Kind, ...)                                                \
    inline constexpr ProblemKind<D88_VALUES Values> k##Name{ProblemId::Name, Severity::Level,      \
                                                            d88::k##Name};
#include "problems.def"
#undef D88_VALUES

} // namespace problem

// The stable identifier of each kind of problem, as the JSON records name it.
const char* problemKindName(ProblemId id);

} // namespace d88
