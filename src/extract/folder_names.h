// The folders of a run over several D88 files: each D88 file's own name
// less its extension, made safe for the host as a stored name is, and when
// an earlier D88 file of the run took that name, the first free one of
// NAME~1, NAME~2, ... Names are compared as the host compares them. A
// folder's name is never kept: it is made again from its D88 path, which
// the command line keeps, and its number.
#pragma once

#include <cstdint>

#include "host.h"

namespace d88 {

// Room for a folder name: a file name of up to 255 bytes, a '_' in front,
// a "~N" suffix and the terminator.
constexpr int kFolderNameBytes = 256 + 1 + 16 + 1;

// The folder of D88 file `path` with suffix `number` (0: none): its last
// component less its extension ("GAMES.d88" gives "GAMES", ".d88" stays),
// with the host's rules for names, then "~number".
void folderName(const char* path, int number, char (&name)[kFolderNameBytes],
                host::NameRules rules);

class FolderNames {
public:
    // D88 files one run keeps apart.
    static constexpr int kCapacity = 65536;

    // Forgets every folder taken: a new run over `count` D88 files, the
    // file numbered n being `paths[n]`.
    void clear(const char* const* paths, int count, host::NameRules rules);

    // Takes the first free folder for D88 file `number` and returns its
    // suffix number: 0 when its own name was free.
    int take(int number);

private:
    // A power of two at least twice the capacity keeps every probe short.
    static constexpr int kSlots = 2 * kCapacity;

    struct Taken {
        int file; // 1 + the D88 file's number; 0: the slot is free
        int number;
        std::uint32_t hash;
    };

    // The host's key of the folder `file` has with suffix `number`.
    bool keyOf(int file, int number, char (&key)[kFolderNameBytes]) const;

    const char* const* paths_ = nullptr;
    host::NameRules rules_ = host::NameRules::Posix;
    // The slots in use this run: the fewest that keep it half empty, so
    // that a small run touches little memory.
    int slots_ = 0;
    // Left to the zeroing of static storage, where the workspace lives.
    Taken taken_[kSlots];
};

} // namespace d88
