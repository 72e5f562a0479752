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

private:
    // A power of two at least a third larger than the capacity keeps every
    // probe sequence short.
    static constexpr int kSlots = 16384;
    static_assert(kSlots >= kCapacity + kCapacity / 3 && (kSlots & (kSlots - 1)) == 0);

    // The slot that holds `key`, or the empty one where it would go.
    int slotOf(const char (&key)[kTakenNameBytes]) const;

    struct Taken {
        char key[kTakenNameBytes];
        NameOwner owner;
    };
    host::NameRules rules_ = host::NameRules::Posix;
    host::NameEncoding encoding_ = host::NameEncoding::Bytes;
    int count_ = 0;
    // Each slot holds 1 + the index in taken_ of its name, or 0 when empty.
    // Both arrays are left to the zeroing of static storage, where the
    // registry lives (a registry made elsewhere is value-initialised):
    // initialising them here would touch each of their pages at start, half
    // a megabyte of memory that a run of small images never uses.
    std::uint16_t slots_[kSlots];
    static_assert(kCapacity < 65535, "slot values fit in 16 bits");
    Taken taken_[kCapacity];
};

// The name a file is written under by "-r" when its own is taken: `name`
// with "~`number`" after it, its trailing blanks kept before the suffix.
// False when it does not fit.
bool suffixedName(const char* name, int number, char (&into)[kTakenNameBytes]);

} // namespace d88
