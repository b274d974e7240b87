// Splitting a clear-signed sum file by hand-made blocks: what is signed, what lies outside, and
// the blocks that are cut short or come twice.
#include "sums/ClearSignature.h"

#include <gtest/gtest.h>

namespace {

const std::string kBlockStart = "-----BEGIN PGP SIGNED MESSAGE-----\nHash: SHA512\n\n";
const std::string kSignature = "-----BEGIN PGP SIGNATURE-----\n\niQ==\n=abcd\n-----END PGP SIGNATURE-----\n";

TEST(ClearSignatureSplit, SignedTextWithoutArmourHeadersAndEscapes)
{
    const std::string block = kBlockStart + "aaaa  one\n- -dashed name\n- bbbb  two\n" + kSignature;
    const ClearSignedParts parts = SplitClearSigned(block);
    ASSERT_TRUE(parts.Found);
    EXPECT_EQ(parts.SignedText, "aaaa  one\n-dashed name\nbbbb  two\n");
    EXPECT_EQ(parts.Block, block);
    EXPECT_EQ(parts.LinesOutside, 0u);
}

TEST(ClearSignatureSplit, LinesAroundTheBlockAreCountedAndLeftOut)
{
    const std::string block = kBlockStart + "aaaa  one\n" + kSignature;
    const std::string bytes = "cccc  before\n\n   \n" + block + "dddd  after\r\neeee  after too";
    const ClearSignedParts parts = SplitClearSigned(bytes);
    ASSERT_TRUE(parts.Found);
    EXPECT_EQ(parts.Block, block);
    EXPECT_EQ(parts.SignedText, "aaaa  one\n");
    // Blank lines say nothing, so they are not counted.
    EXPECT_EQ(parts.LinesOutside, 3u);
}

TEST(ClearSignatureSplit, TrailingBlanksAreNotSignedSoTheyAreDropped)
{
    const ClearSignedParts parts =
        SplitClearSigned(kBlockStart + "aaaa  name \t\r\nbbbb  x\r\n" + kSignature);
    EXPECT_EQ(parts.SignedText, "aaaa  name\nbbbb  x\n");
}

TEST(ClearSignatureSplit, NoBlockCutShortBlockAndASecondBlock)
{
    EXPECT_FALSE(SplitClearSigned("aaaa  one\n-----BEGIN PGP SIGNATURE-----\n").Found);
    EXPECT_FALSE(SplitClearSigned("").Found);
    // Only a whole line starts a block.
    EXPECT_FALSE(SplitClearSigned("x-----BEGIN PGP SIGNED MESSAGE-----\n").Found);

    const std::string cut = kBlockStart + "aaaa  one\n-----BEGIN PGP SIGNATURE-----\n\niQ==\n";
    const ClearSignedParts cutParts = SplitClearSigned(cut);
    ASSERT_TRUE(cutParts.Found);
    EXPECT_EQ(cutParts.Block, cut);
    EXPECT_EQ(cutParts.SignedText, "aaaa  one\n");

    const std::string first = kBlockStart + "aaaa  one\n" + kSignature;
    const std::string second = kBlockStart + "bbbb  two\n" + kSignature;
    const std::string both = first + second;
    const ClearSignedParts twice = SplitClearSigned(both);
    EXPECT_EQ(twice.Block, first);
    EXPECT_EQ(twice.SignedText, "aaaa  one\n");
    EXPECT_EQ(twice.LinesOutside, 7u);
}

}  // namespace
