#include "cli/ResultFormats.h"

#include "checking/ResultExport.h"
#include "checking/ResultLines.h"
#include "platform/TextEncoding.h"
#include "sums/SumWriter.h"

#include <vector>

namespace {

std::vector<DigestAlgorithm> Chosen(const CommandLine& options)
{
    std::vector<DigestAlgorithm> chosen;
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        if (options.Algorithms.Has(info.Algorithm))
            chosen.push_back(info.Algorithm);
    return chosen;
}

// The first of them in the window's order; a record asks for it without making the list.
DigestAlgorithm FirstChosen(const CommandLine& options)
{
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        if (options.Algorithms.Has(info.Algorithm))
            return info.Algorithm;
    return DigestAlgorithm::MD5;
}

std::string LowerHex(const HashResult& result, DigestAlgorithm algorithm)
{
    return DigestHex(result.Digest(algorithm), false);
}

// The window names a result by the file's caption: the name without its folder.
std::string Caption(std::string_view name)
{
    const size_t slash = name.rfind('/');
    return std::string(slash == std::string_view::npos || slash + 1 == name.size() ? name
                                                                                   : name.substr(slash + 1));
}

std::string TreeRecord(const CommandLine& options, std::string_view name, const HashResult& result)
{
    ResultTree tree;
    std::vector<ResultRoot> node;
    node.push_back(ResultNode(Caption(name), 0, result, options.Algorithms));
    tree.AppendRoots(std::move(node));
    const std::string text = ResultFileText(tree);
    return options.Gb18030 ? Gb18030FromUtf8(text) : text;
}

}  // namespace

std::string OutputHeader(const CommandLine& options)
{
    return options.Format == OutputFormat::Csv ? CsvHeaderRow(Chosen(options)) : std::string();
}

std::optional<std::string> OutputRecord(const CommandLine& options, std::string_view name,
                                        const HashResult& result)
{
    switch (options.Format) {
    case OutputFormat::Gnu: {
        const DigestAlgorithm algorithm = FirstChosen(options);
        return PublishedSumLine(algorithm, LowerHex(result, algorithm), name, {options.Binary, options.Zero});
    }
    case OutputFormat::Tagged: {
        std::string lines;
        for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
            if (options.Algorithms.Has(info.Algorithm))
                lines += TaggedSumLine(info.Algorithm, LowerHex(result, info.Algorithm), name,
                                       {false, options.Zero});
        return lines;
    }
    case OutputFormat::Sfv: return SfvLine(name, LowerHex(result, DigestAlgorithm::CRC32));
    case OutputFormat::Csv: {
        std::vector<std::optional<std::string>> digests;
        for (DigestAlgorithm algorithm : Chosen(options))
            digests.emplace_back(LowerHex(result, algorithm));
        return CsvRow(name, static_cast<uint64_t>(result.BytesRead), digests);
    }
    case OutputFormat::Tree: return TreeRecord(options, name, result);
    }
    return std::nullopt;
}
