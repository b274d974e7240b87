// Files the benchmarks write and read: pseudo-random content of a given length, a folder of tiny
// files, and a file read once into the page cache so that the disk does not decide.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

inline void WriteFile(const std::string& path, int64_t bytes, uint32_t seed)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<uint32_t> block(1 << 18);
    uint32_t x = seed;
    for (int64_t left = bytes; left > 0;) {
        for (uint32_t& w : block)
            w = x = x * 1664525u + 1013904223u;
        const size_t piece =
            static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(block.size() * 4)));
        if (::write(fd, block.data(), piece) != static_cast<ssize_t>(piece))
            std::abort();
        left -= static_cast<int64_t>(piece);
    }
    ::close(fd);
}

// The small-file benchmarks' folder: files "f000000", "f000001", … of 1 to 3 bytes. Files already
// there are kept, so a folder is filled once and shared.
inline void FillTinyFiles(const std::string& folder, int count)
{
    std::filesystem::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/f%06d", i);
        const std::string path = folder + name;
        if (!std::filesystem::exists(path))
            WriteFile(path, 1 + i % 3, static_cast<uint32_t>(i));
    }
}

inline void Warm(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::vector<char> buffer(1 << 20);
    while (::read(fd, buffer.data(), buffer.size()) > 0) {
    }
    ::close(fd);
}
