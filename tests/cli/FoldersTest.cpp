// Folders on the command line: their regular files as the folder intake takes them, with -r the
// whole tree, in a stable sorted order, never looping through symbolic links.
#include "tests/cli/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class FoldersTest : public ::testing::Test {
protected:
    FoldersTest()
    {
        // top/
        //   b, a, .hidden, "z z"          files, listed in another order than their names'
        //   sub/c, sub/deeper/d           below
        //   link-to-file -> ../outside    a file through a link
        //   link-to-other -> ../other     a folder outside, through a link
        //   loop -> .                     back to itself
        //   broken -> nowhere, fifo       neither is a file
        Folder("top");
        Folder("top/sub");
        Folder("top/sub/deeper");
        Folder("other");
        root_.Write("top/b", "b");
        root_.Write("top/a", "a");
        root_.Write("top/.hidden", "hidden");
        root_.Write("top/z z", "zz");
        root_.Write("top/sub/c", "c");
        root_.Write("top/sub/deeper/d", "d");
        root_.Write("outside", "outside");
        root_.Write("other/o", "o");
        Link("../outside", "top/link-to-file");
        Link("../other", "top/link-to-other");
        Link(".", "top/loop");
        Link("nowhere", "top/broken");
        EXPECT_EQ(::mkfifo((root_ / "top/fifo").c_str(), 0644), 0);
    }

    void Folder(const std::string& name) { EXPECT_EQ(::mkdir((root_ / name).c_str(), 0755), 0); }
    void Link(const std::string& target, const std::string& name)
    {
        EXPECT_EQ(::symlink(target.c_str(), (root_ / name).c_str()), 0);
    }
    RunSettings InRoot() const
    {
        RunSettings settings;
        settings.Folder = root_.Path();
        return settings;
    }
    ProgramOutput Sha256sum(const std::vector<std::string>& names) const
    {
        std::vector<std::string> argv{"sha256sum"};
        argv.insert(argv.end(), names.begin(), names.end());
        return RunProgram(argv, InRoot());
    }

    TempDir root_;
};

TEST_F(FoldersTest, AFolderStandsForItsRegularFilesInTheOrderOfTheirNames)
{
    const ProgramOutput out = RunProgram({QuorvexPath(), "--sha256", "top"}, InRoot());
    EXPECT_EQ(out.Out, Sha256sum({"top/.hidden", "top/a", "top/b", "top/link-to-file", "top/z z"}).Out);
    EXPECT_EQ(out.Err, "");
    EXPECT_EQ(out.Status, 0);
    // A slash at the end is not doubled; names come in the order given, a folder at its place.
    EXPECT_EQ(
        RunProgram({QuorvexPath(), "--sha256", "outside", "top/", "top/a"}, InRoot()).Out,
        Sha256sum({"outside", "top/.hidden", "top/a", "top/b", "top/link-to-file", "top/z z", "top/a"}).Out);
}

TEST_F(FoldersTest, RecursiveWalksTheTreeDepthFirstAndStopsAtALoop)
{
    const ProgramOutput out = RunProgram({QuorvexPath(), "-r", "--sha256", "top"}, InRoot());
    EXPECT_EQ(out.Out, Sha256sum({"top/.hidden", "top/a", "top/b", "top/link-to-file", "top/link-to-other/o",
                                  "top/sub/c", "top/sub/deeper/d", "top/z z"})
                           .Out);
    EXPECT_EQ(out.Err, "quorvex: top/loop: not followed: it leads back to a folder being walked\n");
    EXPECT_EQ(out.Status, 0);

    // The same with any number of threads, and with the long option.
    for (const std::string jobs : {"1", "3"})
        EXPECT_EQ(RunProgram({QuorvexPath(), "--recursive", "--sha256", "-j", jobs, "top"}, InRoot()).Out,
                  out.Out);
}

TEST_F(FoldersTest, ALoopFurtherUpIsCaughtToo)
{
    Link("..", "top/sub/up");
    const ProgramOutput out = RunProgram({QuorvexPath(), "-r", "--md5", "top/sub"}, InRoot());
    // top/sub/up is top, which is not being walked when the walk starts at top/sub: it is
    // entered once, and its sub and its loop lead back.
    EXPECT_EQ(out.Out, RunProgram({"md5sum", "top/sub/c", "top/sub/deeper/d", "top/sub/up/.hidden",
                                   "top/sub/up/a", "top/sub/up/b", "top/sub/up/link-to-file",
                                   "top/sub/up/link-to-other/o", "top/sub/up/z z"},
                                  InRoot())
                           .Out);
    EXPECT_EQ(out.Err, "quorvex: top/sub/up/loop: not followed: it leads back to a folder being walked\n"
                       "quorvex: top/sub/up/sub: not followed: it leads back to a folder being walked\n");
    EXPECT_EQ(out.Status, 0);
}

// Root reads everything; without the capabilities that let it, a locked folder is locked for it too.
std::vector<std::string> WithoutOverride(std::vector<std::string> argv)
{
    argv.insert(argv.begin(), {"setpriv", "--bounding-set", "-dac_override,-dac_read_search"});
    return argv;
}

TEST_F(FoldersTest, AFolderThatCannotBeListedIsReportedAndTheRestHashed)
{
    ASSERT_EQ(::chmod((root_ / "top/sub").c_str(), 0), 0);
    const ProgramOutput out = RunProgram(WithoutOverride({QuorvexPath(), "-r", "--md5", "top"}), InRoot());
    ::chmod((root_ / "top/sub").c_str(), 0755);
    EXPECT_EQ(out.Err, "quorvex: top/loop: not followed: it leads back to a folder being walked\n"
                       "quorvex: top/sub: Permission denied\n");
    EXPECT_EQ(out.Out, RunProgram({"md5sum", "top/.hidden", "top/a", "top/b", "top/link-to-file",
                                   "top/link-to-other/o", "top/z z"},
                                  InRoot())
                           .Out);
    EXPECT_EQ(out.Status, 1);

    // A name that cannot be a folder: the system's reason, as md5sum gives it.
    const ProgramOutput notFolder = RunProgram({QuorvexPath(), "--md5", "outside/", "top/a"}, InRoot());
    EXPECT_EQ(AsProgram(notFolder.Err, "md5sum"), RunProgram({"md5sum", "outside/", "top/a"}, InRoot()).Err);
    EXPECT_EQ(notFolder.Err, "quorvex: outside/: Not a directory\n");
    EXPECT_EQ(notFolder.Status, 1);

    // An unreadable file named on the command line, and one listed in a sum file.
    ASSERT_EQ(::chmod((root_ / "top/a").c_str(), 0), 0);
    const ProgramOutput theirs = RunProgram(WithoutOverride({"sha256sum", "top/a", "top/b"}), InRoot());
    const ProgramOutput ours =
        RunProgram(WithoutOverride({QuorvexPath(), "--sha256", "top/a", "top/b"}), InRoot());
    EXPECT_EQ(ours.Out, theirs.Out);
    EXPECT_EQ(AsProgram(ours.Err, "sha256sum"), theirs.Err);
    EXPECT_EQ(ours.Status, theirs.Status);
    root_.Write("sums", std::string(64, 'a') + "  top/a\n" + std::string(64, 'b') + "  top/b\n");
    const ProgramOutput theirCheck = RunProgram(WithoutOverride({"sha256sum", "-c", "sums"}), InRoot());
    const ProgramOutput ourCheck = RunProgram(WithoutOverride({QuorvexPath(), "-c", "sums"}), InRoot());
    EXPECT_EQ(ourCheck.Out, theirCheck.Out);
    EXPECT_EQ(AsProgram(ourCheck.Err, "sha256sum"), theirCheck.Err);
    EXPECT_EQ(ourCheck.Status, theirCheck.Status);
}

}  // namespace
