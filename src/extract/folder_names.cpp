// The folders of a run: names made from D88 paths, and a fixed hash table
// of the ones taken.
#include "folder_names.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "host_names.h"

namespace d88 {

namespace {

// Whether `base`'s first `length` bytes end in `suffix`, in any case.
bool endsIn(const char* base, int length, const char* suffix)
{
    const int n = static_cast<int>(std::strlen(suffix));
    if (length <= n) {
        return false;
    }
    for (int i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(base[length - n + i])) != suffix[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

int stemLength(const char* base)
{
    int length = static_cast<int>(std::strlen(base));
    // An archive's compressed tar goes whole: "coll.tar.gz" gives "coll".
    for (const char* compressed : {".gz", ".bz2", ".xz", ".z", ".lz", ".lzma", ".zst"}) {
        if (endsIn(base, length, compressed)) {
            const int stem = length - static_cast<int>(std::strlen(compressed));
            if (endsIn(base, stem, ".tar")) {
                return stem - 4;
            }
        }
    }
    // The extension goes; a name that only begins with a dot has none.
    for (int i = length - 1; i > 0; --i) {
        if (base[i] == '.') {
            return i;
        }
    }
    return length;
}

void folderName(const char* path, int number, char (&name)[kFolderNameBytes], host::NameRules rules)
{
    const bool windows = rules == host::NameRules::Windows;
    // The standard input's folder.
    if (std::strcmp(path, "-") == 0) {
        path = "stdin.d88";
    }
    const char* base = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '/' || (windows && (*p == '\\' || *p == ':'))) {
            base = p + 1;
        }
    }
    int length = stemLength(base);
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
        const std::uint32_t hash = hashOfKey(key);
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
