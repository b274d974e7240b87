// BLAKE3 at the chunk and tree boundaries, with every many-inputs variant this CPU runs forced in
// turn, fed whole and in random pieces, and against the b3sum tool on random data.
#include "engines/Blake3.h"
#include "engines/Blake3Compress.h"
#include "tests/support/Blake3Variants.h"
#include "tests/support/Oracle.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

Bytes Pattern(size_t size)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i % 251);
    return bytes;
}

std::string LowerHex(const Bytes& bytes)
{
    std::string hex = Hex(bytes);
    for (char& c : hex)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return hex;
}

// The message whole, or in random pieces of up to maxPiece bytes.
Bytes Blake3Of(const Bytes& message, size_t outBytes = 32, std::mt19937_64* pieces = nullptr,
               size_t maxPiece = 3000)
{
    Blake3 hasher;
    size_t done = 0;
    while (done < message.size()) {
        const size_t piece = pieces ? std::min<size_t>((*pieces)() % (maxPiece + 1), message.size() - done)
                                    : message.size() - done;
        hasher.Update(message.data() + done, piece);
        done += piece;
    }
    Bytes digest(outBytes);
    hasher.Finish(digest.data(), digest.size());
    return digest;
}

// Installs one variant for the test's life.
class Blake3Variants : public ::testing::TestWithParam<Blake3Variant> {
protected:
    void SetUp() override { before_ = UseBlake3Variant(GetParam()); }
    void TearDown() override { UseBlake3Variant(before_); }
    Blake3Variant before_;
};

// Made with b3sum from bytes i % 251: one chunk, its edges, and trees of two to a hundred chunks.
const std::pair<size_t, const char*> kKnownAnswers[] = {
    {0, "af1349b9f5f9a1a6a0404dea36dcc9499bcb25c9adc112b7cc9a93cae41f3262"},
    {1, "2d3adedff11b61f14c886e35afa036736dcd87a74d27b5c1510225d0f592e213"},
    {1023, "10108970eeda3eb932baac1428c7a2163b0e924c9a9e25b35bba72b28f70bd11"},
    {1024, "42214739f095a406f3fc83deb889744ac00df831c10daa55189b5d121c855af7"},
    {1025, "d00278ae47eb27b34faecf67b4fe263f82d5412916c1ffd97c8cb7fb814b8444"},
    {2048, "e776b6028c7cd22a4d0ba182a8bf62205d2ef576467e838ed6f2529b85fba24a"},
    {2049, "5f4d72f40d7a5f82b15ca2b2e44b1de3c2ef86c426c95c1af0b6879522563030"},
    {3072, "b98cb0ff3623be03326b373de6b9095218513e64f1ee2edd2525c7ad1e5cffd2"},
    {4096, "015094013f57a5277b59d8475c0501042c0b642e531b0a1c8f58d2163229e969"},
    {31744, "62b6960e1a44bcc1eb1a611a8d6235b6b4b78f32e7abc4fb4c6cdcce94895c47"},
    {102400, "bc3e3d41a1146b069abffad3c0d44860cf664390afce4d9661f7902e7943e085"},
};

TEST_P(Blake3Variants, KnownAnswersWholeAndInPieces)
{
    std::mt19937_64 rng(0xB3);
    for (const auto& [size, expected] : kKnownAnswers) {
        SCOPED_TRACE(size);
        const Bytes message = Pattern(size);
        EXPECT_EQ(LowerHex(Blake3Of(message)), expected);
        EXPECT_EQ(LowerHex(Blake3Of(message, 32, &rng)), expected);
    }
    EXPECT_EQ(LowerHex(Blake3Of(AsBytes("abc"))),
              "6437b3ac38465133ffb63b75273a8db548c558465d79db03fd359c6cd5bd9d85");
    // The extendable output: b3sum -l 131, which begins as the 32-byte digest does.
    EXPECT_EQ(
        LowerHex(Blake3Of(Pattern(102400), 131)),
        "bc3e3d41a1146b069abffad3c0d44860cf664390afce4d9661f7902e7943e085e01c59dab908c04c3342b816941a26d6"
        "9c2605ebee5ec5291cc55e15b76146e6745f0601156c3596cb75065a9c57f35585a52e1ac70f69131c23d611ce11ee4a"
        "b1ec2c009012d236648e77be9295dd0426f29b764d65de58eb7d01dd42248204f45f8e");
}

// Random lengths (up to 40 chunks, so that every variant's leftover path runs), then a batch of
// chunks that is the whole message, one chunk more, and a message of many batches, against
// b3sum: whole, in small pieces, and in large pieces that hold batches of their own.
TEST_P(Blake3Variants, AgreesWithB3sumOnRandomData)
{
    if (std::system("command -v b3sum > /dev/null") != 0)
        GTEST_SKIP() << "b3sum is not installed";
    TempDir dir;
    std::mt19937_64 rng(0xB3B3);
    std::vector<size_t> lengths{32 * 1024, 33 * 1024, 64 * 1024, (size_t(1) << 20) + 7};
    for (int round = 0; round < 12; ++round)
        lengths.push_back(rng() % (40 * 1024 + 1));
    for (const size_t length : lengths) {
        const Bytes message = RandomBytes(rng, length);
        const std::string path = dir.Write("m", std::string(message.begin(), message.end()));
        FILE* pipe = popen(("b3sum --no-names '" + path + "'").c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        char hex[65] = {};
        ASSERT_EQ(std::fread(hex, 1, 64, pipe), 64u);
        pclose(pipe);
        EXPECT_EQ(LowerHex(Blake3Of(message)), hex) << message.size() << " bytes";
        EXPECT_EQ(LowerHex(Blake3Of(message, 32, &rng)), hex) << message.size() << " bytes";
        EXPECT_EQ(LowerHex(Blake3Of(message, 32, &rng, 200 * 1024)), hex) << message.size() << " bytes";
    }
}

// A message fed as the engine feeds a large file on several threads: a head through Update, then
// runs of whole chunks hashed apart in reverse order and taken in order, then the rest through
// Update. The runs start at chunk numbers of every alignment and are of every length, so that
// they fall into subtrees of several sizes, one larger than a batch among them.
TEST_P(Blake3Variants, PartsHashedApartAndTakenInOrderGiveTheDigestOfTheWhole)
{
    struct Cut {
        size_t head;                // bytes fed before the first part
        std::vector<size_t> parts;  // in chunks
        size_t tail;                // bytes fed after the last part
    };
    std::vector<Cut> cuts{
        {1024, {1}, 0},          // a whole first chunk, kept until the part shows it is no root
        {1024, {1}, 1},          // and a byte after the part
        {2048, {2}, 0},          // the part makes the root's right half
        {3072, {5, 13, 1}, 0},   // odd starts: subtrees of one, two, four and eight chunks
        {65536, {192}, 0},       // subtrees of 64 and 128 chunks
        {262144, {768}, 0},      // of 256 and 512 chunks, a batch and beyond one
        {4096, {4, 4, 4}, 700},  // the engine's small blocks, and a tail of part of a chunk
    };
    std::mt19937_64 rng(0xA9A9);
    for (int round = 0; round < 30; ++round) {
        Cut cut{1024 * (1 + rng() % 70), {}, rng() % 5000};
        for (size_t n = 1 + rng() % 4; n > 0; --n)
            cut.parts.push_back(1 + rng() % 100);
        cuts.push_back(cut);
    }
    for (const Cut& cut : cuts) {
        size_t size = cut.head + cut.tail;
        for (size_t chunks : cut.parts)
            size += chunks * kBlake3ChunkBytes;
        const Bytes message = RandomBytes(rng, size);
        SCOPED_TRACE(testing::Message()
                     << "head " << cut.head << ", " << cut.parts.size() << " parts, tail " << cut.tail);
        std::vector<Blake3Part> parts(cut.parts.size());
        std::vector<size_t> offsets;
        size_t offset = cut.head;
        for (size_t chunks : cut.parts) {
            offsets.push_back(offset);
            offset += chunks * kBlake3ChunkBytes;
        }
        for (size_t i = parts.size(); i-- > 0;) {
            ASSERT_TRUE(Blake3::IsPart(offsets[i], cut.parts[i] * kBlake3ChunkBytes));
            Blake3::HashPart(message.data() + offsets[i], offsets[i], cut.parts[i] * kBlake3ChunkBytes,
                             parts[i]);
        }
        Blake3 hasher;
        hasher.Update(message.data(), cut.head);
        for (const Blake3Part& part : parts)
            hasher.TakePart(part);
        EXPECT_EQ(hasher.BytesFed(), offset);
        hasher.Update(message.data() + offset, cut.tail);
        EXPECT_EQ(hasher.BytesFed(), message.size());
        Bytes digest(32);
        hasher.Finish(digest.data(), digest.size());
        EXPECT_EQ(Hex(digest), Hex(Blake3Of(message)));
    }
}

// A part is whole chunks after the start, and is taken only where its message stands.
TEST(Blake3Parts, ARunThatIsNoPartOrIsTakenOutOfPlaceIsRefused)
{
    EXPECT_FALSE(Blake3::IsPart(0, 4096));  // could be the whole message
    EXPECT_FALSE(Blake3::IsPart(1024, 1000));
    EXPECT_FALSE(Blake3::IsPart(1000, 1024));
    EXPECT_FALSE(Blake3::IsPart(1024, 0));
    EXPECT_TRUE(Blake3::IsPart(1024, 3072));
    const Bytes message = Pattern(8192);
    Blake3Part part;
    EXPECT_THROW(Blake3::HashPart(message.data(), 0, 4096, part), std::invalid_argument);
    Blake3::HashPart(message.data() + 4096, 4096, 4096, part);
    for (size_t before : {0, 1, 3072, 4095, 5120}) {
        Blake3 hasher;
        hasher.Update(message.data(), before);
        EXPECT_THROW(hasher.TakePart(part), std::invalid_argument) << before;
    }
}

INSTANTIATE_FOR_EVERY_BLAKE3_VARIANT(Blake3, Blake3Variants);

TEST(Blake3Dispatch, TheWidestVariantRunsAndIsNamed)
{
    EXPECT_STREQ(Blake3VariantName(), Blake3VariantsHere().front().Name);
}

}  // namespace
