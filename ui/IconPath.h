// Where an entry's icon comes from when its own path no longer names a file: the program named
// by the text (which may be a command line), looked for as it stands and then along PATH.
#pragma once

#include <optional>
#include <string>

class FileAccess;

// The program's name cut out of a text that may be a command line: the text trimmed of blanks
// and control characters; inside the quotes when it starts with a double quote (empty without a
// closing one); otherwise up to and including the "exe" of the first ".exe " when the text goes
// on for more than three characters after its first dot, else up to three characters past that
// dot. The positions are found in the text lower-cased (A to Z only), so ".EXE " counts, but
// the characters are those of the text itself: Linux file names are case sensitive.
std::string IconPathFromText(const std::string& text);

// The first file named name in the folders of a PATH-style list (":" between folders, an empty
// folder meaning the current one). A name with a "/" is not searched for, as a shell would not.
std::optional<std::string> SearchPathList(const std::string& name, const std::string& pathList,
                                          FileAccess& files);
