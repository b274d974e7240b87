// The CRC-32 file checksum path of a calculation pass: "CRC32_FCS32：" and at least six
// uppercase digits under the current result node, or its error line.
#pragma once

#include "checksums/AlgorithmPath.h"

#include <cstdint>
#include <string>

// CRC-32 of the whole file, read in pieces of 65521 bytes with one bar step per read (the read
// that finds the end included). Throws FileError when the file cannot be opened or read.
uint32_t ComputeFileCrc32(PathContext& context, const std::string& path);

void AddCrc32Line(PathContext& context, const std::string& path);
