#include "checking/ResultLines.h"

#include <algorithm>
#include <cctype>

namespace {

const std::string kColon = "：";

bool AnyEngine(DigestSet algorithms)
{
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        if (info.Algorithm != DigestAlgorithm::MD5 && info.Algorithm != DigestAlgorithm::CRC32 &&
            algorithms.Has(info.Algorithm))
            return true;
    return false;
}

std::string LineDigits(DigestAlgorithm algorithm, std::string hex)
{
    if (algorithm == DigestAlgorithm::MD5)
        return hex;
    std::transform(hex.begin(), hex.end(), hex.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    // The CRC-32 line has always shown its value as "%06X": leading zeros down to six digits.
    if (algorithm == DigestAlgorithm::CRC32)
        hex.erase(0, std::min(hex.find_first_not_of('0'), hex.size() - 6));
    return hex;
}

}  // namespace

ComputedDigests KeptDigests(const HashResult& result, DigestSet chosen)
{
    ComputedDigests digests;
    switch (result.Outcome) {
    case HashOutcome::Missing: digests.FileMissing = true; break;
    case HashOutcome::Stopped: break;
    case HashOutcome::CannotOpen:
    case HashOutcome::ReadFailed:
    case HashOutcome::Shrank: digests.ReadFailed = chosen; break;
    case HashOutcome::Digests:
        for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
            if (chosen.Has(info.Algorithm))
                digests.Set(info.Algorithm, DigestHex(result.Digest(info.Algorithm), false));
        break;
    }
    return digests;
}

std::vector<std::string> ResultLines(const ComputedDigests& digests)
{
    std::vector<std::string> lines;
    const DigestSet failed = digests.ReadFailed;
    // The engines share one read, so one line stands for all of them; it names none.
    for (const DigestAlgorithm path : {DigestAlgorithm::MD5, DigestAlgorithm::CRC32})
        if (failed.Has(path))
            lines.push_back(std::string(Info(path).LineName) + kColon + kReadErrorText);
    if (AnyEngine(failed))
        lines.push_back(kColon + kReadErrorText);
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        if (const std::optional<std::string>& hex = digests.Get(info.Algorithm))
            lines.push_back(LineNameOfLength(info.Algorithm, hex->size() / 2) + kColon +
                            LineDigits(info.Algorithm, *hex));
    return lines;
}

size_t DigestLine(const ComputedDigests& digests, DigestAlgorithm algorithm)
{
    size_t line = 0;
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms) {
        if (info.Algorithm == algorithm)
            break;
        line += digests.Get(info.Algorithm) ? 1 : 0;
    }
    return line;
}

ResultRoot ResultNode(const std::string& caption, size_t entry, const HashResult& result, DigestSet chosen)
{
    ResultRoot root{caption, entry, {}, KeptDigests(result, chosen)};
    root.Lines = ResultLines(root.Digests);
    return root;
}
