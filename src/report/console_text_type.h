// A console text and how the one to write is chosen.
//
// Each text is kept three times: in Japanese as the Shift_JIS bytes (code
// page 932) that are written by default and as UTF-8 for a console whose
// locale asks for it, and in English, for users whose language is not
// Japanese. The Shift_JIS side is written with escapes so that no editor or
// compiler setting can change its bytes; the UTF-8 side is the readable one.
#pragma once

#include "host.h"

namespace d88 {

struct ConsoleText {
    const char* shiftJis;
    const char* utf8;
    const char* english; // ASCII: the same in either encoding
};

// The Japanese text in `encoding`.
inline const char* textFor(const ConsoleText& text, ConsoleEncoding encoding)
{
    return encoding == ConsoleEncoding::Utf8 ? text.utf8 : text.shiftJis;
}

// How the console is spoken to: the language of the messages and the
// encoding of the Japanese ones.
struct ConsoleStyle {
    Language language;
    ConsoleEncoding encoding;
};

inline const char* textFor(const ConsoleText& text, ConsoleStyle style)
{
    return style.language == Language::English ? text.english : textFor(text, style.encoding);
}

} // namespace d88
