// How a run is shown: the run calls the listing at each event (run start,
// image start, file, problem, run end) and the listing decides what the
// console gets. Today's listing is text: the header notice, image lines,
// column headers and listing lines on the standard output, problems on the
// error stream.
#pragma once

#include <cstdio>

#include "console_text.h"
#include "disk_layout.h"

namespace d88 {

enum class ProblemId : int;

enum class ListingStyle {
    Text,         // the listing on the standard output, problems on the error stream
    ProblemsOnly, // "-p": the standard output carries the files' bytes
};

// What the system said about a failed call behind a problem.
struct ProblemDetail {
    const char* path = nullptr;   // what the call was made on; null: no detail
    const char* reason = nullptr; // the system's description of the failure
};

// Room for a listing line: a 9-byte name, three hexadecimal fields and five
// decimal ones of any value, and the line feed.
constexpr int kListingLineBytes = 128;

// Writes the listing line of a file into `line`, byte for byte what
// kListingLine's format makes of the same values, and returns its length.
// On an archive of small files printf alone took half of the run's
// instructions; this takes a few percent.
int formatListingLine(const DirectoryEntry& entry, const FileHeader& header,
                      char (&line)[kListingLineBytes]);

class Listing {
public:
    Listing(ListingStyle style, ConsoleStyle console) : style_(style), console_(console) {}

    // Once the D88 file is open; `headerCut`: "-b".
    void runStart(bool headerCut);
    // `subdirectory` is null when the files go into the output directory.
    void imageStart(const char* imageName, const char* subdirectory);
    void file(const DirectoryEntry& entry, const FileHeader& header);
    // `message` is the problem's text as the console takes it, a printf
    // format for `values`.
    template <typename... Values>
    void problem(ProblemId id, const ProblemDetail& detail, const char* message, Values... values);
    // False when what was shown never reached its reader.
    bool runEnd();

private:
    ListingStyle style_;
    ConsoleStyle console_;
};

template <typename... Values>
void Listing::problem(ProblemId /*id*/, const ProblemDetail& detail, const char* message,
                      Values... values)
{
    switch (style_) {
    case ListingStyle::Text:
    case ListingStyle::ProblemsOnly:
        // Error lines follow what was already listed, also when both
        // streams go to one file.
        std::fflush(stdout);
        if constexpr (sizeof...(Values) == 0) {
            std::fputs(message, stderr);
        } else {
            std::fprintf(stderr, message, values...);
        }
        if (detail.path != nullptr) {
            std::fprintf(stderr, "  %s: %s\n", detail.path, detail.reason);
        }
        return;
    }
}

} // namespace d88
