#include "checking/ResultDigests.h"

#include "checking/ResultLines.h"
#include "platform/TextEncoding.h"

std::vector<DigestAlgorithm> AlgorithmsInTree(const ResultTree& tree)
{
    DigestSet seen;
    for (const ResultRoot& root : tree.Roots())
        for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
            if (root.Digests.Get(info.Algorithm) || root.Digests.ReadFailed.Has(info.Algorithm))
                seen.Add(info.Algorithm);
    std::vector<DigestAlgorithm> algorithms;
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        if (seen.Has(info.Algorithm))
            algorithms.push_back(info.Algorithm);
    return algorithms;
}

std::vector<DigestMatch> FindDigest(const ResultTree& tree, std::string_view digest)
{
    std::vector<DigestMatch> matches;
    for (size_t r = 0; r < tree.RootCount(); ++r) {
        const ComputedDigests& digests = tree.Root(r).Digests;
        for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
            if (const std::optional<std::string>& hex = digests.Get(info.Algorithm); hex && *hex == digest)
                matches.push_back(DigestMatch{r, DigestLine(digests, info.Algorithm), info.Algorithm});
    }
    return matches;
}

std::string DigestMatchText(const ResultTree& tree, const std::vector<DigestMatch>& matches)
{
    if (matches.empty())
        return "没有与该摘要相同的结果";
    const DigestMatch& first = matches.front();
    const std::string where = "“" + Utf8FromNative(tree.Root(first.Root).Text) + "”的 " +
                              std::string(Info(first.Algorithm).LineName);
    if (matches.size() == 1)
        return "摘要与" + where + " 相同";
    return "摘要与 " + std::to_string(matches.size()) + " 个结果相同，第一个是" + where;
}
