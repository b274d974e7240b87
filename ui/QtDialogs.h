// The real dialogs, clipboard and browser of the desktop.
#pragma once

#include "ui/Dialogs.h"

class QtDialogs : public Dialogs {
public:
    std::vector<std::string> ChooseFilesToCheck(QWidget* parent) override;
    std::string ChooseFolder(QWidget* parent) override;
    std::optional<std::string> ChooseSavePath(QWidget* parent, const std::string& proposed) override;
    void ShowError(QWidget* parent, const QString& text) override;
    void SetClipboardText(const QString& text) override;
    void OpenUrl(const QUrl& address) override;
};
