// The digests a pass left in the result tree, read back in full from the window's line form
// ("MD5：" lower case, the engines upper case, CRC-32 as "%06X", so possibly fewer than eight
// digits), for verdicts, the compare command and the sum files we write.
#pragma once

#include "checking/ResultTree.h"
#include "hashing/DigestAlgorithm.h"
#include "sums/SumVerdict.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One result line: its algorithm, and the full lower-case digest or the read failure.
struct ResultLineDigest {
    DigestAlgorithm Algorithm = DigestAlgorithm::MD5;
    std::string Hex;  // "" when the line reports a read failure
    bool ReadFailed = false;
};

// Nothing for a line that is not "NAME：DIGEST" of one of ours. The engine batch's error line
// without a name ("：读取文件错误") stands for every engine: it gives nothing here, see below.
std::optional<ResultLineDigest> ReadResultLine(std::string_view line);

// A file's lines together. A root without lines is a file the paths did not find; whether it
// is missing or simply nothing was selected, the caller decides.
ComputedDigests DigestsOfLines(const std::vector<std::string>& lines);

// The algorithms that have a line in the tree, in result-line order.
std::vector<DigestAlgorithm> AlgorithmsInTree(const ResultTree& tree);

// The result lines whose digest is the given one (lower-case hex, full length).
struct DigestMatch {
    size_t Root = 0;
    size_t Line = 0;
    DigestAlgorithm Algorithm = DigestAlgorithm::MD5;
};
std::vector<DigestMatch> FindDigest(const ResultTree& tree, std::string_view digest);

// The status text of a comparison: "摘要与“NAME”的 SHA256 相同", "摘要与 N 个结果相同，第一个是
// “NAME”的 SHA256", or "没有与该摘要相同的结果".
std::string DigestMatchText(const ResultTree& tree, const std::vector<DigestMatch>& matches);
