// BLAKE2b against RFC 7693's example and libgcrypt, at every length b2sum -l takes.
#include "engines/Blake2b.h"
#include "tests/support/Oracle.h"

#include <gcrypt.h>
#include <gtest/gtest.h>

namespace {

Bytes Blake2bOf(const Bytes& message, size_t digestBytes, std::mt19937_64* pieces = nullptr)
{
    Blake2b hasher(digestBytes);
    size_t done = 0;
    while (done < message.size()) {
        const size_t piece =
            pieces ? std::min<size_t>((*pieces)() % 300, message.size() - done) : message.size() - done;
        hasher.Update(message.data() + done, piece);
        done += piece;
    }
    Bytes digest(hasher.DigestBytes());
    hasher.Finish(digest.data());
    return digest;
}

TEST(Blake2b, PublishedDigests)
{
    EXPECT_EQ(Hex(Blake2bOf(AsBytes("abc"), 64)),
              "BA80A53F981C4D0D6A2797B69F12F6E94C212F14685AC4B74B12BB6FDBFFA2D1"
              "7D87C5392AAB792DC252D5DE4533CC9518D38AA8DBF1925AB92386EDD4009923");
    EXPECT_EQ(Hex(Blake2bOf({}, 64)), "786A02F742015903C6C6FD852552D272912F4740E15847618A86E217F71F5419"
                                      "D25E1031AFEE585313896444934EB04B903A685B1448B755D56F701AFE9BE2CE");
    // b2sum -l 8 and -l 256 of "abc".
    EXPECT_EQ(Hex(Blake2bOf(AsBytes("abc"), 32)),
              "BDDD813C634239723171EF3FEE98579B94964E3BB1CB3E427262C8C068D52319");
    EXPECT_EQ(Hex(Blake2bOf(AsBytes("abc"), 1)), "6B");
    // A length out of range is the whole digest, never a write past the caller's 64 bytes.
    EXPECT_EQ(Blake2b(0).DigestBytes(), 64u);
    EXPECT_EQ(Blake2b(65).DigestBytes(), 64u);
}

// Random messages around the block edges, whole and in random pieces (empty pieces and pieces
// that end a block exactly included), against libgcrypt's four fixed lengths.
TEST(Blake2b, AgreesWithLibgcryptInAnyPieces)
{
    std::mt19937_64 rng(0xB2B);
    const std::pair<int, size_t> lengths[] = {{GCRY_MD_BLAKE2B_512, 64},
                                              {GCRY_MD_BLAKE2B_384, 48},
                                              {GCRY_MD_BLAKE2B_256, 32},
                                              {GCRY_MD_BLAKE2B_160, 20}};
    for (size_t size : {0, 1, 127, 128, 129, 255, 256, 257, 1000, 4096, 65537}) {
        const Bytes message = RandomBytes(rng, size);
        for (const auto& [number, bytes] : lengths) {
            SCOPED_TRACE(std::to_string(size) + " bytes, digest " + std::to_string(bytes));
            const Bytes expected = GcryptDigest(number, message);
            EXPECT_EQ(Blake2bOf(message, bytes), expected);
            EXPECT_EQ(Blake2bOf(message, bytes, &rng), expected);
        }
    }
}

}  // namespace
