#include "ui/QtDialogs.h"

#include "hashing/DigestAlgorithm.h"
#include "ui/ApplicationTitle.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
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

std::optional<SaveChoice> QtDialogs::ChooseSavePath(QWidget* parent, const std::string& proposed,
                                                    const QStringList& furtherFilters)
{
    // No default suffix: a name typed without ".txt" is used as typed. Replacing an existing
    // file asks nothing, since the old file is only replaced once the new one is complete.
    const QStringList filters = QStringList{QStringLiteral("文本文件 (*.txt)")} + furtherFilters;
    QString chosenFilter = filters.first();
    const QString path = QFileDialog::getSaveFileName(
        parent, QStringLiteral("结果另存为"), QFile::decodeName(QByteArray::fromStdString(proposed)),
        filters.join(QStringLiteral(";;")), &chosenFilter, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return std::nullopt;
    return SaveChoice{NativePath(path), static_cast<int>(std::max<qsizetype>(0, filters.indexOf(chosenFilter)))};
}

std::string QtDialogs::ChooseSumFile(QWidget* parent)
{
    // The names the common tools give their sum files, in both letter cases: Linux matches
    // patterns case by case.
    QStringList patterns;
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms) {
        const QString option = QString::fromLatin1(info.Option.data(), static_cast<qsizetype>(info.Option.size()));
        patterns << QStringLiteral("*.") + option << QStringLiteral("*.") + option.toUpper()
                 << option.toUpper() + QStringLiteral("SUMS") << option + QStringLiteral("sums*");
    }
    patterns << QStringLiteral("*.rmd160") << QStringLiteral("*.sfv") << QStringLiteral("*.SFV")
             << QStringLiteral("*.sum") << QStringLiteral("*SUMS*") << QStringLiteral("*.txt");
    const QString filters = QStringLiteral("校验文件 (") + patterns.join(QLatin1Char(' ')) +
                            QStringLiteral(");;所有文件 (*)");
    const QString path = QFileDialog::getOpenFileName(parent, QStringLiteral("请选择校验文件"), QString(), filters);
    return path.isEmpty() ? std::string() : NativePath(path);
}

std::optional<QString> QtDialogs::AskDigest(QWidget* parent, const QString& offered)
{
    bool accepted = false;
    const QString digest = QInputDialog::getText(parent, QStringLiteral("比较摘要"),
                                                 QStringLiteral("请输入或粘贴要比较的摘要："), QLineEdit::Normal,
                                                 offered, &accepted);
    if (!accepted)
        return std::nullopt;
    return digest;
}

void QtDialogs::ShowError(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle), text,
                    QMessageBox::Ok, parent);
    box.exec();
}

void QtDialogs::SetClipboardText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

QString QtDialogs::ClipboardText() { return QGuiApplication::clipboard()->text(); }

void QtDialogs::OpenUrl(const QUrl& address) { QDesktopServices::openUrl(address); }
