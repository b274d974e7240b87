#include "ui/QtDialogs.h"

#include "hashing/DigestAlgorithm.h"
#include "ui/ApplicationTitle.h"
#include "ui/FileDialogs.h"

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

std::optional<SaveChoice> QtDialogs::ChooseSavePath(QWidget* parent, const std::string& proposed,
                                                    const QStringList& furtherFilters)
{
    const std::unique_ptr<QFileDialog> dialog =
        NewSaveDialog(parent, QFile::decodeName(QByteArray::fromStdString(proposed)), furtherFilters);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    const int filter =
        static_cast<int>(std::max<qsizetype>(0, dialog->nameFilters().indexOf(dialog->selectedNameFilter())));
    return SaveChoice{NativePath(dialog->selectedFiles().front()), filter};
}

std::string QtDialogs::ChooseSumFile(QWidget* parent)
{
    // The names the common tools give their sum files, in both letter cases: Linux matches
    // patterns case by case.
    QStringList patterns;
    const auto addWord = [&patterns](std::string_view word) {
        const QString lower = QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size()));
        for (const QString& pattern :
             {QStringLiteral("*.") + lower, QStringLiteral("*.") + lower.toUpper(),
              lower.toUpper() + QStringLiteral("SUMS"), lower + QStringLiteral("sums*")})
            if (!patterns.contains(pattern))
                patterns << pattern;
    };
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms) {
        addWord(info.Option);
        addWord(SumFileExtension(info));
        ForEachWord(info.FileWords, addWord);
    }
    patterns << QStringLiteral("*.rmd160") << QStringLiteral("*.sfv") << QStringLiteral("*.SFV")
             << QStringLiteral("*.sum") << QStringLiteral("*SUMS*") << QStringLiteral("*.txt");
    const std::unique_ptr<QFileDialog> dialog = NewSumFileDialog(
        parent, {QStringLiteral("校验文件 (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'),
                 QStringLiteral("所有文件 (*)")});
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return NativePath(dialog->selectedFiles().front());
}

std::optional<QString> QtDialogs::AskDigest(QWidget* parent, const QString& offered)
{
    bool accepted = false;
    const QString digest = QInputDialog::getText(parent, QStringLiteral("比较摘要"),
                                                 QStringLiteral("请输入或粘贴要比较的摘要："),
                                                 QLineEdit::Normal, offered, &accepted);
    if (!accepted)
        return std::nullopt;
    return digest;
}

void QtDialogs::ShowError(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

void QtDialogs::SetClipboardText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

QString QtDialogs::ClipboardText() { return QGuiApplication::clipboard()->text(); }

void QtDialogs::OpenUrl(const QUrl& address) { QDesktopServices::openUrl(address); }
