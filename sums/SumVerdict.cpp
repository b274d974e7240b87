#include "sums/SumVerdict.h"

std::optional<DigestAlgorithm> MatchingAlgorithm(std::string_view expectedHex, DigestSet candidates,
                                                 const ComputedDigests& computed)
{
    if (computed.FileMissing)
        return std::nullopt;
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms) {
        const std::optional<std::string>& hex = computed.Get(info.Algorithm);
        if (candidates.Has(info.Algorithm) && hex && *hex == expectedHex)
            return info.Algorithm;
    }
    return std::nullopt;
}

namespace {

// A BLAKE2b of another length than the one expected is another digest: not computed for this line.
bool ComputedFor(std::string_view expectedHex, const std::optional<std::string>& hex)
{
    return hex && hex->size() == expectedHex.size();
}

}  // namespace

SumVerdict Judge(std::string_view expectedHex, DigestSet candidates, const ComputedDigests& computed)
{
    if (computed.FileMissing)
        return SumVerdict::Missing;
    if (MatchingAlgorithm(expectedHex, candidates, computed))
        return SumVerdict::Matches;
    // A digest that one uncomputed candidate could still explain is no proof of damage.
    bool everyComputed = true;
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms) {
        if (!candidates.Has(info.Algorithm))
            continue;
        if (computed.ReadFailed.Has(info.Algorithm))
            return SumVerdict::Unreadable;
        everyComputed = everyComputed && ComputedFor(expectedHex, computed.Get(info.Algorithm));
    }
    return everyComputed && !candidates.Empty() ? SumVerdict::Differs : SumVerdict::NotComputed;
}

SumVerdict JudgeAll(const std::vector<ExpectedDigest>& expected, const ComputedDigests& computed)
{
    if (computed.FileMissing || expected.empty())
        return SumVerdict::Missing;
    // The worse verdict wins, in this order.
    constexpr SumVerdict kWorstFirst[] = {SumVerdict::Unreadable, SumVerdict::Differs,
                                          SumVerdict::NotComputed};
    bool seen[3] = {false, false, false};
    for (const ExpectedDigest& one : expected) {
        const SumVerdict verdict = Judge(one.Digest, one.Candidates, computed);
        for (size_t i = 0; i < 3; ++i)
            seen[i] = seen[i] || verdict == kWorstFirst[i];
    }
    for (size_t i = 0; i < 3; ++i)
        if (seen[i])
            return kWorstFirst[i];
    return SumVerdict::Matches;
}

std::string_view VerdictText(SumVerdict verdict)
{
    switch (verdict) {
    case SumVerdict::Matches: return "匹配";
    case SumVerdict::Differs: return "不匹配";
    case SumVerdict::Missing: return "文件不存在";
    case SumVerdict::Unreadable: return "无法读取";
    case SumVerdict::NotComputed: return "未计算";
    }
    return {};
}

void VerdictTotals::Count(SumVerdict verdict)
{
    switch (verdict) {
    case SumVerdict::Matches: ++Matches; break;
    case SumVerdict::Differs: ++Differs; break;
    case SumVerdict::Missing: ++Missing; break;
    case SumVerdict::Unreadable: ++Unreadable; break;
    case SumVerdict::NotComputed: ++NotComputed; break;
    }
}
