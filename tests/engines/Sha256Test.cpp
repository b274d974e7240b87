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
