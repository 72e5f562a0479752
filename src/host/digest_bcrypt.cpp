// SHA-1 and SHA-256 from Windows' own BCrypt. The hash object lives in the
// Hash's own storage, so BCrypt allocates nothing for it.
#include <windows.h>

#include <bcrypt.h>

#include "digest.h"

namespace d88::host {

namespace {

bool succeeded(NTSTATUS status)
{
    return status >= 0;
}

} // namespace

Hash::Hash(HashKind kind) : kind_(kind)
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    const wchar_t* name = kind == HashKind::Sha1 ? BCRYPT_SHA1_ALGORITHM : BCRYPT_SHA256_ALGORITHM;
    ok_ = succeeded(BCryptOpenAlgorithmProvider(&algorithm, name, nullptr, 0));
    if (!ok_) {
        return;
    }
    algorithm_ = algorithm;
    BCRYPT_HASH_HANDLE hash = nullptr;
    ok_ = succeeded(BCryptCreateHash(algorithm, &hash, state_, sizeof state_, nullptr, 0, 0));
    handle_ = hash;
}

Hash::~Hash()
{
    if (handle_ != nullptr) {
        BCryptDestroyHash(static_cast<BCRYPT_HASH_HANDLE>(handle_));
    }
    if (algorithm_ != nullptr) {
        BCryptCloseAlgorithmProvider(static_cast<BCRYPT_ALG_HANDLE>(algorithm_), 0);
    }
}

bool Hash::add(const void* bytes, std::size_t length)
{
    // BCrypt takes a ULONG length: longer input in pieces.
    auto* p = static_cast<PUCHAR>(const_cast<void*>(bytes));
    while (ok_ && length > 0) {
        const ULONG piece = length > 0x40000000u ? 0x40000000u : static_cast<ULONG>(length);
        ok_ = succeeded(BCryptHashData(static_cast<BCRYPT_HASH_HANDLE>(handle_), p, piece, 0));
        p += piece;
        length -= piece;
    }
    return ok_;
}

bool Hash::finish(std::uint8_t* out)
{
    if (ok_) {
        ok_ = succeeded(BCryptFinishHash(static_cast<BCRYPT_HASH_HANDLE>(handle_), out,
                                         static_cast<ULONG>(digestBytes(kind_)), 0));
    }
    return ok_;
}

} // namespace d88::host
