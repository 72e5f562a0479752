// The names taken in a run: a fixed hash table over a fixed array.
#include "name_registry.h"

#include <cstdio>
#include <cstring>

namespace d88 {

void NameRegistry::clear(host::NameRules rules, host::NameEncoding encoding)
{
    // Only the slots in use are cleared: a run of one small image stays cheap.
    // Each is found by the entry it holds, not by its key: a slot earlier in
    // its probe may be cleared already, and a search by key would stop there
    // and leave it, to be met again once that earlier slot is taken.
    for (int i = 0; i < count_; ++i) {
        int slot = static_cast<int>(hashOfKey(taken_[i].key) & (kSlots - 1));
        while (slots_[slot] != i + 1) {
            slot = (slot + 1) & (kSlots - 1);
        }
        slots_[slot] = 0;
    }
    rules_ = rules;
    encoding_ = encoding;
    count_ = 0;
}

int NameRegistry::slotOf(const char (&key)[kTakenNameBytes]) const
{
    int slot = static_cast<int>(hashOfKey(key) & (kSlots - 1));
    // The table is never full (kSlots > kEntries): an empty slot ends the probe.
    while (slots_[slot] != 0 && std::strcmp(taken_[slots_[slot] - 1].key, key) != 0) {
        slot = (slot + 1) & (kSlots - 1);
    }
    return slot;
}

const NameOwner* NameRegistry::find(const char* name) const
{
    char key[kTakenNameBytes];
    if (!hostNameKey(name, rules_, encoding_, key)) {
        return nullptr;
    }
    const int slot = slotOf(key);
    if (slots_[slot] == 0) {
        return nullptr;
    }
    const Taken& taken = taken_[slots_[slot] - 1];
    return taken.owned ? &taken.owner : nullptr;
}

NameRegistry::Taken* NameRegistry::entryOf(const char* name)
{
    char key[kTakenNameBytes];
    if (!hostNameKey(name, rules_, encoding_, key)) {
        return nullptr;
    }
    const int slot = slotOf(key);
    if (slots_[slot] != 0) {
        return &taken_[slots_[slot] - 1];
    }
    if (count_ >= kEntries) {
        return nullptr;
    }
    Taken& taken = taken_[count_];
    std::memcpy(taken.key, key, sizeof key);
    taken.owned = false;
    taken.nextSuffix = 0;
    slots_[slot] = static_cast<std::uint16_t>(++count_);
    return &taken;
}

bool NameRegistry::add(const char* name, int image, const char* stored)
{
    Taken* taken = entryOf(name);
    if (taken == nullptr) {
        return false;
    }
    // The latest file of a name owns it: it is the one on disk.
    taken->owned = true;
    taken->owner.image = image;
    std::snprintf(taken->owner.stored, sizeof taken->owner.stored, "%s", stored);
    return true;
}

int NameRegistry::nextSuffix(const char* name) const
{
    char key[kTakenNameBytes];
    if (!hostNameKey(name, rules_, encoding_, key)) {
        return 0;
    }
    const int slot = slotOf(key);
    return slots_[slot] == 0 ? 0 : taken_[slots_[slot] - 1].nextSuffix;
}

void NameRegistry::suffixTaken(const char* name, int number)
{
    // Without room the next file only starts from the beginning again.
    Taken* taken = entryOf(name);
    if (taken != nullptr && number >= taken->nextSuffix) {
        taken->nextSuffix = number + 1;
    }
}

bool suffixedName(const char* name, int number, char (&into)[kTakenNameBytes])
{
    const int length = std::snprintf(into, sizeof into, "%s~%d", name, number);
    return length > 0 && length < static_cast<int>(sizeof into);
}

} // namespace d88
