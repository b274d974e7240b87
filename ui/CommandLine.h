// The window program's command line: `Sumora [OPTION]... [FILE|FOLDER]...`. The names are kept as
// the native bytes the shell gave us, never round-tripped through a display encoding, so a name
// that is not valid UTF-8 reaches the intake as it stands, exactly as a drop delivers it.
#pragma once

#include <string>
#include <vector>

struct CommandLine {
    bool NewWindow = false;  // --new-window: a window of its own, beside any running one
    bool Recursive = false;  // --recursive: folders with every file below them
    bool Help = false;
    bool Version = false;
    std::vector<std::string> Names;  // in the given order, as typed (relative names stay relative)
    std::string Error;               // a word that is neither an option nor a name; empty if none
};

// The words before the first "--" (the program name first) and the words after it. Qt's own
// options (-platform, -style, …) are taken only from the words before "--", so a name after it
// may look like an option.
struct SplitArguments {
    std::vector<char*> Options;  // argv[0] and the words before "--", then a null pointer
    std::vector<std::string> AfterEnd;
};
SplitArguments SplitAtEndOfOptions(int argc, char** argv);

// Reads the words Qt left (argv[1] onwards) and the words after "--", which are all names.
CommandLine ParseCommandLine(int argc, char** argv, const std::vector<std::string>& afterEnd);

// A relative name read against the folder the program was started in, so that a window running
// elsewhere finds the same file; absolute and empty names stay as they are, a leading "./" goes.
std::string AbsoluteName(const std::string& name, const std::string& startFolder);
std::string CurrentFolder();  // empty when it cannot be read (a removed folder)

// The texts of --help and --version.
std::string UsageText(const std::string& program);
std::string VersionText();
