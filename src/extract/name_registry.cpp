// The names taken in a run: a fixed hash table over a fixed array.
#include "name_registry.h"

#include <cstdio>
#include <cstring>

namespace d88 {

namespace {

// FNV-1a over the key's bytes.
std::uint32_t hashOf(const char* key)
{
    std::uint32_t hash = 2166136261u;
    for (; *key != '\0'; ++key) {
        hash = (hash ^ static_cast<unsigned char>(*key)) * 16777619u;
    }
    return hash;
}

} // namespace

void NameRegistry::clear(host::NameRules rules, host::NameEncoding encoding)
{
    // Only the slots in use are cleared: a run of one small image stays cheap.
    // Each is found by the entry it holds, not by its key: a slot earlier in
    // its probe may be cleared already, and a search by key would stop there
    // and leave it, to be met again once that earlier slot is taken.
    for (int i = 0; i < count_; ++i) {
        int slot = static_cast<int>(hashOf(taken_[i].key) & (kSlots - 1));
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
    int slot = static_cast<int>(hashOf(key) & (kSlots - 1));
    // The table is never full (kSlots > kCapacity): an empty slot ends the probe.
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
    return slots_[slot] == 0 ? nullptr : &taken_[slots_[slot] - 1].owner;
}

bool NameRegistry::add(const char* name, int image, const char* stored)
{
    char key[kTakenNameBytes];
    if (!hostNameKey(name, rules_, encoding_, key)) {
        return false;
    }
    const int slot = slotOf(key);
    // A new name needs room; one already taken only changes hands.
    if (slots_[slot] == 0 && count_ >= kCapacity) {
        return false;
    }
    Taken& taken = slots_[slot] != 0 ? taken_[slots_[slot] - 1] : taken_[count_];
    if (slots_[slot] == 0) {
        std::memcpy(taken.key, key, sizeof key);
        slots_[slot] = static_cast<std::uint16_t>(++count_);
    }
    // The latest file of a name owns it: it is the one on disk.
    taken.owner.image = image;
    std::snprintf(taken.owner.stored, sizeof taken.owner.stored, "%s", stored);
    return true;
}

bool suffixedName(const char* name, int number, char (&into)[kTakenNameBytes])
{
    const int length = std::snprintf(into, sizeof into, "%s~%d", name, number);
    return length > 0 && length < static_cast<int>(sizeof into);
}

} // namespace d88
