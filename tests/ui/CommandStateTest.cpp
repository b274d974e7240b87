// The command set and the save commands through intake, pass and clearing; the menu shortcuts
// that act only while their menus are enabled; the algorithm menu.
#include "tests/ui/WindowFixture.h"

#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QToolBar>

namespace {

class CommandStateTest : public WindowTest {
protected:
    // The seven of the command set, as the user meets them.
    std::vector<bool> CommandSet()
    {
        return {Find<QToolBar>("ToolBar")->isEnabled(), Find<QMenu>("FileMenu")->isEnabled(),
                Find<QMenu>("ToolsMenu")->isEnabled(),  Action("CalculateMenu")->isEnabled(),
                Button("DeleteToolBtn")->isEnabled(),   Button("DeleteListToolBtn")->isEnabled(),
                Button("CalculateToolBtn")->isEnabled()};
    }
    static std::vector<bool> All(bool state) { return std::vector<bool>(7, state); }
    bool SaveMenuOn() { return Action("SaveMenu")->isEnabled(); }
    bool SaveButtonOn() { return Button("SaveToolBtn")->isEnabled(); }
};

TEST_F(CommandStateTest, ThroughIntakePassAndClearList)
{
    const std::vector<bool> atStart{true, true, true, false, false, false, false};
    EXPECT_EQ(CommandSet(), atStart);
    EXPECT_FALSE(SaveMenuOn());
    EXPECT_FALSE(SaveButtonOn());
    Click("OpenDocuToolBtn");  // cancelled on an empty list: nothing changes
    EXPECT_EQ(dialogs.FoldersAsked, 1);
    EXPECT_EQ(CommandSet(), atStart);

    const std::string path = dir.Write("a.txt", "a");
    dialogs.FileAnswers.push_back({path});
    Click("OpenFileToolBtn");
    EXPECT_EQ(dialogs.FilesAsked, 1);
    EXPECT_EQ(CommandSet(), All(true));
    EXPECT_FALSE(SaveMenuOn());
    EXPECT_FALSE(SaveButtonOn());

    std::vector<bool> duringPass;
    auto gate = std::make_shared<ReadGate>();  // the pass runs until the timer has looked
    faulty.HoldRead(path, 1, gate);
    QTimer::singleShot(0, &form, [&] {
        duringPass = CommandSet();
        gate->Open();
    });
    Calculate();
    EXPECT_EQ(duringPass, All(false));
    EXPECT_EQ(CommandSet(), All(true));
    EXPECT_TRUE(SaveMenuOn());
    EXPECT_TRUE(SaveButtonOn());

    Click("OpenFileToolBtn");  // cancelled on a list with files: the count again
    EXPECT_EQ(form.StatusText(), QStringLiteral("待计算的文件总数:1"));

    Click("DeleteListToolBtn");
    EXPECT_EQ(List()->model()->rowCount(), 0);
    EXPECT_EQ(Tree()->model()->rowCount(), 0);
    EXPECT_EQ(form.StatusText(), QStringLiteral("准备就绪"));
    EXPECT_EQ(CommandSet(), All(true)) << "once enabled, the set stays so on an empty list";
    EXPECT_TRUE(SaveMenuOn()) << "the File menu's save entry keeps its state";
    EXPECT_FALSE(SaveButtonOn());
}

TEST_F(CommandStateTest, DeleteRemovesTheRowSelectedWithTheMouseAndClearsTheTree)
{
    Drop({dir.Write("a.txt", "a"), dir.Write("b.txt", "b"), dir.Write("c.txt", "c")});
    Calculate();
    // Selecting by mouse reaches the core's selection.
    auto* table = qobject_cast<QTableView*>(List());
    const QRect row1 = table->visualRect(table->model()->index(1, 2));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row1.center());
    EXPECT_EQ(form.Core().List().Selected(), std::optional<size_t>(1));
    Action("DeleteFileMenu")->trigger();
    ASSERT_EQ(List()->model()->rowCount(), 2);
    EXPECT_EQ(List()->model()->index(1, 0).data().toString(), QStringLiteral("c.txt"));
    EXPECT_EQ(Tree()->model()->rowCount(), 0);
    EXPECT_TRUE(SaveButtonOn()) << "Delete changes no command state";
}

TEST_F(CommandStateTest, CtrlJDoesNothingBeforeTheFirstIntakeAndCalculatesAfterIt)
{
    const std::string path = dir.Write("j.txt", "j");
    form.Core().List().Append(CheckEntry{"j.txt", kStatusPending, "0KB", path});  // not an intake
    Key(List(), Qt::Key_J);
    EXPECT_EQ(Tree()->model()->rowCount(), 0);
    EXPECT_EQ(form.StatusText(), QStringLiteral("准备就绪"));

    Drop({path});
    Key(List(), Qt::Key_J);
    AwaitPassEnd();
    EXPECT_EQ(Tree()->model()->rowCount(), 2);
    EXPECT_EQ(form.StatusText(), QStringLiteral("计算完毕"));
}

TEST_F(CommandStateTest, MenuShortcutsDoNothingWhileTheirMenuIsDisabled)
{
    const std::string path = dir.Write("k.txt", std::string(50000, 'k'));
    Drop({path});
    auto gate = std::make_shared<ReadGate>();  // the pass runs until the keys were pressed
    faulty.HoldRead(path, 1, gate);
    bool entryEnabledDuringPass = false;
    QTimer::singleShot(0, &form, [&] {
        entryEnabledDuringPass = Action("OpenFileMenu")->isEnabled();  // only its menu is not
        Key(List(), Qt::Key_O);
        Key(&form, Qt::Key_O);
        gate->Open();
    });
    Calculate();
    EXPECT_TRUE(entryEnabledDuringPass);
    EXPECT_EQ(dialogs.FilesAsked, 0) << "Ctrl+O inside the disabled File menu";

    Key(List(), Qt::Key_O);
    EXPECT_EQ(dialogs.FilesAsked, 1) << "and acts once the menu is enabled again";
}

TEST_F(CommandStateTest, HelpMenuStaysLiveDuringAPassAndOpensOurOwnAddress)
{
    const std::string path = dir.Write("h.txt", std::string(50000, 'h'));
    Drop({path});
    auto gate = std::make_shared<ReadGate>();
    faulty.HoldRead(path, 1, gate);
    bool duringPass = false;
    QTimer::singleShot(0, &form, [&] {
        duringPass = form.Core().PassRunning();
        Key(List(), Qt::Key_H);
        gate->Open();
    });
    Calculate();
    EXPECT_TRUE(duringPass);
    ASSERT_EQ(dialogs.OpenedUrls.size(), 1u);
    EXPECT_EQ(dialogs.OpenedUrls[0], QUrl(QStringLiteral("https://quorvex.example.org/")));
}

TEST_F(CommandStateTest, AnAlgorithmClickMakesEveryEntryPendingAndMirrorsTheEngineList)
{
    Drop({dir.Write("p.txt", "p"), dir.Write("q.txt", "q")});
    Calculate();
    ASSERT_EQ(List()->model()->index(0, 1).data().toString(), QStringLiteral("已校验"));

    QAction* sha256 = Action("SHA256Hash");
    sha256->trigger();
    EXPECT_TRUE(sha256->isChecked());
    EXPECT_TRUE(form.Core().IsChecked(HashItem::SHA256));
    EXPECT_EQ(Find<QListWidget>("lstHashes")->item(5)->checkState(), Qt::Checked);
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(List()->model()->index(row, 1).data().toString(), QStringLiteral("待校验"));
    EXPECT_EQ(Tree()->model()->rowCount(), 2) << "the tree stays until the next pass";

    Action("MD5Hash")->trigger();
    Action("SHA1Hash")->trigger();
    EXPECT_EQ(Find<QListWidget>("lstHashes")->item(0)->checkState(), Qt::Unchecked);
    Calculate();
    ASSERT_EQ(Tree()->model()->rowCount(TreeNode(0)), 1);
    EXPECT_TRUE(TreeNode(0, 0).data().toString().startsWith(QStringLiteral("SHA256：")));
}

TEST_F(CommandStateTest, QuitClosesTheWindow)
{
    Action("QuitMenu")->trigger();
    EXPECT_FALSE(form.isVisible());
}

}  // namespace
