// A file layer that passes everything to a real one, except the faults a test asks for: an open
// that fails, a read that fails, a read that comes up short (as if the file had shrunk).
#pragma once

#include "platform/FileSystem.h"

#include <map>
#include <string>

class FaultyFileSystem : public FileSystem {
public:
    explicit FaultyFileSystem(FileSystem& real) : real_(real) {}

    // Every open of the path (and its size probe) fails with the reason; the file still exists.
    void FailOpen(const std::string& path, const std::string& reason = "Permission denied");
    // The nth read (from 1) of every opening of the path throws with the reason.
    void FailRead(const std::string& path, int nth, const std::string& reason = "Input/output error");
    // The nth read of every opening of the path delivers at most bytes; the file ends there.
    void ShortRead(const std::string& path, int nth, size_t bytes);

    // How often the path was opened, and read over all its openings.
    int Opens(const std::string& path) const;
    int Reads(const std::string& path) const;

    bool FileExists(const std::string& path) override { return real_.FileExists(path); }
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override;
    bool FolderExists(const std::string& path) override { return real_.FolderExists(path); }
    std::vector<FolderItem> ScanFolder(const std::string& folder) override { return real_.ScanFolder(folder); }
    int64_t ProbeSize(const std::string& path) override;

    struct Faults {
        std::string openFailure;  // empty: the open succeeds
        int failingRead = 0;      // 0: none
        std::string readFailure;
        int shortRead = 0;        // 0: none
        size_t shortBytes = 0;
        int opens = 0;
        int reads = 0;
    };

private:
    FileSystem& real_;
    std::map<std::string, Faults> faults_;
};
