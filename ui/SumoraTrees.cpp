// The window's tree intake: "添加文件夹及子文件夹" and Sumora --recursive. The core walks off the
// window's thread; the window polls it for what was found and shows one box at the end.
#include "ui/SumoraMain.h"

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "ui/Dialogs.h"

#include <QTimer>

#include <exception>

namespace {

// As the window's RunCommand: a failure that escapes is shown in the error box and the program
// goes on.
template <class Command>
void ShowingFailures(Dialogs& dialogs, QWidget* window, Command&& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        dialogs.ShowError(window, QString::fromStdString(Utf8FromNative(error.what())));
    }
}

}  // namespace

void TSumoraForm::OpenTreeMenuClick()
{
    ShowingFailures(dialogs_, this, [this] {
        const std::string folder = dialogs_.ChooseFolder(this);
        if (!folder.empty())
            BeginTreeIntake({folder});
    });
}

void TSumoraForm::AuditFolderMenuClick()
{
    ShowingFailures(dialogs_, this, [this] {
        checker_.AuditFolder();
        if (checker_.TreeIntakeRunning() && !treeIntakeTimer_->isActive())
            treeIntakeTimer_->start();
    });
}

void TSumoraForm::TakeTrees(const std::vector<std::string>& names)
{
    // Files and everything that is not a folder go the way of a drop, in their place: before
    // the folders, whose walk ends later.
    std::vector<std::string> folders, others;
    for (const std::string& name : names)
        (files_.FolderExists(name) ? folders : others).push_back(name);
    if (!others.empty())
        WMDropFiles(others);
    ShowingFailures(dialogs_, this, [&] { BeginTreeIntake(folders); });
}

void TSumoraForm::BeginTreeIntake(const std::vector<std::string>& folders)
{
    checker_.BeginTreeIntake(folders);
    if (checker_.TreeIntakeRunning() && !treeIntakeTimer_->isActive())
        treeIntakeTimer_->start();
}

void TSumoraForm::DeliverTreeIntake()
{
    ShowingFailures(dialogs_, this, [this] { EndTreeIntake(checker_.DeliverTreeIntake()); });
}

void TSumoraForm::EndTreeIntake(const std::optional<TreeIntakeReport>& report)
{
    if (!report)
        return;
    treeIntakeTimer_->stop();
    const std::string text = report->ErrorText();
    if (!text.empty())
        dialogs_.ShowError(this, QString::fromStdString(text));
}
