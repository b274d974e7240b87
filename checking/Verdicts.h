// The verdicts at the end of a pass: each entry with an expected digest that the pass
// processed is judged from the digests its root kept, and the status text gets the totals.
#pragma once

#include "checking/CheckList.h"
#include "checking/ResultTree.h"
#include "checking/WindowPort.h"

#include <string>

// Called once when a pass has ended, after the duplicate colouring: judges every entry with an
// expected digest that the pass processed (whether its file is missing the engine told, so
// nothing is asked of the file system on the window's thread), puts the totals after the pass's
// own status text (passStatus, e.g. "计算完毕"), then tells the window (PassEnded). A list
// without expected digests keeps its status text.
void JudgeEntries(CheckList& list, const ResultTree& tree, WindowPort& window, const std::string& passStatus);

// "计算完毕，匹配 3 个，不匹配 1 个，文件不存在 1 个，无法读取 1 个，未计算 1 个" for the pass status
// "计算完毕", each count after the matches only when it is not 0.
std::string VerdictStatusText(const std::string& passStatus, const VerdictTotals& totals);
