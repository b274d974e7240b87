// quorvex -c --audit: a tree against the manifest -r wrote of it. Counts are compared with
// hashdeep's audit of the same tree; the lines and warnings are ours, in coreutils' style.
#include "tests/cli/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Root reads everything; without the capabilities that let it, a locked folder is locked for it too.
std::vector<std::string> WithoutOverride(std::vector<std::string> argv)
{
    argv.insert(argv.begin(), {"setpriv", "--bounding-set", "-dac_override,-dac_read_search"});
    return argv;
}

// hashdeep's audit totals, by its own words ("Files matched", "New files found", ...).
std::map<std::string, int> HashdeepCounts(const std::string& report)
{
    std::map<std::string, int> counts;
    const std::regex line(R"(^\s*([A-Za-z ]+): (\d+)$)");
    size_t start = 0;
    while (start < report.size()) {
        size_t end = report.find('\n', start);
        if (end == std::string::npos)
            end = report.size();
        std::smatch match;
        const std::string text = report.substr(start, end - start);
        if (std::regex_match(text, match, line))
            counts[match[1]] = std::stoi(match[2]);
        start = end + 1;
    }
    return counts;
}

// Our totals, from the lines on standard output.
struct AuditCounts {
    int Ok = 0, Failed = 0, Missing = 0, New = 0, Moved = 0;
};

AuditCounts CountLines(const std::string& out)
{
    AuditCounts counts;
    size_t start = 0;
    while (start < out.size()) {
        const size_t end = out.find('\n', start);
        const std::string text = out.substr(start, end - start);
        const auto endsWith = [&](const std::string& tail) {
            return text.size() >= tail.size() &&
                   text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
        };
        if (endsWith(": OK"))
            ++counts.Ok;
        else if (endsWith(": FAILED"))
            ++counts.Failed;
        else if (endsWith(": FAILED open or read"))
            ++counts.Missing;
        else if (endsWith(": NEW"))
            ++counts.New;
        else if (text.find(": MOVED to ") != std::string::npos)
            ++counts.Moved;
        start = end == std::string::npos ? out.size() : end + 1;
    }
    return counts;
}

class AuditTest : public ::testing::Test {
protected:
    AuditTest()
    {
        // photos/ with names that trip tools up, a subfolder two deep, and a link to a file. No
        // line feed: hashdeep writes it raw into its manifest, which then lists a name it never had.
        Folder("photos");
        Folder("photos/2024");
        Folder("photos/2024/june");
        for (const std::string name : {"a.jpg", "b b.jpg", "c.jpg", "\xff\xfe.jpg", "2024/d.jpg",
                                       "2024/e.jpg", "2024/june/f.jpg", "2024/june/g.jpg"})
            root_.Write("photos/" + name, "content of " + name);
        EXPECT_EQ(::symlink("c.jpg", (root_ / "photos/link.jpg").c_str()), 0);
    }

    void Folder(const std::string& name) { EXPECT_EQ(::mkdir((root_ / name).c_str(), 0755), 0); }
    void Move(const std::string& from, const std::string& to)
    {
        EXPECT_EQ(::rename((root_ / from).c_str(), (root_ / to).c_str()), 0);
    }
    RunSettings InRoot() const
    {
        RunSettings settings;
        settings.Folder = root_.Path();
        return settings;
    }
    ProgramOutput Run(std::vector<std::string> argv) const
    {
        argv.insert(argv.begin(), QuorvexPath());
        return RunProgram(argv, InRoot());
    }
    void WriteManifests()
    {
        ASSERT_EQ(RunShell("$QUORVEX -r -a sha256 photos > photos.sha256", InRoot()).Status, 0);
        // hashdeep's own manifest lies outside the tree, where our audit does not see it.
        ASSERT_EQ(
            RunShell("hashdeep -c sha256 -r -l photos > " + manifests_.Path() + "/hashdeep.txt", InRoot())
                .Status,
            0);
    }
    std::map<std::string, int> HashdeepAudit() const
    {
        return HashdeepCounts(RunProgram({"hashdeep", "-c", "sha256", "-r", "-l", "-a", "-v", "-k",
                                          manifests_ / "hashdeep.txt", "photos"},
                                         InRoot())
                                  .Out);
    }

    TempDir root_;
    TempDir manifests_;
};

TEST_F(AuditTest, TheManifestOfATreeIsCheckedBySha256sumAndByTheAudit)
{
    root_.Write("photos/line\nfeed.jpg", "line feed");
    WriteManifests();
    const ProgramOutput theirs = RunProgram({"sha256sum", "-c", "photos.sha256"}, InRoot());
    EXPECT_EQ(theirs.Status, 0) << theirs.Err;
    const ProgramOutput ours = Run({"-c", "--audit", "photos.sha256"});
    EXPECT_EQ(ours.Out, theirs.Out);
    EXPECT_EQ(ours.Err, "");
    EXPECT_EQ(ours.Status, 0);
    // Every file by its path from the current folder, the subfolders' too.
    EXPECT_NE(ReadWholeFile(root_ / "photos.sha256").find("  photos/2024/june/g.jpg\n"), std::string::npos);

    // The sum file's signatures are no new files either; any other file beside it is.
    root_.Write("photos.sha256.asc", "signature");
    root_.Write("photos.sha256.sig", "signature");
    root_.Write("notes.txt", "notes");
    // Not signatures at all: their check is left out here, it would say so.
    const ProgramOutput beside = Run({"-c", "--audit", "--quiet", "--no-signature", "photos.sha256"});
    EXPECT_EQ(beside.Out, "notes.txt: NEW\n");
    EXPECT_EQ(beside.Err, "quorvex: WARNING: 1 file is not listed\n");
    EXPECT_EQ(beside.Status, 1);
    // Without --audit nothing of it is seen.
    EXPECT_EQ(Run({"-c", "--quiet", "--no-signature", "photos.sha256"}).Status, 0);

    // A line feed in either name escapes the whole line, as -c escapes a name.
    Move("photos/line\nfeed.jpg", "photos/2024/line\nfeed.jpg");
    EXPECT_EQ(Run({"-c", "--audit", "--quiet", "photos.sha256"}).Out,
              "\\photos/line\\nfeed.jpg: MOVED to photos/2024/line\\nfeed.jpg\n"
              "notes.txt: NEW\n");
}

TEST_F(AuditTest, ChangedMissingNewAndMovedFilesAreToldAsHashdeepCountsThem)
{
    WriteManifests();
    root_.Write("photos/a.jpg", "changed");
    ASSERT_EQ(::unlink((root_ / "photos/2024/e.jpg").c_str()), 0);
    Move("photos/2024/june/f.jpg", "photos/f-renamed.jpg");
    Move("photos/b b.jpg", "photos/2024/b b.jpg");
    root_.Write("photos/2024/june/new one.jpg", "brand new");

    const ProgramOutput out = Run({"-c", "--audit", "photos.sha256"});
    EXPECT_EQ(out.Out, "photos/2024/d.jpg: OK\n"
                       "photos/2024/june/g.jpg: OK\n"
                       "photos/a.jpg: FAILED\n"
                       "photos/c.jpg: OK\n"
                       "photos/link.jpg: OK\n"
                       "photos/\xff\xfe.jpg: OK\n"
                       // The missing files' lines wait for the walk, then come in listing order.
                       "photos/2024/e.jpg: FAILED open or read\n"
                       "photos/2024/june/f.jpg: MOVED to photos/f-renamed.jpg\n"
                       "photos/b b.jpg: MOVED to photos/2024/b b.jpg\n"
                       "photos/2024/june/new one.jpg: NEW\n");
    EXPECT_EQ(out.Err, "quorvex: photos/2024/e.jpg: No such file or directory\n"
                       "quorvex: WARNING: 1 listed file could not be read\n"
                       "quorvex: WARNING: 1 computed checksum did NOT match\n"
                       "quorvex: WARNING: 1 file is not listed\n"
                       "quorvex: WARNING: 2 listed files were moved\n");
    EXPECT_EQ(out.Status, 1);

    // hashdeep knows no changed file: to it the changed one is new, and its listing not found.
    const AuditCounts ours = CountLines(out.Out);
    std::map<std::string, int> theirs = HashdeepAudit();
    EXPECT_EQ(ours.Ok, theirs["Files matched"]);
    EXPECT_EQ(ours.Moved, theirs["Files moved"]);
    EXPECT_EQ(ours.New + ours.Failed, theirs["New files found"]);
    EXPECT_EQ(ours.Missing + ours.Failed, theirs["Known files not found"]);

    // --status keeps only what sha256sum --status keeps: the reason a listed file is missing.
    const ProgramOutput status = Run({"-c", "--audit", "--status", "photos.sha256"});
    EXPECT_EQ(status.Out, "");
    EXPECT_EQ(status.Err, "quorvex: photos/2024/e.jpg: No such file or directory\n");
    EXPECT_EQ(status.Status, 1);
}

TEST_F(AuditTest, OfTwoNewFilesWithAMissingFilesDigestTheFirstWalkedIsTheMove)
{
    WriteManifests();
    Move("photos/c.jpg", "photos/2024/c.jpg");
    root_.Write("photos/2024/z-copy.jpg", "content of c.jpg");
    ASSERT_EQ(::unlink((root_ / "photos/link.jpg").c_str()), 0);  // it would be a missing copy
    const ProgramOutput out = Run({"-c", "--audit", "--quiet", "photos.sha256"});
    EXPECT_EQ(out.Out, "photos/c.jpg: MOVED to photos/2024/c.jpg\n"
                       "photos/link.jpg: MOVED to photos/2024/z-copy.jpg\n");
    EXPECT_EQ(out.Status, 1);

    // One missing file, two new ones with its digest: only the first is the move.
    Move("photos/2024/c.jpg", "photos/2024/b-first.jpg");
    Move("photos/2024/z-copy.jpg", "photos/c.jpg");  // listed again, but as the copy
    root_.Write("photos/2024/june/second.jpg", "content of c.jpg");
    const ProgramOutput two = Run({"-c", "--audit", "--quiet", "photos.sha256"});
    EXPECT_EQ(two.Out, "photos/link.jpg: MOVED to photos/2024/b-first.jpg\n"
                       "photos/2024/june/second.jpg: NEW\n");
    EXPECT_EQ(two.Err, "quorvex: WARNING: 1 file is not listed\n"
                       "quorvex: WARNING: 1 listed file was moved\n");
    // hashdeep calls both moved, since it only asks whether a digest is known under another name.
    EXPECT_EQ(HashdeepAudit()["Files moved"], 2);
}

TEST_F(AuditTest, LoopsSpecialFilesAndALockedSubfolderAreToldAndTheRestAudited)
{
    WriteManifests();
    EXPECT_EQ(::symlink("..", (root_ / "photos/2024/up").c_str()), 0);
    EXPECT_EQ(::mkfifo((root_ / "photos/fifo").c_str(), 0644), 0);
    const ProgramOutput loop = Run({"-c", "--audit", "--quiet", "photos.sha256"});
    // The FIFO is no file of the tree; the link is followed until it leads back.
    EXPECT_EQ(loop.Out, "");
    EXPECT_EQ(loop.Err, "quorvex: photos/2024/up: not followed: it leads back to a folder being walked\n");
    EXPECT_EQ(loop.Status, 0);

    Folder("photos/locked");
    root_.Write("photos/locked/hidden.jpg", "hidden");
    root_.Write("photos/2024/new.jpg", "new");
    ASSERT_EQ(::chmod((root_ / "photos/locked").c_str(), 0), 0);
    const ProgramOutput locked =
        RunProgram(WithoutOverride({QuorvexPath(), "-c", "--audit", "--quiet", "photos.sha256"}), InRoot());
    ::chmod((root_ / "photos/locked").c_str(), 0755);
    EXPECT_EQ(locked.Out, "photos/2024/new.jpg: NEW\n");
    EXPECT_EQ(locked.Err, "quorvex: photos/2024/up: not followed: it leads back to a folder being walked\n"
                          "quorvex: photos/locked: Permission denied\n"
                          "quorvex: WARNING: 1 file is not listed\n");
    EXPECT_EQ(locked.Status, 1);
}

TEST_F(AuditTest, ASumFileWhoseFolderCannotBeListedIsStillChecked)
{
    ASSERT_EQ(RunShell("cd photos && $QUORVEX -a sha256 c.jpg > c.sha256", InRoot()).Status, 0);
    // Enter and read files, but not list: the listed files are checked, the audit cannot be.
    ASSERT_EQ(::chmod((root_ / "photos").c_str(), 0111), 0);
    const ProgramOutput out = RunProgram(
        WithoutOverride({"sh", "-c", "cd photos && exec \"$0\" -c --audit c.sha256", QuorvexPath()}),
        InRoot());
    ::chmod((root_ / "photos").c_str(), 0755);
    EXPECT_EQ(out.Out, "c.jpg: OK\n");
    EXPECT_EQ(out.Err, "quorvex: .: Permission denied\n");
    EXPECT_EQ(out.Status, 1);
}

TEST_F(AuditTest, StandardInputAuditsTheCurrentFolderAndTheOptionBelongsToCheck)
{
    ASSERT_EQ(RunShell("cd photos/2024 && $QUORVEX -r -a md5 . > ../../sums.md5", InRoot()).Status, 0);
    root_.Write("photos/2024/june/h.jpg", "h");
    const ProgramOutput in =
        RunShell("cd photos/2024 && $QUORVEX -c --audit --quiet - < ../../sums.md5", InRoot());
    EXPECT_EQ(in.Out, "june/h.jpg: NEW\n");
    EXPECT_EQ(in.Status, 1);
    // Listed as "./june/g.jpg", walked as "june/g.jpg": one file.
    EXPECT_NE(ReadWholeFile(root_ / "sums.md5").find("  ./june/g.jpg\n"), std::string::npos);

    const ProgramOutput without = Run({"--audit", "photos"});
    EXPECT_EQ(without.Err, "quorvex: the --audit option is meaningful only when verifying checksums\n"
                           "Try 'quorvex --help' for more information.\n");
    EXPECT_EQ(without.Status, 2);
    EXPECT_EQ(Run({"-c", "-r", "--audit", "photos.sha256"}).Status, 2);
    // A sum file that cannot be read is said as -c says it, and nothing is walked.
    const ProgramOutput none = Run({"-c", "--audit", "nothing.sha256"});
    EXPECT_EQ(none.Out, "");
    EXPECT_EQ(none.Err, "quorvex: nothing.sha256: No such file or directory\n");
    EXPECT_EQ(none.Status, 1);
}

}  // namespace
