// The results leaving the window: clipboard, result file, and the keys that reach them.
#include "tests/support/SumsTesting.h"
#include "tests/ui/WindowFixture.h"

#include <QItemSelectionModel>
#include <QTimer>

namespace {

class ExportTest : public WindowTest {
protected:
    // One file a.txt calculated with the start-up selection.
    void CalculateOneFile()
    {
        Drop({dir.Write("a.txt", "abc")});
        Calculate();
        ASSERT_EQ(Tree()->model()->rowCount(), 1);
    }
    void SelectNode(const QModelIndex& node)
    {
        Tree()->selectionModel()->select(node, QItemSelectionModel::ClearAndSelect);
    }
    // GB18030 of the text: ASCII as it is, the full-width colon as A3 BA.
    static std::string ResultLine(int level, const std::string& text)
    {
        std::string line(static_cast<size_t>(level), '\t');
        for (size_t i = 0; i < text.size(); ++i) {
            if (text.compare(i, 3, "：") == 0) {
                line += "\xA3\xBA";
                i += 2;
            } else {
                line += text[i];
            }
        }
        return line + "\r\n";
    }
};

TEST_F(ExportTest, CopyAllPutsTheHeaderAndEveryNodeOnTheClipboard)
{
    Find<QAction>("N1")->trigger();
    ASSERT_EQ(dialogs.ClipboardTexts.size(), 1);
    EXPECT_EQ(dialogs.ClipboardTexts[0].toStdString(), "Quorvex校验结果：\r\n\r\n") << "empty tree";

    CalculateOneFile();
    Find<QAction>("N1")->trigger();
    const std::string expected =
        "Quorvex校验结果：\r\n\r\na.txt\r\n" + Md5Text("abc") + "\r\n" + Sha1Text("abc") + "\r\n";
    ASSERT_EQ(dialogs.ClipboardTexts.size(), 2);
    EXPECT_EQ(dialogs.ClipboardTexts[1].toUtf8().toStdString(), expected);
}

TEST_F(ExportTest, CopySelectedCopiesTheSelectedNodeOnlyAndNothingWithoutOne)
{
    CalculateOneFile();
    Find<QAction>("CopyResultMenu")->trigger();
    EXPECT_TRUE(dialogs.ClipboardTexts.isEmpty());

    SelectNode(TreeNode(0));
    Find<QAction>("CopyResultMenu")->trigger();
    SelectNode(TreeNode(0, 0));
    Key(Tree(), Qt::Key_C);  // the popup's Ctrl+C, from the focused tree
    ASSERT_EQ(dialogs.ClipboardTexts.size(), 2);
    EXPECT_EQ(dialogs.ClipboardTexts[0], QStringLiteral("a.txt"));
    EXPECT_EQ(dialogs.ClipboardTexts[1].toStdString(), Md5Text("abc"));
}

TEST_F(ExportTest, RightClickOpensThePopupWithoutMovingTheSelection)
{
    CalculateOneFile();
    SelectNode(TreeNode(0));
    auto* tree = qobject_cast<QTreeView*>(Tree());
    tree->expand(TreeNode(0));
    const QRect line = tree->visualRect(TreeNode(0, 1));
    QTest::mousePress(tree->viewport(), Qt::RightButton, {}, line.center());
    QTest::mouseRelease(tree->viewport(), Qt::RightButton, {}, line.center());
    const QModelIndexList selected = tree->selectionModel()->selectedIndexes();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0], TreeNode(0));
}

TEST_F(ExportTest, SaveWritesTheResultFileThroughTheDialogAndProposesTheLastPath)
{
    CalculateOneFile();
    const std::string target = dir / "results";  // no extension: used as typed
    dialogs.SaveAnswers.push_back(target);
    Click("SaveToolBtn");
    ASSERT_EQ(dialogs.ProposedSaveNames.size(), 1u);
    EXPECT_EQ(dialogs.ProposedSaveNames[0], "SumoraResult.txt");
    EXPECT_EQ(ReadWholeFile(target),
              ResultLine(0, "a.txt") + ResultLine(1, Md5Text("abc")) + ResultLine(1, Sha1Text("abc")));
    EXPECT_TRUE(dialogs.Errors.isEmpty());

    Action("DeleteListMenu")->trigger();  // an empty tree replaces the file with 0 bytes
    dialogs.SaveAnswers.push_back(target);
    Action("SaveMenu")->trigger();
    ASSERT_EQ(dialogs.ProposedSaveNames.size(), 2u);
    EXPECT_EQ(dialogs.ProposedSaveNames[1], target);
    EXPECT_EQ(ReadWholeFile(target), "");
}

// A further digest ticked: its lines follow the described ones in menu order, with the names its
// tools print, and the save dialog offers its sum file, which its tool then checks.
TEST_F(ExportTest, FurtherDigestsHaveTheirLinesAndTheirSumFiles)
{
    Action("BLAKE3Hash")->trigger();
    Action("SHA3-256Hash")->trigger();
    Drop({dir.Write("a.txt", "abc")});
    Calculate();
    ASSERT_EQ(Tree()->model()->rowCount(TreeNode(0)), 4);
    EXPECT_EQ(TreeNode(0, 0).data().toString().toStdString(), Md5Text("abc"));
    EXPECT_EQ(TreeNode(0, 1).data().toString().toStdString(), Sha1Text("abc"));
    EXPECT_EQ(TreeNode(0, 2).data().toString().toStdString(),
              "SHA3-256：3A985DA74FE225B2045C172D6BD390BD855F086E3E9D525B46BFE24511431532");
    EXPECT_EQ(TreeNode(0, 3).data().toString().toStdString(),
              "BLAKE3：6437B3AC38465133FFB63B75273A8DB548C558465D79DB03FD359C6CD5BD9D85");

    // The filters: one GNU file per algorithm of the tree, then BSD and CSV.
    const std::string target = dir / "a.b3";
    dialogs.SaveAnswers.push_back(target);
    dialogs.SaveFilterAnswers.push_back(4);
    Action("SaveMenu")->trigger();
    ASSERT_EQ(dialogs.OfferedSaveFilters.size(), 6);
    EXPECT_EQ(dialogs.OfferedSaveFilters[2], QStringLiteral("SHA3-256 校验文件 (*.sha3-256)"));
    EXPECT_EQ(dialogs.OfferedSaveFilters[3], QStringLiteral("BLAKE3 校验文件 (*.b3)"));
    EXPECT_EQ(ReadWholeFile(target),
              "6437b3ac38465133ffb63b75273a8db548c558465d79db03fd359c6cd5bd9d85  a.txt\n");
    EXPECT_EQ(RunShell("cd " + ShellWord(dir.Path()) + " && b3sum -c --quiet a.b3"), 0);
}

TEST_F(ExportTest, ASaveThatFailsShowsTheErrorBox)
{
    CalculateOneFile();
    const std::string missingFolder = dir / "no-such-folder/r.txt";
    dialogs.SaveAnswers.push_back(missingFolder);
    Action("SaveMenu")->trigger();
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].startsWith(
        QString::fromStdString("Cannot create file \"" + missingFolder + "\". ")))
        << dialogs.Errors[0].toStdString();
}

TEST_F(ExportTest, CtrlSFromTheResultTreeSavesAtAnyTimeAndRunsExactlyOneSave)
{
    // Before a pass has ended SaveMenu is disabled: only the tree's popup can save.
    dialogs.SaveAnswers.push_back(dir / "empty.txt");
    Key(List(), Qt::Key_S);
    EXPECT_TRUE(dialogs.ProposedSaveNames.empty()) << "from the list Ctrl+S does nothing yet";
    Key(Tree(), Qt::Key_S);
    ASSERT_EQ(dialogs.ProposedSaveNames.size(), 1u);
    EXPECT_EQ(ReadWholeFile(dir / "empty.txt"), "");

    // With SaveMenu enabled two entries own Ctrl+S, which Qt would call ambiguous and run
    // neither: the tree's entry wins while it has the focus, the menu's elsewhere.
    CalculateOneFile();
    int menuSaves = 0;
    int popupSaves = 0;
    QObject::connect(Action("SaveMenu"), &QAction::triggered, [&] { ++menuSaves; });
    QObject::connect(Action("N3"), &QAction::triggered, [&] { ++popupSaves; });
    Key(Tree(), Qt::Key_S);
    Key(List(), Qt::Key_S);
    Tree()->setFocus();
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);  // sent to the window, tree focused
    EXPECT_EQ(dialogs.ProposedSaveNames.size(), 4u);
    EXPECT_EQ(popupSaves, 2);
    EXPECT_EQ(menuSaves, 1);
}

TEST_F(ExportTest, ThePopupStaysUsableDuringAPass)
{
    const std::string two = dir.Write("two.txt", "2");
    Drop({dir.Write("one.txt", std::string(60000, '1')), two});
    auto gate = std::make_shared<ReadGate>();  // the pass runs until the keys were pressed
    faulty.HoldRead(two, 1, gate);
    int clipboardDuringPass = -1;
    bool duringPass = false;
    QTimer::singleShot(0, &form, [&] {
        duringPass = form.Core().PassRunning();
        Key(Tree(), Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
        clipboardDuringPass = static_cast<int>(dialogs.ClipboardTexts.size());
        gate->Open();
    });
    Calculate();
    EXPECT_TRUE(duringPass);
    EXPECT_EQ(clipboardDuringPass, 1);
}

}  // namespace
