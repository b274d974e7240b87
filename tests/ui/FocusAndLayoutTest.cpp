// The keyboard's way through the window, the result tree's lines and the splitter's snap.
#include "tests/ui/WindowFixture.h"
#include "ui/CheckListModel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSplitter>

#include <sys/stat.h>

namespace {

class FocusAndLayoutTest : public WindowTest {
protected:
    void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
};

TEST_F(FocusAndLayoutTest, TabAndShiftTabGoBetweenTheCheckListAndTheResultTreeOnly)
{
    Drop({dir.Write("a.txt", "a"), dir.Write("b.txt", "b")});
    Calculate();
    List()->setFocus();
    List()->setCurrentIndex(List()->model()->index(0, CheckListModel::NameColumn));
    ASSERT_EQ(QApplication::focusWidget(), List());

    PressKey(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Tree()) << "Tab walked the list's cells or left for elsewhere";
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), List()) << "a toolbar button took the focus";
    PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), Tree());
    PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), List());
    for (QToolButton* button : Find<QToolBar>("ToolBar")->findChildren<QToolButton*>())
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << button->objectName().toStdString();
}

TEST_F(FocusAndLayoutTest, CtrlCInTheCheckListCopiesNothing)
{
    Drop({dir.Write("a.txt", "a")});
    QGuiApplication::clipboard()->setText(QStringLiteral("left alone"));
    List()->setCurrentIndex(List()->model()->index(0, CheckListModel::NameColumn));
    Key(List(), Qt::Key_C);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("left alone"));
    EXPECT_TRUE(dialogs.ClipboardTexts.isEmpty());
}

// Pixels in the cell that differ from the tree's background.
int InkIn(const QImage& image, const QRect& cell, const QColor& background)
{
    int ink = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            if (image.pixelColor(x, y) != background)
                ++ink;
    return ink;
}

TEST_F(FocusAndLayoutTest, TheResultTreeDrawsLinesFromEachFileDownToItsResultLines)
{
    Drop({dir.Write("a.txt", "a"), dir.Write("b.txt", "b")});
    Calculate();
    auto* view = Find<QTreeView>("ResultTreeView");
    view->expandAll();
    view->clearSelection();
    view->setCurrentIndex({});
    QApplication::processEvents();
    const QImage image = view->viewport()->grab().toImage();
    const QColor background = view->palette().color(QPalette::Base);
    const int indent = view->indentation();
    // The branch cells in front of a node: its own level's, then its parent's.
    auto cell = [&](const QModelIndex& node, int levelsUp) {
        const QRect item = view->visualRect(node);
        return QRect(item.left() - indent * (levelsUp + 1), item.top(), indent, item.height());
    };

    const QModelIndex firstLine = TreeNode(0, 0);
    EXPECT_GT(InkIn(image, cell(firstLine, 0), background), 0) << "no line to the first file's result line";
    EXPECT_GT(InkIn(image, cell(firstLine, 1), background), 0)
        << "no line from the first file on to the second";
    EXPECT_GT(InkIn(image, cell(TreeNode(0), 0), background), 0) << "no box in front of a file";
    // Below the last file nothing goes on at the files' level.
    const int lastLine = view->model()->rowCount(TreeNode(1)) - 1;
    EXPECT_EQ(InkIn(image, cell(TreeNode(1, lastLine), 1), background), 0);
}

class SplitterDrag {
public:
    explicit SplitterDrag(QSplitter* splitter) : splitter_(splitter), handle_(splitter->handle(1)) {}

    // Grabs the handle at its left edge and lets go where the result tree would be this wide.
    int To(int treeWidth)
    {
        const QPoint grab(0, handle_->height() / 2);
        Send(QEvent::MouseButtonPress, handle_->mapToGlobal(grab), Qt::LeftButton);
        const QPoint target(splitter_->contentsRect().right() + 1 - treeWidth - splitter_->handleWidth(),
                            grab.y());
        const QPoint global = splitter_->mapToGlobal(target);
        Send(QEvent::MouseMove, global, Qt::NoButton);
        Send(QEvent::MouseButtonRelease, global, Qt::LeftButton);
        return splitter_->sizes().at(1);
    }

private:
    void Send(QEvent::Type type, const QPoint& global, Qt::MouseButton button)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, handle_->mapFromGlobal(QPointF(global)), QPointF(global), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(handle_, &event);
    }

    QSplitter* splitter_;
    QSplitterHandle* handle_;
};

TEST_F(FocusAndLayoutTest, TheSplitterSnapsTheResultTreeShutBelowThirtyPixels)
{
    auto* splitter = Find<QSplitter>("SplitterLR");
    SplitterDrag drag(splitter);
    EXPECT_EQ(drag.To(35), 35);
    EXPECT_EQ(drag.To(30), 30);
    EXPECT_EQ(drag.To(20), 0) << "Qt's own splitter keeps the tree at 30 pixels here";
    EXPECT_EQ(drag.To(60), 60) << "dragged out again";
    const int room = splitter->contentsRect().width() - splitter->handleWidth();
    EXPECT_EQ(drag.To(room - 10), room - 30) << "the check list stays 30 pixels wide";
}

TEST_F(FocusAndLayoutTest, TheRefusalBoxShowsANameThatIsNotUtf8AsEverywhereElse)
{
    const std::string fifo = dir / "pipe-\xFF\xFE";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    dialogs.FileAnswers.push_back({fifo});
    Click("OpenFileToolBtn");
    ASSERT_EQ(dialogs.Errors.size(), 1);
    const QString shown = dialogs.Errors.first();
    EXPECT_TRUE(shown.contains(QStringLiteral("pipe-\\xFF\\xFE\""))) << shown.toStdString();
    EXPECT_FALSE(shown.contains(QChar::ReplacementCharacter));
}

}  // namespace
