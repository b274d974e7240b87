// The options: usage errors with status 2 in getopt's and coreutils' words, --help, --version,
// and the progress line, which only a terminal or --progress gets.
#include "cli/ProgressLine.h"
#include "tests/cli/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

struct UsageCase {
    std::vector<std::string> Args;
    std::string FirstLine;
};

TEST(CommandLine, UsageErrorsSayWhatIsWrongAndExitWithStatus2)
{
    const std::vector<UsageCase> cases{
        {{"--bogus"}, "quorvex: unrecognized option '--bogus'"},
        {{"-x"}, "quorvex: invalid option -- 'x'"},
        {{"-a"}, "quorvex: option requires an argument -- 'a'"},
        {{"--jobs"}, "quorvex: option '--jobs' requires an argument"},
        {{"-a", "md5,nope"}, "quorvex: invalid argument 'nope' for '--algorithms'"},
        {{"-j", "0"}, "quorvex: invalid number of jobs: '0' (1 to 1024)"},
        {{"-j", "2x"}, "quorvex: invalid number of jobs: '2x' (1 to 1024)"},
        {{"--encoding=latin1", "--tree"}, "quorvex: invalid argument 'latin1' for '--encoding'"},
        {{"--encoding=gb18030"}, "quorvex: the --encoding option is meaningful only with --tree"},
        {{"--tag", "--csv"}, "quorvex: choose only one of --tag, --sfv, --csv and --tree"},
        {{"--sfv", "--md5"}, "quorvex: the --sfv format holds CRC-32 only"},
        {{"-c", "--tag"}, "quorvex: the --tag option is meaningless when verifying checksums"},
        {{"-c", "-r"}, "quorvex: the --recursive option is meaningless when verifying checksums"},
        {{"--quiet"}, "quorvex: the --quiet option is meaningful only when verifying checksums"},
        {{"--ignore-missing"},
         "quorvex: the --ignore-missing option is meaningful only when verifying checksums"},
        {{"--strict", "x"}, "quorvex: the --strict option is meaningful only when verifying checksums"},
        {{"--tag", "-t"}, "quorvex: --tag does not support --text mode"},
        {{"-c", "-b"}, "quorvex: the --binary and --text options are meaningless when verifying checksums"},
        {{"-c", "-z"}, "quorvex: the --zero option is not supported when verifying checksums"},
        {{"--csv", "-z"},
         "quorvex: the --binary, --text and --zero options are meaningful only with GNU or --tag lines"},
    };
    for (const UsageCase& c : cases) {
        std::vector<std::string> argv{QuorvexPath()};
        argv.insert(argv.end(), c.Args.begin(), c.Args.end());
        const ProgramOutput out = RunProgram(argv);
        SCOPED_TRACE(c.FirstLine);
        EXPECT_EQ(out.Status, 2);
        EXPECT_EQ(out.Out, "");
        EXPECT_EQ(out.Err.substr(0, out.Err.find('\n')), c.FirstLine);
        EXPECT_NE(out.Err.find("Try 'quorvex --help' for more information.\n"), std::string::npos);
    }
    // The same options are fine where they belong.
    EXPECT_EQ(RunProgram({QuorvexPath(), "--sfv", "--crc32", "-j", "3", "/dev/null"}).Status, 1);
    EXPECT_EQ(RunProgram({QuorvexPath(), "--tree", "--encoding=UTF-8"}).Status, 0);
}

TEST(CommandLine, HelpAndVersionGoToStandardOutput)
{
    const ProgramOutput help = RunProgram({QuorvexPath(), "--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Out.rfind("Usage: quorvex [OPTION]... [FILE|FOLDER]...\n", 0), 0u);
    // Every option the program takes is in the help, which the manual page is made from.
    for (const std::string option :
         {"--algorithms",  "--all",   "--recursive",      "--jobs",     "--tag",
          "--sfv",         "--csv",   "--tree",           "--encoding", "--progress",
          "--no-progress", "--check", "--ignore-missing", "--quiet",    "--status",
          "--strict",      "--warn",  "--audit",          "--help",     "--version",
          "--md5",         "--sha256"})
        EXPECT_NE(help.Out.find(option), std::string::npos) << option;
    const ProgramOutput version = RunProgram({QuorvexPath(), "--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out.rfind("quorvex (Quorvex) ", 0), 0u);
    // A closed standard output fails them as it fails everything else.
    EXPECT_EQ(RunShell("\"$QUORVEX\" --help > /dev/full").Status, 1);
}

TEST(CommandLine, TheProgressLineIsForTerminalsOrOnRequest)
{
    TempDir folder;
    const std::string file = folder.Write("file", std::string(size_t{1} << 20, 'x'));
    // Not a terminal: nothing on standard error unless asked for.
    EXPECT_EQ(RunProgram({QuorvexPath(), "--all", file}).Err, "");
    EXPECT_EQ(RunProgram({QuorvexPath(), "--no-progress", "--md5", file}).Err, "");

    // Standard input that takes two seconds to come: long enough for the line to be drawn.
    const std::string slowInput = "(head -c 1000000 /dev/zero; sleep 2; head -c 1000 /dev/zero) | ";
    const ProgramOutput shown = RunShell(slowInput + "\"$QUORVEX\" --progress --md5 - " + file);
    EXPECT_EQ(shown.Out, RunShell("head -c 1001000 /dev/zero | md5sum - " + file).Out);
    EXPECT_EQ(shown.Status, 0);
    // Drawn in place ("\r"), never a line of its own, and wiped at the end.
    EXPECT_EQ(shown.Err.rfind("\r[", 0), 0u) << shown.Err;
    EXPECT_NE(shown.Err.find("/2] -  "), std::string::npos) << shown.Err;
    EXPECT_NE(shown.Err.find(" MB/s"), std::string::npos);
    EXPECT_EQ(shown.Err.find('\n'), std::string::npos);
    ASSERT_GE(shown.Err.size(), 4u);
    EXPECT_EQ(shown.Err.substr(shown.Err.size() - 4), "\r\x1b[K");
}

TEST(ProgressText, FitsTheTerminalAndShowsTheEndOfALongName)
{
    const std::string line = ProgressText(3, 120, "folder/a rather long name.iso", 50, 200, 312.46e6, 65, 80);
    EXPECT_EQ(line, "[3/120] folder/a rather long name.iso   25%  312.5 MB/s  1:05 left");
    const std::string cut = ProgressText(0, 1, std::string(300, 'n') + "/end.bin", 1, 0, 1e6, -1, 40);
    EXPECT_EQ(cut, "[0/1] ...nnnnnnnnnnnn/end.bin  1.0 MB/s");
    EXPECT_EQ(cut.size(), 39u);
    // A line feed in a name would break the line: it is shown as its picture.
    EXPECT_EQ(ProgressText(0, 1, "a\nb", 0, -1, 0, 3725, 80), "[0/1] a␊b  0.0 MB/s  1:02:05 left");
}

}  // namespace
