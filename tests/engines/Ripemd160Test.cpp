#include "engines/DCPripemd160.h"
#include "tests/engines/EngineContract.h"
#include "tests/engines/LittleEndianEngineChecks.h"

INSTANTIATE_TYPED_TEST_SUITE_P(Ripemd160, EngineContract, TDCP_ripemd160);

TEST(Ripemd160, PublishedDigests)
{
    TDCP_ripemd160 e;
    auto digestOf = [&](const std::string& text) { return Hex(EngineDigest(e, AsBytes(text))); };
    EXPECT_EQ(digestOf(""), "9C1185A5C5E9FC54612808977EE8F548B2258D31");
    EXPECT_EQ(digestOf("a"), "0BDC9D2D256B3EE9DAAE347BE6F4DC835A467FFE");
    EXPECT_EQ(digestOf("abc"), "8EB208F7E05D987A9B044A8E98C6B087F15A0BFC");
    EXPECT_EQ(digestOf("message digest"), "5D0689EF49D2FAE572B881B123A85FFA21595F36");
    EXPECT_EQ(digestOf("abcdefghijklmnopqrstuvwxyz"), "F71C27109C692C1B56BBDCEB5B9D2865B3708DBC");
    EXPECT_EQ(digestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "12A053384A9C0C88E405A06C27DCF49ADA62EB2B");
    EXPECT_EQ(digestOf(std::string(1000000, 'a')), "52783243C1697BDBE16D37F97F68F08325DC1528");
}

TEST(Ripemd160, AgreesWithLibgcryptOnRandomMessages)
{
    TDCP_ripemd160 e;
    ExpectAgreesOnRandomMessages(
        e, [](const Bytes& m) { return GcryptDigest(GCRY_MD_RMD160, m); }, 160);
}

TEST(Ripemd160, SlowCountsMessagesLongerThanTheLowCounterWord)
{
    TDCP_ripemd160 e;
    ExpectCountsPastTheLowWord(e, GCRY_MD_RMD160);
}
