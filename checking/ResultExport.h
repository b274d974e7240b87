// The results as they leave the program: the copy-all text, the result file and its saving.
#pragma once

#include "checking/ResultTree.h"

#include <stdexcept>
#include <string>
#include <string_view>

// A node's text as one line of the outputs below: made valid UTF-8 (platform/TextEncoding.h),
// then CR, LF and TAB, which Linux file names may hold, shown as the control pictures
// "␍" (U+240D), "␊" (U+240A) and "␉" (U+2409). Other texts come out byte for byte.
std::string OneLineNodeText(std::string_view text);

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
