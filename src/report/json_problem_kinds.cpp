// The stable identifier of each kind of problem, as the JSON records name
// it, from the problems' rows.
#include "report.h"

#include <iterator>

namespace d88 {

namespace {

constexpr const char* kKindNames[] = {
#define D88_PROBLEM(Name, Level, Values, Kind, ...) Kind,
#include "problems.def"
};

} // namespace

const char* problemKindName(ProblemId id)
{
    // An id from no row is a caller's mistake; it still gets a name.
    const auto index = static_cast<std::size_t>(id);
    return index < std::size(kKindNames) ? kKindNames[index] : "unknown";
}

} // namespace d88
