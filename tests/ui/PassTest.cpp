// Drops and calculation passes through the window: what the tree, the list, its colours, the
// bars and the status line show, and what may happen while a pass runs.
#include "tests/ui/WindowFixture.h"

#include "ui/CheckListModel.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <sys/stat.h>

namespace {

using PassTest = WindowTest;

QColor PixelInRow(QAbstractItemView* view, int row, int column)
{
    auto* table = qobject_cast<QTableView*>(view);
    const QImage shot = view->viewport()->grab().toImage();
    const int x = table->columnViewportPosition(column) + table->columnWidth(column) - 6;
    const int y = table->rowViewportPosition(row) + table->rowHeight(row) / 2;
    return shot.pixelColor(x * shot.width() / view->viewport()->width(),
                           y * shot.height() / view->viewport()->height());
}

TEST_F(PassTest, TwoCopiesDroppedAndCalculatedShowTwoRootsAndArePaintedRed)
{
    const std::string path = dir.Write("copy.txt", "the same bytes");
    Drop({path, path});
    ASSERT_EQ(List()->model()->rowCount(), 2);
    EXPECT_EQ(form.StatusText(), QStringLiteral("待计算的文件总数:2"));
    QAbstractItemModel* rows = List()->model();
    EXPECT_EQ((QStringList{rows->index(1, 0).data().toString(), rows->index(1, 1).data().toString(),
                           rows->index(1, 2).data().toString(), rows->index(1, 3).data().toString()}),
              (QStringList{"copy.txt", "待校验", "0.01KB", QString::fromStdString(path)}));

    Calculate();

    const std::string md5 = Md5Text("the same bytes");
    const std::string sha1 = Sha1Text("the same bytes");
    EXPECT_EQ(TreeTexts(), (std::vector<std::string>{"copy.txt", "\t" + md5, "\t" + sha1, "copy.txt",
                                                     "\t" + md5, "\t" + sha1}));
    ASSERT_EQ(Tree()->model()->rowCount(), 2);
    EXPECT_EQ(TreeNode(1, 1).data().toString(), QString::fromStdString(sha1));
    EXPECT_FALSE(qobject_cast<QTreeView*>(Tree())->isExpanded(TreeNode(0))) << "roots come collapsed";
    EXPECT_EQ(form.StatusText(), QStringLiteral("计算完毕"));
    EXPECT_EQ(rows->index(1, 1).data().toString(), QStringLiteral("已校验"));
    EXPECT_EQ(Find<QProgressBar>("AllProgressBar")->value(), 2);
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(PixelInRow(List(), row, 2), QColor(255, 0, 0)) << "row " << row << " is painted red";
}

TEST_F(PassTest, ARowIsRepaintedPlainWhenItsGroupGoesOutOfTheEightColours)
{
    Drop({dir.Write("a.txt", "a")});
    const QColor plain = PixelInRow(List(), 0, 2);
    form.Core().List().SetColourGroup(0, 5);
    EXPECT_EQ(PixelInRow(List(), 0, 2), QColor(0, 128, 0));
    form.Core().List().SetColourGroup(0, 9);
    EXPECT_EQ(PixelInRow(List(), 0, 2), plain);
}

TEST_F(PassTest, AFileThatCannotBeReadGetsErrorLinesAndNoColour)
{
    const std::string bad = dir.Write("bad.bin", "unreadable");
    Drop({bad});
    faulty.FailRead(bad, 1);
    Calculate();
    const std::vector<std::string> texts = TreeTexts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "bad.bin");
    EXPECT_EQ(texts[1], "\tMD5：读取文件错误");
    EXPECT_EQ(texts[2].substr(texts[2].size() - std::string("：读取文件错误").size()), "：读取文件错误");
    EXPECT_FALSE(List()->model()->index(0, 0).data(Qt::BackgroundRole).isValid()) << "group 0 is not painted";
}

TEST_F(PassTest, ARefusedFileIsReportedInTheErrorBoxAndTheOthersAreTaken)
{
    const std::string good = dir.Write("good.txt", "good");
    const std::string missing = dir / "missing.txt";
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Drop({good, missing, fifo, good});
    EXPECT_EQ(List()->model()->rowCount(), 2);
    ASSERT_EQ(dialogs.Errors.size(), 1);
    const QString error = dialogs.Errors.first();
    EXPECT_TRUE(error.contains(QString::fromStdString("Cannot open file \"" + missing + "\"")));
    EXPECT_TRUE(error.contains(QString::fromStdString("Cannot open file \"" + fifo + "\"")));
    EXPECT_EQ(form.StatusText(), QStringLiteral("待计算的文件总数:2"));
}

TEST_F(PassTest, AFileNameThatIsNotUtf8IsDroppedHashedAndShownRecognisably)
{
    const std::string name = "caf\xE9.txt";  // Latin-1, as an old system may have written it
    const std::string path = dir.Write(name, "latin");
    Drop({path});
    ASSERT_EQ(form.Core().List().Count(), 1u);
    EXPECT_EQ(form.Core().List().At(0).Path, path) << "the bytes arrive unchanged";
    const QString shown = List()->model()->index(0, 0).data().toString();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("caf"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral(".txt")));
    EXPECT_FALSE(shown.contains(QChar(0xFFFD)));
    Calculate();
    EXPECT_EQ(TreeTexts().at(1), "\t" + Md5Text("latin"));
}

TEST_F(PassTest, ADropDuringAPassIsAppendedNotVisitedAndLeavesTheCommandsDisabled)
{
    const std::string first = dir.Write("first.txt", std::string(200000, 'x'));
    const std::string dropped = dir.Write("dropped.txt", "late");
    Drop({first});
    // The read of the file waits until the timer below has acted, so the pass still runs then.
    auto gate = std::make_shared<ReadGate>();
    faulty.HoldRead(first, 1, gate);

    bool ranDuringPass = false;
    bool commandsDisabledAfterDrop = false;
    bool hashButtonDisabled = false;
    QTimer::singleShot(0, &form, [&] {
        ranDuringPass = form.Core().PassRunning();
        Drop({dropped});
        commandsDisabledAfterDrop =
            !Button("CalculateToolBtn")->isEnabled() && !Action("CalculateMenu")->isEnabled() &&
            !Find<QMenu>("FileMenu")->isEnabled() && !Find<QToolBar>("ToolBar")->isEnabled();
        hashButtonDisabled = !Button("HashSelToolBtn")->isEnabled();
        // Commands of the disabled set do nothing while the pass runs.
        Action("CalculateMenu")->trigger();
        Action("DeleteListMenu")->trigger();
        gate->Open();
    });
    Calculate();

    EXPECT_TRUE(ranDuringPass);
    EXPECT_TRUE(commandsDisabledAfterDrop);
    EXPECT_TRUE(hashButtonDisabled);
    ASSERT_EQ(form.Core().List().Count(), 2u);
    EXPECT_EQ(form.Core().List().At(1).Status, kStatusPending);
    EXPECT_EQ(Tree()->model()->rowCount(), 1) << "the dropped file waits for the next pass";
    EXPECT_TRUE(Button("CalculateToolBtn")->isEnabled());
    EXPECT_EQ(form.StatusText(), QStringLiteral("计算完毕"));

    Calculate();
    ASSERT_EQ(Tree()->model()->rowCount(), 1) << "only the pending entry is computed";
    EXPECT_EQ(TreeNode(0).data().toString(), QStringLiteral("dropped.txt"));
}

// The stop button and Esc end a pass whose second file hangs in its read: the first file keeps
// its node, the second stays pending, and the window says so.
TEST_F(PassTest, StopButtonAndEscEndAPassWhoseReadHangs)
{
    const std::string a = dir.Write("a.txt", "a");
    const std::string b = dir.Write("b.txt", "b");
    Drop({a, b});
    auto gate = std::make_shared<ReadGate>();
    faulty.HoldRead(b, 1, gate);
    for (bool byKey : {false, true}) {
        Click("CalculateToolBtn");
        ASSERT_TRUE(form.Core().PassRunning());
        EXPECT_TRUE(Find<QPushButton>("StopBtn")->isVisible());
        while (form.Core().Tree().RootCount() == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        ASSERT_TRUE(form.Core().PassRunning()) << "the second file hangs";
        if (byKey)
            QTest::keyClick(List(), Qt::Key_Escape);
        else
            QTest::mouseClick(Find<QPushButton>("StopBtn"), Qt::LeftButton);
        EXPECT_FALSE(form.Core().PassRunning());
        EXPECT_EQ(form.StatusText(), QStringLiteral("计算已停止"));
        EXPECT_EQ(Tree()->model()->rowCount(), 1);
        EXPECT_EQ(form.Core().List().At(1).Status, kStatusPending);
        EXPECT_FALSE(Find<QGroupBox>("CheckGroupBox")->isVisible());
        EXPECT_TRUE(Button("CalculateToolBtn")->isEnabled());
        Action("MD5Hash")->trigger();  // both pending again for the second round
    }
    gate->Open();
}

TEST_F(PassTest, ClosingTheWindowDuringAPassStopsItAndClosesAtOnce)
{
    const std::string a = dir.Write("a.txt", std::string(100000, 'a'));
    const std::string b = dir.Write("b.txt", "b");
    Drop({a, b});
    auto gate = std::make_shared<ReadGate>();
    faulty.HoldRead(b, 1, gate);
    Click("CalculateToolBtn");
    while (form.Core().Tree().RootCount() == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    form.close();
    EXPECT_FALSE(form.isVisible()) << "closed without waiting for the hanging read";
    EXPECT_FALSE(form.Core().PassRunning());
    EXPECT_EQ(form.Core().List().At(1).Status, kStatusPending);
    gate->Open();
}

TEST_F(PassTest, ProgressGroupShowsDuringThePassAndTheBarsWrapLikeThePlatformsBar)
{
    const std::string big = dir.Write("big.bin", std::string(16384 * 40, 'b'));
    Drop({big});
    auto gate = std::make_shared<ReadGate>();
    faulty.HoldRead(big, 1, gate);
    bool groupShown = false;
    QTimer::singleShot(0, &form, [&] {
        groupShown = Find<QGroupBox>("CheckGroupBox")->isVisible();
        gate->Open();
    });
    Calculate();
    EXPECT_TRUE(groupShown);
    EXPECT_FALSE(Find<QGroupBox>("CheckGroupBox")->isVisible());

    auto* current = Find<QProgressBar>("CurrentProgressBar");
    form.SetCurrentBar(100);
    form.StepCurrentBar();
    EXPECT_EQ(current->value(), 0) << "a step past the maximum starts over";
    form.SetCurrentBar(250);
    EXPECT_EQ(current->value(), 100);
    auto* overall = Find<QProgressBar>("AllProgressBar");
    form.SetOverallBar(6, 7);
    form.StepOverallBar();
    QCoreApplication::processEvents();  // steps show once the window is free
    EXPECT_EQ(overall->value(), 7);
    form.StepOverallBar();
    QCoreApplication::processEvents();
    EXPECT_EQ(overall->value(), 0);
    // Many steps between two paints come out as they would one by one: 0 to 7, past it, on to 2.
    for (int i = 0; i < 10; ++i)
        form.StepOverallBar();
    EXPECT_EQ(overall->value(), 0) << "not shown before the window is free";
    QCoreApplication::processEvents();
    EXPECT_EQ(overall->value(), 2);
    form.StepOverallBar();
    form.SetOverallBar(3, 7);
    QCoreApplication::processEvents();
    EXPECT_EQ(overall->value(), 3) << "a position set after a step wins";
    form.SetOverallBar(0, 0);
    EXPECT_NE(overall->minimum(), overall->maximum()) << "never Qt's busy indicator";
}

TEST_F(PassTest, LongResultLinesCanBeScrolledToInsteadOfBeingCut)
{
    Action("SHA512Hash")->trigger();
    Drop({dir.Write("long.txt", "long")});
    Calculate();
    auto* tree = qobject_cast<QTreeView*>(Tree());
    EXPECT_EQ(tree->columnWidth(0), tree->viewport()->width()) << "closed, the file shows its name only";
    tree->expand(TreeNode(0));
    const QString sha512 = TreeNode(0, 2).data().toString();
    ASSERT_TRUE(sha512.startsWith(QStringLiteral("SHA512：")));
    EXPECT_GE(tree->columnWidth(0), tree->fontMetrics().horizontalAdvance(sha512));
    // The view lays its scroll bars out in the event loop, later on a slow build.
    EXPECT_TRUE(QTest::qWaitFor([tree] { return tree->horizontalScrollBar()->maximum() > 0; }, 5000));

    Action("DeleteListMenu")->trigger();
    EXPECT_EQ(tree->columnWidth(0), tree->viewport()->width()) << "an empty tree needs no room";
}

TEST_F(PassTest, SpeedAndTimeLeftAreShownInTheProgressGroup)
{
    form.SetPassRate("速度：12.5 MB/s", "剩余时间：0:00:07");
    EXPECT_EQ(Find<QLabel>("PassSpeed")->text(), QStringLiteral("速度：12.5 MB/s"));
    EXPECT_EQ(Find<QLabel>("PassTimeLeft")->text(), QStringLiteral("剩余时间：0:00:07"));
    form.SetPassRate("", "");
    EXPECT_TRUE(Find<QLabel>("PassSpeed")->text().isEmpty());
}

}  // namespace
