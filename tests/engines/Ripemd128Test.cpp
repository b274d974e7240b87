#include "engines/DCPripemd128.h"
#include "tests/engines/EngineContract.h"
#include "tests/engines/LittleEndianEngineChecks.h"

#include <mhash.h>

INSTANTIATE_TYPED_TEST_SUITE_P(Ripemd128, EngineContract, TDCP_ripemd128);

TEST(Ripemd128, PublishedDigests)
{
    TDCP_ripemd128 e;
    auto digestOf = [&](const std::string& text) { return Hex(EngineDigest(e, AsBytes(text))); };
    EXPECT_EQ(digestOf(""), "CDF26213A150DC3ECB610F18F6B38B46");
    EXPECT_EQ(digestOf("a"), "86BE7AFA339D0FC7CFC785E72F578D33");
    EXPECT_EQ(digestOf("abc"), "C14A12199C66E4BA84636B0F69144C77");
    EXPECT_EQ(digestOf("message digest"), "9E327B3D6E523062AFC1132D7DF9D1B8");
    EXPECT_EQ(digestOf("abcdefghijklmnopqrstuvwxyz"), "FD2AA607F71DC8F510714922B371834E");
    EXPECT_EQ(digestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "A1AA0689D0FAFA2DDC22E88B49133A06");
    EXPECT_EQ(digestOf(std::string(1000000, 'a')), "4A7F5723F954EBA1216C9D8F6320431F");
}

TEST(Ripemd128, AgreesWithMhashOnRandomMessages)
{
    TDCP_ripemd128 e;
    ExpectAgreesOnRandomMessages(
        e, [](const Bytes& m) { return MhashDigest(MHASH_RIPEMD128, m); }, 128);
}
