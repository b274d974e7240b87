#include "checking/FolderAudit.h"

#include "checking/CheckList.h"
#include "checking/ResultTree.h"
#include "platform/TextEncoding.h"

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
    std::vector<std::string_view> components;
    const std::string_view text(whole);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('/', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view component = text.substr(start, end - start);
        if (component == "..") {
            if (!components.empty())
                components.pop_back();  // above the root is the root, as for the system
        } else if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        start = end + 1;
    }
    std::string key;
    for (const std::string_view component : components) {
        key += '/';
        key += component;
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

namespace {

// A listed path as the sum file names it: below the audited folder, what follows it.
std::string NameBelow(const std::string& path, const std::string& folder)
{
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    if (folder != "." && path.compare(0, prefix.size(), prefix) == 0 && path.size() > prefix.size())
        return path.substr(prefix.size());
    return AuditShownPath(path);
}

}  // namespace

AuditTotals JudgeAudit(CheckList& list, const ResultTree& tree, const std::string& folder,
                       std::unordered_map<std::string, ComputedDigests>& computed)
{
    std::vector<std::optional<size_t>> rootOf(list.Count());
    for (size_t r = 0; r < tree.Roots().size(); ++r)
        if (tree.Roots()[r].Entry < rootOf.size())
            rootOf[tree.Roots()[r].Entry] = r;

    std::vector<AuditMissing> missing;
    std::vector<size_t> missingEntry;
    std::vector<ComputedDigests> newDigests;
    std::vector<size_t> newEntry;
    for (size_t i = 0; i < list.Count(); ++i) {
        const CheckEntry& entry = list.At(i);
        if (entry.Unlisted) {
            if (rootOf[i])
                computed[entry.Path] = tree.Roots()[*rootOf[i]].Digests;
            ComputedDigests digests;
            if (const auto known = computed.find(entry.Path); known != computed.end())
                digests = known->second;
            else
                digests.FileMissing = true;  // not computed yet: no move can be told
            newDigests.push_back(std::move(digests));
            newEntry.push_back(i);
        } else if (!entry.Expected.empty() && entry.Verdict == SumVerdict::Missing) {
            missing.push_back({NameBelow(entry.Path, folder), entry.Expected});
            missingEntry.push_back(i);
        }
    }
    const std::vector<std::optional<size_t>> moves = MatchMoves(missing, newDigests);

    AuditTotals totals;
    std::vector<bool> moved(missing.size(), false);
    for (size_t n = 0; n < moves.size(); ++n) {
        if (moves[n]) {
            moved[*moves[n]] = true;
            ++totals.Moved;
            list.SetAuditText(newEntry[n], "已移动，原为 " + Utf8FromNative(missing[*moves[n]].Name));
            list.SetAuditText(missingEntry[*moves[n]], "已移动");
        } else {
            ++totals.New;
            list.SetAuditText(newEntry[n], "新文件");
        }
    }
    for (size_t m = 0; m < missing.size(); ++m)
        if (!moved[m])
            list.SetAuditText(missingEntry[m], "");
    for (size_t i = 0; i < list.Count(); ++i) {
        const CheckEntry& entry = list.At(i);
        if (entry.Unlisted || !entry.Verdict || entry.AuditText == "已移动")
            continue;
        totals.Listed.Count(*entry.Verdict);
    }
    return totals;
}

std::string AuditStatusText(const AuditTotals& totals)
{
    const auto count = [](size_t n) { return " " + std::to_string(n) + " 个"; };
    std::string text = "审核完毕，匹配" + count(totals.Listed.Matches) + "，不匹配" +
                       count(totals.Listed.Differs) + "，文件不存在" + count(totals.Listed.Missing) +
                       "，新文件" + count(totals.New) + "，已移动" + count(totals.Moved);
    if (totals.Listed.Unreadable)
        text += "，无法读取" + count(totals.Listed.Unreadable);
    if (totals.Listed.NotComputed)
        text += "，未计算" + count(totals.Listed.NotComputed);
    return text;
}
