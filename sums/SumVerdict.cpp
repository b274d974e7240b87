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

SumVerdict Judge(std::string_view expectedHex, DigestSet candidates, const ComputedDigests& computed)
{
    if (computed.FileMissing)
        return SumVerdict::Missing;
    if (MatchingAlgorithm(expectedHex, candidates, computed))
        return SumVerdict::Matches;
    bool anyComputed = false;
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms) {
        if (!candidates.Has(info.Algorithm))
            continue;
        if (computed.ReadFailed.Has(info.Algorithm))
            return SumVerdict::Unreadable;
        anyComputed = anyComputed || computed.Get(info.Algorithm).has_value();
    }
    return anyComputed ? SumVerdict::Differs : SumVerdict::NotComputed;
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
