#include "ui/FileDialogs.h"

#include "ui/NameOnlyIconProvider.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {

std::unique_ptr<QFileDialog> NewDialog(QWidget* parent, const QString& title)
{
    // One provider for every dialog of the run; a dialog does not own it.
    static NameOnlyIconProvider iconProvider;
    auto dialog = std::make_unique<QFileDialog>(parent, title);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    // On other desktops a custom folder icon is read from a file inside the folder.
    dialog->setOption(QFileDialog::DontUseCustomDirectoryIcons);
    dialog->setIconProvider(&iconProvider);
    return dialog;
}

void HideChild(QFileDialog& dialog, const char* name)
{
    if (auto* child = dialog.findChild<QWidget*>(QString::fromLatin1(name)))
        child->hide();
}

// Puts the keyboard focus into the folder list each time the dialog is shown. Qt gives it to the
// name field, which the folder dialog hides: typing would then select nothing and Enter would
// take the shown folder. In the list, typing selects by name, the arrows move, Enter opens the
// selected folder and Backspace goes up, as Qt's list does; the choose button (and its mnemonic)
// takes the selected folder, or the shown one when none is selected.
class FolderListFocus : public QObject {
public:
    explicit FolderListFocus(QFileDialog& dialog) : QObject(&dialog), dialog_(dialog)
    {
        dialog.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Qt sets its own focus once the dialog is shown; this comes after it.
        if (watched == &dialog_ && event->type() == QEvent::Show)
            QTimer::singleShot(0, this, [this] { FocusShownList(); });
        return false;
    }

private:
    void FocusShownList()
    {
        // The list and the detail view; only the one the user switched to is shown.
        for (const char* name : {"listView", "treeView"}) {
            auto* view = dialog_.findChild<QAbstractItemView*>(QString::fromLatin1(name));
            if (view && view->isVisible()) {
                view->setFocus(Qt::OtherFocusReason);
                return;
            }
        }
    }

    QFileDialog& dialog_;
};

}  // namespace

std::unique_ptr<QFileDialog> NewOpenDialog(QWidget* parent)
{
    auto dialog = NewDialog(parent, QStringLiteral("请选择需要校验的文件"));
    dialog->setFileMode(QFileDialog::ExistingFiles);
    // "*.*" is what the user knows as "every file"; on Linux that pattern would hide names
    // without a dot, so the filter shows "*.*" and matches everything.
    dialog->setNameFilter(QStringLiteral("*.* (*)"));
    return dialog;
}

std::unique_ptr<QFileDialog> NewSaveDialog(QWidget* parent, const QString& proposed,
                                           const QStringList& furtherFilters)
{
    auto dialog = NewDialog(parent, QStringLiteral("结果另存为"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    // Replacing an existing file asks nothing, since the old file is only replaced once the new
    // one is complete; no default suffix, so a name typed without ".txt" is used as typed.
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->setNameFilters(QStringList{QStringLiteral("文本文件 (*.txt)")} + furtherFilters);
    dialog->selectFile(proposed);
    return dialog;
}

std::unique_ptr<QFileDialog> NewSumFileDialog(QWidget* parent, const QStringList& filters)
{
    auto dialog = NewDialog(parent, QStringLiteral("请选择校验文件"));
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters(filters);
    return dialog;
}

std::unique_ptr<QFileDialog> NewFolderDialog(QWidget* parent)
{
    auto dialog = NewDialog(parent, QStringLiteral("请选择文件夹。"));
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    // Read-only: the folder list's own menu offers no new folder, renaming or deleting either.
    dialog->setOption(QFileDialog::ReadOnly);
    for (const char* name : {"fileNameEdit", "fileNameLabel", "newFolderButton"})
        HideChild(*dialog, name);
    new FolderListFocus(*dialog);
    return dialog;
}
