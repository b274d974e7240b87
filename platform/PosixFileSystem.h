// The real file layer, on POSIX calls. Files are opened read-only without locks (Linux has no
// sharing modes); anything that is not a regular file is refused before a read could block.
#pragma once

#include "platform/FileSystem.h"

class PosixFileSystem : public FileSystem {
public:
    bool FileExists(const std::string& path) override;
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    std::vector<FolderItem> ScanFolder(const std::string& folder) override;
    int64_t ProbeSize(const std::string& path) override;
    int64_t ProbeListedSize(const std::string& path) override;
};
