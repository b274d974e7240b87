// The traits of every engine meet BlockHashTraits, and a traits class that lacks a member or
// has a buffer of the wrong size does not.
#include "engines/DCPhaval.h"
#include "engines/DCPmd4.h"
#include "engines/DCPmd5.h"
#include "engines/DCPripemd128.h"
#include "engines/DCPripemd160.h"
#include "engines/DCPsha1.h"
#include "engines/DCPsha256.h"
#include "engines/DCPsha512.h"
#include "engines/DCPtiger.h"

#include <gtest/gtest.h>

#include <array>

namespace {

struct CompleteTraits {
    using Chain = std::array<uint32_t, 4>;
    struct Fields {
        uint32_t BitCount;
        uint32_t BlockFill;
        Chain ChainValue;
        uint8_t BlockBuffer[64];
    };
    static constexpr size_t BlockSize = 64;
    static constexpr size_t DigestSize = 16;
    static constexpr uint8_t PadByte = 0x80;
    static constexpr size_t TrailerOffset = 56;
    static constexpr Chain InitialValue{};
    static void CountBits(Fields&, uint32_t) {}
    static void WriteTrailer(Fields&) {}
    static void Compress(Chain&, const uint8_t*, size_t) {}
    static void WriteDigest(const Chain&, uint8_t*) {}
};

struct WithoutTrailer {
    using Chain = CompleteTraits::Chain;
    using Fields = CompleteTraits::Fields;
    static constexpr size_t BlockSize = 64;
    static constexpr size_t DigestSize = 16;
    static constexpr uint8_t PadByte = 0x80;
    static constexpr size_t TrailerOffset = 56;
    static constexpr Chain InitialValue{};
    static void CountBits(Fields&, uint32_t) {}
    static void Compress(Chain&, const uint8_t*, size_t) {}
    static void WriteDigest(const Chain&, uint8_t*) {}
};

struct WithTooSmallABuffer : CompleteTraits {
    static constexpr size_t BlockSize = 128;
};

struct WithTheTrailerPastTheBlock : CompleteTraits {
    static constexpr size_t TrailerOffset = 64;
};

TEST(BlockHashTraits, EveryEngineMeetsTheConceptAndAnIncompleteTraitsClassDoesNot)
{
    EXPECT_TRUE(BlockHashTraits<Md4Traits>);
    EXPECT_TRUE(BlockHashTraits<Md5Traits>);
    EXPECT_TRUE(BlockHashTraits<Ripemd128Traits>);
    EXPECT_TRUE(BlockHashTraits<Ripemd160Traits>);
    EXPECT_TRUE(BlockHashTraits<Sha1Traits>);
    EXPECT_TRUE(BlockHashTraits<Sha256Traits>);
    EXPECT_TRUE(BlockHashTraits<Sha512Traits>);
    EXPECT_TRUE(BlockHashTraits<TigerTraits>);
    EXPECT_TRUE(BlockHashTraits<HavalTraits>);

    EXPECT_TRUE(BlockHashTraits<CompleteTraits>);
    EXPECT_FALSE(BlockHashTraits<WithoutTrailer>);
    EXPECT_FALSE(BlockHashTraits<WithTooSmallABuffer>);
    EXPECT_FALSE(BlockHashTraits<WithTheTrailerPastTheBlock>);
}

}  // namespace
