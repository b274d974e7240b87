// A file of a pass as the result tree keeps it: what the hashing engine found, and made from
// that the window's lines, the MD5 line, the CRC-32 line, then one line per checked engine in
// engine list order.
#pragma once

#include "checking/ResultTree.h"
#include "hashing/DigestAlgorithm.h"
#include "hashing/HashingEngine.h"

#include <string>
#include <vector>

inline const std::string kReadErrorText = "读取文件错误";

// The full lower-case hex of each chosen algorithm; for a file that could not be opened or
// read, or came out shorter than its size at the open, every chosen algorithm as failed; for a
// missing file or a folder, FileMissing.
ComputedDigests KeptDigests(const HashResult& result, DigestSet chosen);

// One line per digest ("MD5：" and 32 lowercase digits; "CRC32_FCS32：" and at least six
// uppercase digits; an engine's display name and two uppercase digits per byte). A failed read:
// the MD5 error line, the CRC-32 error line and one nameless error line for all engines, each
// only when its path failed. A missing file or a folder: no line.
std::vector<std::string> ResultLines(const ComputedDigests& digests);

// Which of a root's lines shows its digest of the algorithm.
size_t DigestLine(const ComputedDigests& digests, DigestAlgorithm algorithm);

// A root for the file with its kept digests and its lines.
ResultRoot ResultNode(const std::string& caption, size_t entry, const HashResult& result, DigestSet chosen);
