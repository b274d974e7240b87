// The window as it comes up: names, captions, hints, shortcuts, pictures and states.
#include "tests/ui/WindowFixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>

namespace {

using StartupTest = WindowTest;
using Texts = QStringList;

TEST_F(StartupTest, WindowToolBarAndStatusBar)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("QuorvexV2.3"));
    EXPECT_FALSE(form.windowIcon().isNull());
    EXPECT_EQ(form.size(), QSize(577, 303 + form.menuBar()->height())) << "client area below the menu bar";
    EXPECT_EQ(form.StatusText(), QStringLiteral("准备就绪"));
    EXPECT_EQ(Find<QLabel>("StatusPanel0")->width(), 350);

    const Texts names{"OpenFileToolBtn", "OpenDocuToolBtn", "DeleteToolBtn",   "DeleteListToolBtn",
                      "SaveToolBtn",     "HashSelToolBtn",  "CalculateToolBtn"};
    const Texts captions{"添加文件", "添加文件夹", "删除文件", "清空列表", "保存列表", "算法选择", "计算"};
    const Texts hints{"添加单个文件",   "添加文件夹下的所有文件", "删除选中的文件", "清除所有文件",
                      "保存结果到文件", "选择需要的算法",         "开始计算"};
    const bool enabled[] = {true, true, false, false, false, true, false};
    QList<QImage> pictures;
    int previousX = -1;
    for (int i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].toStdString());
        QToolButton* button = Button(names[i].toLatin1().constData());
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), captions[i]);
        EXPECT_EQ(button->toolTip(), hints[i]);
        EXPECT_EQ(button->isEnabled(), enabled[i]);
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_GT(button->x(), previousX);
        previousX = button->x();
        const QImage picture = button->icon().pixmap(32, 32).toImage();
        EXPECT_FALSE(pictures.contains(picture)) << "each button has a picture of its own";
        pictures << picture;
    }
    EXPECT_EQ(Button("OpenFileToolBtn")->size(), QSize(67, 52));
    EXPECT_EQ(Button("HashSelToolBtn")->menu(), Find<QMenu>("HashSelect"));
    for (const char* separator : {"SplitterToolBtn1", "SplitterToolBtn2", "SplitterToolBtn3"}) {
        ASSERT_TRUE(Action(separator)->isSeparator()) << separator;
        EXPECT_EQ(Find<QToolBar>("ToolBar")->widgetForAction(Action(separator))->width(), 8) << separator;
    }
}

TEST_F(StartupTest, MenusInOrderWithShortcutsPicturesAndStates)
{
    // One line per entry: name, caption ("" for a separator), shortcut, enabled, has a picture.
    struct Entry {
        const char* name;
        const char* caption;
        const char* shortcut;
        bool enabled, picture;
    };
    const std::vector<std::pair<const char*, std::vector<Entry>>> menus = {
        {"FileMenu",
         {{"OpenFileMenu", "添加文件", "Ctrl+O", true, true},
          {"OpenDocuMenu", "添加文件夹", "", true, true},
          {"OpenTreeMenu", "添加文件夹及子文件夹", "", true, false},
          {"ImportSumFileMenu", "导入校验文件", "", true, false},
          {"Cut1", "", "", true, false},
          {"DeleteFileMenu", "删除文件", "", true, false},
          {"DeleteListMenu", "清空列表", "", true, false},
          {"Cut4", "", "", true, false},
          {"SaveMenu", "保存列表", "Ctrl+S", false, true},
          {"Cut2", "", "", true, false},
          {"QuitMenu", "退出", "", true, true}}},
        {"ToolsMenu",
         {{"HashMenu", "算法选择", "", true, false},
          {"Cut3", "", "", true, false},
          {"CalculateMenu", "计算", "Ctrl+J", false, false},
          {"CompareDigestMenu", "比较摘要", "Ctrl+F", true, false},
          {"AuditFolderMenu", "审核文件夹", "", false, false}}},
        {"HelpMenu", {{"HomePage", "官方网站", "Ctrl+H", true, true}}},
        {"ListPopupMenu",
         {{"CopyResultMenu", "复制选中的到剪贴板", "Ctrl+C", true, false},
          {"N1", "复制全部到剪贴板", "Ctrl+Alt+C", true, false},
          {"N2", "", "", true, false},
          {"N3", "保存所有结果到文件", "Ctrl+S", true, false}}},
    };
    for (const auto& [menuName, entries] : menus) {
        const QList<QAction*> actions = Find<QMenu>(menuName)->actions();
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(entries.size())) << menuName;
        for (size_t i = 0; i < entries.size(); ++i) {
            const Entry& entry = entries[i];
            SCOPED_TRACE(entry.name);
            const QAction* action = actions[static_cast<qsizetype>(i)];
            EXPECT_EQ(action->objectName(), QString::fromLatin1(entry.name));
            EXPECT_EQ(action->isSeparator(), !*entry.caption);
            EXPECT_EQ(action->text(), QString::fromUtf8(entry.caption));
            EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(entry.shortcut)));
            EXPECT_EQ(action->isEnabled(), entry.enabled);
            EXPECT_EQ(!action->icon().isNull(), entry.picture);
        }
    }
    const QList<QAction*> bar = Find<QMenuBar>("MainMenu")->actions();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(Texts({bar[0]->text(), bar[1]->text(), bar[2]->text()}),
              Texts({"文件(&F)", "工具(&T)", "帮助(&H)"}));
}

TEST_F(StartupTest, AlgorithmMenuAndEngineListStartWithMd5AndSha1)
{
    const QList<QAction*> items = Find<QMenu>("HashSelect")->actions();
    const Texts names{"CRC32_FCS32Hash", "Haval256Hash",  "MD4Hash",     "MD5Hash",
                      "RipeMD128Hash",   "RipeMD160Hash", "SHA1Hash",    "SHA256Hash",
                      "SHA384Hash",      "SHA512Hash",    "Tiger192Hash"};
    const Texts captions{"CRC32 / FCS32", "Haval256", "MD4",    "MD5",    "RipeMD128", "RipeMD160",
                         "SHA1",          "SHA256",   "SHA384", "SHA512", "Tiger192"};
    // The eleven, a separator, then the further digests, all unticked.
    const Texts further{"SHA224",      "SHA3-224", "SHA3-256", "SHA3-384", "SHA3-512", "BLAKE2b-512",
                        "BLAKE2s-256", "BLAKE3",   "XXH64",    "XXH3",     "XXH128",   "SM3"};
    ASSERT_EQ(items.size(), 11 + 1 + further.size());
    for (int i = 0; i < 11; ++i) {
        SCOPED_TRACE(names[i].toStdString());
        EXPECT_EQ(items[i]->objectName(), names[i]);
        EXPECT_EQ(items[i]->text(), captions[i]);
        EXPECT_EQ(items[i]->isChecked(), i == 3 || i == 6);
    }
    EXPECT_TRUE(items[11]->isSeparator());
    for (int i = 0; i < further.size(); ++i) {
        QAction* item = items[12 + i];
        EXPECT_EQ(item->text(), further[i]);
        EXPECT_EQ(item->objectName(), further[i] + QStringLiteral("Hash"));
        EXPECT_TRUE(item->isCheckable());
        EXPECT_FALSE(item->isChecked());
    }

    const Texts engines{"SHA1",       "Haval (256bit, 5 passes)",
                        "MD4",        "RipeMD-128",
                        "RipeMD-160", "SHA256",
                        "SHA384",     "SHA512",
                        "Tiger",      "MD5"};
    auto* lstHashes = Find<QListWidget>("lstHashes");
    EXPECT_FALSE(lstHashes->isVisible());
    ASSERT_EQ(lstHashes->count(), 10);
    ASSERT_EQ(form.Core().EngineCount(), 10u);
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lstHashes->item(i)->text(), engines[i]);
        EXPECT_EQ(QString::fromStdString(form.Core().Engine(static_cast<size_t>(i)).Algorithm()), engines[i]);
        EXPECT_EQ(lstHashes->item(i)->checkState(), i == 0 ? Qt::Checked : Qt::Unchecked);
    }
}

TEST_F(StartupTest, CheckListColumnsShareTheWidthAndTheResultTreeKeepsIts185Pixels)
{
    auto* list = qobject_cast<QTableView*>(List());
    EXPECT_EQ(list->toolTip(), QStringLiteral("您可以直接拖拽文件到此处。"));
    EXPECT_TRUE(list->showGrid());
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    Texts headers;
    for (int column = 0; column < 4; ++column)
        headers << list->model()->headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(headers, Texts({"文件名称", "状态", "文件大小", "路径"}));
    EXPECT_EQ(Tree()->width(), 185);
    EXPECT_EQ(Find<QSplitter>("SplitterLR")->handleWidth(), 3);

    for (const QSize size : {QSize(577, 330), QSize(900, 400), QSize(640, 330)}) {
        form.resize(size);
        QCoreApplication::processEvents();
        const int rest = list->viewport()->width() - 130;
        EXPECT_EQ(list->columnWidth(1), 50);
        EXPECT_EQ(list->columnWidth(2), 80);
        EXPECT_EQ(list->columnWidth(3), rest / 2) << size.width();
        EXPECT_EQ(list->columnWidth(0), rest - rest / 2) << size.width();
        EXPECT_EQ(Tree()->width(), 185) << "the list takes the new room";
    }
}

TEST_F(StartupTest, ProgressGroupIsHiddenOverTheListsLowerRightCorner)
{
    auto* group = Find<QGroupBox>("CheckGroupBox");
    EXPECT_FALSE(group->isVisible());
    EXPECT_EQ(group->title(), QStringLiteral("校验进度"));
    EXPECT_EQ(group->size(), QSize(240, 106));
    EXPECT_EQ(form.width() - group->geometry().right() - 1, 190);
    EXPECT_EQ(form.statusBar()->geometry().top() - group->geometry().bottom() - 1, 2);
    EXPECT_EQ(Find<QLabel>("CurrentProgressCap")->text(), QStringLiteral("当前进度："));
    EXPECT_EQ(Find<QLabel>("AllProgressCap")->text(), QStringLiteral("整体进度："));
    EXPECT_EQ(Find<QProgressBar>("CurrentProgressBar")->geometry(), QRect(78, 22, 150, 17));
    EXPECT_EQ(Find<QProgressBar>("AllProgressBar")->geometry(), QRect(78, 51, 150, 17));
    EXPECT_EQ(Find<QPushButton>("StopBtn")->text(), QStringLiteral("停止"));
    EXPECT_EQ(Find<QPushButton>("StopBtn")->geometry(), QRect(163, 76, 65, 23));
    EXPECT_TRUE(Find<QLabel>("PassSpeed")->text().isEmpty());
    EXPECT_TRUE(Find<QLabel>("PassTimeLeft")->text().isEmpty());
}

}  // namespace
