// The folders of a run: names made from D88 paths, and a fixed hash table
// of the ones taken.
#include "folder_names.h"

#include <cstdio>
#include <cstring>

#include "host_names.h"

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

void folderName(const char* path, int number, char (&name)[kFolderNameBytes], host::NameRules rules)
{
    const bool windows = rules == host::NameRules::Windows;
    const char* base = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '/' || (windows && (*p == '\\' || *p == ':'))) {
            base = p + 1;
        }
    }
    // The extension goes; a name that only begins with a dot has none.
    const char* dot = std::strrchr(base, '.');
    int length = static_cast<int>(dot != nullptr && dot != base ? dot - base : std::strlen(base));
    // Room for a '_' in front, a suffix and the terminator.
    constexpr int kLongest = kFolderNameBytes - 1 - 16 - 1;
    length = length < kLongest ? length : kLongest;
    char stem[kFolderNameBytes];
    std::memcpy(stem, base, static_cast<std::size_t>(length));
    stem[length] = '\0';
    hostName(stem, length, name, rules);
    if (number > 0) {
        const std::size_t used = std::strlen(name);
        std::snprintf(name + used, sizeof name - used, "~%d", number);
    }
}

void FolderNames::clear(const char* const* paths, int count, host::NameRules rules)
{
    for (int i = 0; i < slots_; ++i) {
        taken_[i] = {};
    }
    paths_ = paths;
    rules_ = rules;
    slots_ = 16;
    while (slots_ < 2 * count && slots_ < kSlots) {
        slots_ *= 2;
    }
}

bool FolderNames::keyOf(int file, int number, char (&key)[kFolderNameBytes]) const
{
    char name[kFolderNameBytes];
    folderName(paths_[file], number, name, rules_);
    return hostNameKey(name, rules_, host::NameEncoding::Bytes, key, sizeof key);
}

int FolderNames::take(int file)
{
    // Each name is taken by one file at most, so one of the first `slots_`
    // suffixes is free.
    for (int number = 0; number < slots_; ++number) {
        char key[kFolderNameBytes];
        keyOf(file, number, key);
        const std::uint32_t hash = hashOf(key);
        int slot = static_cast<int>(hash & static_cast<std::uint32_t>(slots_ - 1));
        bool taken = false;
        for (; taken_[slot].file != 0; slot = (slot + 1) & (slots_ - 1)) {
            char other[kFolderNameBytes];
            if (taken_[slot].hash == hash &&
                keyOf(taken_[slot].file - 1, taken_[slot].number, other) &&
                std::strcmp(other, key) == 0) {
                taken = true;
                break;
            }
        }
        if (!taken) {
            taken_[slot] = {file + 1, number, hash};
            return number;
        }
    }
    return 0;
}

} // namespace d88
