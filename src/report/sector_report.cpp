// Error statuses in words: the name of each status value and the places of
// the sectors read with it, grouped one status at a time.
#include "sector_report.h"

#include <cstdio>

namespace d88 {

namespace {

const ConsoleText* knownStatusName(std::uint8_t status)
{
    switch (status) {
    case sector_status::kIdCrcError:
        return &kStatusIdCrcError;
    case sector_status::kDataCrcError:
        return &kStatusDataCrcError;
    case sector_status::kNoAddressMark:
        return &kStatusNoAddressMark;
    case sector_status::kNoDataMark:
        return &kStatusNoDataMark;
    default:
        return nullptr;
    }
}

bool matches(const SectorNote& note, SectorTrouble trouble, std::uint8_t status)
{
    return note.trouble == trouble &&
           (trouble != SectorTrouble::ErrorStatus || note.status == status);
}

} // namespace

void formatPlaces(const SectorNotes& notes, SectorTrouble trouble, std::uint8_t status,
                  char (&out)[kPlacesBytes])
{
    int length = 0;
    int named = 0;
    bool more = false;
    for (int i = 0; i < notes.kept; ++i) {
        const SectorNote& n = notes.notes[i];
        if (!matches(n, trouble, status)) {
            continue;
        }
        if (named == kPlacesNamed) {
            more = true;
            break;
        }
        // Three bytes of at most three digits each: within kPlaceBytes.
        length += std::snprintf(out + length, kPlacesBytes - static_cast<std::size_t>(length),
                                "%sC%d H%d R%d", named > 0 ? ", " : "", n.c, n.h, n.r);
        ++named;
    }
    // Notes past the kept ones may be of this kind too.
    const int all = trouble == SectorTrouble::Missing       ? notes.missing
                    : trouble == SectorTrouble::ErrorStatus ? notes.errors
                                                            : notes.deleted;
    int keptOfTrouble = 0;
    for (int i = 0; i < notes.kept; ++i) {
        keptOfTrouble += notes.notes[i].trouble == trouble ? 1 : 0;
    }
    if (more || all > keptOfTrouble) {
        std::snprintf(out + length, kPlacesBytes - static_cast<std::size_t>(length), ", ...");
    } else if (named == 0) {
        out[0] = '\0';
    }
}

void describeStatus(const SectorNotes& notes, std::uint8_t status, ConsoleStyle console,
                    StatusGroup& group)
{
    group.status = status;
    group.count = 0;
    for (int i = 0; i < notes.kept; ++i) {
        group.count += matches(notes.notes[i], SectorTrouble::ErrorStatus, status) ? 1 : 0;
    }
    const ConsoleText* known = knownStatusName(status);
    if (known != nullptr) {
        std::snprintf(group.name, sizeof group.name, "%s", textFor(*known, console));
    } else {
        std::snprintf(group.name, sizeof group.name, textFor(kStatusUnknown, console), status);
    }
    formatPlaces(notes, SectorTrouble::ErrorStatus, status, group.places);
}

} // namespace d88
