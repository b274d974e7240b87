#include "ui/QtDialogs.h"

#include "ui/ApplicationTitle.h"

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
    // "*.*" is what the user knows as "every file"; on Linux that pattern would hide names
    // without a dot, so the filter shows "*.*" and matches everything.
    const QStringList chosen = QFileDialog::getOpenFileNames(
        parent, QStringLiteral("请选择需要校验的文件"), QString(), QStringLiteral("*.* (*)"));
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(chosen.size()));
    for (const QString& path : chosen)
        paths.push_back(NativePath(path));
    return paths;
}

std::string QtDialogs::ChooseFolder(QWidget* parent)
{
    const QString folder = QFileDialog::getExistingDirectory(
        parent, QStringLiteral("请选择文件夹。"), QString(), QFileDialog::ShowDirsOnly);
    return folder.isEmpty() ? std::string() : NativePath(folder);
}

std::optional<std::string> QtDialogs::ChooseSavePath(QWidget* parent, const std::string& proposed)
{
    // No default suffix: a name typed without ".txt" is used as typed. Replacing an existing
    // file asks nothing, since the old file is only replaced once the new one is complete.
    const QString path = QFileDialog::getSaveFileName(
        parent, QStringLiteral("结果另存为"), QFile::decodeName(QByteArray::fromStdString(proposed)),
        QStringLiteral("文本文件 (*.txt)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return std::nullopt;
    return NativePath(path);
}

void QtDialogs::ShowError(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

void QtDialogs::SetClipboardText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

void QtDialogs::OpenUrl(const QUrl& address) { QDesktopServices::openUrl(address); }
