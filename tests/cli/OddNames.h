// A folder of files with the names that trip tools up (blanks, backslashes, line feeds, carriage
// returns, bytes that are not UTF-8, quotes, colons, a leading "#" or "-") and random content of
// many sizes, the empty file and one large enough to be spread over the threads included.
#pragma once

#include "tests/support/TestFiles.h"

#include <cstdint>
#include <string>
#include <vector>

class OddNamesFolder {
public:
    explicit OddNamesFolder(uint32_t seed);

    const std::string& Path() const { return folder_.Path(); }
    std::string operator/(const std::string& name) const { return folder_ / name; }
    // Every file, in the byte order of the names.
    const std::vector<std::string>& Names() const { return names_; }
    // The names that rhash writes as they are (it turns "\" into "/" and writes LF and CR raw).
    std::vector<std::string> NamesRhashKeeps() const;
    // And those that survive an SFV line or rhash's check: blanks at either end of a name are
    // taken for the line's own, and a line starting with "#" for a comment.
    std::vector<std::string> NamesSfvKeeps() const;
    // Another file in the folder (a sum file, say), not one of Names().
    void Write(const std::string& name, const std::string& content) { folder_.Write(name, content); }

private:
    TempDir folder_;
    std::vector<std::string> names_;
};

std::string RandomBytes(uint32_t seed, size_t size);
