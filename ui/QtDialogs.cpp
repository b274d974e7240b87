#include "ui/QtDialogs.h"

#include "ui/ApplicationTitle.h"
#include "ui/FileDialogs.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

namespace {

std::string NativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

std::vector<std::string> QtDialogs::ChooseFilesToCheck(QWidget* parent)
{
    const std::unique_ptr<QFileDialog> dialog = NewOpenDialog(parent);
    std::vector<std::string> paths;
    if (dialog->exec() != QDialog::Accepted)
        return paths;
    const QStringList chosen = dialog->selectedFiles();
    paths.reserve(static_cast<size_t>(chosen.size()));
    for (const QString& path : chosen)
        paths.push_back(NativePath(path));
    return paths;
}

std::string QtDialogs::ChooseFolder(QWidget* parent)
{
    const std::unique_ptr<QFileDialog> dialog = NewFolderDialog(parent);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return NativePath(dialog->selectedFiles().front());
}

std::optional<std::string> QtDialogs::ChooseSavePath(QWidget* parent, const std::string& proposed)
{
    const std::unique_ptr<QFileDialog> dialog =
        NewSaveDialog(parent, QFile::decodeName(QByteArray::fromStdString(proposed)));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return NativePath(dialog->selectedFiles().front());
}

void QtDialogs::ShowError(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

void QtDialogs::SetClipboardText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

void QtDialogs::OpenUrl(const QUrl& address) { QDesktopServices::openUrl(address); }
