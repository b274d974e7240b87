// The dialog seam answered by script: each dialog takes the next scripted answer (or is
// cancelled when none is left) and everything the window shows is kept for the test to read.
#pragma once

#include "ui/Dialogs.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <deque>

class ScriptedDialogs : public Dialogs {
public:
    std::deque<std::vector<std::string>> FileAnswers;
    std::deque<std::string> FolderAnswers;
    std::deque<std::optional<std::string>> SaveAnswers;

    int FilesAsked = 0;
    int FoldersAsked = 0;
    std::vector<std::string> ProposedSaveNames;  // one per save dialog shown
    QStringList Errors;
    QStringList ClipboardTexts;  // every text put on the clipboard, in order
    std::vector<QUrl> OpenedUrls;

    std::vector<std::string> ChooseFilesToCheck(QWidget*) override
    {
        ++FilesAsked;
        return Next(FileAnswers, std::vector<std::string>{});
    }
    std::string ChooseFolder(QWidget*) override
    {
        ++FoldersAsked;
        return Next(FolderAnswers, std::string{});
    }
    std::optional<std::string> ChooseSavePath(QWidget*, const std::string& proposed) override
    {
        ProposedSaveNames.push_back(proposed);
        return Next(SaveAnswers, std::optional<std::string>{});
    }
    void ShowError(QWidget*, const QString& text) override { Errors << text; }
    void SetClipboardText(const QString& text) override { ClipboardTexts << text; }
    void OpenUrl(const QUrl& address) override { OpenedUrls.push_back(address); }

private:
    template <class Answer>
    static Answer Next(std::deque<Answer>& answers, Answer cancelled)
    {
        if (answers.empty())
            return cancelled;
        Answer answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};
