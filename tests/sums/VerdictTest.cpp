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

// A digest that a candidate left uncomputed might be of is no proof of damage: only when every
// candidate was computed does a mismatch count.
TEST(Verdicts, ADifferenceNeedsEveryCandidateComputed)
{
    const DigestSet sixtyFour = AlgorithmsOfHexLength(64);
    const std::string expected(64, 'a');
    ComputedDigests some;
    some.Set(DigestAlgorithm::SHA256, std::string(64, 'b'));
    some.Set(DigestAlgorithm::Haval256, std::string(64, 'c'));
    EXPECT_EQ(Judge(expected, sixtyFour, some), SumVerdict::NotComputed);
    EXPECT_EQ(JudgeAll({{expected, sixtyFour}}, some), SumVerdict::NotComputed);
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        if (sixtyFour.Has(info.Algorithm) && !some.Get(info.Algorithm))
            some.Set(info.Algorithm, std::string(64, 'd'));
    EXPECT_EQ(Judge(expected, sixtyFour, some), SumVerdict::Differs);
    some.Set(DigestAlgorithm::Blake3, expected);
    EXPECT_EQ(Judge(expected, sixtyFour, some), SumVerdict::Matches);
    EXPECT_EQ(MatchingAlgorithm(expected, sixtyFour, some), DigestAlgorithm::Blake3);

    // A BLAKE2b-256 line is not judged by a BLAKE2b-512 digest.
    DigestSet blake2b;
    blake2b.Add(DigestAlgorithm::Blake2b);
    ComputedDigests wide;
    wide.Set(DigestAlgorithm::Blake2b, std::string(128, 'a'));
    EXPECT_EQ(Judge(expected, blake2b, wide), SumVerdict::NotComputed);
    wide.Set(DigestAlgorithm::Blake2b, std::string(64, 'b'));
    EXPECT_EQ(Judge(expected, blake2b, wide), SumVerdict::Differs);
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

// A file listed once per algorithm gets the worst of its verdicts: unreadable above different,
// different above not computed, and a match only when every line matches.
TEST(Verdicts, SeveralExpectationsOfOneFileGiveTheWorstVerdict)
{
    const auto only = [](DigestAlgorithm algorithm) {
        DigestSet set;
        set.Add(algorithm);
        return set;
    };
    ComputedDigests computed;
    computed.Set(DigestAlgorithm::MD5, kExpected);
    computed.Set(DigestAlgorithm::SHA1, std::string(40, 'b'));
    computed.ReadFailed.Add(DigestAlgorithm::SHA256);
    const ExpectedDigest matches{kExpected, only(DigestAlgorithm::MD5)};
    const ExpectedDigest differs{std::string(40, 'a'), only(DigestAlgorithm::SHA1)};
    const ExpectedDigest unreadable{std::string(64, 'a'), only(DigestAlgorithm::SHA256)};
    const ExpectedDigest notComputed{std::string(128, 'a'), only(DigestAlgorithm::SHA512)};

    EXPECT_EQ(JudgeAll({matches, matches}, computed), SumVerdict::Matches);
    EXPECT_EQ(JudgeAll({matches, notComputed}, computed), SumVerdict::NotComputed);
    EXPECT_EQ(JudgeAll({notComputed, differs, matches}, computed), SumVerdict::Differs);
    EXPECT_EQ(JudgeAll({differs, unreadable}, computed), SumVerdict::Unreadable);
    EXPECT_EQ(JudgeAll({unreadable, differs, notComputed}, computed), SumVerdict::Unreadable);
    EXPECT_EQ(JudgeAll({}, computed), SumVerdict::Missing);
    ComputedDigests gone = computed;
    gone.FileMissing = true;
    EXPECT_EQ(JudgeAll({matches}, gone), SumVerdict::Missing);
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
