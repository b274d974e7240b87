#include "checking/SumExport.h"

#include "checking/ResultDigests.h"
#include "checking/ResultExport.h"
#include "platform/SafeFileWriter.h"
#include "platform/TextEncoding.h"
#include "sums/SumWriter.h"

namespace {

// The path of a root's entry; roots of entries that are gone (none, while the tree is shown)
// are skipped by the callers.
const CheckEntry* EntryOf(const ResultRoot& root, const CheckList& list)
{
    return root.Entry < list.Count() ? &list.At(root.Entry) : nullptr;
}

}  // namespace

std::string GnuSumFileText(const ResultTree& tree, const CheckList& list, DigestAlgorithm algorithm,
                           const std::string& sumFolder)
{
    std::string text;
    for (const ResultRoot& root : tree.Roots()) {
        const CheckEntry* entry = EntryOf(root, list);
        if (!entry)
            continue;
        if (const std::optional<std::string>& hex = root.Digests.Get(algorithm))
            text += PublishedSumLine(algorithm, *hex, NameInSumFile(sumFolder, entry->Path));
    }
    return text;
}

std::string TaggedSumFileText(const ResultTree& tree, const CheckList& list, const std::string& sumFolder)
{
    std::string text;
    for (const ResultRoot& root : tree.Roots()) {
        const CheckEntry* entry = EntryOf(root, list);
        if (!entry)
            continue;
        const std::string name = NameInSumFile(sumFolder, entry->Path);
        for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
            if (const std::optional<std::string>& hex = root.Digests.Get(info.Algorithm))
                text += TaggedSumLine(info.Algorithm, *hex, name);
    }
    return text;
}

std::string CsvFileText(const ResultTree& tree, const CheckList& list)
{
    const std::vector<DigestAlgorithm> columns = AlgorithmsInTree(tree);
    std::string text = CsvHeaderRow(columns);
    for (const ResultRoot& root : tree.Roots()) {
        const CheckEntry* entry = EntryOf(root, list);
        if (!entry)
            continue;
        std::vector<std::optional<std::string>> row;
        row.reserve(columns.size());
        for (DigestAlgorithm algorithm : columns)
            row.push_back(root.Digests.Get(algorithm));
        text += CsvRow(entry->Path, entry->SizeBytes < 0 ? 0 : static_cast<uint64_t>(entry->SizeBytes), row);
    }
    return text;
}

void SaveSumFile(const ResultTree& tree, const CheckList& list, SumExportKind kind, DigestAlgorithm algorithm,
                 const std::string& path)
{
    const std::string folder = FolderOfPath(path);
    std::string text;
    switch (kind) {
    case SumExportKind::Gnu: text = GnuSumFileText(tree, list, algorithm, folder); break;
    case SumExportKind::Tagged: text = TaggedSumFileText(tree, list, folder); break;
    case SumExportKind::Csv: text = CsvFileText(tree, list); break;
    }
    try {
        WriteFileSafely(path, text);
    } catch (const FileWriteError& error) {
        throw SaveError("Cannot create file \"" + Utf8FromNative(path) + "\". " + error.what());
    }
}
