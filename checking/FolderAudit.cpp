#include "checking/FolderAudit.h"

#include <string_view>
#include <unordered_map>
#include <utility>

std::string AuditFolder(const std::string& sumFile)
{
    const size_t slash = sumFile.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return sumFile.substr(0, slash);
}

std::string AuditShownPath(const std::string& walkedPath)
{
    if (walkedPath.compare(0, 2, "./") == 0 && walkedPath.size() > 2)
        return walkedPath.substr(2);
    return walkedPath;
}

std::string AuditKey(const std::string& path, const std::string& currentFolder)
{
    const std::string whole = !path.empty() && path.front() == '/' ? path : currentFolder + "/" + path;
    std::vector<std::string_view> parts;
    const std::string_view text(whole);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('/', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view part = text.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();  // above the root is the root, as for the system
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string key;
    for (const std::string_view part : parts) {
        key += '/';
        key += part;
    }
    return key.empty() ? "/" : key;
}

AuditNames::AuditNames(const std::string& sumFile, std::string currentFolder)
    : currentFolder_(std::move(currentFolder))
{
    if (sumFile.empty())
        return;
    passedOver_.insert(AuditKey(sumFile, currentFolder_));
    for (const char* signature : {".asc", ".sig", ".sign", ".gpg"})
        passedOver_.insert(AuditKey(sumFile + signature, currentFolder_));
}

void AuditNames::Listed(const std::string& name) { listed_.insert(AuditKey(name, currentFolder_)); }

bool AuditNames::IsNew(const std::string& walkedPath) const
{
    const std::string key = AuditKey(walkedPath, currentFolder_);
    return !listed_.contains(key) && !passedOver_.contains(key);
}

DigestSet MoveAlgorithms(const std::vector<AuditMissing>& missing)
{
    DigestSet algorithms;
    for (const AuditMissing& file : missing)
        for (const ExpectedDigest& expected : file.Expected)
            for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
                if (expected.Candidates.Has(info.Algorithm))
                    algorithms.Add(info.Algorithm);
    return algorithms;
}

std::vector<std::optional<size_t>> MatchMoves(const std::vector<AuditMissing>& missing,
                                              const std::vector<ComputedDigests>& newFiles)
{
    // The missing files by their first expected digest, in listing order: a new file is only
    // judged against those that can match, so a tree of many new files stays linear.
    std::unordered_map<std::string, std::vector<size_t>> byDigest;
    for (size_t i = 0; i < missing.size(); ++i)
        if (!missing[i].Expected.empty())
            byDigest[missing[i].Expected.front().Digest].push_back(i);

    std::vector<bool> taken(missing.size(), false);
    std::vector<std::optional<size_t>> moves(newFiles.size());
    for (size_t n = 0; n < newFiles.size(); ++n) {
        const ComputedDigests& computed = newFiles[n];
        if (computed.FileMissing)
            continue;
        // The digests this file has, each a key the missing files may be found under.
        std::optional<size_t> best;
        for (const std::optional<std::string>& hex : computed.Hex) {
            if (!hex)
                continue;
            const auto found = byDigest.find(*hex);
            if (found == byDigest.end())
                continue;
            for (const size_t candidate : found->second) {
                if (taken[candidate] || (best && *best < candidate))
                    continue;
                if (JudgeAll(missing[candidate].Expected, computed) == SumVerdict::Matches) {
                    best = candidate;
                    break;  // the rest of this digest's list comes later in listing order
                }
            }
        }
        if (best) {
            taken[*best] = true;
            moves[n] = best;
        }
    }
    return moves;
}
