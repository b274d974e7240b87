#include "engines/DCPsha256.h"
#include "tests/engines/EngineContract.h"
#include "tests/engines/ShaVariants.h"

#include <gcrypt.h>

INSTANTIATE_TYPED_TEST_SUITE_P(Sha256, EngineContract, TDCP_sha256);

TEST(Sha256, PublishedDigests)
{
    TDCP_sha256 e;
    EXPECT_EQ(Hex(EngineDigest(e, AsBytes(""))),
              "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855");
    EXPECT_EQ(Hex(EngineDigest(e, AsBytes("abc"))),
              "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD");
    const Bytes twoBlocks = AsBytes("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq");
    EXPECT_EQ(Hex(EngineDigest(e, twoBlocks)),
              "248D6A61D20638B8E5C026930C3E6039A33CE45964FF2167F6ECEDD419DB06C1");
    EXPECT_EQ(Hex(EngineDigest(e, Bytes(1000000, 'a'))),
              "CDC76E5C9914FB9281A1C7E284D73E67F1809A48A497200E046D39CCC7112CD0");
}

class Sha256Variant : public ShaVariantTest {};

TEST_P(Sha256Variant, AgreesWithLibgcrypt)
{
    TDCP_sha256 e;
    ExpectAgreesWithLibgcrypt(e, GCRY_MD_SHA256, 64, 0x256);
}

INSTANTIATE_TEST_SUITE_P(Sha256, Sha256Variant, ::testing::ValuesIn(Sha256Variants()), PrintVariant);

class Sha256Accelerated : public ShaVariantTest {};

TEST_P(Sha256Accelerated, CompressesLikeThePortableCodeFromAnyChain)
{
    ExpectSameChains<Sha256Chain>(GetParam().compressions.Sha256, &Sha256CompressPortable, 64, 0x2561);
}

INSTANTIATE_TEST_SUITE_P(Sha256, Sha256Accelerated, ::testing::ValuesIn(Accelerated(Sha256Variants())),
                         PrintVariant);

INSTANTIATE_TYPED_TEST_SUITE_P(Sha224, EngineContract, TDCP_sha224);

TEST(Sha224, PublishedDigests)
{
    TDCP_sha224 e;
    EXPECT_EQ(Hex(EngineDigest(e, AsBytes(""))), "D14A028C2A3A2BC9476102BB288234C415A2B01F828EA62AC5B3E42F");
    EXPECT_EQ(Hex(EngineDigest(e, AsBytes("abc"))),
              "23097D223405D8228642A477BDA255B32AADBCE4BDA0B3F7E36C9DA7");
    EXPECT_EQ(Hex(EngineDigest(e, Bytes(1000000, 'a'))),
              "20794655980C91D8BBB4C1EA97618A4BF03F42581948B2EE4EE7AD67");
    EXPECT_TRUE(TDCP_sha224::SelfTest());
}

// SHA-224 runs the SHA-256 compression: every variant of it must give libgcrypt's SHA-224.
class Sha224Variant : public ShaVariantTest {};

TEST_P(Sha224Variant, AgreesWithLibgcrypt)
{
    TDCP_sha224 e;
    ExpectAgreesWithLibgcrypt(e, GCRY_MD_SHA224, 64, 0x224);
}

INSTANTIATE_TEST_SUITE_P(Sha224, Sha224Variant, ::testing::ValuesIn(Sha256Variants()), PrintVariant);
