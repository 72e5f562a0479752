// The reporter: every problem of a run passes through it on its way to the
// listing, and it keeps the exit status they come to.
#pragma once

#include <type_traits>
#include <utility>

#include "listing.h"
#include "report.h"
#include "shift_jis.h"

namespace d88 {

// Shows each problem through the listing and keeps the exit status it
// comes to.
class Reporter {
public:
    Reporter(Listing& listing, ConsoleStyle console) : listing_(listing), console_(console) {}

    template <typename... Values>
    void operator()(const ProblemKind<Values...>& kind, std::type_identity_t<Values>... values)
    {
        report(ProblemDetail{}, false, kind, values...);
    }

    // A problem that a failed system call made: `reason` says on what, and
    // the system's own words say why.
    template <typename... Values>
    void operator()(const SystemReason& reason, const ProblemKind<Values...>& kind,
                    std::type_identity_t<Values>... values)
    {
        // Code 0 is no failure of the system's: there is nothing it could say.
        char text[host::kErrorTextBytes];
        if (reason.code != 0) {
            host::describeError(reason.code, text);
        }
        report(reason.code != 0 ? ProblemDetail{reason.path, text} : ProblemDetail{},
               reason.code != 0 && host::failsEveryFile(reason.code), kind, values...);
    }

    ConsoleStyle console() const { return console_; }

    // With several D88 files, the first line of each problem about one of
    // them begins with its path; a notice stays as it is.
    void setPrefix(const char* path) { prefix_ = path; }

    // A fatal problem wins over any damage reported before or after it.
    int exitStatus() const { return fatal_ ? kExitFatal : damaged_ ? kExitDamaged : kExitSuccess; }
    // Whether a problem was reported; a notice is none.
    bool anyProblem() const { return fatal_ || damaged_; }
    // Whether a stop came that every later D88 file of the run would meet too.
    bool stopsEveryFile() const { return stopsEveryFile_; }
    // The problems reported, by kind.
    const int (&counts() const)[kProblemKinds] { return counts_; }

private:
    template <typename... Values>
    void report(ProblemDetail detail, bool failsEveryFile, const ProblemKind<Values...>& kind,
                Values... values)
    {
        if (kind.severity != Severity::Notice) {
            (kind.severity == Severity::Fatal ? fatal_ : damaged_) = true;
            ++counts_[static_cast<int>(kind.id)];
            detail.prefix = prefix_;
        }
        if (kind.severity == Severity::Fatal && (failsEveryFile || d88::stopsEveryFile(kind.id))) {
            stopsEveryFile_ = true;
        }
        // One more than needed: no array has size 0.
        char names[sizeof...(Values) + 1][kReadableNameBytes];
        show(detail, kind, std::index_sequence_for<Values...>{}, names, values...);
    }

    template <typename... Values, std::size_t... I>
    void show(const ProblemDetail& detail, const ProblemKind<Values...>& kind,
              std::index_sequence<I...>, char (&names)[sizeof...(Values) + 1][kReadableNameBytes],
              Values... values)
    {
        listing_.problem(kind.id, detail, *kind.text, shown(values, names[I])...);
    }

    template <typename Value> auto shown(const Value& value, char (&)[kReadableNameBytes]) const
    {
        return value.value;
    }

    // A stored file name, as it reads with "-u".
    const char* shown(const FileName& name, char (&readable)[kReadableNameBytes]) const
    {
        if (!listing_.readableNames()) {
            return name.value;
        }
        readableName(name.value, kNameBytes, readable, kReadableNameBytes);
        return readable;
    }

    Listing& listing_;
    ConsoleStyle console_;
    const char* prefix_ = nullptr;
    bool damaged_ = false;
    bool fatal_ = false;
    bool stopsEveryFile_ = false;
    int counts_[kProblemKinds] = {};
};

} // namespace d88
