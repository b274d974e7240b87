// The import of a sum file off the window's thread: the window sees it as a pass, with the count
// of listings taken so far; a stop ends it at once and keeps what was taken, also when the sum
// file's own read or a listed file's size probe never returns; and the verdicts after a pass ask
// nothing of the file system.
#include "checking/SumImport.h"
#include "platform/Locale.h"
#include "tests/checking/CheckerTestBed.h"
#include "tests/support/SumsTesting.h"

#include <filesystem>

namespace {

constexpr size_t kFiles = 120;
constexpr size_t kHeld = 70;  // the listed file whose probe hangs

class ImportThread : public CheckerTestBed {
protected:
    static std::string Name(size_t i)
    {
        char name[16];
        std::snprintf(name, sizeof name, "f%04zu", i);
        return name;
    }
    // kFiles files and their MD5SUMS, the list by name.
    void MakeFiles()
    {
        for (size_t i = 0; i < kFiles; ++i)
            dir.Write(Name(i), "content " + std::to_string(i));
        ASSERT_EQ(RunShell("cd " + ShellWord(dir.Path()) + " && md5sum f* > MD5SUMS"), 0);
    }
    // Delivers as the window's event loop does until the test says enough.
    template <class Enough>
    void DeliverUntil(Enough enough)
    {
        while (!enough() && checker.PassRunning()) {
            window.AwaitDeliveryRequest();
            checker.DeliverPass();
        }
    }
};

TEST_F(ImportThread, AStopInTheMiddleKeepsTheRowsTakenAndReportsThem)
{
    MakeFiles();
    SelectOnly({HashItem::SHA1});
    window.StatusText = "计算完毕";
    window.CommandsEnabled = true;
    auto gate = std::make_shared<ReadGate>();
    files.HoldProbe(dir / Name(kHeld), gate);

    checker.StartSumImport(dir / "MD5SUMS");
    // Shown as a pass: the stop at hand, the commands held.
    EXPECT_TRUE(checker.PassRunning());
    EXPECT_TRUE(window.ProgressGroupShown);
    EXPECT_TRUE(window.BusyCursor);
    EXPECT_FALSE(window.CommandsEnabled);
    // Nothing that would replace the list's state is taken meanwhile.
    checker.Calculate();
    checker.ClearList();
    EXPECT_FALSE(checker.HashItemClicked(HashItem::MD4, true));
    EXPECT_EQ(checker.ImportSumFile(dir / "MD5SUMS").Taken, 0u);
    EXPECT_TRUE(checker.PassRunning());
    gate->AwaitReader();
    DeliverUntil([&] { return checker.List().Count() == kHeld; });
    ASSERT_EQ(checker.List().Count(), kHeld);
    EXPECT_EQ(window.StatusText, "正在导入校验文件…（已读取 70 行）");
    EXPECT_TRUE(checker.PassRunning());

    checker.StopPass();
    EXPECT_FALSE(checker.PassRunning());
    EXPECT_EQ(window.ImportsEnded, 1);
    EXPECT_FALSE(window.ProgressGroupShown);
    EXPECT_FALSE(window.BusyCursor);
    EXPECT_TRUE(window.CommandsEnabled);
    ASSERT_EQ(checker.List().Count(), kHeld);
    for (size_t i = 0; i < kHeld; ++i) {
        EXPECT_EQ(checker.List().At(i).Caption, Name(i));
        EXPECT_EQ(checker.List().At(i).Expected.size(), 1u);
    }
    // The end of the import as after a whole one: MD5 ticked, the count and the signature told.
    EXPECT_TRUE(checker.IsChecked(HashItem::MD5));
    EXPECT_TRUE(checker.IsChecked(HashItem::SHA1));
    EXPECT_EQ(window.StatusText, "待计算的文件总数:70，校验文件未签名");

    // The probe that comes back after the stop hands over nothing.
    gate->Open();
    window.AwaitDeliveryRequest();
    checker.DeliverPass();
    EXPECT_EQ(checker.List().Count(), kHeld);

    // What was kept is checked as a whole import is.
    Calculate();
    VerdictTotals totals;
    for (size_t i = 0; i < checker.List().Count(); ++i)
        if (checker.List().At(i).Verdict)
            totals.Count(*checker.List().At(i).Verdict);
    EXPECT_EQ(totals.Matches, kHeld);
}

TEST_F(ImportThread, ASumFileWhoseReadHangsEndsWhenStoppedAndLeavesTheWindowAsItWas)
{
    MakeFiles();
    auto gate = std::make_shared<ReadGate>();
    files.HoldRead(dir / "MD5SUMS", 1, gate);
    for (const bool enabled : {false, true}) {
        window.CommandsEnabled = enabled;
        window.StatusText = "准备就绪";
        checker.StartSumImport(dir / "MD5SUMS");
        gate->AwaitReader();
        window.AwaitDeliveryRequest();
        checker.DeliverPass();
        EXPECT_EQ(window.StatusText, "正在导入校验文件…");
        EXPECT_TRUE(checker.PassRunning());

        checker.StopPass();
        EXPECT_FALSE(checker.PassRunning());
        // Nothing was read, so there is nothing to tell.
        EXPECT_EQ(window.ImportsEnded, 0);
        EXPECT_EQ(window.StatusText, "准备就绪");
        EXPECT_EQ(window.CommandsEnabled, enabled);
        EXPECT_FALSE(window.ProgressGroupShown);
        EXPECT_TRUE(checker.List().Empty());
    }
    gate->Open();
    // The next import of the same file, read at once now, goes through.
    const SumImportReport report = checker.ImportSumFile(dir / "MD5SUMS");
    EXPECT_EQ(report.ErrorText(), "");
    EXPECT_EQ(report.Taken, kFiles);
    EXPECT_EQ(checker.List().Count(), kFiles);
    EXPECT_EQ(window.ImportsEnded, 1);
}

TEST_F(ImportThread, EveryKindOfListingEndsAsInTheWholeImport)
{
    dir.Write("there", "there\n");
    dir.Write("twice", "twice\n");
    std::filesystem::create_directory(dir / "folder");
    ASSERT_EQ(RunShell("cd " + ShellWord(dir.Path()) + " && mkfifo pipe"), 0);
    const std::string one(32, '1'), two(32, '2');
    dir.Write("list.md5", one + "  there\n" + one + "  gone\n" + one + "  folder\n" + one + "  pipe\n" + one +
                              "  twice\n" + two + "  gone\n" + two + "  pipe\n" + two + "  twice\n" + one +
                              "  ../up\n" + "garbage\n");
    // "twice" is in the list before the import.
    Drop({dir / "twice"});
    const SumImportReport report = checker.ImportSumFile(dir / "list.md5");
    EXPECT_EQ(report.Listed, 9u);
    EXPECT_EQ(report.ProblemCount, 1u);
    EXPECT_EQ(report.Taken, 3u);    // "there", "gone" and "../up": "twice" was there before
    EXPECT_EQ(report.Missing, 2u);  // "gone" and "../up"
    EXPECT_EQ(report.OutsideCount, 1u);
    ASSERT_EQ(report.Refused.Refused.size(), 2u);  // the folder and the FIFO, once each
    ASSERT_EQ(checker.List().Count(), 4u);
    EXPECT_EQ(checker.List().At(0).Caption, "twice");
    EXPECT_EQ(checker.List().At(0).Expected.size(), 2u);
    EXPECT_EQ(checker.List().At(1).Caption, "there");
    EXPECT_EQ(checker.List().At(1).SizeText, checker.List().At(0).SizeText);
    EXPECT_EQ(checker.List().At(2).Caption, "gone");
    EXPECT_EQ(checker.List().At(2).Verdict, SumVerdict::Missing);
    EXPECT_EQ(checker.List().At(2).Expected.size(), 2u);

    // The same as the import of the whole file at once on the caller's thread.
    CheckList whole;
    Intake intake(whole, files, LocaleDecimalSeparator());
    IntakeReport dropped;
    intake.TakeFile(dir / "twice", dropped);
    SumImportReport wholeReport;
    ImportSumListings(ReadSumFile(files, dir / "list.md5"), dir / "list.md5", whole, intake, files,
                      wholeReport);
    EXPECT_EQ(report.ErrorText(), wholeReport.ErrorText());
    EXPECT_EQ(report.Taken, wholeReport.Taken);
    EXPECT_EQ(report.Missing, wholeReport.Missing);
    EXPECT_EQ(report.Needed, wholeReport.Needed);
    ASSERT_EQ(whole.Count(), checker.List().Count());
    for (size_t i = 0; i < whole.Count(); ++i) {
        EXPECT_EQ(whole.At(i).Path, checker.List().At(i).Path);
        EXPECT_EQ(whole.At(i).SizeText, checker.List().At(i).SizeText);
        EXPECT_EQ(whole.At(i).Expected, checker.List().At(i).Expected);
        EXPECT_EQ(whole.At(i).Verdict, checker.List().At(i).Verdict);
    }
}

// The engine tells a missing file from one it could not read; the verdict follows what it found
// then, not what the file system says when the pass has ended.
TEST_F(ImportThread, AFileMissingDuringThePassIsJudgedMissingThoughItCameBackSince)
{
    HashingOptions options;
    options.Threads = 1;
    checker.SetHashingOptions(options);
    dir.Write("early", "early\n");
    dir.Write("late", "late\n");
    ASSERT_EQ(RunShell("cd " + ShellWord(dir.Path()) + " && md5sum early late > MD5SUMS"), 0);
    checker.ImportSumFile(dir / "MD5SUMS");
    ASSERT_EQ(checker.List().Count(), 2u);
    std::filesystem::remove(dir / "early");
    files.AfterRead(dir / "late", 1, [&] { dir.Write("early", "early\n"); });
    Calculate();
    EXPECT_EQ(checker.List().At(0).Verdict, SumVerdict::Missing);
    EXPECT_EQ(checker.List().At(1).Verdict, SumVerdict::Matches);
}

}  // namespace
