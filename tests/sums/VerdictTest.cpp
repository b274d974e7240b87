// Expected against computed, including the lengths that fit several of our algorithms.
#include "sums/HexDigest.h"
#include "sums/SumVerdict.h"

#include <gtest/gtest.h>

namespace {

const std::string kExpected = "0cc175b9c0f1b6a831c399e269772661";
const std::string kOther = "ffffffffffffffffffffffffffffffff";

DigestSet ThirtyTwoDigits() { return AlgorithmsOfHexLength(32); }

TEST(Verdicts, AnyCandidateThatMatchesIsEnough)
{
    ComputedDigests computed;
    computed.Set(DigestAlgorithm::MD5, kOther);
    computed.Set(DigestAlgorithm::MD4, kOther);
    computed.Set(DigestAlgorithm::RipeMD128, kExpected);
    EXPECT_EQ(Judge(kExpected, ThirtyTwoDigits(), computed), SumVerdict::Matches);
    EXPECT_EQ(MatchingAlgorithm(kExpected, ThirtyTwoDigits(), computed), DigestAlgorithm::RipeMD128);
    // A digest of an algorithm that is not a candidate does not count.
    DigestSet md5Only;
    md5Only.Add(DigestAlgorithm::MD5);
    EXPECT_EQ(Judge(kExpected, md5Only, computed), SumVerdict::Differs);
}

TEST(Verdicts, MissingUnreadableAndNotComputed)
{
    ComputedDigests missing;
    missing.FileMissing = true;
    missing.Set(DigestAlgorithm::MD5, kExpected);
    EXPECT_EQ(Judge(kExpected, ThirtyTwoDigits(), missing), SumVerdict::Missing);

    ComputedDigests unreadable;
    unreadable.ReadFailed.Add(DigestAlgorithm::MD4);
    unreadable.Set(DigestAlgorithm::MD5, kOther);
    EXPECT_EQ(Judge(kExpected, ThirtyTwoDigits(), unreadable), SumVerdict::Unreadable);
    unreadable.Set(DigestAlgorithm::MD5, kExpected);
    EXPECT_EQ(Judge(kExpected, ThirtyTwoDigits(), unreadable), SumVerdict::Matches);

    ComputedDigests other;
    other.Set(DigestAlgorithm::SHA1, kOther);
    EXPECT_EQ(Judge(kExpected, ThirtyTwoDigits(), other), SumVerdict::NotComputed);
}

TEST(Verdicts, TotalsAndWords)
{
    VerdictTotals totals;
    for (SumVerdict v : {SumVerdict::Matches, SumVerdict::Matches, SumVerdict::Differs, SumVerdict::Missing,
                         SumVerdict::Unreadable})
        totals.Count(v);
    EXPECT_EQ(totals.Matches, 2u);
    EXPECT_EQ(totals.Total(), 5u);
    EXPECT_EQ(VerdictText(SumVerdict::Differs), "不匹配");
}

TEST(PastedDigests, BlanksAndCaseIgnoredOnlyOurLengths)
{
    EXPECT_EQ(NormalisePastedDigest("  0CC175B9C0F1B6A831C399E269772661\r\n"), kExpected);
    EXPECT_EQ(NormalisePastedDigest("\te8b7be43 "), "e8b7be43");
    EXPECT_EQ(NormalisePastedDigest("0cc175b9 c0f1b6a8"), "");
    EXPECT_EQ(NormalisePastedDigest("abc"), "");
    EXPECT_EQ(NormalisePastedDigest("ABCDEF"), "00abcdef");  // copied from "CRC32_FCS32：ABCDEF"
    EXPECT_EQ(NormalisePastedDigest("ABCDEF0"), "0abcdef0");
    EXPECT_EQ(NormalisePastedDigest("ABCDE"), "");
    EXPECT_EQ(NormalisePastedDigest("g" + kExpected.substr(1)), "");
    EXPECT_EQ(NormalisePastedDigest(""), "");
}

}  // namespace
