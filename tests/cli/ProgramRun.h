// Running quorvex and the tools it is compared with (md5sum, sha256sum, rhash, ...) the way a
// user runs them: as programs, with a working folder, standard input and their outputs caught.
#pragma once

#include <map>
#include <string>
#include <vector>

struct ProgramOutput {
    std::string Out;
    std::string Err;
    int Status = -1;  // the exit status, or 128 + the signal that ended it
};

struct RunSettings {
    std::string Folder;                      // working folder; "" for the test's own
    std::string InputFile = "/dev/null";     // standard input
    std::map<std::string, std::string> Env;  // set on top of the test's environment
};

// Runs argv[0] (looked up along PATH) with the arguments, stdout and stderr each into a file.
ProgramOutput RunProgram(const std::vector<std::string>& argv, const RunSettings& settings = {});

// The built program under test.
std::string QuorvexPath();

// Runs a bash script with $QUORVEX set to the program, for pipes and redirections.
ProgramOutput RunShell(const std::string& script, const RunSettings& settings = {});

// coreutils' messages with their program's name in place of "quorvex: ".
std::string AsProgram(const std::string& messages, const std::string& program);
