// The program's two commands: compute (the default) and --check. Each returns the exit status.
#pragma once

#include "cli/CommandLine.h"

#include <string>

struct HashResult;
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

// What the message says about a file that gave no digests: the system's reason, also for a name
// the engine found missing (stat's own error, "Is a directory" for a folder where a file was
// expected); noSuchFile when there is nothing at all, which --ignore-missing passes over.
std::string FailureReason(const std::string& path, const HashResult& result, bool& noSuchFile);
