// The text listing, with a formatter for its per-file line that keeps
// printf's output at a fraction of its cost.
#include "listing.h"

#include <cstring>
#include <initializer_list>

#include "shift_jis.h"

namespace d88 {

namespace {

// printf's "%0*x" and "%0*d" for the values a listing line holds: at
// least `digits` digits, more when the value needs them. Base and width are
// constants, so the divisions come down to shifts and multiplications, and
// a value that fits its field (nearly all do) needs no digit counting.
template <unsigned base, int digits> char* appendNumber(char* out, unsigned value)
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

int escapeForTerminal(const char* text, char* out, int room, ConsoleEncoding encoding)
{
    constexpr char kHex[] = "0123456789abcdef";
    // Control bytes with a letter of their own, each before its letter.
    constexpr char kNamed[] = "\aa\bb\tt\nn\vv\ff\rr\\\\";
    // U+0080 to U+009F in UTF-8: a terminal that reads UTF-8 may obey them
    // as it obeys ESC (0x9B is CSI, 0x9D OSC).
    const auto isC1 = [](unsigned char c, unsigned char next) {
        return c == 0xC2 && next >= 0x80 && next <= 0x9F;
    };
    const bool shiftJis = encoding == ConsoleEncoding::ShiftJis;
    int length = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        char shown[6];
        int n = 0;
        if (shiftJis && isShiftJisLead(c) && isShiftJisTrail(static_cast<unsigned char>(p[1]))) {
            // A two-byte character, whose second byte may be a backslash.
            shown[n++] = *p;
            shown[n++] = *++p;
        } else if (!shiftJis && isC1(c, static_cast<unsigned char>(p[1]))) {
            const auto code = static_cast<unsigned char>(*++p);
            for (const char k : {'\\', 'u', '0', '0', kHex[code >> 4], kHex[code & 0x0F]}) {
                shown[n++] = k;
            }
        } else if (c < 0x20 || c == 0x7F || c == '\\') {
            shown[n++] = '\\';
            const char* named = std::strchr(kNamed, *p);
            if (named != nullptr && (named - kNamed) % 2 == 0) {
                shown[n++] = named[1];
            } else {
                shown[n++] = 'x';
                shown[n++] = kHex[c >> 4];
                shown[n++] = kHex[c & 0x0F];
            }
        } else {
            shown[n++] = *p;
        }
        // Whole escapes only, and room for the terminator.
        if (length + n >= room) {
            break;
        }
        std::memcpy(out + length, shown, static_cast<std::size_t>(n));
        length += n;
    }
    if (room > 0) {
        out[length] = '\0';
    }
    return length;
}

namespace {

// The columns UTF-8 `text` takes on a Japanese screen: one for ASCII and
// the half-width katakana (U+FF61 to U+FF9F), two for any other character.
int columnsOf(const char* text, int length)
{
    int columns = 0;
    for (int i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if ((b & 0xC0) == 0x80) {
            continue; // inside a character
        }
        const bool halfWidth =
            b == 0xEF && i + 2 < length &&
            ((text[i + 1] == '\xBD' && static_cast<unsigned char>(text[i + 2]) >= 0xA1) ||
             (text[i + 1] == '\xBE' && static_cast<unsigned char>(text[i + 2]) <= 0x9F));
        columns += b < 0x80 || halfWidth ? 1 : 2;
    }
    return columns;
}

} // namespace

int formatListingLine(const DirectoryEntry& entry, const FileHeader& header,
                      char (&line)[kListingLineBytes], bool escape, ConsoleEncoding encoding,
                      bool readable)
{
    // "%-9s %04x %04x %04x %02d/%02d/%02d %02d:%02d\n"
    constexpr int kNameWidth = 9;
    static_assert(kNameBytes <= kNameWidth);
    constexpr int kHexDigits = 4;
    constexpr int kDecimalDigits = 2;
    char* out = line;
    int i = 0;
    if (readable) {
        char name[kReadableNameBytes];
        const int length = readableName(entry.name, kNameBytes, name, sizeof name);
        // Nothing in a readable name is escaped but a backslash, to two bytes.
        constexpr int kRoom = 2 * (kReadableNameBytes - 1) + 1;
        static_assert(kRoom + 60 < kListingLineBytes);
        int shown = length;
        if (escape) {
            shown = escapeForTerminal(name, out, kRoom, ConsoleEncoding::Utf8);
        } else {
            std::memcpy(out, name, static_cast<std::size_t>(length));
        }
        i = columnsOf(out, shown);
        out += shown;
    } else if (escape) {
        // At most four bytes for each of the name's kNameBytes.
        static_assert(4 * kNameBytes + 60 < kListingLineBytes);
        i = escapeForTerminal(entry.name, out, 4 * kNameBytes + 1, encoding);
        out += i;
    } else {
        // The name is at most kNameBytes bytes and terminated.
        for (; i < kNameBytes && entry.name[i] != '\0'; ++i) {
            *out++ = entry.name[i];
        }
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

void TextListing::runStart(bool headerCut)
{
    if (headerCut) {
        std::fputs(textFor(kCuttingHeader, console_), stdout);
    }
}

void TextListing::d88File(const char* path, const char* folder)
{
    char shownPath[kEscapedBytes];
    char shownFolder[kEscapedBytes];
    if (escapeOut_) {
        escapeForTerminal(path, shownPath, sizeof shownPath, console_.encoding);
        escapeForTerminal(folder, shownFolder, sizeof shownFolder, console_.encoding);
    }
    std::printf(textFor(kFileLine, console_), escapeOut_ ? shownPath : path,
                escapeOut_ ? shownFolder : folder);
}

void TextListing::imageStart(const char* imageName, const char* subdirectory)
{
    if (subdirectory != nullptr) {
        char readable[kReadableBytesPerByte * kImageNameLength + 1];
        if (readable_) {
            readableName(imageName, kImageNameLength, readable, sizeof readable);
            imageName = readable;
        }
        char shown[4 * sizeof readable];
        if (escapeOut_) {
            escapeForTerminal(imageName, shown, sizeof shown, escaping());
        }
        std::printf(textFor(kImageLine, console_), escapeOut_ ? shown : imageName, subdirectory);
    }
    std::fputs(textFor(kColumnHeader, console_), stdout);
}

void TextListing::file(const FileRecord& record)
{
    char line[kListingLineBytes];
    const int length = formatListingLine(record.entry, record.header, line, escapeOut_,
                                         console_.encoding, readable_);
    std::fwrite(line, 1, static_cast<std::size_t>(length), stdout);
}

void TextListing::checkedClean(int images, int files)
{
    std::printf(textFor(kCheckClean, console_), images, files);
}

bool TextListing::runEnd()
{
    return std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
}

void Listing::setStyle(ListingStyle style)
{
    switch (style) {
    case ListingStyle::Text:
        shown_.emplace<TextListing>(console_, escapeOut_, readable_);
        return;
    case ListingStyle::ProblemsOnly:
        shown_.emplace<ProblemsOnlyListing>();
        return;
    case ListingStyle::Json:
        shown_.emplace<JsonListing>();
        return;
    }
}

void Listing::total(const RunTotals& t, bool line)
{
    toJson([&](JsonListing& j) { j.total(t); });
    if (!line) {
        return;
    }
    // The problems by kind, by their stable names: " (sector_missing 3, not_d88 1)".
    char kinds[4096];
    int length = 0;
    int all = 0;
    for (int id = 0; id < kProblemKinds; ++id) {
        if (t.problems[id] == 0) {
            continue;
        }
        all += t.problems[id];
        const int room = static_cast<int>(sizeof kinds) - length;
        const int wrote = std::snprintf(
            kinds + length, static_cast<std::size_t>(room), "%s%s %d", length == 0 ? " (" : ", ",
            problemKindName(static_cast<ProblemId>(id)), t.problems[id]);
        // Cut at the end of the buffer rather than past it, and room kept for the ")".
        length += wrote < 0 ? 0 : wrote < room - 1 ? wrote : room - 2;
    }
    if (length > 0) {
        kinds[length++] = ')';
    }
    kinds[length] = '\0';
    std::fflush(stdout);
    std::fprintf(stderr, textFor(kRunSummary, console_), t.d88Files, t.readWhole, t.withProblems,
                 t.notRead, t.filesWritten, t.bytesWritten, all, kinds);
}

} // namespace d88
