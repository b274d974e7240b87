#include "ui/CommandLine.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#ifndef QUORVEX_VERSION
#error "QUORVEX_VERSION comes from the project version in CMake"
#endif

SplitArguments SplitAtEndOfOptions(int argc, char** argv)
{
    SplitArguments split;
    int i = 0;
    for (; i < argc && argv[i]; ++i) {
        if (i > 0 && std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        split.Options.push_back(argv[i]);
    }
    for (; i < argc && argv[i]; ++i)
        split.AfterEnd.emplace_back(argv[i]);
    split.Options.push_back(nullptr);
    return split;
}

CommandLine ParseCommandLine(int argc, char** argv, const std::vector<std::string>& afterEnd)
{
    CommandLine line;
    for (int i = 1; i < argc && argv[i]; ++i) {
        const std::string word = argv[i];
        if (word == "--new-window")
            line.NewWindow = true;
        else if (word == "--recursive")
            line.Recursive = true;
        else if (word == "--help")
            line.Help = true;
        else if (word == "--version")
            line.Version = true;
        else if (word.size() > 1 && word[0] == '-') {
            if (line.Error.empty())
                line.Error = "unrecognized option '" + word + "'";
        } else
            line.Names.push_back(word);
    }
    line.Names.insert(line.Names.end(), afterEnd.begin(), afterEnd.end());
    return line;
}

std::string AbsoluteName(const std::string& name, const std::string& startFolder)
{
    if (name.empty() || name[0] == '/' || startFolder.empty())
        return name;
    std::string relative = name;
    while (relative.size() > 2 && relative.compare(0, 2, "./") == 0) {
        relative.erase(0, 2);
        while (relative.size() > 1 && relative[0] == '/')
            relative.erase(0, 1);
    }
    if (relative == "." || relative == "./")
        return startFolder;
    std::string absolute = startFolder;
    if (absolute.back() != '/')
        absolute += '/';
    return absolute + relative;
}

std::string CurrentFolder()
{
    std::string folder(4096, '\0');
    while (!getcwd(folder.data(), folder.size())) {
        if (errno != ERANGE)
            return {};
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::strlen(folder.c_str()));
    return folder;
}

std::string UsageText(const std::string& program)
{
    return "Usage: " + program +
           " [OPTION]... [FILE|FOLDER]...\n"
           "Open the Quorvex window and add the FILEs, and the files directly inside each\n"
           "FOLDER, to its check list, as if they were dropped on it.\n"
           "\n"
           "If a Quorvex window of this user is already open, the names are added to that\n"
           "window instead, which is brought to the front, and this program ends.\n"
           "\n"
           "      --new-window   open a window of its own, beside any running one\n"
           "      --recursive    add every file below each FOLDER, in its subfolders too\n"
           "      --help         display this help and exit\n"
           "      --version      output version information and exit\n"
           "\n"
           "Names after \"--\" are taken as names even when they begin with '-'.\n";
}

std::string VersionText() { return std::string("Sumora (Quorvex) ") + QUORVEX_VERSION + "\n"; }
