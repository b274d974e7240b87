// What the tests of the two checksum file paths share: real files in a scratch folder, read
// through the real file layer with a fault injector in front of it.
#pragma once

#include "platform/PosixFileSystem.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/RecordingPathContext.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class ChecksumFileTest : public ::testing::Test {
protected:
    PosixFileSystem real;
    FaultyFileSystem files{real};
    RecordingPathContext context{files};
    TempDir dir;

    std::string WriteBytes(const std::string& name, size_t size, uint32_t seed = 7)
    {
        std::string content(size, '\0');
        uint32_t x = seed;
        for (char& c : content) {
            x = x * 1664525u + 1013904223u;
            c = static_cast<char>(x >> 24);
        }
        return dir.Write(name, content);
    }

    // A file of zeros that takes no room on the disk.
    std::string Sparse(const std::string& name, int64_t size)
    {
        std::string path = dir / name;
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
        return path;
    }

    std::string Fifo(const std::string& name)
    {
        std::string path = dir / name;
        EXPECT_EQ(::mkfifo(path.c_str(), 0644), 0);
        return path;
    }
};
