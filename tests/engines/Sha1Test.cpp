#include "engines/DCPsha1.h"
#include "tests/engines/EngineContract.h"
#include "tests/engines/ShaVariants.h"

#include <gcrypt.h>

INSTANTIATE_TYPED_TEST_SUITE_P(Sha1, EngineContract, TDCP_sha1);

TEST(Sha1, PublishedDigests)
{
    TDCP_sha1 e;
    EXPECT_EQ(Hex(EngineDigest(e, AsBytes(""))), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
    EXPECT_EQ(Hex(EngineDigest(e, AsBytes("abc"))), "A9993E364706816ABA3E25717850C26C9CD0D89D");
    const Bytes twoBlocks = AsBytes("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq");
    EXPECT_EQ(Hex(EngineDigest(e, twoBlocks)), "84983E441C3BD26EBAAE4AA1F95129E5E54670F1");
    EXPECT_EQ(Hex(EngineDigest(e, Bytes(1000000, 'a'))), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
}

class Sha1Variant : public ShaVariantTest {};

TEST_P(Sha1Variant, AgreesWithLibgcrypt)
{
    TDCP_sha1 e;
    ExpectAgreesWithLibgcrypt(e, GCRY_MD_SHA1, 64, 0x5a1);
}

INSTANTIATE_TEST_SUITE_P(Sha1, Sha1Variant, ::testing::ValuesIn(Sha1Variants()), PrintVariant);

class Sha1Accelerated : public ShaVariantTest {};

TEST_P(Sha1Accelerated, CompressesLikeThePortableCodeFromAnyChain)
{
    ExpectSameChains<Sha1Chain>(GetParam().compressions.Sha1, &Sha1CompressPortable, 64, 0x5a11);
}

INSTANTIATE_TEST_SUITE_P(Sha1, Sha1Accelerated, ::testing::ValuesIn(Accelerated(Sha1Variants())),
                         PrintVariant);
