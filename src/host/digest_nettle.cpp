// SHA-1 and SHA-256 from nettle. Its contexts are plain structures kept in
// the Hash itself: nothing is allocated, and nothing needs closing.
#include <nettle/sha1.h>
#include <nettle/sha2.h>

#include <new>

#include "digest.h"

namespace d88::host {

static_assert(sizeof(sha1_ctx) <= kHashStateBytes && sizeof(sha256_ctx) <= kHashStateBytes);
static_assert(alignof(sha1_ctx) <= 16 && alignof(sha256_ctx) <= 16);

Hash::Hash(HashKind kind) : kind_(kind)
{
    if (kind_ == HashKind::Sha1) {
        sha1_init(new (state_) sha1_ctx);
    } else {
        sha256_init(new (state_) sha256_ctx);
    }
}

Hash::~Hash() = default;

bool Hash::add(const void* bytes, std::size_t length)
{
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    if (kind_ == HashKind::Sha1) {
        sha1_update(std::launder(reinterpret_cast<sha1_ctx*>(state_)), length, p);
    } else {
        sha256_update(std::launder(reinterpret_cast<sha256_ctx*>(state_)), length, p);
    }
    return ok_;
}

bool Hash::finish(std::uint8_t* out)
{
    if (kind_ == HashKind::Sha1) {
        sha1_digest(std::launder(reinterpret_cast<sha1_ctx*>(state_)), kSha1Bytes, out);
    } else {
        sha256_digest(std::launder(reinterpret_cast<sha256_ctx*>(state_)), kSha256Bytes, out);
    }
    return ok_;
}

} // namespace d88::host
