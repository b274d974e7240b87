// The result lines of one file of a pass, made from what the hashing engine found: the MD5
// line, the CRC-32 line, then one line per checked engine in engine list order.
#pragma once

#include "hashing/DigestAlgorithm.h"
#include "hashing/HashingEngine.h"

#include <string>
#include <vector>

inline const std::string kReadErrorText = "读取文件错误";

// Digests: one line per chosen algorithm ("MD5：" and 32 lowercase digits; "CRC32_FCS32：" and
// at least six uppercase digits; an engine's display name and two uppercase digits per byte).
// A file that could not be opened or read, or came out shorter than its size at the open: the
// MD5 error line, the CRC-32 error line and one nameless error line for all engines, each only
// when its path is chosen. A missing file or a folder: no line.
std::vector<std::string> ResultLines(const HashResult& result, DigestSet chosen);
