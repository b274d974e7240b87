// 文件 → 添加文件夹及子文件夹 and Sumora --recursive in the real window: the walk off the window's
// thread with its status, Esc and 停止 in the middle, the one box at the end.
#include "tests/support/SumsTesting.h"
#include "tests/support/WalkGate.h"
#include "tests/ui/WindowFixture.h"
#include "ui/WindowRequests.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <condition_variable>
#include <map>
#include <mutex>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class TreeIntakeWindowTest : public WindowTest {
protected:
    TreeIntakeWindowTest()
    {
        Folder("photos");
        Folder("photos/2024");
        Folder("photos/2024/june");
        dir.Write("photos/b.jpg", "b");
        dir.Write("photos/a a.jpg", "aa");
        dir.Write("photos/2024/c.jpg", "c");
        dir.Write("photos/2024/june/d\xff.jpg", "d");
        EXPECT_EQ(::symlink("..", (dir / "photos/2024/back").c_str()), 0);
        EXPECT_EQ(::mkfifo((dir / "photos/pipe").c_str(), 0644), 0);
    }

    void Folder(const std::string& name) { EXPECT_EQ(::mkdir((dir / name).c_str(), 0755), 0); }
    void AwaitIntakeEnd()
    {
        while (form.Core().TreeIntakeRunning())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    std::vector<std::string> Paths()
    {
        std::vector<std::string> paths;
        for (size_t i = 0; i < form.Core().List().Count(); ++i)
            paths.push_back(form.Core().List().At(i).Path);
        return paths;
    }
};

TEST_F(TreeIntakeWindowTest, TheMenuEntryTakesTheWholeTreeAfterTheFolderDialog)
{
    const std::string photos = dir / "photos";
    dialogs.FolderAnswers = {photos};
    Action("OpenTreeMenu")->trigger();
    EXPECT_EQ(dialogs.FoldersAsked, 1);
    AwaitIntakeEnd();
    EXPECT_EQ(Paths(), (std::vector<std::string>{photos + "/2024/c.jpg", photos + "/2024/june/d\xff.jpg",
                                                 photos + "/a a.jpg", photos + "/b.jpg"}));
    EXPECT_EQ(List()->model()->rowCount(), 4);
    EXPECT_EQ(form.StatusText(), QStringLiteral("待计算的文件总数:4"));
    EXPECT_TRUE(Button("CalculateToolBtn")->isEnabled());
    EXPECT_FALSE(Find<QGroupBox>("CheckGroupBox")->isVisible());
    // The FIFO is left out and counted; the link back up is not followed and costs nothing.
    EXPECT_EQ(dialogs.Errors, QStringList{QStringLiteral("已跳过特殊文件（管道、套接字、设备）1 个")});

    // Saved at the top of the tree, a GNU sum file names every file by its path from there.
    Calculate();
    const std::string sums = photos + "/photos.sha1";
    dialogs.SaveAnswers.push_back(sums);
    dialogs.SaveFilterAnswers.push_back(2);
    Action("SaveMenu")->trigger();
    EXPECT_NE(ReadWholeFile(sums).find("  2024/june/d\xff.jpg\n"), std::string::npos);
    EXPECT_EQ(RunShell("cd " + ShellWord(photos) + " && sha1sum -c --quiet --strict photos.sha1"), 0);

    // A cancelled dialog adds nothing; 添加文件夹 still takes only the files directly inside.
    Action("OpenTreeMenu")->trigger();
    EXPECT_FALSE(form.Core().TreeIntakeRunning());
    dialogs.FolderAnswers = {photos};
    Action("OpenDocuMenu")->trigger();
    EXPECT_EQ(form.Core().List().Count(), 7u);  // the sum file too
}

TEST_F(TreeIntakeWindowTest, EscAndTheStopButtonEndTheWalkAndKeepWhatWasTaken)
{
    for (bool byKey : {true, false}) {
        SCOPED_TRACE(byKey ? "Esc" : "停止");
        form.Core().ClearList();
        // The walk is held at its second file until the stop has been pressed.
        WalkGate gate(2);
        form.Core().BeginTreeIntake({dir / "photos"}, gate.Gate());
        gate.AwaitHeld();
        EXPECT_EQ(form.StatusText(), QStringLiteral("正在添加文件…已添加 0 个"));
        EXPECT_TRUE(Find<QPushButton>("StopBtn")->isVisible());
        EXPECT_FALSE(Find<QMenu>("FileMenu")->isEnabled());
        EXPECT_FALSE(Button("CalculateToolBtn")->isEnabled());
        // Begun on the core, the walk has no timer of the window's: the test delivers.
        while (form.Core().List().Count() == 0)
            form.Core().DeliverTreeIntake();
        EXPECT_EQ(form.StatusText(), QStringLiteral("正在添加文件…已添加 1 个"));

        if (byKey)
            QTest::keyClick(List(), Qt::Key_Escape);
        else
            QTest::mouseClick(Find<QPushButton>("StopBtn"), Qt::LeftButton);
        EXPECT_FALSE(form.Core().TreeIntakeRunning());
        EXPECT_EQ(Paths(), (std::vector<std::string>{dir / "photos/2024/c.jpg"}));
        EXPECT_EQ(form.StatusText(), QStringLiteral("待计算的文件总数:1"));
        EXPECT_FALSE(Find<QGroupBox>("CheckGroupBox")->isVisible());
        EXPECT_TRUE(Find<QMenu>("FileMenu")->isEnabled());
        EXPECT_TRUE(Button("CalculateToolBtn")->isEnabled());
        gate.Release();
        // Nothing more comes from the walk left behind.
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(form.Core().List().Count(), 1u);
    }
    EXPECT_TRUE(dialogs.Errors.isEmpty()) << dialogs.Errors.join(QStringLiteral("\n")).toStdString();
}

TEST_F(TreeIntakeWindowTest, StartNamesWithRecursiveTakeTreesAndFilesAsADropDoes)
{
    const std::string file = dir.Write("single.txt", "s");
    TakeStartNames(form, {dir / "photos/2024/june", file, dir / "missing"}, true);
    while (form.Core().List().Count() < 2 || form.Core().TreeIntakeRunning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    // The names that are no folders come first, as one drop; then the walk's files.
    EXPECT_EQ(Paths(), (std::vector<std::string>{file, dir / "photos/2024/june/d\xff.jpg"}));
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains(QString::fromStdString(dir / "missing")));

    // A drop with Shift held takes trees too.
    form.Core().ClearList();
    dialogs.Errors.clear();
    QMimeData mime;
    mime.setData(QStringLiteral("text/uri-list"), UriListOf({dir / "photos/2024/june"}));
    QDragEnterEvent enter(QPoint(20, 120), Qt::CopyAction, &mime, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(&form, &enter);
    QDropEvent drop(QPointF(20, 120), Qt::CopyAction, &mime, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(&form, &drop);
    AwaitIntakeEnd();
    EXPECT_EQ(Paths(), (std::vector<std::string>{dir / "photos/2024/june/d\xff.jpg"}));

    // Without it, a folder stands for the files directly inside it (in the listing's order), as
    // it always did.
    form.Core().ClearList();
    TakeStartNames(form, {dir / "photos"});
    while (form.Core().List().Count() < 2)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    std::vector<std::string> inside = Paths();
    std::sort(inside.begin(), inside.end());
    EXPECT_EQ(inside, (std::vector<std::string>{dir / "photos/a a.jpg", dir / "photos/b.jpg"}));
    EXPECT_FALSE(form.Core().TreeIntakeRunning());
}

}  // namespace

namespace {

TEST_F(TreeIntakeWindowTest, AuditingTheFolderOfAnImportedSumFileShowsNewAndMovedFiles)
{
    const std::string photos = dir / "photos";
    ASSERT_EQ(RunShell("cd " + ShellWord(photos) + " && sha1sum 'a a.jpg' b.jpg 2024/c.jpg > SHA1SUMS"), 0);
    ASSERT_EQ(::rename((photos + "/b.jpg").c_str(), (photos + "/2024/june/b2.jpg").c_str()), 0);
    EXPECT_FALSE(Action("AuditFolderMenu")->isEnabled()) << "no sum file imported yet";

    dialogs.SumFileAnswers = {photos + "/SHA1SUMS"};
    Action("ImportSumFileMenu")->trigger();
    // The import runs on a thread of its own and ends in the event loop.
    AwaitPassEnd();
    ASSERT_TRUE(Action("AuditFolderMenu")->isEnabled());
    Action("AuditFolderMenu")->trigger();
    AwaitIntakeEnd();
    ASSERT_EQ(form.Core().List().Count(), 5u);
    Calculate();

    QAbstractItemModel* model = List()->model();
    ASSERT_EQ(model->columnCount(), 5);
    std::map<std::string, std::string> verdicts;
    for (int row = 0; row < model->rowCount(); ++row)
        verdicts[form.Core().List().At(static_cast<size_t>(row)).Path] =
            model->index(row, 4).data().toString().toStdString();
    EXPECT_EQ(verdicts[photos + "/a a.jpg"], "匹配");
    EXPECT_EQ(verdicts[photos + "/b.jpg"], "已移动");
    EXPECT_EQ(verdicts[photos + "/2024/c.jpg"], "匹配");
    EXPECT_EQ(verdicts[photos + "/2024/june/d\xff.jpg"], "新文件");
    EXPECT_EQ(verdicts[photos + "/2024/june/b2.jpg"], "已移动，原为 b.jpg");
    EXPECT_EQ(form.StatusText(),
              QStringLiteral("审核完毕，匹配 2 个，不匹配 0 个，文件不存在 0 个，新文件 1 个，已移动 1 个"));
    // The special file of the tree was counted on the way in.
    EXPECT_EQ(dialogs.Errors, QStringList{QStringLiteral("已跳过特殊文件（管道、套接字、设备）1 个")});

    Action("DeleteListMenu")->trigger();
    EXPECT_FALSE(Action("AuditFolderMenu")->isEnabled());
}

}  // namespace
