// The results as they leave the program: the copy-all text, the result file and its saving.
#pragma once

#include "checking/ResultTree.h"

#include <stdexcept>
#include <string>

// "Quorvex校验结果：", two CR LF, then every node's text followed by CR LF (UTF-8).
std::string CopyAllText(const ResultTree& tree);

// One line per node in pre-order: a TAB per level, the text, CR LF (UTF-8; SaveResultFile
// encodes it). An empty tree gives the empty text.
std::string ResultFileText(const ResultTree& tree);

// A result file that could not be written; what() is
// "Cannot create file "<path>". <system reason>".
class SaveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the result file in GB18030 to a temporary file beside the target and puts it in place
// only when it is complete; on failure the old file stays as it was and SaveError is thrown.
void SaveResultFile(const ResultTree& tree, const std::string& path);
