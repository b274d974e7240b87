#include "engines/DCPtiger.h"
#include "tests/engines/EngineContract.h"

#include <gcrypt.h>

INSTANTIATE_TYPED_TEST_SUITE_P(Tiger, EngineContract, TDCP_tiger);

namespace {

// Tiger with the 0x80 pad of the later Tiger2, only to show that the pad byte matters.
class TigerWithPad80 : public TStandardHash<TigerWithPad80, TigerTraitsWithPad<0x80>> {
public:
    using TStandardHash::TStandardHash;
    static int32_t GetHashSize() { return 192; }
};

std::string TigerHex(const std::string& message)
{
    TDCP_tiger e;
    return Hex(EngineDigest(e, AsBytes(message)));
}

}  // namespace

TEST(Tiger, PublishedDigests)
{
    EXPECT_EQ(TigerHex(""), "3293AC630C13F0245F92BBB1766E16167A4E58492DDE73F3");
    EXPECT_EQ(TigerHex("a"), "77BEFBEF2E7EF8AB2EC8F93BF587A7FC613E247F5F247809");
    EXPECT_EQ(TigerHex("abc"), "2AAB1484E8C158F2BFB8C5FF41B57A525129131C957B5F93");
    EXPECT_EQ(TigerHex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-"),
              "F71C8583902AFB879EDFE610F82C0D4786A3A534504486B5");
    EXPECT_EQ(TigerHex("Tiger - A Fast New Hash Function, by Ross Anderson and Eli Biham"),
              "8A866829040A410C729AD23F5ADA711603B3CDD357E4C15E");
}

TEST(Tiger, DigestEndsWithChainWordAWrittenLeastSignificantByteFirst)
{
    TDCP_tiger e;
    Bytes digest = EngineDigest(e, AsBytes("abc"));
    EXPECT_EQ(LoadLe64(digest.data()), 0xF258C1E88414AB2Aull);
}

TEST(Tiger, AgreesWithLibgcryptOnRandomMessages)
{
    std::mt19937_64 rng(18);
    TDCP_tiger e;
    for (size_t length = 0; length <= 300; ++length) {
        Bytes message = RandomBytes(rng, length);
        ASSERT_EQ(Hex(EngineDigest(e, message)), Hex(GcryptDigest(GCRY_MD_TIGER1, message)))
            << "length " << length;
    }
    for (size_t length : {size_t(3) << 20, (size_t(5) << 20) + 55, (size_t(4) << 20) + 56}) {
        Bytes message = RandomBytes(rng, length);
        ASSERT_EQ(Hex(EngineDigestInPieces(e, message, 64, rng)), Hex(GcryptDigest(GCRY_MD_TIGER1, message)))
            << "length " << length;
    }
}

TEST(Tiger, OnlyThePadByteOneGivesTiger)
{
    std::mt19937_64 rng(0x80);
    TDCP_tiger tiger;
    TigerWithPad80 tiger2;
    for (size_t length : {0, 1, 3, 55, 56, 63, 64, 65, 200}) {
        Bytes message = RandomBytes(rng, length);
        Bytes withPad80 = EngineDigest(tiger2, message);
        EXPECT_NE(withPad80, EngineDigest(tiger, message)) << "length " << length;
        // libgcrypt calls the 0x80 variant Tiger2: the pad is the only difference.
        EXPECT_EQ(Hex(withPad80), Hex(GcryptDigest(GCRY_MD_TIGER2, message))) << "length " << length;
    }
}

TEST(Tiger, CountsBitsAndKeepsOnlyTheTailBetweenCalls)
{
    std::mt19937_64 rng(56);
    TDCP_tiger e;
    Bytes message = RandomBytes(rng, 64 + 57);
    e.Init();
    e.Update(message.data(), 64);
    EXPECT_EQ(e.State().BlockFill, 0u) << "a full block waited in the buffer";
    EXPECT_EQ(e.State().BitCount, 512u);
    EXPECT_NE(e.State().ChainValue, TigerTraits::InitialValue);
    e.Update(message.data() + 64, 57);
    EXPECT_EQ(e.State().BlockFill, 57u);
    EXPECT_EQ(e.State().BitCount, 8u * 121);
    EXPECT_TRUE(std::equal(message.begin() + 64, message.end(), e.State().BlockBuffer));
}
