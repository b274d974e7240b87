// Everything the window asks of the user or of the desktop outside its own widgets: the three
// file dialogs, the error box, the clipboard and the browser. The window talks to this seam
// only, so tests answer the dialogs by script instead of by hand.
#pragma once

#include <optional>
#include <string>
#include <vector>

class QString;
class QUrl;
class QWidget;

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // "请选择需要校验的文件": several existing files; native paths in the dialog's order, none
    // when cancelled.
    virtual std::vector<std::string> ChooseFilesToCheck(QWidget* parent) = 0;
    // "请选择文件夹。": one folder's native path, "" when cancelled.
    virtual std::string ChooseFolder(QWidget* parent) = 0;
    // "结果另存为", proposing the given name; the native path as typed (no suffix added, no
    // question when it exists), nothing when cancelled.
    virtual std::optional<std::string> ChooseSavePath(QWidget* parent, const std::string& proposed) = 0;

    // The program's error message box, captioned with the application title.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    virtual void SetClipboardText(const QString& text) = 0;
    // Opens the address in the user's browser; a failure is not reported.
    virtual void OpenUrl(const QUrl& address) = 0;
};
