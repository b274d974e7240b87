// The third algorithm path of a pass: one read of the file feeds every checked engine, and
// each engine gives one result line under the current result node.
#pragma once

#include "checksums/AlgorithmPath.h"

#include <cstddef>
#include <string>

class EngineList;

inline constexpr size_t kEngineBatchBlock = 16384;

// The name a result line gives an engine: "Haval256" and "Tiger192" for the two whose
// Algorithm text is long or bare, the Algorithm text itself for the rest.
std::string EngineDisplayName(const std::string& algorithm);

// Nothing for a missing file or a folder. Otherwise one line per checked engine, or a single
// "：读取文件错误" line for all of them when the file cannot be opened or read, or comes out
// shorter than it was when it was opened.
void RunEngineBatch(PathContext& context, const EngineList& engines, const std::string& path);
