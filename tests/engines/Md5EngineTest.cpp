#include "engines/DCPmd5.h"
#include "tests/engines/EngineContract.h"
#include "tests/engines/LittleEndianEngineChecks.h"

INSTANTIATE_TYPED_TEST_SUITE_P(Md5, EngineContract, TDCP_md5);

TEST(Md5, PublishedDigests)
{
    TDCP_md5 e;
    auto digestOf = [&](const std::string& text) { return Hex(EngineDigest(e, AsBytes(text))); };
    EXPECT_EQ(digestOf(""), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(digestOf("a"), "0CC175B9C0F1B6A831C399E269772661");
    EXPECT_EQ(digestOf("abc"), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(digestOf("message digest"), "F96B697D7CB7938D525A2F31AAF161D0");
    EXPECT_EQ(digestOf("abcdefghijklmnopqrstuvwxyz"), "C3FCD3D76192E4007DFB496CCA67E13B");
    EXPECT_EQ(digestOf("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "D174AB98D277D9F5A5611C2C9F419D9F");
    std::string eightyDigits;
    for (int i = 0; i < 8; ++i)
        eightyDigits += "1234567890";
    EXPECT_EQ(digestOf(eightyDigits), "57EDF4A22BE3C955AC49DA2E2107B67A");
}

TEST(Md5, AgreesWithLibgcryptOnRandomMessages)
{
    TDCP_md5 e;
    ExpectAgreesOnRandomMessages(
        e, [](const Bytes& m) { return GcryptDigest(GCRY_MD_MD5, m); }, 5);
}

TEST(Md5, SlowCountsMessagesLongerThanTheLowCounterWord)
{
    TDCP_md5 e;
    ExpectCountsPastTheLowWord(e, GCRY_MD_MD5);
}
