// The program's three file dialogs as the user meets them: their settings, and icons and type
// names that never come from reading a listed file.
#include "tests/support/TestFiles.h"
#include "tests/ui/BlockingFuseFolder.h"
#include "ui/NameOnlyIconProvider.h"
#include "ui/QtDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QIcon>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Ends the test program when the test has not finished in time: a listing that reads a file
// whose read never returns fails instead of hanging the run.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit)
        : thread_([this, limit] {
              std::unique_lock lock(mutex_);
              if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
                  std::fprintf(stderr, "the dialog hung: a listed file was read\n");
                  std::_Exit(EXIT_FAILURE);
              }
          })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

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

}  // namespace
