#include "tests/cli/ProgramRun.h"

#include "tests/support/TestFiles.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

#ifndef QUORVEX_PROGRAM
#error "QUORVEX_PROGRAM is the path of the built quorvex"
#endif

std::string QuorvexPath() { return QUORVEX_PROGRAM; }

ProgramOutput RunProgram(const std::vector<std::string>& argv, const RunSettings& settings)
{
    TempDir outputs;
    const std::string outPath = outputs / "out", errPath = outputs / "err";

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, settings.InputFile.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!settings.Folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, settings.Folder.c_str());

    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string key = entry.substr(0, entry.find('='));
        if (!settings.Env.count(key))
            envStrings.push_back(entry);
    }
    for (const auto& [key, value] : settings.Env)
        envStrings.push_back(key + "=" + value);
    std::vector<char*> env;
    for (std::string& entry : envStrings)
        env.push_back(entry.data());
    env.push_back(nullptr);

    std::vector<std::string> args = argv;
    std::vector<char*> argp;
    for (std::string& arg : args)
        argp.push_back(arg.data());
    argp.push_back(nullptr);

    pid_t pid = 0;
    const int failure = posix_spawnp(&pid, argp[0], &actions, nullptr, argp.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failure != 0)
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(failure));
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    ProgramOutput output;
    output.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    output.Out = ReadWholeFile(outPath);
    output.Err = ReadWholeFile(errPath);
    return output;
}

ProgramOutput RunShell(const std::string& script, const RunSettings& settings)
{
    RunSettings withProgram = settings;
    withProgram.Env["QUORVEX"] = QuorvexPath();
    return RunProgram({"bash", "-c", script}, withProgram);
}

std::string AsProgram(const std::string& messages, const std::string& program)
{
    std::string out;
    size_t start = 0;
    const std::string ours = "quorvex: ";
    while (start < messages.size()) {
        size_t end = messages.find('\n', start);
        end = end == std::string::npos ? messages.size() : end + 1;
        std::string line = messages.substr(start, end - start);
        if (line.compare(0, ours.size(), ours) == 0)
            line = program + ": " + line.substr(ours.size());
        out += line;
        start = end;
    }
    return out;
}
