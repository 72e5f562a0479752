// The parts of the fingerprints that are the same on every host.
#include <zlib.h>

#include <algorithm>
#include <climits>

#include "digest.h"

namespace d88::host {

std::uint32_t crc32(std::uint32_t crc, const void* bytes, std::size_t length)
{
    // zlib takes a length of its own unsigned int: longer input in pieces.
    const auto* p = static_cast<const Bytef*>(bytes);
    uLong value = crc;
    while (length > 0) {
        const std::size_t piece = std::min<std::size_t>(length, UINT_MAX);
        value = ::crc32(value, p, static_cast<uInt>(piece));
        p += piece;
        length -= piece;
    }
    return static_cast<std::uint32_t>(value);
}

bool digestAll(const void* bytes, std::size_t length, Digests& out)
{
    out.crc32 = crc32(0, bytes, length);
    Hash sha1(HashKind::Sha1), sha256(HashKind::Sha256);
    const bool one = sha1.add(bytes, length) && sha1.finish(out.sha1);
    const bool two = sha256.add(bytes, length) && sha256.finish(out.sha256);
    return one && two;
}

} // namespace d88::host
