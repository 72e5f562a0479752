// Which images and files a run chooses: "-i" and "-n".
#include <cstring>

#include "extract_options.h"
#include "name_pattern.h"
#include "shift_jis.h"

namespace d88 {

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
    char readable[kReadableNameBytes];
    std::size_t length = 0;
    if (options.unicodeNames) {
        length =
            static_cast<std::size_t>(readableName(name, kNameBytes, readable, sizeof readable));
        name = readable;
    } else {
        length = std::strlen(name);
        while (length > 0 && name[length - 1] == ' ') {
            --length;
        }
    }
    for (int i = 0; i < options.patternCount; ++i) {
        if (namePatternMatches(options.patterns[i], name, length, options.unicodeNames)) {
            return true;
        }
    }
    return false;
}

} // namespace d88
