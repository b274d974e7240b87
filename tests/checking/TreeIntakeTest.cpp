// The window's tree intake without a window: the walk off the caller's thread, what it takes and
// in which order, what it tells at the end, and a stop in the middle.
#include "tests/checking/CheckerTestBed.h"
#include "tests/support/SumsTesting.h"
#include "tests/support/WalkGate.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class TreeIntakeTest : public CheckerTestBed {
protected:
    TreeIntakeTest()
    {
        // top/ with a subfolder, a link back up, a FIFO, a link to a device and odd names.
        Folder("top");
        Folder("top/sub");
        Folder("top/sub/deeper");
        dir.Write("top/b", "b");
        dir.Write("top/a a", "aa");
        dir.Write("top/line\nfeed", "lf");
        dir.Write("top/\xff name", "ff");
        dir.Write("top/sub/c", "c");
        dir.Write("top/sub/deeper/d", "d");
        EXPECT_EQ(::symlink("..", (dir / "top/sub/up").c_str()), 0);
        EXPECT_EQ(::mkfifo((dir / "top/fifo").c_str(), 0644), 0);
        EXPECT_EQ(::symlink("/dev/null", (dir / "top/sub/null").c_str()), 0);
    }

    void Folder(const std::string& name) { EXPECT_EQ(::mkdir((dir / name).c_str(), 0755), 0); }

    // Plays the window's timer until the walk has ended.
    TreeIntakeReport Walk(const std::vector<std::string>& folders)
    {
        checker.BeginTreeIntake(folders);
        for (;;) {
            if (std::optional<TreeIntakeReport> report = checker.DeliverTreeIntake())
                return *report;
            std::this_thread::yield();
        }
    }

    std::vector<std::string> Paths()
    {
        std::vector<std::string> paths;
        for (size_t i = 0; i < checker.List().Count(); ++i)
            paths.push_back(checker.List().At(i).Path);
        return paths;
    }
};

TEST_F(TreeIntakeTest, EveryFileBelowTheFolderInTheOrderOfTheCommandLinesWalk)
{
    const std::string top = dir / "top";
    const TreeIntakeReport report = Walk({top});
    // The link up leads back to top, which is being walked: not entered.
    EXPECT_EQ(Paths(), (std::vector<std::string>{top + "/a a", top + "/b", top + "/line\nfeed",
                                                 top + "/sub/c", top + "/sub/deeper/d", top + "/\xff name"}));
    EXPECT_EQ(checker.List().At(0).Caption, "a a");
    EXPECT_EQ(checker.List().At(0).SizeBytes, 2);
    EXPECT_TRUE(report.Unreadable.empty());
    // The FIFO and the device.
    EXPECT_EQ(report.SpecialFiles, 2u);
    EXPECT_FALSE(report.Stopped);
    EXPECT_EQ(report.ErrorText(), "已跳过特殊文件（管道、套接字、设备）2 个");

    // Like a pass, the walk owned the window; the closing step is the one of every intake.
    const std::vector<std::string>& calls = window.Calls;
    const auto at = [&](const std::string& call) { return std::find(calls.begin(), calls.end(), call); };
    ASSERT_NE(at("Status 正在添加文件…已添加 0 个"), calls.end());
    EXPECT_LT(at("DisableCommands"), at("ShowProgressGroup"));
    EXPECT_LT(at("HideProgressGroup"), at("EnableCommands"));
    EXPECT_EQ(window.StatusText, "待计算的文件总数:6");
    EXPECT_TRUE(window.CommandsEnabled);
    EXPECT_FALSE(checker.TreeIntakeRunning());
}

// Root reads every folder, so the walk runs as "nobody" for a while (for every thread, as the
// C library switches them all).
class AsOrdinaryUser {
public:
    AsOrdinaryUser() : wasRoot_(::geteuid() == 0)
    {
        switched_ = !wasRoot_ || (::setegid(65534) == 0 && ::seteuid(65534) == 0);
    }
    ~AsOrdinaryUser()
    {
        // Carrying on as someone else would make every later test meaningless.
        if (wasRoot_ && (::seteuid(0) != 0 || ::setegid(0) != 0))
            std::abort();
    }
    bool Switched() const { return switched_; }

private:
    bool wasRoot_;
    bool switched_;
};

TEST_F(TreeIntakeTest, UnreadableSubfoldersAreNamedWithTheirCountInOneBox)
{
    Folder("top/locked");
    Folder("top/sub/locked too");
    dir.Write("top/locked/hidden", "h");
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod((dir / "top/locked").c_str(), 0), 0);
    ASSERT_EQ(::chmod((dir / "top/sub/locked too").c_str(), 0), 0);
    TreeIntakeReport report;
    {
        AsOrdinaryUser nobody;
        ASSERT_TRUE(nobody.Switched());
        report = Walk({dir / "top/sub"});
    }
    ::chmod((dir / "top/locked").c_str(), 0755);
    ::chmod((dir / "top/sub/locked too").c_str(), 0755);
    // Below sub, and through the link up, in top (whose sub is not entered again).
    ASSERT_EQ(report.Unreadable.size(), 2u);
    EXPECT_EQ(report.Unreadable[0].Path, dir / "top/sub/locked too");
    EXPECT_EQ(report.Unreadable[1].Path, dir / "top/sub/up/locked");
    EXPECT_EQ(report.ErrorText().rfind("无法读取的子文件夹共 2 个，其中的文件未添加：\n" + dir.Path() +
                                           "/top/sub/locked too：Permission denied\n",
                                       0),
              0u);
    // The rest was still taken.
    const std::vector<std::string> paths = Paths();
    ASSERT_FALSE(paths.empty());
    EXPECT_EQ(paths.front(), dir / "top/sub/c");
    EXPECT_EQ(std::count(paths.begin(), paths.end(), dir / "top/sub/up/locked/hidden"), 0);
}

TEST_F(TreeIntakeTest, TheBoxNamesTheFirstFoldersAndCountsThemAll)
{
    TreeIntakeReport report;
    for (int i = 0; i < 25; ++i)
        report.Unreadable.push_back({"/t/f" + std::to_string(i), "Permission denied"});
    report.Unreadable.push_back({"/t/\xff", "Permission denied"});
    const std::string text = report.ErrorText();
    EXPECT_EQ(text.rfind("无法读取的子文件夹共 26 个，其中的文件未添加：\n/t/f0：Permission denied\n", 0),
              0u);
    EXPECT_NE(text.find("/t/f19：Permission denied\n……"), std::string::npos);
    EXPECT_EQ(text.find("/t/f20"), std::string::npos);
    EXPECT_EQ(TreeIntakeReport{}.ErrorText(), "");
    report.SpecialFiles = 1;
    EXPECT_NE(report.ErrorText().find("……\n已跳过特殊文件（管道、套接字、设备）1 个"), std::string::npos);
}

TEST_F(TreeIntakeTest, AStopInTheMiddleKeepsWhatWasTakenAndReturnsAtOnce)
{
    // The walk is held at its third file until the test lets it go: the stop comes while the
    // walk's thread cannot move.
    WalkGate gate(3);
    checker.BeginTreeIntake({dir / "top"}, gate.Gate());
    gate.AwaitHeld();
    EXPECT_TRUE(checker.TreeIntakeShown());
    // Commands that change the list wait for the walk's end, as they wait for a pass's.
    checker.ClearList();
    checker.Calculate();
    EXPECT_FALSE(checker.PassRunning());

    const std::optional<TreeIntakeReport> report = checker.StopTreeIntake();
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->Stopped);
    EXPECT_FALSE(checker.TreeIntakeRunning());
    EXPECT_EQ(Paths(), (std::vector<std::string>{dir / "top/a a", dir / "top/b"}));
    EXPECT_EQ(window.StatusText, "待计算的文件总数:2");
    gate.Release();
    // Nothing more arrives from the thread left behind, and a new walk starts afresh.
    EXPECT_FALSE(checker.DeliverTreeIntake());
    Walk({dir / "top/sub/deeper"});
    EXPECT_EQ(Paths().back(), dir / "top/sub/deeper/d");
    EXPECT_EQ(Paths().size(), 3u);
}

// The sizes are asked on a thread of their own, a batch at a time: over many batches, and with
// links among the files, every entry keeps its place in the walk and gets its own size.
TEST_F(TreeIntakeTest, ManyFilesKeepTheWalksOrderAndTheirOwnSizes)
{
    const std::string many = dir / "many";
    std::vector<std::string> expected;
    for (int folder = 0; folder < 4; ++folder) {
        const std::string sub = many + "/s" + std::to_string(folder);
        ASSERT_EQ(::mkdir(many.c_str(), 0755) == 0 || errno == EEXIST, true);
        ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
        for (int i = 0; i < 100; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "/f%03d", i);
            dir.Write("many/s" + std::to_string(folder) + name,
                      std::string(static_cast<size_t>(folder * 100 + i), 'x'));
            expected.push_back(sub + name);
        }
    }
    ASSERT_EQ(::symlink("../s0/f007", (many + "/s3/link").c_str()), 0);
    expected.insert(expected.begin() + 300 + 100, many + "/s3/link");
    Walk({many});
    ASSERT_EQ(Paths(), expected);
    for (size_t i = 0; i < expected.size(); ++i) {
        const int64_t size = i == 400 ? 7 : static_cast<int64_t>(i);
        EXPECT_EQ(checker.List().At(i).SizeBytes, size) << expected[i];
    }
}

TEST_F(TreeIntakeTest, DuringAPassTheWalkOnlyAppendsForTheNextPass)
{
    dir.Write("first", std::string(1 << 20, 'x'));
    Drop({dir / "first"});
    checker.Calculate();
    ASSERT_TRUE(checker.PassRunning());
    checker.BeginTreeIntake({dir / "top/sub/deeper"});
    EXPECT_FALSE(checker.TreeIntakeShown());
    while (!checker.DeliverTreeIntake())
        std::this_thread::yield();
    EXPECT_EQ(checker.List().Count(), 2u);
    EXPECT_EQ(std::count(window.Calls.begin(), window.Calls.end(), "Status 正在添加文件…已添加 0 个"), 0);
    while (checker.PassRunning()) {
        window.AwaitDeliveryRequest();
        checker.DeliverPass();
    }
}

}  // namespace

namespace {

// 审核文件夹 without a window: a sum file imported, the tree changed, the folder audited, a pass.
class FolderAuditCheckerTest : public CheckerTestBed {
protected:
    FolderAuditCheckerTest()
    {
        EXPECT_EQ(::mkdir((dir / "photos").c_str(), 0755), 0);
        EXPECT_EQ(::mkdir((dir / "photos/sub").c_str(), 0755), 0);
        for (const std::string name : {"a", "b", "d", "sub/c"})
            dir.Write("photos/" + name, "content of " + name);
        EXPECT_EQ(RunShell("cd " + ShellWord(dir / "photos") + " && sha256sum a b d sub/c > SHA256SUMS"), 0);
        dir.Write("photos/SHA256SUMS.asc", "signature");
        dir.Write("photos/a", "changed");
        EXPECT_EQ(::rename((dir / "photos/b").c_str(), (dir / "photos/sub/b moved").c_str()), 0);
        EXPECT_EQ(::unlink((dir / "photos/sub/c").c_str()), 0);
        dir.Write("photos/new", "new");
    }

    void Walk()
    {
        while (!checker.DeliverTreeIntake())
            std::this_thread::yield();
    }
    std::string AuditTextOf(const std::string& path)
    {
        for (size_t i = 0; i < checker.List().Count(); ++i)
            if (checker.List().At(i).Path == path)
                return checker.List().At(i).AuditText;
        return "(not in the list)";
    }
};

TEST_F(FolderAuditCheckerTest, NewAndMovedFilesGetTheirVerdictsAndTheTotalsAfterAPass)
{
    checker.AuditFolder();
    EXPECT_FALSE(checker.TreeIntakeRunning()) << "nothing imported yet";
    EXPECT_FALSE(checker.CanAudit());

    const SumImportReport imported = checker.ImportSumFile(dir / "photos/SHA256SUMS");
    ASSERT_EQ(imported.Taken, 4u);
    EXPECT_TRUE(checker.CanAudit());
    checker.AuditFolder();
    ASSERT_TRUE(checker.TreeIntakeRunning());
    Walk();
    // The unlisted files came in, in walk order; the sum file and its signature did not.
    ASSERT_EQ(checker.List().Count(), 6u);
    EXPECT_EQ(checker.List().At(4).Path, dir / "photos/new");
    EXPECT_EQ(checker.List().At(5).Path, dir / "photos/sub/b moved");
    EXPECT_TRUE(checker.List().At(5).Unlisted);
    EXPECT_FALSE(checker.List().At(0).Unlisted);

    Calculate();
    EXPECT_EQ(AuditTextOf(dir / "photos/new"), "新文件");
    EXPECT_EQ(AuditTextOf(dir / "photos/sub/b moved"), "已移动，原为 b");
    EXPECT_EQ(AuditTextOf(dir / "photos/b"), "已移动");
    EXPECT_EQ(AuditTextOf(dir / "photos/sub/c"), "");
    EXPECT_EQ(checker.List().At(0).Verdict, SumVerdict::Differs);
    EXPECT_EQ(window.StatusText,
              "审核完毕，匹配 1 个，不匹配 1 个，文件不存在 1 个，新文件 1 个，已移动 1 个");

    // A second audit takes nothing twice; the next pass judges again.
    checker.AuditFolder();
    Walk();
    EXPECT_EQ(checker.List().Count(), 6u);
    // A pass of nothing pending judges the audit from what earlier passes computed.
    Calculate();
    EXPECT_EQ(AuditTextOf(dir / "photos/sub/b moved"), "已移动，原为 b");
    EXPECT_EQ(window.StatusText,
              "审核完毕，匹配 1 个，不匹配 1 个，文件不存在 1 个，新文件 1 个，已移动 1 个");
    dir.Write("photos/sub/c", "content of sub/c");    // back again
    checker.HashItemClicked(HashItem::SHA256, true);  // a selection change: all pending
    Calculate();
    EXPECT_EQ(AuditTextOf(dir / "photos/sub/b moved"), "已移动，原为 b");
    EXPECT_EQ(window.StatusText,
              "审核完毕，匹配 2 个，不匹配 1 个，文件不存在 0 个，新文件 1 个，已移动 1 个");

    // A cleared list forgets the sum file.
    checker.ClearList();
    EXPECT_FALSE(checker.CanAudit());
    checker.AuditFolder();
    EXPECT_FALSE(checker.TreeIntakeRunning());
}

TEST_F(FolderAuditCheckerTest, AFolderThatCannotBeListedIsToldInTheBoxAndTheListedFilesAreStillJudged)
{
    ASSERT_EQ(checker.ImportSumFile(dir / "photos/SHA256SUMS").Taken, 4u);
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod((dir / "photos").c_str(), 0311), 0);
    std::optional<TreeIntakeReport> report;
    {
        AsOrdinaryUser nobody;
        ASSERT_TRUE(nobody.Switched());
        checker.AuditFolder();
        while (!(report = checker.DeliverTreeIntake()))
            std::this_thread::yield();
    }
    ::chmod((dir / "photos").c_str(), 0755);
    ASSERT_EQ(report->Unreadable.size(), 1u);
    EXPECT_EQ(report->Unreadable[0].Path, dir / "photos");
    EXPECT_EQ(checker.List().Count(), 4u);
    Calculate();
    EXPECT_EQ(window.StatusText,
              "审核完毕，匹配 1 个，不匹配 1 个，文件不存在 2 个，新文件 0 个，已移动 0 个");
}

}  // namespace
