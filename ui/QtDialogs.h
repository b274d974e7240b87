// The real dialogs, clipboard and browser of the desktop.
#pragma once

#include "ui/Dialogs.h"

class QtDialogs : public Dialogs {
public:
    std::vector<std::string> ChooseFilesToCheck(QWidget* parent) override;
    std::string ChooseFolder(QWidget* parent) override;
    std::optional<SaveChoice> ChooseSavePath(QWidget* parent, const std::string& proposed,
                                             const QStringList& furtherFilters) override;
    std::string ChooseSumFile(QWidget* parent) override;
    std::optional<QString> AskDigest(QWidget* parent, const QString& offered) override;
    void ShowError(QWidget* parent, const QString& text) override;
    void SetClipboardText(const QString& text) override;
    QString ClipboardText() override;
    void OpenUrl(const QUrl& address) override;
};
