#include "checking/ResultLines.h"

#include <cstdio>

namespace {

const std::string kColon = "：";

bool AnyEngine(DigestSet chosen)
{
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        if (info.Algorithm != DigestAlgorithm::MD5 && info.Algorithm != DigestAlgorithm::CRC32 &&
            chosen.Has(info.Algorithm))
            return true;
    return false;
}

std::string DigestText(DigestAlgorithm algorithm, const std::vector<uint8_t>& digest)
{
    if (algorithm == DigestAlgorithm::MD5)
        return DigestHex(digest, false);
    if (algorithm == DigestAlgorithm::CRC32) {
        uint32_t crc = 0;
        for (uint8_t byte : digest)
            crc = crc << 8 | byte;
        char digits[9];
        std::snprintf(digits, sizeof digits, "%06X", static_cast<unsigned>(crc));
        return digits;
    }
    return DigestHex(digest, true);
}

}  // namespace

std::vector<std::string> ResultLines(const HashResult& result, DigestSet chosen)
{
    std::vector<std::string> lines;
    switch (result.Outcome) {
    case HashOutcome::Missing:
    case HashOutcome::Stopped: break;
    case HashOutcome::CannotOpen:
    case HashOutcome::ReadFailed:
    case HashOutcome::Shrank:
        // The engines share one read, so one line stands for all of them; it names none.
        if (chosen.Has(DigestAlgorithm::MD5))
            lines.push_back(std::string(Info(DigestAlgorithm::MD5).LineName) + kColon + kReadErrorText);
        if (chosen.Has(DigestAlgorithm::CRC32))
            lines.push_back(std::string(Info(DigestAlgorithm::CRC32).LineName) + kColon + kReadErrorText);
        if (AnyEngine(chosen))
            lines.push_back(kColon + kReadErrorText);
        break;
    case HashOutcome::Digests:
        for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
            if (chosen.Has(info.Algorithm))
                lines.push_back(LineNameOfLength(info.Algorithm, result.Digest(info.Algorithm).size()) +
                                kColon + DigestText(info.Algorithm, result.Digest(info.Algorithm)));
        break;
    }
    return lines;
}
