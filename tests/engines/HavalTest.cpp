#include "engines/DCPhaval.h"
#include "engines/HavalFunctions.h"
#include "tests/engines/EngineContract.h"

INSTANTIATE_TYPED_TEST_SUITE_P(Haval, EngineContract, TDCP_haval);

namespace {

// HAVAL with the 0x01 pad of the HAVAL reference code: reproduces the published values, and so
// checks the compression that the engine shares with it.
class HavalWithPad01 : public TStandardHash<HavalWithPad01, HavalTraitsWithPad<0x01>> {
public:
    using TStandardHash::TStandardHash;
    static int32_t GetHashSize() { return 256; }
};

template <class Engine = TDCP_haval>
std::string HavalHex(const std::string& message)
{
    Engine e;
    return Hex(EngineDigest(e, AsBytes(message)));
}

// The padded message built byte by byte from the published rule, compressed block by block.
Bytes PaddedDigest(const Bytes& message, uint8_t pad)
{
    Bytes padded = message;
    padded.push_back(pad);
    while (padded.size() % 128 != 118)
        padded.push_back(0);
    padded.push_back(0x29);
    padded.push_back(0x40);
    const uint64_t bits = uint64_t(message.size()) * 8;
    for (int i = 0; i < 8; ++i)
        padded.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    HavalCore::Chain chain = HavalCore::InitialValue;
    for (size_t at = 0; at < padded.size(); at += 128)
        HavalCore::Compress(chain, padded.data() + at, 1);
    Bytes digest(32);
    HavalCore::WriteDigest(chain, digest.data());
    return digest;
}

}  // namespace

TEST(Haval, DigestsOfTheEngine)
{
    EXPECT_EQ(HavalHex(""), "5981D3F8CCE7F5674752595F4AD24C184BA1C738C986D4D2EDDF2BD86C3F8679");
    EXPECT_EQ(HavalHex("abc"), "4ABAEF95A29102E6CA3C47F0EBACD3FB7AFC6CA2D14305D7A08A470CCDE62185");
    EXPECT_EQ(HavalHex("abcdefghijklmnopqrstuvwxyz"),
              "1A1DC8099BDAA7F35B4DA4E805F1A28FEE909D8DEE920198185CBCAED8A10A8D");
    EXPECT_EQ(HavalHex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "C5647FC6C1877FFF96742F27E9266B6874894F41A08F5913033D9D532AEDDB39");
}

TEST(Haval, PadByteOneGivesThePublishedHavalValues)
{
    EXPECT_EQ(HavalHex<HavalWithPad01>(""),
              "BE417BB4DD5CFB76C7126F4F8EEB1553A449039307B1A3CD451DBFDC0FBBE330");
    EXPECT_EQ(HavalHex<HavalWithPad01>("a"),
              "DE8FD5EE72A5E4265AF0A756F4E1A1F65C9B2B2F47CF17ECF0D1B88679A3E22F");
    EXPECT_EQ(HavalHex<HavalWithPad01>("abc"),
              "976CD6254C337969E5913B158392A2921AF16FCA51F5601D486E0A9DE01156E7");
}

TEST(Haval, PadsToByte118ThenWritesVersionPassesLengthAndBitCount)
{
    std::mt19937_64 rng(118);
    TDCP_haval haval;
    HavalWithPad01 havalPad01;
    for (size_t length = 0; length <= 300; ++length) {
        Bytes message = RandomBytes(rng, length);
        ASSERT_EQ(Hex(EngineDigest(haval, message)), Hex(PaddedDigest(message, 0x80))) << "length " << length;
        ASSERT_EQ(Hex(EngineDigest(havalPad01, message)), Hex(PaddedDigest(message, 0x01)))
            << "length " << length;
    }
}

TEST(Haval, SeveralMebibytesInRandomPiecesGiveTheWholeMessageDigest)
{
    std::mt19937_64 rng(5);
    TDCP_haval e;
    for (size_t length : {(size_t(3) << 20) + 117, (size_t(4) << 20) + 118}) {
        Bytes message = RandomBytes(rng, length);
        ASSERT_EQ(Hex(EngineDigestInPieces(e, message, 128, rng)), Hex(PaddedDigest(message, 0x80)))
            << "length " << length;
    }
}

TEST(Haval, CountsBitsInTwoHalvesAndKeepsOnlyTheTailBetweenCalls)
{
    std::mt19937_64 rng(128);
    TDCP_haval e;
    Bytes message = RandomBytes(rng, 128 + 117);
    e.Init();
    e.Update(message.data(), 128);
    EXPECT_EQ(e.State().BlockFill, 0u) << "a full block waited in the buffer";
    EXPECT_EQ(e.State().BitCountLo, 1024u);
    EXPECT_EQ(e.State().BitCountHi, 0u);
    e.Update(message.data() + 128, 117);
    EXPECT_EQ(e.State().BlockFill, 117u);
    EXPECT_EQ(e.State().BitCountLo, 8u * 245);
    EXPECT_TRUE(std::equal(message.begin() + 128, message.end(), e.State().BlockBuffer));
}

TEST(Haval, RearrangedBooleanFunctionsEqualThePublishedOnesForEveryInput)
{
    using Function = uint32_t (*)(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t);
    const Function published[5] = {haval::F1, haval::F2, haval::F3, haval::F4, haval::F5};
    const Function fast[5] = {haval::Fast1, haval::Fast2, haval::Fast3, haval::Fast4, haval::Fast5};
    // Bit b of the words of chunk k holds the input combination 32k + b of the seven arguments,
    // so four chunks cover all 128.
    for (uint32_t chunk = 0; chunk < 4; ++chunk) {
        uint32_t x[7] = {};
        for (uint32_t bit = 0; bit < 32; ++bit)
            for (int i = 0; i < 7; ++i)
                x[i] |= (((32 * chunk + bit) >> i) & 1u) << bit;
        for (int j = 0; j < 5; ++j)
            EXPECT_EQ(fast[j](x[6], x[5], x[4], x[3], x[2], x[1], x[0]),
                      published[j](x[6], x[5], x[4], x[3], x[2], x[1], x[0]))
                << "F" << j + 1 << ", inputs " << 32 * chunk << " to " << 32 * chunk + 31;
    }
}
