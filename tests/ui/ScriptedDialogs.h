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
    std::deque<int> SaveFilterAnswers;  // the filter of each save answer; 0 (the result file) when none
    std::deque<std::string> SumFileAnswers;
    std::deque<QString> DigestAnswers;  // a null QString cancels
    QString Clipboard;

    int FilesAsked = 0;
    int FoldersAsked = 0;
    std::vector<std::string> ProposedSaveNames;  // one per save dialog shown
    QStringList OfferedSaveFilters;              // the further filters of the last save dialog
    int SumFilesAsked = 0;
    QStringList OfferedDigests;  // what each compare dialog started from
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
    std::optional<SaveChoice> ChooseSavePath(QWidget*, const std::string& proposed,
                                             const QStringList& furtherFilters) override
    {
        ProposedSaveNames.push_back(proposed);
        OfferedSaveFilters = furtherFilters;
        const std::optional<std::string> path = Next(SaveAnswers, std::optional<std::string>{});
        const int filter = Next(SaveFilterAnswers, 0);
        if (!path)
            return std::nullopt;
        return SaveChoice{*path, filter};
    }
    std::string ChooseSumFile(QWidget*) override
    {
        ++SumFilesAsked;
        return Next(SumFileAnswers, std::string{});
    }
    std::optional<QString> AskDigest(QWidget*, const QString& offered) override
    {
        OfferedDigests << offered;
        const QString answer = Next(DigestAnswers, QString());
        if (answer.isNull())
            return std::nullopt;
        return answer;
    }
    QString ClipboardText() override { return Clipboard; }
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
