#include "checking/SumImport.h"

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "sums/SumLine.h"

#include <unordered_map>

namespace {

// At most this many unreadable lines, and files outside the sum file's folder, are named in the
// error box; the counts cover them all.
constexpr size_t kProblemsShown = 10;

}  // namespace

void SumImportReport::NoteNeeds(const ExpectedDigest& expected)
{
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        if (expected.Candidates.Has(info.Algorithm))
            Needed.Add(info.Algorithm);
    if (!expected.Candidates.Has(DigestAlgorithm::Blake2b) || Blake2bBytesSure)
        return;
    DigestSet blake2b;
    blake2b.Add(DigestAlgorithm::Blake2b);
    Blake2bBytesSure = expected.Candidates == blake2b;
    if (Blake2bBytesSure || !Blake2bBytes)
        Blake2bBytes = expected.Digest.size() / 2;
}

std::string SumImportReport::ErrorText() const
{
    const std::string name = "“" + Utf8FromNative(SumFile) + "”";
    if (!OpenError.empty())
        return OpenError;
    std::string text;
    if (Listed == 0)
        text += "校验文件" + name + "中没有可识别的校验行。\n";
    if (ProblemCount > 0) {
        text += "校验文件" + name + "中有 " + std::to_string(ProblemCount) + " 行无法识别：\n";
        for (size_t i = 0; i < Problems.size() && i < kProblemsShown; ++i)
            text += "第 " + std::to_string(Problems[i].LineNumber) + " 行：" + Problems[i].Reason + "\n";
        if (ProblemCount > kProblemsShown)
            text += "……\n";
    }
    if (OutsideCount > 0) {
        text += std::to_string(OutsideCount) + " 个文件位于校验文件所在文件夹之外：\n";
        for (const std::string& path : Outside)
            text += Utf8FromNative(path) + "\n";
        if (OutsideCount > Outside.size())
            text += "……\n";
    }
    text += Refused.ErrorText();
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

void ImportSumListings(const SumFileContents& contents, const std::string& sumFile, CheckList& list,
                       Intake& intake, FileSystem& files, SumImportReport& report)
{
    report.SumFile = sumFile;
    report.Listed = contents.Listings.size();
    report.ProblemCount = contents.ProblemCount;
    report.Problems = contents.Problems;

    std::unordered_map<std::string, size_t> entryOfPath;
    for (size_t i = 0; i < list.Count(); ++i)
        entryOfPath.emplace(list.At(i).Path, i);
    // A path refused once is not tried, nor reported, again.
    std::unordered_map<std::string, bool> refused;

    for (const SumListing& listing : contents.Listings) {
        const std::string path = ListedPath(sumFile, listing.Line.Name);
        const ExpectedDigest expected{listing.Line.Digest, listing.Line.Candidates};
        report.NoteNeeds(expected);

        if (auto known = entryOfPath.find(path); known != entryOfPath.end()) {
            list.AddExpected(known->second, expected);
            continue;
        }
        if (refused.count(path))
            continue;
        if (NameLeavesSumFolder(listing.Line.Name) && ++report.OutsideCount <= kProblemsShown)
            report.Outside.push_back(path);
        const size_t before = list.Count();
        // The intake's size probe answers for the common case, a file that is there; only a
        // refusal costs a second look, to tell a missing file from one that cannot be taken.
        IntakeReport refusal;
        intake.TakeFile(path, refusal);
        if (list.Count() == before) {
            if (!files.FileExists(path) && !files.FolderExists(path)) {
                // Kept, so the user sees it: a pass finds no file and judges it missing again.
                list.Append(CheckEntry{CaptionFromPath(path), kStatusPending, "", path});
                list.SetVerdict(before, SumVerdict::Missing);
                ++report.Missing;
            } else {
                report.Refused.Refused.insert(report.Refused.Refused.end(), refusal.Refused.begin(),
                                              refusal.Refused.end());
            }
        }
        if (list.Count() == before) {
            refused.emplace(path, true);
            continue;
        }
        ++report.Taken;
        entryOfPath.emplace(path, before);
        list.AddExpected(before, expected);
    }
}
