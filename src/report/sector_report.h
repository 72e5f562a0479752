// Sectors read with an error status, put into words: the status's name in
// the console's language and the places of its sectors, one report per
// status value of a file, the directory or the table.
#pragma once

#include <cstdint>

#include "console_text.h"
#include "disk_layout.h"

namespace d88 {

// Room for a status name: the longest fixed name, or the unknown status's
// text with its two digits.
constexpr int kStatusNameBytes = 64;
// Room for the places named on one line: kPlacesNamed of "C255 H255 R255, "
// and the closing ", ...".
constexpr int kPlacesNamed = 16;
constexpr int kPlaceBytes = 16;
constexpr int kPlacesBytes = kPlacesNamed * kPlaceBytes + 8;

// One error status met among a group of sectors: how many of the kept
// notes carry it and where they are.
struct StatusGroup {
    std::uint8_t status;
    int count;
    char name[kStatusNameBytes];
    char places[kPlacesBytes];
};

// The distinct error statuses among `notes`, each once, in the order they
// were first met; calls `each(const StatusGroup&)` for every one.
template <typename Each>
void forEachErrorStatus(const SectorNotes& notes, ConsoleStyle console, Each each);

// Fills `group` for `status` from `notes`.
void describeStatus(const SectorNotes& notes, std::uint8_t status, ConsoleStyle console,
                    StatusGroup& group);

// "C4 H0 R3, C4 H0 R4" for the notes of `trouble` (and, for error
// statuses, of `status` alone); ", ..." when more were met than named.
void formatPlaces(const SectorNotes& notes, SectorTrouble trouble, std::uint8_t status,
                  char (&out)[kPlacesBytes]);

template <typename Each>
void forEachErrorStatus(const SectorNotes& notes, ConsoleStyle console, Each each)
{
    for (int i = 0; i < notes.kept; ++i) {
        const SectorNote& n = notes.notes[i];
        if (n.trouble != SectorTrouble::ErrorStatus) {
            continue;
        }
        bool seen = false;
        for (int k = 0; k < i && !seen; ++k) {
            seen = notes.notes[k].trouble == SectorTrouble::ErrorStatus &&
                   notes.notes[k].status == n.status;
        }
        if (!seen) {
            StatusGroup group;
            describeStatus(notes, n.status, console, group);
            each(static_cast<const StatusGroup&>(group));
        }
    }
}

} // namespace d88
