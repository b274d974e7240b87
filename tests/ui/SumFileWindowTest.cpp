// Checking against sum files through the window: the import command, the verdict column read
// from the model, a differing row that stands out beside its duplicate colour, the comparison
// with one digest, and the save dialog's sum-file filters.
#include "tests/support/GnupgHome.h"
#include "tests/support/SumsTesting.h"
#include "tests/ui/BlockingFuseFolder.h"
#include "tests/ui/Watchdog.h"
#include "tests/ui/WindowFixture.h"
#include "ui/CheckListModel.h"
#include "ui/CheckListView.h"
#include "ui/ResultTreeModel.h"

#include <QImage>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <filesystem>

namespace {

class SumFileWindowTest : public WindowTest {
protected:
    QAbstractItemModel* ListModel() { return List()->model(); }
    QString Verdict(int row)
    {
        return ListModel()->index(row, CheckListModel::VerdictColumn).data().toString();
    }
    int RowOf(const std::string& caption)
    {
        for (int row = 0; row < ListModel()->rowCount(); ++row)
            if (ListModel()->index(row, CheckListModel::NameColumn).data().toString() ==
                QString::fromStdString(caption))
                return row;
        ADD_FAILURE() << caption;
        return -1;
    }
    void Import(const std::string& sumFile)
    {
        dialogs.SumFileAnswers.push_back(sumFile);
        Action("ImportSumFileMenu")->trigger();
        // The import runs on a thread of its own and ends in the event loop.
        AwaitPassEnd();
    }
    // Files "same 1", "same 2" (equal content), "other", and "gone", with their SHA256SUMS made
    // before "same 2" was changed into a copy of "same 1" and "gone" was removed.
    void MakeSha256Sums()
    {
        dir.Write("same 1", "one content");
        dir.Write("same 2", "before the change");
        dir.Write("other", "other content");
        dir.Write("gone", "soon gone");
        ASSERT_EQ(RunShell("cd " + ShellWord(dir.Path()) +
                           " && sha256sum 'same 1' 'same 2' other gone > SHA256SUMS"),
                  0);
        dir.Write("same 2", "one content");
        std::filesystem::remove(dir / "gone");
    }
};

TEST_F(SumFileWindowTest, ImportedFilesGetTheirVerdictsAfterAPass)
{
    EXPECT_EQ(ListModel()->columnCount(), 4);
    MakeSha256Sums();
    Import(dir / "SHA256SUMS");
    EXPECT_TRUE(dialogs.Errors.isEmpty()) << dialogs.Errors.join("\n").toStdString();
    ASSERT_EQ(ListModel()->rowCount(), 4);
    ASSERT_EQ(ListModel()->columnCount(), 5);
    EXPECT_EQ(ListModel()->headerData(CheckListModel::VerdictColumn, Qt::Horizontal).toString(), "校验结果");
    EXPECT_EQ(Verdict(RowOf("gone")), "文件不存在");
    // SHA-256 ticked in the menu and in the engine list, beside the start-up MD5 and SHA-1.
    EXPECT_TRUE(Action("SHA256Hash")->isChecked());
    EXPECT_TRUE(Action("MD5Hash")->isChecked());

    Calculate();
    EXPECT_EQ(Verdict(RowOf("same 1")), "匹配");
    EXPECT_EQ(Verdict(RowOf("same 2")), "不匹配");
    EXPECT_EQ(Verdict(RowOf("other")), "匹配");
    EXPECT_EQ(Verdict(RowOf("gone")), "文件不存在");
    EXPECT_EQ(form.StatusText().toStdString(), "计算完毕，匹配 2 个，不匹配 1 个，文件不存在 1 个");

    // The differing row keeps its duplicate colour in the four columns and stands out in its own.
    const int differing = RowOf("same 2");
    const QModelIndex name = ListModel()->index(differing, CheckListModel::NameColumn);
    const QModelIndex verdict = ListModel()->index(differing, CheckListModel::VerdictColumn);
    EXPECT_EQ(name.data(Qt::BackgroundRole).value<QBrush>().color(), *ColourGroupBackground(1));
    EXPECT_NE(verdict.data(Qt::BackgroundRole).value<QBrush>().color(), *ColourGroupBackground(1));
    EXPECT_TRUE(name.data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(ListModel()->index(RowOf("other"), 0).data(Qt::FontRole).value<QFont>().bold());

    // The same on the screen: a picture of the list, kept for people to look at.
    QTest::qWait(20);
    const QImage picture = List()->grab().toImage();
    const char* folder = std::getenv("QUORVEX_PICTURES");
    picture.save(QString::fromLocal8Bit(folder ? folder : dir.Path().c_str()) + "/differing-row.png");
    const QPoint offset = List()->viewport()->mapTo(List(), QPoint(0, 0));
    const QRect nameCell = List()->visualRect(name).translated(offset);
    const QRect verdictCell = List()->visualRect(verdict).translated(offset);
    EXPECT_EQ(picture.pixelColor(nameCell.right() - 3, nameCell.center().y()), *ColourGroupBackground(1));
    EXPECT_EQ(picture.pixelColor(verdictCell.right() - 3, verdictCell.center().y()),
              verdict.data(Qt::BackgroundRole).value<QBrush>().color());
}

TEST_F(SumFileWindowTest, AListWithoutSumFilesKeepsItsFourColumnsAndStatus)
{
    Drop({dir.Write("a", "a")});
    Calculate();
    EXPECT_EQ(ListModel()->columnCount(), 4);
    EXPECT_EQ(form.StatusText().toStdString(), "计算完毕");
    Action("DeleteListMenu")->trigger();
    MakeSha256Sums();
    Import(dir / "SHA256SUMS");
    EXPECT_EQ(ListModel()->columnCount(), 5);
    Action("DeleteListMenu")->trigger();
    EXPECT_EQ(ListModel()->columnCount(), 4);
}

TEST_F(SumFileWindowTest, ABadSumFileIsReportedInTheErrorBox)
{
    dir.Write("SHA1SUMS", "no sums here\n");
    Import(dir / "SHA1SUMS");
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].contains("没有可识别的校验行")) << dialogs.Errors[0].toStdString();
    EXPECT_TRUE(dialogs.Errors[0].contains("第 1 行")) << dialogs.Errors[0].toStdString();
    Import("");  // cancelled
    EXPECT_EQ(dialogs.Errors.size(), 1);
    EXPECT_EQ(dialogs.SumFilesAsked, 2);
}

TEST_F(SumFileWindowTest, ComparingWithADigestHighlightsItsLineAndOffersTheClipboard)
{
    const std::string b = dir.Write("b", "b");
    Drop({dir.Write("a", "a"), b});
    Calculate();
    std::string sha1 = OracleFileHex(DigestAlgorithm::SHA1, b);
    dialogs.Clipboard = QString::fromStdString("  " + sha1 + "\n");
    dialogs.DigestAnswers.push_back(QString::fromStdString(" " + sha1).toUpper() + " ");
    Key(List(), Qt::Key_F);
    ASSERT_EQ(dialogs.OfferedDigests.size(), 1);
    EXPECT_EQ(dialogs.OfferedDigests[0].toStdString(), sha1);
    EXPECT_EQ(form.StatusText().toStdString(), "摘要与“b”的 SHA1 相同");
    auto* model = static_cast<ResultTreeModel*>(Tree()->model());
    EXPECT_TRUE(model->IsHighlighted(TreeNode(1, 1)));
    EXPECT_FALSE(model->IsHighlighted(TreeNode(0, 1)));
    EXPECT_TRUE(Tree()->viewport()->rect().intersects(Tree()->visualRect(TreeNode(1, 1))));
    EXPECT_TRUE(static_cast<QTreeView*>(Tree())->isExpanded(TreeNode(1)));

    // The next pass (of the new file only) looks for it again and says so after its own words.
    Drop({dir.Write("c", "b")});
    Calculate();
    EXPECT_EQ(form.StatusText().toStdString(), "计算完毕；摘要与“c”的 SHA1 相同");
    Drop({dir.Write("d", "b")});
    Action("SHA256Hash")->trigger();  // a selection change: every entry again
    Calculate();
    EXPECT_EQ(form.StatusText().toStdString(), "计算完毕；摘要与 3 个结果相同，第一个是“b”的 SHA1");

    dialogs.Clipboard = "not a digest";
    dialogs.DigestAnswers.push_back(QString(64, QLatin1Char('0')));
    Action("CompareDigestMenu")->trigger();
    EXPECT_EQ(dialogs.OfferedDigests[1].toStdString(), sha1);  // the last one, the clipboard has none
    EXPECT_EQ(form.StatusText().toStdString(), "没有与该摘要相同的结果");
    EXPECT_FALSE(model->IsHighlighted(TreeNode(1, 1)));
    dialogs.DigestAnswers.push_back("xyz");
    Action("CompareDigestMenu")->trigger();
    EXPECT_EQ(form.StatusText().toStdString(), "“xyz”不是有效的摘要");
}

TEST_F(SumFileWindowTest, TheChosenFilterDecidesWhatIsSaved)
{
    std::filesystem::create_directory(dir / "sub");
    const std::string a = dir.Write("sub/a", "a");
    Drop({a, dir.Write("b b", "b")});
    Calculate();
    // Saved as SHA-1 sum file, though the name says ".txt" and ".md5".
    dialogs.SaveAnswers.push_back(dir / "sums.md5.txt");
    dialogs.SaveFilterAnswers.push_back(2);
    Action("SaveMenu")->trigger();
    EXPECT_EQ(dialogs.OfferedSaveFilters,
              QStringList({"MD5 校验文件 (*.md5)", "SHA1 校验文件 (*.sha1)",
                           "BSD 格式校验文件，全部算法 (*.sum)", "CSV 表格 (*.csv)"}));
    EXPECT_EQ(ReadWholeFile(dir / "sums.md5.txt"), OracleFileHex(DigestAlgorithm::SHA1, a) + "  sub/a\n" +
                                                       OracleFileHex(DigestAlgorithm::SHA1, dir / "b b") +
                                                       "  b b\n");
    EXPECT_EQ(RunShell("cd " + ShellWord(dir.Path()) + " && sha1sum --quiet --strict -c sums.md5.txt"), 0);

    // Below another folder: the files outside it are named absolutely.
    dialogs.SaveAnswers.push_back(dir / "sub/all.sum");
    dialogs.SaveFilterAnswers.push_back(3);
    Action("SaveMenu")->trigger();
    const std::string tagged = ReadWholeFile(dir / "sub/all.sum");
    EXPECT_EQ(tagged.find("MD5 (a) = "), 0u) << tagged;
    EXPECT_NE(tagged.find("SHA1 (" + dir.Path() + "/b b) = "), std::string::npos) << tagged;
    EXPECT_EQ(RunShell("cd " + ShellWord(dir.Path() + "/sub") + " && rhash --skip-ok -c all.sum >/dev/null"),
              0);

    dialogs.SaveAnswers.push_back(dir / "table.txt");
    dialogs.SaveFilterAnswers.push_back(4);
    Action("SaveMenu")->trigger();
    EXPECT_EQ(ReadWholeFile(dir / "table.txt").substr(0, 20), "path,size,md5,sha1\r\n");

    // The result file stays the default, byte for byte what it was.
    dialogs.SaveAnswers.push_back(dir / "result.csv");
    Action("SaveMenu")->trigger();
    EXPECT_EQ(ReadWholeFile(dir / "result.csv").substr(0, 3), "a\r\n");
}

TEST_F(SumFileWindowTest, SignedSumFilesSayWhatTheSignatureProved)
{
    GnupgHome keyring;
    const std::string key = keyring.MakeKey("Example Release Key <release@example.org>");
    const std::string signer =
        "Example Release Key <release@example.org>（指纹 " + GroupedFingerprint(key) + "）";
    MakeSha256Sums();
    keyring.ClearSign(key, dir / "SHA256SUMS", dir / "signed");
    const std::string signedBytes = ReadWholeFile(dir / "signed");

    // Good: no box, the status and then the totals say who vouched for the list.
    dir.Write("SHA256SUMS", signedBytes);
    Import(dir / "SHA256SUMS");
    EXPECT_TRUE(dialogs.Errors.isEmpty()) << dialogs.Errors.join("\n").toStdString();
    ASSERT_EQ(ListModel()->rowCount(), 4);
    EXPECT_EQ(form.StatusText().toStdString(), "待计算的文件总数:4，签名有效：" + signer);
    Calculate();
    EXPECT_EQ(form.StatusText().toStdString(), "计算完毕，匹配 2 个，不匹配 1 个，文件不存在 1 "
                                               "个，签名有效：Example Release Key <release@example.org>");

    // A line after the signature is not taken in, and the box says so.
    Action("DeleteListMenu")->trigger();
    dir.Write("appended", "one");
    dir.Write("SHA256SUMS",
              signedBytes + OracleFileHex(DigestAlgorithm::SHA256, dir / "appended") + "  appended\n");
    Import(dir / "SHA256SUMS");
    EXPECT_EQ(ListModel()->rowCount(), 4);
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_EQ(dialogs.Errors[0].toStdString(), "签名之外的 1 行未使用。");

    // Bad: nothing is taken in, and the box and the status say why.
    Action("DeleteListMenu")->trigger();
    std::string changed = signedBytes;
    changed.replace(changed.find("other"), 5, "0ther");
    dir.Write("SHA256SUMS", changed);
    Import(dir / "SHA256SUMS");
    EXPECT_EQ(ListModel()->rowCount(), 0);
    ASSERT_EQ(dialogs.Errors.size(), 2);
    EXPECT_EQ(dialogs.Errors[1].toStdString(),
              "校验文件“" + dir / "SHA256SUMS" + "”的签名无效，其中的校验值未导入。");
    EXPECT_EQ(form.StatusText().toStdString(), "签名无效");
}

// A sum file on a share whose reads never return: the window goes on with its events while the
// import waits, shows it as a pass with its stop, and Esc ends it, leaving the window as it was.
// A listed file there is taken in from its size alone.
TEST_F(SumFileWindowTest, AnImportThatHangsLeavesTheWindowResponsiveAndEscEndsIt)
{
    BlockingFuseFolder folder;
    if (!folder.Mounted())
        GTEST_SKIP() << "no FUSE file system can be mounted here: " << folder.Problem();
    Watchdog watchdog(std::chrono::seconds(60));
    const std::string hanging = folder.Path() + "/blocking.txt";

    QWidget* fileMenu = Find<QWidget>("FileMenu");
    const bool calculateEnabled = Action("CalculateMenu")->isEnabled();
    const QString statusBefore = form.StatusText();
    dialogs.SumFileAnswers.push_back(hanging);
    Action("ImportSumFileMenu")->trigger();
    ASSERT_TRUE(form.Core().PassRunning());
    // Events keep running: a timer fires and the read has begun meanwhile.
    bool fired = false;
    QTimer::singleShot(10, [&] { fired = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return fired && folder.ReadsBegun() > 0; }, 20000));
    EXPECT_EQ(form.StatusText().toStdString(), "正在导入校验文件…");
    EXPECT_TRUE(Find<QPushButton>("StopBtn")->isVisible());
    EXPECT_FALSE(fileMenu->isEnabled());
    EXPECT_TRUE(form.Core().PassRunning());

    QTest::keyClick(List(), Qt::Key_Escape);
    EXPECT_FALSE(form.Core().PassRunning());
    EXPECT_FALSE(Find<QPushButton>("StopBtn")->isVisible());
    EXPECT_EQ(form.StatusText(), statusBefore);
    EXPECT_TRUE(fileMenu->isEnabled());
    EXPECT_EQ(Action("CalculateMenu")->isEnabled(), calculateEnabled);
    EXPECT_TRUE(dialogs.Errors.isEmpty()) << dialogs.Errors.join("\n").toStdString();
    EXPECT_EQ(ListModel()->rowCount(), 0);

    // Listed by its absolute name: taken in without a read, and the box counts it as outside.
    const int readsBefore = folder.ReadsBegun();
    dir.Write("list.md5", std::string(32, '0') + "  " + folder.Path() + "/blocking\n");
    Import(dir / "list.md5");
    EXPECT_EQ(ListModel()->rowCount(), 1);
    EXPECT_EQ(folder.ReadsBegun(), readsBefore);
    ASSERT_EQ(dialogs.Errors.size(), 1);
    EXPECT_TRUE(dialogs.Errors[0].startsWith(QStringLiteral("1 个文件位于校验文件所在文件夹之外：")))
        << dialogs.Errors[0].toStdString();
    EXPECT_EQ(form.StatusText().toStdString().rfind("待计算的文件总数:1，", 0), 0u)
        << form.StatusText().toStdString();
}

}  // namespace
