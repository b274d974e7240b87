// The files the command line names, read through the platform's file layer, where the name "-"
// stands for standard input as it does for every coreutils tool (a file named "-" is "./-").
#pragma once

#include "platform/FileAccess.h"

#include <atomic>
#include <memory>
#include <string>

inline constexpr const char* kStandardInputName = "-";

class CommandLineFiles : public FileAccess {
public:
    explicit CommandLineFiles(FileAccess& files) : files_(files) {}

    bool FileExists(const std::string& path) override;
    // "-" gives standard input, whatever it is (a pipe, a terminal, a redirected file), read
    // to its end and never closed; its Size() is 0, since what is left of it is not known.
    // Only the first "-" reads it; a later one finds it at its end, as in coreutils, and no two
    // of the engine's threads ever read it at once. A pipe this program holds, named as
    // "/dev/stdin", "/dev/fd/N" or "/proc/self/fd/N" (the shell's <(...)), is read the same way;
    // a named FIFO is refused by the file layer, since nothing says it has a writer.
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override;

private:
    FileAccess& files_;
    std::atomic<bool> standardInputTaken_{false};
};
