// The digests a pass kept in the result tree, looked up for the compare command and the sum
// files we write.
#pragma once

#include "checking/ResultTree.h"
#include "hashing/DigestAlgorithm.h"

#include <string>
#include <string_view>
#include <vector>

// The algorithms the pass computed or failed to read for some file, in result-line order.
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
