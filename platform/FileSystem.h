// The file layer: everything the program asks of files and folders, behind one interface so
// tests can put faults in its place. PosixFileSystem is the real one.
#pragma once

#include "platform/FileAccess.h"

#include <cstdint>
#include <string>
#include <vector>

struct FolderItem {
    std::string Name;  // native bytes, as the folder listing gave it
    int64_t Size;      // from the listing's stat; the file is not opened
};

class FileSystem : public FileAccess {
public:
    virtual bool FolderExists(const std::string& path) = 0;
    // The regular files directly inside a folder (links followed, dot files included; no
    // subfolders, broken links or special files), in the order the system lists them. An
    // empty or unreadable folder gives nothing.
    virtual std::vector<FolderItem> ScanFolder(const std::string& folder) = 0;
    // The 64-bit size of a file named at intake. Throws FileError with the reason when the
    // file cannot be opened for reading or is not a regular file (a FIFO, socket or device).
    virtual int64_t ProbeSize(const std::string& path) = 0;
    // The size of a file a sum file lists, refused for the reasons ProbeSize refuses it, where
    // the file layer can tell them without an open: the pass that checks the file opens it anyway,
    // and for ten thousand small files the open, its close and the stat in between were a tenth
    // of the whole check.
    virtual int64_t ProbeListedSize(const std::string& path) { return ProbeSize(path); }
};
