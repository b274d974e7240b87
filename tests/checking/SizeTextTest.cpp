#include "checking/SizeText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

TEST(SizeText, KilobytesRoundedToHundredthsWithTiesToEven)
{
    EXPECT_EQ(SizeText(0, "."), "0KB");
    EXPECT_EQ(SizeText(5, "."), "0KB");
    EXPECT_EQ(SizeText(6, "."), "0.01KB");
    EXPECT_EQ(SizeText(128, "."), "0.12KB");  // 12.5 hundredths go down to the even 12
    EXPECT_EQ(SizeText(384, "."), "0.38KB");  // 37.5 go up to the even 38
    EXPECT_EQ(SizeText(1000, "."), "0.98KB");
    EXPECT_EQ(SizeText(1536, "."), "1.5KB");
    EXPECT_EQ(SizeText(1048576, "."), "1024KB");
}

TEST(SizeText, SizesPastFourGibibytesKeepEveryBit)
{
    // 4 GiB + 1536 bytes: a 32-bit size would give 1.5KB.
    EXPECT_EQ(SizeText((int64_t{4} << 30) + 1536, "."), "4194305.5KB");
    EXPECT_EQ(SizeText(int64_t{5} << 30, "."), "5242880KB");
    // Past 15 significant digits the value is rounded there, still without an exponent.
    EXPECT_EQ(SizeText(std::numeric_limits<int64_t>::max(), "."), "9007199254740990KB");
}

TEST(SizeText, UsesTheGivenDecimalSeparator)
{
    EXPECT_EQ(SizeText(1536, ","), "1,5KB");
    EXPECT_EQ(SizeText(6, "٫"), "0٫01KB");
    EXPECT_EQ(SizeText(1048576, ","), "1024KB");
}
