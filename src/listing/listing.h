// How a run is shown: the run calls the listing at each event (run start,
// image start, file, problem, run end) and the listing chosen for the run,
// text or JSON Lines, decides what the console gets. Problems go to the
// error stream in every listing. On a terminal, the control bytes of names
// and paths are shown escaped; anywhere else they pass as stored.
#pragma once

#include <cstdio>
#include <utility>
#include <variant>

#include "console_text.h"
#include "disk_layout.h"
#include "json_listing.h"
#include "shift_jis.h"

namespace d88 {

enum class ProblemId : int;

enum class ListingStyle {
    Text,         // the listing on the standard output, problems on the error stream
    ProblemsOnly, // "-p": the standard output carries the files' bytes
    Json,         // "-j": JSON Lines records in place of the listing (json_listing.h)
};

// What the system said about a failed call behind a problem.
struct ProblemDetail {
    const char* path = nullptr;   // what the call was made on; null: no detail
    const char* reason = nullptr; // the system's description of the failure
    const char* prefix = nullptr; // written with ": " before the message: the D88 file's path
};

// Room for a listing line: a 9-byte name (each byte escaped, at most), three
// hexadecimal fields and five decimal ones of any value, and the line feed.
constexpr int kListingLineBytes = 128;

// Writes the listing line of a file into `line`, byte for byte what
// kListingLine's format makes of the same values, and returns its length;
// with `escape`, the name as escapeForTerminal shows it in `encoding`. With
// `readable` ("-u") the name is the one it reads as (readableName), padded
// to the columns a Japanese screen gives it: one for ASCII and half-width
// katakana, two for any other character. On an archive of small files
// printf alone took half of the run's instructions; this takes a few
// percent.
int formatListingLine(const DirectoryEntry& entry, const FileHeader& header,
                      char (&line)[kListingLineBytes], bool escape = false,
                      ConsoleEncoding encoding = ConsoleEncoding::ShiftJis, bool readable = false);

// Room for a path escaped whole: four bytes for each byte of a long path.
constexpr int kLongestShownPath = 4096;
constexpr int kEscapedBytes = 4 * kLongestShownPath + 1;

// Writes `text` into `out` (room for `room` bytes, terminator included) so
// that a terminal of `encoding` shows every byte and obeys none: bytes below
// 0x20 and 0x7F become \a \b \t \n \v \f \r or \xHH, and a backslash
// becomes \\ unless it is the second byte of a Shift_JIS character. A
// UTF-8 terminal also gets the characters U+0080 to U+009F, the C1
// controls, as \u0080 to \u009f; a Shift_JIS one reads those bytes as
// parts of characters. Cut at `room`. Returns the length written.
int escapeForTerminal(const char* text, char* out, int room,
                      ConsoleEncoding encoding = ConsoleEncoding::ShiftJis);

// The text listing: the header notice, image lines, column headers and
// listing lines on the standard output, and the line of a check that found
// nothing. `readable`: names as they read ("-u").
class TextListing {
public:
    TextListing(ConsoleStyle console, bool escapeOut, bool readable)
        : console_(console), escapeOut_(escapeOut), readable_(readable)
    {
    }
    void setReadable(bool readable) { readable_ = readable; }
    void runStart(bool headerCut);
    void d88File(const char* path, const char* folder);
    void imageStart(const char* imageName, const char* subdirectory);
    void file(const FileRecord& record);
    void checkedClean(int images, int files);
    bool runEnd();

private:
    // What a terminal is taken to read: UTF-8 when the console's encoding
    // says so, and for names read as UTF-8.
    ConsoleEncoding escaping() const
    {
        return readable_ ? ConsoleEncoding::Utf8 : console_.encoding;
    }

    ConsoleStyle console_;
    bool escapeOut_;
    bool readable_;
};

// "-p": the standard output carries the files' bytes, so nothing is listed,
// and a failure of the standard output is the files' to report.
struct ProblemsOnlyListing {
    bool runEnd() { return true; }
};

// How a run is shown: one of the listings above or the JSON records
// (json_listing.h), chosen once. The run calls it at each event; a
// listing that has nothing to say at an event is not asked.
class Listing {
public:
    // `escapeOut`, `escapeErr`: the standard output, the error stream is a
    // terminal.
    Listing(ListingStyle style, ConsoleStyle console, bool escapeOut = false,
            bool escapeErr = false)
        : escapeErr_(escapeErr), console_(console), escapeOut_(escapeOut)
    {
        setStyle(style);
    }

    // Chosen once the options are read.
    void setStyle(ListingStyle style);
    bool json() const { return std::holds_alternative<JsonListing>(shown_); }
    // "-u": names are shown as they read, in UTF-8: file names in the
    // listing lines and messages, and image names in the image lines.
    void setReadableNames(bool readable)
    {
        readable_ = readable;
        toText([&](TextListing& t) { t.setReadable(readable); });
    }
    bool readableNames() const { return readable_; }

    // The events that only the JSON records show.
    void runFacts(const RunFacts& facts)
    {
        toJson([&](JsonListing& j) { j.run(facts); });
    }
    void imageFacts(const ImageFacts& facts)
    {
        toJson([&](JsonListing& j) { j.image(facts); });
    }
    void fileBegin()
    {
        ++files_;
        toJson([](JsonListing& j) { j.fileBegin(); });
    }
    void fileFacts(const FileFacts& facts)
    {
        toJson([&](JsonListing& j) { j.file(facts); });
    }
    void imageEnd()
    {
        ++images_;
        toJson([](JsonListing& j) { j.imageEnd(); });
    }
    // Before runEnd, with the status the run comes to.
    void summary(int exitStatus)
    {
        toJson([&](JsonListing& j) { j.summary(exitStatus); });
    }

    // The events that only the text listing shows. Once the D88 file is
    // open; `headerCut`: "-b".
    void runStart(bool headerCut)
    {
        toText([&](TextListing& t) { t.runStart(headerCut); });
    }
    // The line that begins the listing of one D88 file of several: its path
    // and the folder its files go into.
    void d88File(const char* path, const char* folder)
    {
        toText([&](TextListing& t) { t.d88File(path, folder); });
    }
    // `subdirectory` is null when the files go into the output directory.
    void imageStart(const char* imageName, const char* subdirectory)
    {
        toText([&](TextListing& t) { t.imageStart(imageName, subdirectory); });
    }
    void file(const FileRecord& record)
    {
        toText([&](TextListing& t) { t.file(record); });
    }
    // After a check ("-c"): the text listing says when it found nothing,
    // and how much it read; the JSON summary already does.
    void checkEnd(int exitStatus)
    {
        if (exitStatus == kExitSuccess) {
            toText([&](TextListing& t) { t.checkedClean(images_, files_); });
        }
    }

    // Every listing writes a problem on the error stream; the JSON records
    // carry it too. `text` is the problem's text, a printf format for
    // `values`.
    template <typename... Values>
    void problem(ProblemId id, const ProblemDetail& detail, const ConsoleText& text,
                 Values... values);
    // False when what was shown never reached its reader.
    bool runEnd()
    {
        return std::visit([](auto& shown) { return shown.runEnd(); }, shown_);
    }
    // After a run over several D88 files: the summary line on the error
    // stream, whatever the listing (unless `line` is false), and with "-j"
    // the "total" record.
    void total(const RunTotals& totals, bool line = true);

private:
    template <typename Each> void toJson(Each each)
    {
        if (JsonListing* json = std::get_if<JsonListing>(&shown_)) {
            each(*json);
        }
    }
    template <typename Each> void toText(Each each)
    {
        if (TextListing* text = std::get_if<TextListing>(&shown_)) {
            each(*text);
        }
    }
    template <typename... Values, std::size_t... I>
    void writeEscaped(const char* message, std::index_sequence<I...>, Values... values);
    // What a terminal is taken to read: UTF-8 when the console's encoding
    // says so, and for names read as UTF-8 ("-u").
    ConsoleEncoding escaping() const
    {
        return readable_ ? ConsoleEncoding::Utf8 : console_.encoding;
    }

    bool escapeErr_;
    ConsoleStyle console_;
    bool escapeOut_;
    bool readable_ = false;
    // The images and files read so far.
    int images_ = 0;
    int files_ = 0;
    std::variant<TextListing, ProblemsOnlyListing, JsonListing> shown_{
        std::in_place_type<ProblemsOnlyListing>};
};

namespace detail {

template <typename Value> Value shown(Value value, char*, ConsoleEncoding)
{
    return value;
}

inline const char* shown(const char* text, char* buffer, ConsoleEncoding encoding)
{
    escapeForTerminal(text, buffer, kEscapedBytes, encoding);
    return buffer;
}

} // namespace detail

// Each text value escaped into a buffer of its own.
template <typename... Values, std::size_t... I>
void Listing::writeEscaped(const char* message, std::index_sequence<I...>, Values... values)
{
    char buffers[sizeof...(Values)][kEscapedBytes];
    std::fprintf(stderr, message, detail::shown(values, buffers[I], escaping())...);
}

template <typename... Values>
void Listing::problem(ProblemId id, const ProblemDetail& detail, const ConsoleText& text,
                      Values... values)
{
    const char* message = textFor(text, console_);
    // Every style writes the problem on the error stream.
    // Error lines follow what was already listed, also when both streams go
    // to one file.
    std::fflush(stdout);
    if (detail.prefix != nullptr) {
        char prefix[kEscapedBytes];
        std::fprintf(stderr, "%s: ",
                     escapeErr_ ? detail::shown(detail.prefix, prefix, escaping()) : detail.prefix);
    }
    if constexpr (sizeof...(Values) == 0) {
        std::fputs(message, stderr);
    } else if (escapeErr_) {
        writeEscaped(message, std::index_sequence_for<Values...>{}, values...);
    } else {
        std::fprintf(stderr, message, values...);
    }
    if (detail.path != nullptr) {
        char path[kEscapedBytes];
        std::fprintf(stderr, "  %s: %s\n",
                     escapeErr_ ? detail::shown(detail.path, path, escaping()) : detail.path,
                     detail.reason);
    }
    JsonListing* json = std::get_if<JsonListing>(&shown_);
    if (json == nullptr) {
        return;
    }
    // The record carries the same message, unescaped (the JSON escapes it),
    // with the system's reason after it. Japanese in UTF-8 is UTF-8 (names
    // from the disk aside, unless they are read as UTF-8 too); anything
    // else is Shift_JIS, or ASCII with names in Shift_JIS. Names read as
    // UTF-8 take the UTF-8 form of a Japanese text.
    const bool utf8 = readable_ || (console_.language == Language::Japanese &&
                                    console_.encoding == ConsoleEncoding::Utf8);
    if (readable_) {
        message = textFor(text, ConsoleStyle{console_.language, ConsoleEncoding::Utf8});
    }
    constexpr int kMessageBytes = 1024;
    char line[kMessageBytes];
    int length = 0;
    if constexpr (sizeof...(Values) == 0) {
        length = std::snprintf(line, sizeof line, "%s", message);
    } else {
        length = std::snprintf(line, sizeof line, message, values...);
    }
    length = length < 0 ? 0 : length < kMessageBytes ? length : kMessageBytes - 1;
    if (detail.path != nullptr) {
        length -= length > 0 && line[length - 1] == '\n' ? 1 : 0;
        length += std::snprintf(line + length, sizeof line - static_cast<std::size_t>(length),
                                " (%s: %s)", detail.path, detail.reason);
        length = length < kMessageBytes ? length : kMessageBytes - 1;
    }
    json->problem(id, line, length, utf8);
}

} // namespace d88
