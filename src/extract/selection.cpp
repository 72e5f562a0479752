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

bool fileChosen(const ExtractOptions& options, const char* name, std::uint32_t* matched)
{
    static_assert(kMaxPatterns <= 32, "a bit of a std::uint32_t for each pattern");
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
    bool chosen = false;
    for (int i = 0; i < options.patternCount; ++i) {
        // Once the file is chosen, only a pattern not yet known to match
        // anything is worth trying.
        const std::uint32_t bit = std::uint32_t{1} << i;
        if (chosen && (matched == nullptr || (*matched & bit) != 0)) {
            continue;
        }
        if (namePatternMatches(options.patterns[i], name, length, options.unicodeNames)) {
            chosen = true;
            if (matched != nullptr) {
                *matched |= bit;
            }
        }
    }
    return chosen;
}

} // namespace d88
