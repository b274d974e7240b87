// The window as it comes up: names, captions, hints, shortcuts, pictures and states.
#include "tests/ui/WindowFixture.h"

#include "ui/CheckListView.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>

namespace {

using StartupTest = WindowTest;

TEST_F(StartupTest, WindowCaptionSizeAndIcon)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("QuorvexV2.3"));
    EXPECT_FALSE(form.windowIcon().isNull());
    EXPECT_EQ(form.width(), 577);
    // The client area below the menu bar is the designed 577 x 303.
    EXPECT_EQ(form.height() - form.menuBar()->height(), 303);
    EXPECT_TRUE(form.acceptDrops());
    EXPECT_EQ(form.StatusText(), QStringLiteral("准备就绪"));
    EXPECT_EQ(Find<QLabel>("StatusPanel0")->width(), 350);
    EXPECT_FALSE(Find<QLabel>("StatusPanel1")->text().isEmpty());
}

TEST_F(StartupTest, ToolBarButtonsCarryCaptionsHintsPicturesAndStartStates)
{
    struct Expected {
        const char* name;
        QString caption;
        QString hint;
        bool enabled;
    };
    const Expected buttons[] = {
        {"OpenFileToolBtn", QStringLiteral("添加文件"), QStringLiteral("添加单个文件"), true},
        {"OpenDocuToolBtn", QStringLiteral("添加文件夹"), QStringLiteral("添加文件夹下的所有文件"), true},
        {"DeleteToolBtn", QStringLiteral("删除文件"), QStringLiteral("删除选中的文件"), false},
        {"DeleteListToolBtn", QStringLiteral("清空列表"), QStringLiteral("清除所有文件"), false},
        {"SaveToolBtn", QStringLiteral("保存列表"), QStringLiteral("保存结果到文件"), false},
        {"HashSelToolBtn", QStringLiteral("算法选择"), QStringLiteral("选择需要的算法"), true},
        {"CalculateToolBtn", QStringLiteral("计算"), QStringLiteral("开始计算"), false},
    };
    auto* toolBar = Find<QToolBar>("ToolBar");
    ASSERT_NE(toolBar, nullptr);
    EXPECT_EQ(toolBar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QList<QImage> pictures;
    int previousX = -1;
    for (const Expected& expected : buttons) {
        SCOPED_TRACE(expected.name);
        QToolButton* button = Button(expected.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->parentWidget(), toolBar);
        EXPECT_EQ(button->text(), expected.caption);
        EXPECT_EQ(button->toolTip(), expected.hint);
        EXPECT_EQ(button->isEnabled(), expected.enabled);
        EXPECT_GT(button->x(), previousX) << "left to right in table order";
        previousX = button->x();
        const QImage picture = button->icon().pixmap(32, 32).toImage();
        EXPECT_EQ(picture.size(), QSize(32, 32));
        EXPECT_FALSE(pictures.contains(picture)) << "each button has a picture of its own";
        pictures << picture;
    }
    EXPECT_EQ(Button("HashSelToolBtn")->menu(), Find<QMenu>("HashSelect"));
    EXPECT_EQ(Button("HashSelToolBtn")->popupMode(), QToolButton::InstantPopup);
    for (const char* separator : {"SplitterToolBtn1", "SplitterToolBtn2", "SplitterToolBtn3"}) {
        SCOPED_TRACE(separator);
        EXPECT_TRUE(Action(separator)->isSeparator());
        QWidget* line = toolBar->widgetForAction(Action(separator));
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->width(), 8);
    }
    EXPECT_EQ(Button("OpenFileToolBtn")->size(), QSize(67, 52));
}

TEST_F(StartupTest, MenuBarEntriesInOrderWithShortcutsAndStates)
{
    auto* fileMenu = Find<QMenu>("FileMenu");
    auto* toolsMenu = Find<QMenu>("ToolsMenu");
    auto* helpMenu = Find<QMenu>("HelpMenu");
    ASSERT_TRUE(fileMenu && toolsMenu && helpMenu);
    EXPECT_EQ(fileMenu->title(), QStringLiteral("文件(&F)"));
    EXPECT_EQ(toolsMenu->title(), QStringLiteral("工具(&T)"));
    EXPECT_EQ(helpMenu->title(), QStringLiteral("帮助(&H)"));
    const QList<QAction*> bar = Find<QMenuBar>("MainMenu")->actions();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(bar[0], fileMenu->menuAction());
    EXPECT_EQ(bar[1], toolsMenu->menuAction());
    EXPECT_EQ(bar[2], helpMenu->menuAction());

    struct Entry {
        const char* name;
        QString caption;  // empty for a separator
        QKeySequence shortcut;
        bool enabled;
        bool picture;
    };
    const std::pair<QMenu*, std::vector<Entry>> menus[] = {
        {fileMenu,
         {{"OpenFileMenu", QStringLiteral("添加文件"), QKeySequence(QStringLiteral("Ctrl+O")), true, true},
          {"OpenDocuMenu", QStringLiteral("添加文件夹"), {}, true, true},
          {"Cut1", {}, {}, true, false},
          {"DeleteFileMenu", QStringLiteral("删除文件"), {}, true, false},
          {"DeleteListMenu", QStringLiteral("清空列表"), {}, true, false},
          {"Cut4", {}, {}, true, false},
          {"SaveMenu", QStringLiteral("保存列表"), QKeySequence(QStringLiteral("Ctrl+S")), false, true},
          {"Cut2", {}, {}, true, false},
          {"QuitMenu", QStringLiteral("退出"), {}, true, true}}},
        {toolsMenu,
         {{"HashMenu", QStringLiteral("算法选择"), {}, true, false},
          {"Cut3", {}, {}, true, false},
          {"CalculateMenu", QStringLiteral("计算"), QKeySequence(QStringLiteral("Ctrl+J")), false, false}}},
        {helpMenu, {{"HomePage", QStringLiteral("官方网站"), QKeySequence(QStringLiteral("Ctrl+H")), true, true}}},
    };
    for (const auto& [menu, entries] : menus) {
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(entries.size())) << menu->objectName().toStdString();
        for (size_t i = 0; i < entries.size(); ++i) {
            const Entry& entry = entries[i];
            SCOPED_TRACE(entry.name);
            QAction* action = actions[static_cast<qsizetype>(i)];
            EXPECT_EQ(action->objectName(), QString::fromLatin1(entry.name));
            EXPECT_EQ(action->isSeparator(), entry.caption.isEmpty());
            if (action->isSeparator())
                continue;
            EXPECT_EQ(action->text(), entry.caption);
            EXPECT_EQ(action->shortcut(), entry.shortcut);
            EXPECT_EQ(action->isEnabled(), entry.enabled);
            EXPECT_EQ(!action->icon().isNull(), entry.picture);
        }
    }
}

TEST_F(StartupTest, AlgorithmMenuChecksMd5AndSha1Only)
{
    const QList<QAction*> actions = Find<QMenu>("HashSelect")->actions();
    ASSERT_EQ(actions.size(), 11);
    const char* names[] = {"CRC32_FCS32Hash", "Haval256Hash",  "MD4Hash",    "MD5Hash",
                           "RipeMD128Hash",   "RipeMD160Hash", "SHA1Hash",   "SHA256Hash",
                           "SHA384Hash",      "SHA512Hash",    "Tiger192Hash"};
    const char* captions[] = {"CRC32 / FCS32", "Haval256", "MD4",    "MD5",    "RipeMD128", "RipeMD160",
                              "SHA1",          "SHA256",   "SHA384", "SHA512", "Tiger192"};
    for (int i = 0; i < 11; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(actions[i]->objectName(), QString::fromLatin1(names[i]));
        EXPECT_EQ(actions[i]->text(), QString::fromLatin1(captions[i]));
        EXPECT_TRUE(actions[i]->isCheckable());
        const bool startsChecked = i == 3 || i == 6;
        EXPECT_EQ(actions[i]->isChecked(), startsChecked);
        EXPECT_EQ(form.Core().IsChecked(kHashItems[static_cast<size_t>(i)].Item), startsChecked);
    }
}

TEST_F(StartupTest, EngineListHoldsTenEnginesWithOnlySha1Checked)
{
    auto* lstHashes = Find<QListWidget>("lstHashes");
    ASSERT_NE(lstHashes, nullptr);
    EXPECT_FALSE(lstHashes->isVisible());
    const char* algorithms[] = {"SHA1",   "Haval (256bit, 5 passes)", "MD4",    "RipeMD-128", "RipeMD-160",
                                "SHA256", "SHA384",                   "SHA512", "Tiger",      "MD5"};
    ASSERT_EQ(form.Core().EngineCount(), 10u);
    ASSERT_EQ(lstHashes->count(), 10);
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(form.Core().EngineText(static_cast<size_t>(i)), algorithms[i]);
        EXPECT_EQ(form.Core().Engine(static_cast<size_t>(i)).Algorithm(), algorithms[i]);
        EXPECT_EQ(lstHashes->item(i)->text(), QString::fromLatin1(algorithms[i]));
        EXPECT_EQ(lstHashes->item(i)->checkState(), i == 0 ? Qt::Checked : Qt::Unchecked);
        EXPECT_EQ(form.Core().EngineChecked(static_cast<size_t>(i)), i == 0);
    }
}

TEST_F(StartupTest, CheckListColumnsHintAndResultTreeWidth)
{
    auto* list = Find<CheckListView>("NeedCheckFileList");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->toolTip(), QStringLiteral("您可以直接拖拽文件到此处。"));
    EXPECT_TRUE(list->showGrid());
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    const QString captions[] = {QStringLiteral("文件名称"), QStringLiteral("状态"), QStringLiteral("文件大小"),
                                QStringLiteral("路径")};
    for (int column = 0; column < 4; ++column)
        EXPECT_EQ(list->model()->headerData(column, Qt::Horizontal).toString(), captions[column]);
    EXPECT_EQ(list->columnWidth(1), 50);
    EXPECT_EQ(list->columnWidth(2), 80);
    const int rest = list->viewport()->width() - 130;
    EXPECT_EQ(list->columnWidth(3), rest / 2);
    EXPECT_EQ(list->columnWidth(0), rest - rest / 2);

    EXPECT_EQ(Tree()->width(), 185);
    auto* splitter = Find<QSplitter>("SplitterLR");
    EXPECT_EQ(splitter->handleWidth(), 3);
    EXPECT_EQ(splitter->widget(0), list);
    EXPECT_EQ(splitter->widget(1), Tree());
    EXPECT_GE(list->minimumWidth(), 30);
    EXPECT_GE(Tree()->minimumWidth(), 30);
}

TEST_F(StartupTest, ColumnsShareTheWidthAgainAfterAResize)
{
    auto* list = Find<CheckListView>("NeedCheckFileList");
    form.resize(900, 400);
    QCoreApplication::processEvents();
    const int rest = list->viewport()->width() - 130;
    EXPECT_GT(rest, 300);
    EXPECT_EQ(list->columnWidth(0) + list->columnWidth(3), rest);
    EXPECT_EQ(list->columnWidth(0) - list->columnWidth(3), rest % 2);
    EXPECT_EQ(list->columnWidth(1), 50);
    // The result tree keeps its width; the list takes the new room.
    EXPECT_EQ(Tree()->width(), 185);
}

TEST_F(StartupTest, ProgressGroupIsHiddenAndSitsOverTheListsLowerRightCorner)
{
    auto* group = Find<QGroupBox>("CheckGroupBox");
    ASSERT_NE(group, nullptr);
    EXPECT_FALSE(group->isVisible());
    EXPECT_EQ(group->title(), QStringLiteral("校验进度"));
    EXPECT_EQ(group->size(), QSize(240, 73));
    EXPECT_EQ(form.width() - group->geometry().right() - 1, 190);
    EXPECT_EQ(Find<QLabel>("CurrentProgressCap")->text(), QStringLiteral("当前进度："));
    EXPECT_EQ(Find<QLabel>("AllProgressCap")->text(), QStringLiteral("整体进度："));
    EXPECT_EQ(Find<QLabel>("CurrentProgressCap")->pos(), QPoint(18, 24));
    EXPECT_EQ(Find<QLabel>("AllProgressCap")->pos(), QPoint(18, 53));
    EXPECT_EQ(Find<QProgressBar>("CurrentProgressBar")->geometry(), QRect(78, 22, 150, 17));
    EXPECT_EQ(Find<QProgressBar>("AllProgressBar")->geometry(), QRect(78, 51, 150, 17));
    EXPECT_EQ(Find<QProgressBar>("CurrentProgressBar")->maximum(), 100);

    // Over the list, just above the status bar, and above the list in stacking order.
    const QRect list = List()->geometry().translated(List()->parentWidget()->mapTo(&form, QPoint()));
    EXPECT_TRUE(list.contains(group->geometry().bottomRight() - QPoint(0, 1)));
    EXPECT_EQ(form.statusBar()->geometry().top() - group->geometry().bottom() - 1, 2);
}

TEST_F(StartupTest, ResultPopupEntries)
{
    const QList<QAction*> actions = Find<QMenu>("ListPopupMenu")->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0]->objectName(), QStringLiteral("CopyResultMenu"));
    EXPECT_EQ(actions[0]->text(), QStringLiteral("复制选中的到剪贴板"));
    EXPECT_EQ(actions[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
    EXPECT_EQ(actions[1]->objectName(), QStringLiteral("N1"));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("复制全部到剪贴板"));
    EXPECT_EQ(actions[1]->shortcut(), QKeySequence(QStringLiteral("Ctrl+Alt+C")));
    EXPECT_EQ(actions[2]->objectName(), QStringLiteral("N2"));
    EXPECT_TRUE(actions[2]->isSeparator());
    EXPECT_EQ(actions[3]->objectName(), QStringLiteral("N3"));
    EXPECT_EQ(actions[3]->text(), QStringLiteral("保存所有结果到文件"));
    EXPECT_EQ(actions[3]->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    for (QAction* action : actions)
        EXPECT_TRUE(action->isEnabled());
}

}  // namespace
