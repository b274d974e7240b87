// The files the command line names, read through the platform's file layer, where the name "-"
// stands for standard input as it does for every coreutils tool (a file named "-" is "./-").
#pragma once

#include "platform/FileAccess.h"

#include <memory>
#include <string>

inline constexpr const char* kStandardInputName = "-";

class CommandLineFiles : public FileAccess {
public:
    explicit CommandLineFiles(FileAccess& files) : files_(files) {}

    bool FileExists(const std::string& path) override;
    // "-" gives standard input, whatever it is (a pipe, a terminal, a redirected file), read
    // to its end and never closed; its Size() is 0, since what is left of it is not known.
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override;

private:
    FileAccess& files_;
};
