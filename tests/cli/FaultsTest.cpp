// What goes wrong around the program: names that are missing, special or unreadable, a full disk,
// a reader that goes away, a closed output, and the messages naming each file as coreutils does.
#include "tests/cli/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

RunSettings In(const TempDir& folder)
{
    RunSettings settings;
    settings.Folder = folder.Path();
    return settings;
}

TEST(Faults, MissingFilesAreNamedAsSha256sumNamesThemAndTheRestIsHashed)
{
    TempDir folder;
    folder.Write("a", "first");
    folder.Write("b", "second");
    const std::vector<std::string> names{"a",          "no such",      "it's gone", "back\\slash",
                                         "line\nfeed", "colon:x",      "bad \xff",  "b",
                                         "tab\t",      "\xe4\xbd\xa0", "",          "dir/gone"};
    for (const std::string locale : {"C.UTF-8", "C"}) {
        SCOPED_TRACE(locale);
        RunSettings settings = In(folder);
        settings.Env["LC_ALL"] = locale;
        std::vector<std::string> theirs{"sha256sum", "--"}, ours{QuorvexPath(), "-a", "sha256", "--"};
        theirs.insert(theirs.end(), names.begin(), names.end());
        ours.insert(ours.end(), names.begin(), names.end());
        const ProgramOutput expected = RunProgram(theirs, settings);
        const ProgramOutput actual = RunProgram(ours, settings);
        EXPECT_EQ(actual.Out, expected.Out);
        EXPECT_EQ(AsProgram(actual.Err, "sha256sum"), expected.Err);
        EXPECT_EQ(actual.Status, 1);
        EXPECT_EQ(expected.Status, 1);
    }
}

// Line by line, so that a difference shows as that line and not as the whole text.
void ExpectSameLines(const std::string& actual, const std::string& expected, const std::string& context)
{
    std::istringstream a(actual), e(expected);
    std::string actualLine, expectedLine;
    int differences = 0;
    while (differences < 5) {
        const bool moreActual = static_cast<bool>(std::getline(a, actualLine));
        const bool moreExpected = static_cast<bool>(std::getline(e, expectedLine));
        if (!moreActual && !moreExpected)
            break;
        if (actualLine != expectedLine || moreActual != moreExpected) {
            ADD_FAILURE() << context << ": " << actualLine << "\n  instead of\n" << expectedLine;
            ++differences;
        }
    }
}

// Names made of random bytes, each quoted in the message as coreutils quotes it.
TEST(Faults, RandomNamesAreQuotedAsCoreutilsQuotesThem)
{
    const uint32_t seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::vector<std::string> names;
    const std::string interesting = " !\"#$%&'()*+,-.:;<=>?@[\\]^_`{|}~\t\n\r\x7f\x01\x1b";
    for (int i = 0; i < 300; ++i) {
        std::string name;
        const size_t length = 1 + random() % 6;
        for (size_t k = 0; k < length; ++k) {
            const unsigned pick = random() % 4;
            char c = pick == 0   ? interesting[random() % interesting.size()]
                     : pick == 1 ? static_cast<char>(0x80 + random() % 0x80)
                                 : static_cast<char>('a' + random() % 26);
            if (pick == 3 && k + 2 < length) {  // a whole UTF-8 character now and then
                name += "\xc3\xa9";
                k += 1;
                continue;
            }
            name += c;
        }
        // Folders are walked by us and refused by md5sum: not names for this comparison.
        if (name.find('/') == std::string::npos && name != "." && name != ".." && name != "-")
            names.push_back(name);
    }
    TempDir folder;
    for (const std::string locale : {"C.UTF-8", "C"}) {
        RunSettings settings = In(folder);
        settings.Env["LC_ALL"] = locale;
        std::vector<std::string> theirs{"md5sum", "--"}, ours{QuorvexPath(), "--md5", "--"};
        theirs.insert(theirs.end(), names.begin(), names.end());
        ours.insert(ours.end(), names.begin(), names.end());
        ExpectSameLines(AsProgram(RunProgram(ours, settings).Err, "md5sum"), RunProgram(theirs, settings).Err,
                        locale);
    }
}

TEST(Faults, SpecialFilesAndReadErrorsAreReportedWithoutHanging)
{
    TempDir folder;
    folder.Write("a", "first");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0644), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = folder / "socket";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    // Root reads every file, but no one reads a process's memory at address 0: a real read error.
    const ProgramOutput out = RunProgram(
        {QuorvexPath(), "--sha1", "fifo", "socket", "/dev/null", "/proc/self/mem", "a"}, In(folder));
    ::close(sock);
    EXPECT_EQ(out.Out, RunProgram({"sha1sum", "a"}, In(folder)).Out);
    EXPECT_EQ(out.Err, "quorvex: fifo: Is a FIFO (named pipe), not a regular file\n"
                       "quorvex: socket: Is a socket, not a regular file\n"
                       "quorvex: /dev/null: Is a device, not a regular file\n"
                       "quorvex: /proc/self/mem: Input/output error\n");
    EXPECT_EQ(out.Status, 1);
}

TEST(Faults, AFullDiskIsAWriteErrorAndNoPartialLineStays)
{
    TempDir folder;
    std::vector<std::string> args{QuorvexPath(), "--sha512"};
    for (int i = 0; i < 50; ++i)
        args.push_back(folder.Write("file " + std::to_string(i), std::to_string(i)));
    RunSettings settings;
    settings.Folder = folder.Path();

    const ProgramOutput full =
        RunShell("\"$QUORVEX\" --sha256 \"file 1\" > /dev/full; echo \"status $?\" >&2", settings);
    EXPECT_EQ(full.Err, "quorvex: write error: No space left on device\nstatus 1\n");
    // sha256sum says "write error" only, but the same status.
    EXPECT_EQ(RunShell("sha256sum \"file 1\" > /dev/full; echo \"status $?\" >&2", settings).Err,
              "sha256sum: write error\nstatus 1\n");

    // A file that may not grow past 4 KiB takes part of a line, then fails: the partial line is
    // taken back, so what is there reads as whole results.
    ProgramOutput all = RunProgram(args, settings);
    ASSERT_EQ(all.Status, 0);
    ProgramOutput limited = RunShell(
        "trap '' XFSZ; ulimit -f 4; \"$QUORVEX\" --sha512 file* > out; echo \"status $?\" >&2", settings);
    EXPECT_EQ(limited.Err, "quorvex: write error: File too large\nstatus 1\n");
    const std::string written = ReadWholeFile(folder / "out");
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.back(), '\n');
    const ProgramOutput sorted = RunShell("\"$QUORVEX\" --sha512 file*", settings);
    EXPECT_EQ(sorted.Out.compare(0, written.size(), written), 0);
    EXPECT_LT(written.size(), sorted.Out.size());
}

TEST(Faults, AReaderThatGoesAwayEndsTheProgramQuietly)
{
    TempDir folder;
    for (int i = 0; i < 3000; ++i)
        folder.Write("f" + std::to_string(i), std::to_string(i));
    RunSettings settings;
    settings.Folder = folder.Path();
    const std::string firstLine = RunShell("\"$QUORVEX\" --sha256 ./f0", settings).Out;
    ASSERT_EQ(firstLine.size(), 64 + 2 + 4 + 1);

    // As every coreutils tool: SIGPIPE ends it, the shell sees 128 + 13.
    ProgramOutput piped =
        RunShell("set -o pipefail; \"$QUORVEX\" --sha256 . | head -1; echo \"status $?\" >&2", settings);
    EXPECT_EQ(piped.Out, firstLine);
    EXPECT_EQ(piped.Err, "status 141\n");

    // With SIGPIPE ignored the write fails instead: no message, status 1, and it stops at once.
    piped = RunShell(
        "trap '' PIPE; set -o pipefail; \"$QUORVEX\" --sha256 . | head -1; echo \"status $?\" >&2", settings);
    EXPECT_EQ(piped.Out, firstLine);
    EXPECT_EQ(piped.Err, "status 1\n");

    // A closed standard output is a write error like any other.
    ProgramOutput closed = RunShell("\"$QUORVEX\" --sha256 f0 >&-; echo \"status $?\" >&2", settings);
    EXPECT_EQ(closed.Err, "quorvex: write error: Bad file descriptor\nstatus 1\n");
}

}  // namespace
