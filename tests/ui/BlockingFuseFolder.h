// A folder of regular files whose every read waits: what a hung network share, or /proc/kmsg,
// does to a program that reads a file it only meant to list. It is a FUSE file system served by
// a child process, so that a reader stuck in the test process never stops the server, and the
// server unmounts it when the test process ends, however it ends.
#pragma once

#include <string>

#include <sys/types.h>

// Its files, each kFileSize bytes long: a text file's name, a name that says nothing and a
// picture's name.
inline constexpr const char* kBlockingFileNames[] = {"blocking.txt", "blocking", "picture.png"};

class BlockingFuseFolder {
public:
    static constexpr off_t kFileSize = 4096;

    // Mounts the folder; Problem() says why when it cannot be mounted here.
    BlockingFuseFolder();
    // Fails every waiting read, unmounts the folder and removes its mount point.
    ~BlockingFuseFolder();
    BlockingFuseFolder(const BlockingFuseFolder&) = delete;
    BlockingFuseFolder& operator=(const BlockingFuseFolder&) = delete;

    bool Mounted() const { return problem_.empty(); }
    const std::string& Problem() const { return problem_; }
    const std::string& Path() const { return path_; }
    // How many reads of its files have begun so far.
    int ReadsBegun();

private:
    std::string path_;
    std::string problem_;
    pid_t server_ = -1;
    // Nothing is ever written to it: its closing lets the reads go and ends the server.
    int release_ = -1;
    // One byte from the server for each read begun.
    int reads_ = -1;
    int readsBegun_ = 0;
};
