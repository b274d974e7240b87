// What the user asked of the command-line program: its options in GNU style (getopt_long), read
// once at the start into one plain record that the commands work from.
#pragma once

#include "hashing/DigestAlgorithm.h"

#include <string>
#include <vector>

enum class OutputFormat {
    Gnu,     // DIGEST  NAME, as md5sum and sha256sum write it (one algorithm)
    Tagged,  // ALGO (NAME) = DIGEST, as their --tag writes it
    Sfv,     // NAME CRC32
    Csv,     // a header row, then path, size and one column per algorithm
    Tree,    // the window's result file: the file's caption, then one line per algorithm
};

enum class ProgressChoice {
    WhenTerminal,
    Always,
    Never
};

struct CommandLine {
    std::vector<std::string> Names;  // files, folders and "-", as given; none means "-"
    DigestSet Algorithms;            // never empty after parsing
    bool AlgorithmsChosen = false;   // by -a, a flag of its own or --all
    OutputFormat Format = OutputFormat::Gnu;
    bool Gb18030 = false;  // --tree in GB18030 rather than UTF-8
    bool Binary = false;   // -b: GNU lines with "*" before the name, as coreutils' --binary
    bool Zero = false;     // -z: lines end with NUL, names unescaped, as coreutils' --zero
    bool Recursive = false;
    unsigned Jobs = 0;                       // 0: as many as the machine has cores
    size_t Blake2bBytes = kBlake2bMaxBytes;  // -l BITS, as b2sum takes it
    ProgressChoice Progress = ProgressChoice::WhenTerminal;

    bool Check = false;
    bool Quiet = false;
    bool Status = false;
    bool Warn = false;
    bool Strict = false;
    bool IgnoreMissing = false;
    bool RequireSignature = false;  // anything but a good signature by a certified key fails
    bool NoSignature = false;       // no signature is looked for
    bool Audit = false;  // --audit: also the files below each sum file's folder that it does not list
};

struct ParsedCommandLine {
    enum class Outcome {
        Run,
        Help,
        Version,
        UsageError
    };
    Outcome What = Outcome::Run;
    CommandLine Options;
    // For a usage error: the lines to print before "Try 'quorvex --help'..." (none when getopt
    // has printed its own).
    std::string Error;
};

inline constexpr const char* kProgramName = "quorvex";

ParsedCommandLine ParseCommandLine(int argc, char** argv);

// The --help text and the --version text, each ending with a line feed.
std::string HelpText();
std::string VersionText();
