// Fingerprints of bytes, from well-kept libraries rather than our own code:
// zlib's CRC-32 on every host; SHA-1 and SHA-256 from nettle on POSIX and
// from the system's BCrypt on Windows. Nothing here takes from the heap.
#pragma once

#include <cstddef>
#include <cstdint>

namespace d88::host {

constexpr int kSha1Bytes = 20;
constexpr int kSha256Bytes = 32;

// The CRC-32 (as zip and PNG compute it) of `length` more bytes after
// `crc`; 0 starts one.
std::uint32_t crc32(std::uint32_t crc, const void* bytes, std::size_t length);

enum class HashKind { Sha1, Sha256 };

constexpr int digestBytes(HashKind kind)
{
    return kind == HashKind::Sha1 ? kSha1Bytes : kSha256Bytes;
}

// Room for a hash's state, whichever library keeps it: nettle's contexts are
// about a hundred bytes, BCrypt's hash objects a few hundred.
constexpr int kHashStateBytes = 1024;

// One hash fed in pieces. A failure of the system's hashing (Windows) makes
// every later call false.
class Hash {
public:
    explicit Hash(HashKind kind);
    ~Hash();
    Hash(const Hash&) = delete;
    Hash& operator=(const Hash&) = delete;

    bool add(const void* bytes, std::size_t length);
    // Writes digestBytes(kind) bytes to `out`; the hash is used up.
    bool finish(std::uint8_t* out);

private:
    HashKind kind_;
    bool ok_ = true;
    // A host uses what it needs: the state itself (nettle) or the state and
    // two handles (BCrypt).
    [[maybe_unused]] void* algorithm_ = nullptr;
    [[maybe_unused]] void* handle_ = nullptr;
    alignas(16) unsigned char state_[kHashStateBytes];
};

struct Digests {
    std::uint32_t crc32;
    std::uint8_t sha1[kSha1Bytes];
    std::uint8_t sha256[kSha256Bytes];
};

// All three of `bytes`; false when the system's hashing failed.
bool digestAll(const void* bytes, std::size_t length, Digests& out);

} // namespace d88::host
