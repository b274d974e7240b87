// Everything the window asks of the user or of the desktop outside its own widgets: the three
// file dialogs, the error box, the clipboard and the browser. The window talks to this seam
// only, so tests answer the dialogs by script instead of by hand.
#pragma once

#include <QStringList>

#include <optional>
#include <string>
#include <vector>

class QUrl;
class QWidget;

// The save dialog's answer: the path as typed and the filter chosen, 0 for the result file's,
// then the further filters in the order they were offered. The filter decides the format.
struct SaveChoice {
    std::string Path;
    int Filter = 0;
};

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
    // Its first filter is the result file's "文本文件 (*.txt)", the default; further filters
    // follow it.
    virtual std::optional<SaveChoice> ChooseSavePath(QWidget* parent, const std::string& proposed,
                                                     const QStringList& furtherFilters) = 0;
    // "请选择校验文件": one sum file's native path, "" when cancelled.
    virtual std::string ChooseSumFile(QWidget* parent) = 0;
    // "比较摘要": the digest the user typed or pasted, starting from offered; nothing when
    // cancelled.
    virtual std::optional<QString> AskDigest(QWidget* parent, const QString& offered) = 0;

    // The program's error message box, captioned with the application title.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    virtual void SetClipboardText(const QString& text) = 0;
    virtual QString ClipboardText() = 0;
    // Opens the address in the user's browser; a failure is not reported.
    virtual void OpenUrl(const QUrl& address) = 0;
};
