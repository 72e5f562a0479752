// The host names a run has written into one directory, so that a later
// file reaching a name an earlier one took is noticed instead of silently
// replacing it. Names are compared as the host compares them (hostNameKey).
#pragma once

#include <cstdint>

#include "d88_image.h"
#include "disk_layout.h"
#include "host.h"
#include "host_names.h"

namespace d88 {

// Who took a name: the image and the stored name of its file.
struct NameOwner {
    int image;
    char stored[kNameBytes + 1];
};

class NameRegistry {
public:
    // Every file of every image, under "-d": one directory holds them all.
    static constexpr int kCapacity = kMaxImages * kEntryCount;

    // Forgets every name: a new directory, with its own rules, for names
    // read as `encoding` says.
    void clear(host::NameRules rules, host::NameEncoding encoding);

    // The file that took `name` earlier, or null.
    const NameOwner* find(const char* name) const;

    // Remembers that image `image`'s file `stored` took `name`. False, with
    // nothing remembered, when the registry is full (never within one run)
    // or the name is too long to be one the run makes.
    bool add(const char* name, int image, const char* stored);

    // For "-r": the first number to try after `name` once the name itself is
    // found taken, one past the last one a file of that name went to, or 0
    // when none did. Each name is then gone round once per directory, not
    // once per file: thousands of files of one name cost what distinct
    // ones do.
    int nextSuffix(const char* name) const;
    // Remembers that a file of name `name` went to `number`.
    void suffixTaken(const char* name, int number);

private:
    // Each file adds at most its own name and, with "-r", the name it went
    // round.
    static constexpr int kEntries = 2 * kCapacity;
    // A power of two at least a third larger than the entries keeps every
    // probe sequence short.
    static constexpr int kSlots = 32768;
    static_assert(kSlots >= kEntries + kEntries / 3 && (kSlots & (kSlots - 1)) == 0);

    // The slot that holds `key`, or the empty one where it would go.
    int slotOf(const char (&key)[kTakenNameBytes]) const;
    // The entry of `name`, made when missing; null when it cannot be.
    struct Taken;
    Taken* entryOf(const char* name);

    struct Taken {
        char key[kTakenNameBytes];
        bool owned; // a file of the run took the name; else it only went round it
        int nextSuffix;
        NameOwner owner;
    };
    host::NameRules rules_ = host::NameRules::Posix;
    host::NameEncoding encoding_ = host::NameEncoding::Bytes;
    int count_ = 0;
    // Each slot holds 1 + the index in taken_ of its name, or 0 when empty.
    // Both arrays are left to the zeroing of static storage, where the
    // registry lives (a registry made elsewhere is value-initialised):
    // initialising them here would touch each of their pages at start, a
    // megabyte of memory that a run of small images never uses.
    std::uint16_t slots_[kSlots];
    static_assert(kEntries < 65535, "slot values fit in 16 bits");
    Taken taken_[kEntries];
};

// The name a file is written under by "-r" when its own is taken: `name`
// with "~`number`" after it, its trailing blanks kept before the suffix.
// False when it does not fit.
bool suffixedName(const char* name, int number, char (&into)[kTakenNameBytes]);

} // namespace d88
