// The fingerprints against the published test vectors: CRC-32's check value
// and FIPS 180's examples for SHA-1 and SHA-256, whole and fed in pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "digest.h"

namespace {

using d88::host::HashKind;

std::string hex(const std::uint8_t* bytes, int length)
{
    std::string out;
    for (int i = 0; i < length; ++i) {
        char two[3];
        std::snprintf(two, sizeof two, "%02x", bytes[i]);
        out += two;
    }
    return out;
}

// Hashes `text` fed `piece` bytes at a time (0: all at once).
std::string hashOf(HashKind kind, const std::string& text, std::size_t piece)
{
    d88::host::Hash hash(kind);
    if (piece == 0) {
        EXPECT_TRUE(hash.add(text.data(), text.size()));
    }
    for (std::size_t at = 0; piece != 0 && at < text.size(); at += piece) {
        EXPECT_TRUE(hash.add(text.data() + at, std::min(piece, text.size() - at)));
    }
    std::uint8_t digest[d88::host::kSha256Bytes];
    EXPECT_TRUE(hash.finish(digest));
    return hex(digest, d88::host::digestBytes(kind));
}

const std::string kMillionA(1000000, 'a');
const std::string kTwoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";

} // namespace

TEST(Digest, PublishedVectors)
{
    const struct {
        HashKind kind;
        std::string text;
        const char* digest;
    } rows[] = {
        {HashKind::Sha1, "", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {HashKind::Sha1, "abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {HashKind::Sha1, kTwoBlocks, "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {HashKind::Sha1, kMillionA, "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
        {HashKind::Sha256, "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {HashKind::Sha256, "abc",
         "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {HashKind::Sha256, kTwoBlocks,
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {HashKind::Sha256, kMillionA,
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& row : rows) {
        // Whole, and in pieces that do not fall on the 64-byte blocks.
        for (const std::size_t piece :
             {std::size_t{0}, std::size_t{1}, std::size_t{63}, std::size_t{4097}}) {
            if (piece == 1 && row.text.size() > 1000) {
                continue; // a million calls add nothing over 63
            }
            EXPECT_EQ(hashOf(row.kind, row.text, piece), row.digest)
                << row.text.size() << " bytes in pieces of " << piece;
        }
    }
}

TEST(Digest, Crc32CheckValuesAndAllThree)
{
    const struct {
        std::string text;
        std::uint32_t crc;
    } rows[] = {{"", 0},
                {"123456789", 0xCBF43926},
                {"a", 0xE8B7BE43},
                {"The quick brown fox jumps over the lazy dog", 0x414FA339}};
    for (const auto& row : rows) {
        EXPECT_EQ(d88::host::crc32(0, row.text.data(), row.text.size()), row.crc) << row.text;
        // Continued over two pieces, as the image's bytes are.
        const std::size_t half = row.text.size() / 2;
        const std::uint32_t first = d88::host::crc32(0, row.text.data(), half);
        EXPECT_EQ(d88::host::crc32(first, row.text.data() + half, row.text.size() - half), row.crc);
    }
    d88::host::Digests all{};
    ASSERT_TRUE(d88::host::digestAll("abc", 3, all));
    EXPECT_EQ(all.crc32, 0x352441C2u);
    EXPECT_EQ(hex(all.sha1, 20), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(hex(all.sha256, 32),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}
