// The program's two commands: compute (the default) and --check. Each returns the exit status.
#pragma once

#include "cli/CommandLine.h"

class CommandLineFiles;
class FileSystem;
class Messages;
class ResultOutput;

// What a command works with: the options, the files ("-" included), the folders, and the two
// outputs.
struct CommandContext {
    const CommandLine& Options;
    CommandLineFiles& Files;
    FileSystem& Folders;
    Messages& Errors;
    ResultOutput& Output;
    bool ShowProgress;
};

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

int RunCompute(CommandContext& context);
int RunCheck(CommandContext& context);

// The system's reason for a name that the hashing engine found missing: stat's own error, or
// "Is a directory" for a folder met where a file was expected.
std::string MissingReason(const std::string& path, bool& noSuchFile);
