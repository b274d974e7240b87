#include "checking/ResultDigests.h"

#include "platform/TextEncoding.h"
#include "sums/HexDigest.h"

namespace {

const std::string_view kLineSeparator = "：";
const std::string_view kReadFailure = "读取文件错误";

}  // namespace

std::optional<ResultLineDigest> ReadResultLine(std::string_view line)
{
    const size_t separator = line.find(kLineSeparator);
    if (separator == std::string_view::npos)
        return std::nullopt;
    const std::string_view name = line.substr(0, separator);
    const std::string_view value = line.substr(separator + kLineSeparator.size());
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms) {
        if (name != info.LineName)
            continue;
        ResultLineDigest digest;
        digest.Algorithm = info.Algorithm;
        if (value == kReadFailure) {
            digest.ReadFailed = true;
            return digest;
        }
        const size_t digits = info.DigestBytes * 2;
        if (!IsHexDigits(value) || value.size() > digits)
            return std::nullopt;
        // The CRC-32 line drops leading zeros beyond its six digits.
        digest.Hex = std::string(digits - value.size(), '0') + LowerHex(value);
        return digest;
    }
    return std::nullopt;
}

ComputedDigests DigestsOfLines(const std::vector<std::string>& lines)
{
    ComputedDigests computed;
    computed.FileMissing = lines.empty();
    for (const std::string& line : lines) {
        if (line.rfind(kLineSeparator, 0) == 0) {
            // The engine batch failed before any engine had its line: every engine's digest
            // is unknown. MD5 and CRC-32 have paths of their own.
            for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
                if (info.Algorithm != DigestAlgorithm::MD5 && info.Algorithm != DigestAlgorithm::CRC32)
                    computed.ReadFailed.Add(info.Algorithm);
            continue;
        }
        if (const std::optional<ResultLineDigest> digest = ReadResultLine(line)) {
            if (digest->ReadFailed)
                computed.ReadFailed.Add(digest->Algorithm);
            else
                computed.Set(digest->Algorithm, digest->Hex);
        }
    }
    return computed;
}

std::vector<DigestAlgorithm> AlgorithmsInTree(const ResultTree& tree)
{
    DigestSet seen;
    for (const ResultRoot& root : tree.Roots())
        for (const std::string& line : root.Lines)
            if (const std::optional<ResultLineDigest> digest = ReadResultLine(line))
                seen.Add(digest->Algorithm);
    std::vector<DigestAlgorithm> algorithms;
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        if (seen.Has(info.Algorithm))
            algorithms.push_back(info.Algorithm);
    return algorithms;
}

std::vector<DigestMatch> FindDigest(const ResultTree& tree, std::string_view digest)
{
    std::vector<DigestMatch> matches;
    if (digest.empty())
        return matches;
    for (size_t r = 0; r < tree.RootCount(); ++r) {
        const std::vector<std::string>& lines = tree.Root(r).Lines;
        for (size_t l = 0; l < lines.size(); ++l) {
            const std::optional<ResultLineDigest> line = ReadResultLine(lines[l]);
            if (line && !line->ReadFailed && line->Hex == digest)
                matches.push_back(DigestMatch{r, l, line->Algorithm});
        }
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
