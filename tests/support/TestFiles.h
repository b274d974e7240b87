// Scratch folders and files for tests that read real files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path of a name inside the folder.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Writes a file inside the folder and returns its path.
    std::string Write(const std::string& name, const std::string& content) const;
    std::string Write(const std::string& name, const std::vector<uint8_t>& content) const;

private:
    std::string path_;
};

std::string ReadWholeFile(const std::string& path);
