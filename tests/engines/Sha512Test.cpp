#include "engines/DCPsha512.h"
#include "tests/engines/EngineContract.h"
#include "tests/engines/ShaVariants.h"

#include <gcrypt.h>

INSTANTIATE_TYPED_TEST_SUITE_P(Sha384, EngineContract, TDCP_sha384);
INSTANTIATE_TYPED_TEST_SUITE_P(Sha512, EngineContract, TDCP_sha512);

namespace {

const Bytes kTwoBlockMessage =
    AsBytes("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrs"
            "mnopqrstnopqrstu");

}  // namespace

TEST(Sha512Base, HasNoAlgorithmAndItsInitAndFinalDoNothing)
{
    TDCP_sha512base base;
    EXPECT_EQ(base.Id(), -1);
    EXPECT_EQ(base.Algorithm(), "");
    EXPECT_EQ(base.HashSize(), -1);
    EXPECT_FALSE(base.ClassType().SelfTest());

    uint8_t digest[64];
    std::memset(digest, 0x5c, sizeof digest);
    base.Init();
    EXPECT_FALSE(base.Initialized());
    EXPECT_TRUE(AllZero(base.FieldBytes()));
    EXPECT_NO_THROW(base.Final(digest));
    EXPECT_TRUE(std::all_of(digest, digest + 64, [](uint8_t b) { return b == 0x5c; }));
    // Its own Update still refuses a message that was never started.
    EXPECT_THROW(base.Update(digest, 1), EDCP_hash);
    base.Burn();
    EXPECT_TRUE(AllZero(base.FieldBytes()));
}

TEST(Sha384, PublishedDigests)
{
    TDCP_sha384 e;
    EXPECT_EQ(Hex(EngineDigest(e, AsBytes(""))),
              "38B060A751AC96384CD9327EB1B1E36A21FDB71114BE07434C0CC7BF63F6E1DA"
              "274EDEBFE76F65FBD51AD2F14898B95B");
    EXPECT_EQ(Hex(EngineDigest(e, AsBytes("abc"))),
              "CB00753F45A35E8BB5A03D699AC65007272C32AB0EDED1631A8B605A43FF5BED"
              "8086072BA1E7CC2358BAECA134C825A7");
    EXPECT_EQ(Hex(EngineDigest(e, kTwoBlockMessage)),
              "09330C33F71147E83D192FC782CD1B4753111B173B3B05D22FA08086E3B0F712"
              "FCC7C71A557E2DB966C3E9FA91746039");
    EXPECT_EQ(Hex(EngineDigest(e, Bytes(1000000, 'a'))),
              "9D0E1809716474CB086E834E310A4A1CED149E9C00F248527972CEC5704C2A5B"
              "07B8B3DC38ECC4EBAE97DDD87F3D8985");
}

TEST(Sha512, PublishedDigests)
{
    TDCP_sha512 e;
    EXPECT_EQ(Hex(EngineDigest(e, AsBytes(""))),
              "CF83E1357EEFB8BDF1542850D66D8007D620E4050B5715DC83F4A921D36CE9CE"
              "47D0D13C5D85F2B0FF8318D2877EEC2F63B931BD47417A81A538327AF927DA3E");
    EXPECT_EQ(Hex(EngineDigest(e, AsBytes("abc"))),
              "DDAF35A193617ABACC417349AE20413112E6FA4E89A97EA20A9EEEE64B55D39A"
              "2192992A274FC1A836BA3C23A3FEEBBD454D4423643CE80E2A9AC94FA54CA49F");
    EXPECT_EQ(Hex(EngineDigest(e, kTwoBlockMessage)),
              "8E959B75DAE313DA8CF4F72814FC143F8F7779C6EB9F7FA17299AEADB6889018"
              "501D289E4900F7E4331B99DEC4B5433AC7D329EEB6DD26545E96E55B874BE909");
    EXPECT_EQ(Hex(EngineDigest(e, Bytes(1000000, 'a'))),
              "E718483D0CE769644E2E42C7BC15B4638E1F98B13B2044285632A803AFA973EB"
              "DE0FF244877EA60A4CB0432CE577C31BEB009C5C2C49AA2E4EADB217AD8CC09B");
}

TEST(Sha384, IsNotTheStartOfSha512)
{
    std::mt19937_64 rng(384);
    TDCP_sha384 sha384;
    TDCP_sha512 sha512;
    for (size_t length : {size_t(0), size_t(3), size_t(111), size_t(112), size_t(1000)}) {
        Bytes message = RandomBytes(rng, length);
        Bytes short_ = EngineDigest(sha384, message), long_ = EngineDigest(sha512, message);
        ASSERT_EQ(short_.size(), 48u);
        EXPECT_FALSE(std::equal(short_.begin(), short_.end(), long_.begin())) << length;
    }
}

TEST(Sha384, LeavesNothingBeyondItsDigest)
{
    TDCP_sha384 e;
    uint8_t digest[64];
    std::memset(digest, 0xee, sizeof digest);
    e.Init();
    e.Final(digest);
    EXPECT_EQ(Hex(Bytes(digest, digest + 48)),
              "38B060A751AC96384CD9327EB1B1E36A21FDB71114BE07434C0CC7BF63F6E1DA"
              "274EDEBFE76F65FBD51AD2F14898B95B");
    EXPECT_TRUE(std::all_of(digest + 48, digest + 64, [](uint8_t b) { return b == 0xee; }));
}

class Sha512Variant : public ShaVariantTest {};

TEST_P(Sha512Variant, AgreesWithLibgcrypt)
{
    TDCP_sha384 sha384;
    ExpectAgreesWithLibgcrypt(sha384, GCRY_MD_SHA384, 128, 0x384);
    TDCP_sha512 sha512;
    ExpectAgreesWithLibgcrypt(sha512, GCRY_MD_SHA512, 128, 0x512);
}

INSTANTIATE_TEST_SUITE_P(Sha512, Sha512Variant, ::testing::ValuesIn(Sha512Variants()), PrintVariant);

class Sha512Accelerated : public ShaVariantTest {};

TEST_P(Sha512Accelerated, CompressesLikeThePortableCodeFromAnyChain)
{
    ExpectSameChains<Sha512Chain>(GetParam().compressions.Sha512, &Sha512CompressPortable, 128, 0x5121);
}

INSTANTIATE_TEST_SUITE_P(Sha512, Sha512Accelerated, ::testing::ValuesIn(Accelerated(Sha512Variants())),
                         PrintVariant);
