// The program's three file dialogs as the user meets them: their settings, and icons and type
// names that never come from reading a listed file.
#include "ui/FileDialogs.h"
#include "tests/support/TestFiles.h"
#include "tests/ui/BlockingFuseFolder.h"
#include "tests/ui/Watchdog.h"
#include "ui/NameOnlyIconProvider.h"
#include "ui/QtDialogs.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Answers the next file dialog that opens: looks at it, then cancels it.
void InspectNextDialog(std::function<void(QFileDialog&)> inspect)
{
    QTimer::singleShot(0, [inspect = std::move(inspect)] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        inspect(*dialog);
        dialog->reject();
    });
}

bool NamesOnly(const QFileDialog& dialog)
{
    return dynamic_cast<const NameOnlyIconProvider*>(dialog.iconProvider()) != nullptr &&
           dialog.testOption(QFileDialog::DontUseNativeDialog);
}

TEST(FileDialogsTest, EachDialogHasItsSettingsAndJudgesFilesByName)
{
    QtDialogs dialogs;
    InspectNextDialog([](QFileDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("请选择需要校验的文件"));
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);
        EXPECT_EQ(dialog.nameFilters(), QStringList{QStringLiteral("*.* (*)")});
        EXPECT_TRUE(NamesOnly(dialog));
    });
    EXPECT_TRUE(dialogs.ChooseFilesToCheck(nullptr).empty());

    InspectNextDialog([](QFileDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("结果另存为"));
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        // The result file first and chosen; the sum-file formats after it.
        EXPECT_EQ(dialog.nameFilters(),
                  (QStringList{QStringLiteral("文本文件 (*.txt)"), QStringLiteral("CSV 表格 (*.csv)")}));
        EXPECT_EQ(dialog.selectedNameFilter(), QStringLiteral("文本文件 (*.txt)"));
        EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_TRUE(dialog.defaultSuffix().isEmpty());
        ASSERT_EQ(dialog.selectedFiles().size(), 1);
        EXPECT_TRUE(dialog.selectedFiles().front().endsWith(QStringLiteral("/SumoraResult.txt")));
        EXPECT_TRUE(NamesOnly(dialog));
    });
    EXPECT_FALSE(dialogs.ChooseSavePath(nullptr, "SumoraResult.txt", {QStringLiteral("CSV 表格 (*.csv)")}));

    InspectNextDialog([](QFileDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("请选择校验文件"));
        EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
        ASSERT_EQ(dialog.nameFilters().size(), 2);
        EXPECT_TRUE(dialog.nameFilters().front().contains(QStringLiteral("SHA256SUMS")));
        EXPECT_EQ(dialog.nameFilters().back(), QStringLiteral("所有文件 (*)"));
        EXPECT_TRUE(NamesOnly(dialog));
    });
    EXPECT_EQ(dialogs.ChooseSumFile(nullptr), "");

    InspectNextDialog([](QFileDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("请选择文件夹。"));
        EXPECT_EQ(dialog.fileMode(), QFileDialog::Directory);
        EXPECT_TRUE(dialog.testOption(QFileDialog::ShowDirsOnly));
        EXPECT_TRUE(NamesOnly(dialog));
        for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
            EXPECT_FALSE(edit->isVisibleTo(&dialog)) << "an edit box: " << edit->objectName().toStdString();
        auto* newFolder = dialog.findChild<QWidget*>(QStringLiteral("newFolderButton"));
        ASSERT_NE(newFolder, nullptr);
        EXPECT_FALSE(newFolder->isVisibleTo(&dialog));
        EXPECT_TRUE(dialog.testOption(QFileDialog::ReadOnly)) << "the folder list's menu would make folders";
    });
    EXPECT_EQ(dialogs.ChooseFolder(nullptr), "");
}

// A PNG picture under a text file's name, and one without any extension.
constexpr char kPngStart[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR";

QString CommentOf(const char* mimeName)
{
    return QMimeDatabase().mimeTypeForName(QString::fromLatin1(mimeName)).comment();
}

TEST(FileDialogsTest, TheIconProviderGoesByTheNameAndNeverByTheContent)
{
    TempDir dir;
    const std::string png(kPngStart, sizeof kPngStart - 1);
    const QFileInfo textNamed(QString::fromStdString(dir.Write("picture.txt", png)));
    const QFileInfo unnamed(QString::fromStdString(dir.Write("noextension", png)));
    // The test can tell the two apart: where the name says nothing, Qt's own provider reads the
    // file's first bytes.
    ASSERT_EQ(QFileIconProvider().type(unnamed), CommentOf("image/png"));

    NameOnlyIconProvider provider;
    EXPECT_EQ(provider.type(textNamed), CommentOf("text/plain"));
    EXPECT_EQ(provider.type(unnamed), CommentOf("application/octet-stream"));
    const QFileInfo folder(QString::fromStdString(dir.Path()));
    EXPECT_EQ(provider.type(folder), QFileIconProvider().type(folder));
}

// Every name of a file (not a folder) in the folder that something opened since the watch began.
class OpenWatch {
public:
    explicit OpenWatch(const std::string& folder) : fd_(inotify_init1(IN_NONBLOCK))
    {
        EXPECT_GE(fd_, 0);
        EXPECT_GE(inotify_add_watch(fd_, folder.c_str(), IN_OPEN | IN_ACCESS), 0);
    }
    ~OpenWatch() { ::close(fd_); }

    QStringList FilesOpened() const
    {
        QStringList names;
        alignas(inotify_event) char buffer[4096];
        ssize_t length;
        while ((length = ::read(fd_, buffer, sizeof buffer)) > 0) {
            for (char* at = buffer; at < buffer + length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (!(event->mask & IN_ISDIR) && event->len > 0)
                    names << QString::fromUtf8(event->name);
                at += sizeof(inotify_event) + event->len;
            }
        }
        return names;
    }

private:
    int fd_;
};

TEST(FileDialogsTest, ListingAFolderInTheOpenDialogOpensNoFileInIt)
{
    TempDir dir;
    const std::string png(kPngStart, sizeof kPngStart - 1);
    for (const char* name : {"picture.txt", "noextension", "archive.tar.gz", "Makefile"})
        dir.Write(name, png);
    OpenWatch watch(dir.Path());
    Watchdog watchdog(std::chrono::seconds(60));

    QtDialogs dialogs;
    QStringList types;
    InspectNextDialog([&](QFileDialog& dialog) {
        auto* model = dialog.findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
        dialog.setDirectory(QString::fromStdString(dir.Path()));
        if (loaded.isEmpty()) {
            EXPECT_TRUE(loaded.wait(10000));
        }
        const QModelIndex folder = model->index(QString::fromStdString(dir.Path()));
        // The icons and types are filled in by the model's own thread: give it time to get to them.
        QTest::qWait(300);
        for (int row = 0; row < model->rowCount(folder); ++row) {
            types << model->index(row, 2, folder).data().toString();
            model->index(row, 0, folder).data(Qt::DecorationRole);
        }
        QTest::qWait(300);
    });
    dialogs.ChooseFilesToCheck(nullptr);
    EXPECT_EQ(types.size(), 4);
    EXPECT_TRUE(types.contains(CommentOf("text/plain"))) << types.join(QStringLiteral(", ")).toStdString();
    EXPECT_TRUE(watch.FilesOpened().isEmpty())
        << watch.FilesOpened().join(QStringLiteral(", ")).toStdString();
}

// A folder whose files' reads never return, as on a hung network share: the open dialog takes
// a path to it typed in the name box, lists it, and fills in every row's type and icon without
// waiting on a read. Only the watchdog ends the test when one of them reads a file.
TEST(FileDialogsTest, AFolderOfFilesWhoseReadsNeverReturnIsListedWithoutWaiting)
{
    BlockingFuseFolder folder;
    if (!folder.Mounted())
        GTEST_SKIP() << "no FUSE file system can be mounted here: " << folder.Problem();
    const QString path = QString::fromStdString(folder.Path());
    Watchdog watchdog(std::chrono::seconds(30));

    QtDialogs dialogs;
    QStringList types;
    int icons = 0;
    InspectNextDialog([&](QFileDialog& dialog) {
        // Typed before the folder is listed, as a user types it: on each key the completer and the
        // dialog look up the path typed so far there and then, on this thread, up to the file.
        auto* nameEdit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(nameEdit, nullptr);
        QTest::keyClicks(nameEdit, path + QStringLiteral("/blocking"));
        QTest::qWait(300);

        auto* model = dialog.findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        dialog.setDirectory(path);
        const auto listedTypes = [&] {
            QStringList listed;
            const QModelIndex folderIndex = model->index(path);
            for (int row = 0; row < model->rowCount(folderIndex); ++row)
                listed << model->index(row, 2, folderIndex).data().toString();
            return listed;
        };
        // The model's own thread fills in the types and icons.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                const QStringList listed = listedTypes();
                return listed.size() == 3 && !listed.contains(QString());
            },
            10000));
        types = listedTypes();
        const QModelIndex folderIndex = model->index(path);
        // The offscreen platform searches no icon theme, so an icon may well be empty here; what
        // counts is that asking for it came back.
        for (int row = 0; row < model->rowCount(folderIndex); ++row) {
            const QVariant icon = model->index(row, 0, folderIndex).data(Qt::DecorationRole);
            if (icon.metaType() == QMetaType::fromType<QIcon>())
                ++icons;
        }
    });
    dialogs.ChooseFilesToCheck(nullptr);

    for (const char* kind : {"text/plain", "application/octet-stream", "image/png"})
        EXPECT_TRUE(types.contains(CommentOf(kind)))
            << kind << " in " << types.join(QStringLiteral(", ")).toStdString();
    EXPECT_EQ(icons, 3);
    EXPECT_EQ(folder.ReadsBegun(), 0);
}

// The folder dialog driven by keys alone, each key going where the keyboard focus is, as a
// user's would.
class KeyboardUser {
public:
    explicit KeyboardUser(QFileDialog& dialog) : dialog_(dialog) {}

    QAbstractItemView* FocusedList() const
    {
        return qobject_cast<QAbstractItemView*>(QApplication::focusWidget());
    }

    // Waits for the focused list to show the given folder with all its rows.
    bool Shows(const std::string& folder, int rows) const
    {
        return QTest::qWaitFor(
            [&] {
                QAbstractItemView* list = FocusedList();
                return list && dialog_.directory().absolutePath() == QString::fromStdString(folder) &&
                       list->model()->rowCount(list->rootIndex()) == rows;
            },
            10000);
    }
    // A name typed after a pause, as a person types it: keys closer together make one search.
    void Type(const QString& text) const
    {
        QTest::qWait(QApplication::keyboardInputInterval() + 50);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    // Alt and the underlined letter of the dialog's choose button.
    void Choose() const
    {
        auto* buttons = dialog_.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        ASSERT_NE(buttons, nullptr);
        const QString caption = buttons->buttons().front()->text();
        const qsizetype mark = caption.indexOf(QLatin1Char('&'));
        ASSERT_GE(mark, 0) << "no mnemonic in " << caption.toStdString();
        Press(static_cast<Qt::Key>(caption.at(mark + 1).toUpper().unicode()), Qt::AltModifier);
    }

private:
    QFileDialog& dialog_;
};

// The way both routes begin: up from the start folder with Backspace, then into x by typing its
// name and Enter.
bool IntoX(const KeyboardUser& user, const std::string& top)
{
    if (!user.Shows(top + "/start", 0)) {
        ADD_FAILURE() << "the folder list has not the focus";
        return false;
    }
    user.Press(Qt::Key_Backspace);
    if (!user.Shows(top, 3))
        return false;
    user.Type(QStringLiteral("x"));
    user.Press(Qt::Key_Return);
    return user.Shows(top + "/x", 3);
}

// To y by typing another name and an arrow, chosen with the button's mnemonic.
void ChooseSelectedByKeys(QFileDialog& dialog, const std::string& top)
{
    KeyboardUser user(dialog);
    ASSERT_TRUE(IntoX(user, top));
    user.Type(QStringLiteral("w"));
    user.Press(Qt::Key_Down);
    user.Choose();
}

// Into y itself with Enter; choosing with nothing selected takes the folder shown.
void ChooseShownByKeys(QFileDialog& dialog, const std::string& top)
{
    KeyboardUser user(dialog);
    ASSERT_TRUE(IntoX(user, top));
    user.Type(QStringLiteral("y"));
    user.Press(Qt::Key_Return);
    ASSERT_TRUE(user.Shows(top + "/x/y", 1));
    user.Choose();
}

// Runs the route in the next modal file dialog; a step that failed leaves the dialog open, and
// it is then cancelled.
void WalkNextDialog(void (*route)(QFileDialog&, const std::string&), const std::string& top)
{
    QTimer::singleShot(0, [route, top] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        route(*dialog, top);
        // The mnemonic clicks the button a moment later.
        if (!QTest::qWaitFor([dialog] { return !dialog->isVisible(); }, 3000))
            dialog->reject();
    });
}

TEST(FileDialogsTest, AKeyboardUserReachesAFolderByKeysAlone)
{
    TempDir dir;
    for (const char* folder : {"start", "a", "x/w", "x/y/inner", "x/z"})
        std::filesystem::create_directories(dir.Path() + "/" + folder);
    dir.Write("x/wfile", "not a folder");

    for (const auto route : {&ChooseSelectedByKeys, &ChooseShownByKeys}) {
        const std::unique_ptr<QFileDialog> dialog = NewFolderDialog(nullptr);
        dialog->setDirectory(QString::fromStdString(dir.Path() + "/start"));
        WalkNextDialog(route, dir.Path());
        ASSERT_EQ(dialog->exec(), QDialog::Accepted);
        EXPECT_EQ(dialog->selectedFiles(), QStringList{QString::fromStdString(dir.Path() + "/x/y")});
    }
}

// Qt's own texts in the dialogs are Chinese whatever the user's locale, and what Qt would keep
// of a dialog for the next run (its last folder, view and history) goes nowhere.
TEST(FileDialogsTest, QtsOwnTextsAreChineseAndNothingIsKeptForTheNextRun)
{
    QStringList texts;
    InspectNextDialog([&](QFileDialog& dialog) {
        for (const char* name : {"lookInLabel", "fileTypeLabel"})
            texts << dialog.findChild<QLabel*>(QString::fromLatin1(name))->text();
        for (QAbstractButton* button : dialog.findChild<QDialogButtonBox*>()->buttons())
            texts << button->text();
    });
    QtDialogs().ChooseFolder(nullptr);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("查找范围："), QStringLiteral("文件类型："),
                                  QStringLiteral("选择(&C)"), QStringLiteral("取消")}));

    QMessageBox box(QMessageBox::Critical, QString(), QString(), QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    QLineEdit edit(QStringLiteral("text"));
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    EXPECT_TRUE(menu->actions().front()->text().startsWith(QStringLiteral("撤消")))
        << menu->actions().front()->text().toStdString();

    EXPECT_TRUE(QSettings(QSettings::UserScope, QStringLiteral("QtProject"))
                    .fileName()
                    .startsWith(QStringLiteral("/dev/null/")));
}

}  // namespace
