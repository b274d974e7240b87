// The names on the command line as the list of files to hash: a file stands for itself, "-" for
// standard input, a folder for its regular files (with -r for every one below it) in sorted order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class FileSystem;
class Messages;

struct InputItem {
    std::string Path;
    // As far as it is known before reading: -1 for standard input, a missing file, or a size not
    // looked up.
    int64_t Size = -1;
};

struct InputList {
    std::vector<InputItem> Items;
    int64_t KnownBytes = 0;  // the sizes that are known, added up
    bool Failed = false;     // a folder could not be read (already said on standard error)
};

// Folders that cannot be read, and symbolic links that lead back up a walked tree, are reported
// on standard error; the rest is still listed. Names that are not folders are listed as they
// stand, so the hashing engine tells what is wrong with them in list order; their sizes are
// looked up only when sizesOfNamedFiles (for the time left of the progress line), and so are
// those of the regular files in folders.
// found, when given, is called with the list as it grows, every few hundred items, so that the
// files found first can be hashed while the walk goes on; it is not called for the last ones.
// When it returns false the walk ends there.
InputList ExpandNames(const std::vector<std::string>& names, bool recursive, bool sizesOfNamedFiles,
                      FileSystem& files, Messages& messages,
                      const std::function<bool(const InputList&)>& found = {});
