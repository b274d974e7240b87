// The MD5 file path of a calculation pass: "MD5：" and 32 lowercase digits under the current
// result node, or its error line.
#pragma once

#include "checksums/AlgorithmPath.h"

#include <string>

void AddMd5Line(PathContext& context, const std::string& path);
