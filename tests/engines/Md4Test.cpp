#include "engines/DCPmd4.h"
#include "tests/engines/EngineContract.h"

#include <gcrypt.h>

INSTANTIATE_TYPED_TEST_SUITE_P(Md4, EngineContract, TDCP_md4);

TEST(Md4, PublishedDigests)
{
    TDCP_md4 e;
    EXPECT_EQ(Hex(EngineDigest(e, AsBytes(""))), "31D6CFE0D16AE931B73C59D7E0C089C0");
    EXPECT_EQ(Hex(EngineDigest(e, AsBytes("abc"))), "A448017AAF21D8525FC10AE87AA6729D");
    EXPECT_EQ(Hex(EngineDigest(e, AsBytes("abcdefghijklmnopqrstuvwxyz"))),
              "D79E1C308AA5BBCDEEA8ED63DF412DA9");
}

TEST(Md4, AgreesWithLibgcryptOnRandomMessages)
{
    std::mt19937_64 rng(4);
    TDCP_md4 e;
    for (size_t length = 0; length <= 300; ++length) {
        Bytes message = RandomBytes(rng, length);
        ASSERT_EQ(EngineDigest(e, message), GcryptDigest(GCRY_MD_MD4, message)) << length;
    }
    for (size_t length : {size_t(3) << 20, (size_t(5) << 20) + 77}) {
        Bytes message = RandomBytes(rng, length);
        ASSERT_EQ(EngineDigestInPieces(e, message, 64, rng), GcryptDigest(GCRY_MD_MD4, message));
    }
}
