// The regular files a folder stands for, found the way the folder intake finds them (links
// followed, dot files included, no broken links, no FIFOs, sockets or devices), optionally in
// the whole tree below it, in a stable order, with every folder that could not be read reported.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

class FolderWalkVisitor {
public:
    virtual ~FolderWalkVisitor() = default;
    // A regular file; size from the listing's stat, the file is not opened (-1 when sizes were
    // not wanted and the listing told the kind without a stat).
    virtual void File(const std::string& path, int64_t size) = 0;
    // A folder that could not be listed; reason is the system's text.
    virtual void Unreadable(const std::string& path, const std::string& reason) = 0;
    // A folder reached again through a symbolic link below itself; not entered again.
    virtual void Loop(const std::string& path) = 0;
    // A FIFO, socket or device: never a file of a folder, told only to those who count them.
    virtual void Special(const std::string& /*path*/) {}
    // Asked before each entry; true ends the whole walk there, what was visited stays visited.
    virtual bool Stopped() { return false; }
};

// Visits the files directly inside the folder in the byte order of their names; with recursive,
// the subfolders too, each at its place in that order and depth first, following symbolic links
// to folders except those that lead back to a folder being walked. Paths are the folder's path,
// a "/" unless it ends with one, and the names below it, as native bytes. Without sizes, an
// entry the listing calls a regular file is taken without a stat: a folder of many small files
// costs one call less per file, and the open that reads it checks its kind again.
void WalkFolder(const std::string& folder, bool recursive, FolderWalkVisitor& visitor, bool sizes = true);

// The size of the regular file at the path (links followed), as the walk with sizes would have
// told it; nothing for a file gone since, or one that is no longer regular.
std::optional<int64_t> RegularFileSize(const std::string& path);
