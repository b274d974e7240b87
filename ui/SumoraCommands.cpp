// The window's commands and what the checking core asks of it.
#include "ui/SumoraMain.h"

#include "checking/ResultDigests.h"
#include "checking/ResultExport.h"
#include "checking/SignatureTexts.h"
#include "checking/SumExport.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "sums/HexDigest.h"
#include "ui/CheckListModel.h"
#include "ui/CheckListView.h"
#include "ui/Dialogs.h"
#include "ui/DropNames.h"
#include "ui/IconPath.h"
#include "ui/ProgressDisplay.h"
#include "ui/ResultTreeModel.h"
#include "ui/ResultTreeView.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdlib>
#include <exception>

namespace {

const char* kUriList = "text/uri-list";

bool HasLocalFiles(const QMimeData* mime)
{
    return mime && mime->hasFormat(QString::fromLatin1(kUriList)) &&
           !LocalFilesOfUriList(mime->data(QString::fromLatin1(kUriList))).empty();
}

}  // namespace

template <class Command>
void TSumoraForm::RunCommand(Command&& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        // A message may carry a file name in the file system's bytes.
        dialogs_.ShowError(this, QString::fromStdString(Utf8FromNative(error.what())));
    }
}

void TSumoraForm::ShowRefusals(const IntakeReport& report)
{
    if (!report.Refused.empty())
        dialogs_.ShowError(this, QString::fromStdString(Utf8FromNative(report.ErrorText())));
}

QString TSumoraForm::StatusText() const { return progress_->StatusText(); }

// ---- Intake and list commands ----

void TSumoraForm::OpenFileMenuClick()
{
    RunCommand([this] {
        const std::vector<std::string> paths = dialogs_.ChooseFilesToCheck(this);
        ShowRefusals(checker_.AddFiles(paths));
    });
}

void TSumoraForm::OpenDocuMenuClick()
{
    RunCommand([this] { checker_.AddFolder(dialogs_.ChooseFolder(this)); });
}

void TSumoraForm::ImportSumFileMenuClick()
{
    // The core reads, checks and probes on a thread of its own; SumImportEnded follows.
    RunCommand([this] { checker_.StartSumImport(dialogs_.ChooseSumFile(this)); });
}

void TSumoraForm::SumImportEnded(const SumImportReport& report)
{
    // The core ticked the algorithms the listed digests need.
    for (size_t i = 0; i < kHashItems.size(); ++i)
        hashItemActions_[i]->setChecked(checker_.IsChecked(kHashItems[i].Item));
    ShowEngineChecks();
    auditFolderMenu_->setEnabled(checker_.CanAudit());
    // A window that is closing shows no box.
    if (closing_)
        return;
    // What the signature did not prove comes first, then what could not be read.
    std::string text = SignatureBoxText(report);
    const std::string error = report.Signature.State == SignatureState::Bad ? "" : report.ErrorText();
    if (!text.empty() && !error.empty())
        text += "\n";
    text += error;
    if (!text.empty())
        dialogs_.ShowError(this, QString::fromStdString(text));
}

void TSumoraForm::WMDropFiles(const std::vector<std::string>& names)
{
    // Also while a pass runs: the core appends the entries for the next pass and leaves the
    // command set to the pass.
    RunCommand([&] { ShowRefusals(checker_.AddDropped(names)); });
}

void TSumoraForm::DeleteFileMenuClick()
{
    RunCommand([this] { checker_.DeleteSelected(); });
}

void TSumoraForm::DeleteListMenuClick()
{
    RunCommand([this] {
        checker_.ClearList();
        auditFolderMenu_->setEnabled(checker_.CanAudit());
    });
}

void TSumoraForm::HashItemClick(HashItem item, bool checked)
{
    RunCommand([&] {
        if (!checker_.HashItemClicked(item, checked)) {
            for (size_t i = 0; i < kHashItems.size(); ++i)
                if (kHashItems[i].Item == item)
                    hashItemActions_[i]->setChecked(checker_.IsChecked(item));
        }
        ShowEngineChecks();
    });
}

void TSumoraForm::HashMenuClick()
{
    RunCommand([this] { hashSelect_->popup(QCursor::pos()); });
}

void TSumoraForm::CalculateMenuClick()
{
    RunCommand([this] { checker_.Calculate(); });
}

void TSumoraForm::DeliverPass()
{
    RunCommand([this] { checker_.DeliverPass(); });
}

void TSumoraForm::StopBtnClick()
{
    if (checker_.TreeIntakeShown()) {
        RunCommand([this] { EndTreeIntake(checker_.StopTreeIntake()); });
        return;
    }
    RunCommand([this] { checker_.StopPass(); });
}

// ---- Comparing with one digest ----

void TSumoraForm::CompareDigestMenuClick()
{
    RunCommand([this] {
        // A digest on the clipboard is what the user most likely wants to compare with.
        std::string offered = NormalisePastedDigest(dialogs_.ClipboardText().toStdString());
        if (offered.empty())
            offered = comparedDigest_;
        const std::optional<QString> typed = dialogs_.AskDigest(this, QString::fromStdString(offered));
        if (!typed)
            return;
        const std::string digest = NormalisePastedDigest(typed->toStdString());
        if (digest.empty()) {
            comparedDigest_.clear();
            treeModel_->SetHighlighted({});
            SetStatusText("“" + typed->trimmed().toStdString() + "”不是有效的摘要");
            return;
        }
        comparedDigest_ = digest;
        SetStatusText(ShowDigestMatches());
    });
}

void TSumoraForm::PassEnded()
{
    // A digest being compared is looked for in the new results; what the pass said stays.
    if (!comparedDigest_.empty())
        SetStatusText(StatusText().toStdString() + "；" + ShowDigestMatches());
}

std::string TSumoraForm::ShowDigestMatches()
{
    const std::vector<DigestMatch> matches = FindDigest(checker_.Tree(), comparedDigest_);
    std::vector<std::pair<size_t, size_t>> lines;
    for (const DigestMatch& match : matches) {
        lines.emplace_back(match.Root, match.Line);
        resultTreeView_->expand(treeModel_->index(static_cast<int>(match.Root), 0));
    }
    treeModel_->SetHighlighted(lines);
    if (!matches.empty()) {
        const QModelIndex first = treeModel_->LineIndex(matches.front().Root, matches.front().Line);
        // Brought into view but not selected: the selection's colour would hide the highlight.
        resultTreeView_->scrollTo(first);
    }
    return DigestMatchText(checker_.Tree(), matches);
}

// ---- Export, web site, quitting ----

void TSumoraForm::CopyResultMenuClick()
{
    RunCommand([this] {
        const QModelIndexList selected = resultTreeView_->selectionModel()->selectedIndexes();
        if (selected.isEmpty())
            return;
        if (const std::string* text = treeModel_->NodeText(selected.first()))
            dialogs_.SetClipboardText(QString::fromStdString(OneLineNodeText(*text)));
    });
}

void TSumoraForm::N1Click()
{
    RunCommand([this] { dialogs_.SetClipboardText(QString::fromStdString(CopyAllText(checker_.Tree()))); });
}

void TSumoraForm::SaveMenuClick()
{
    RunCommand([this] {
        const std::string proposed = lastSavePath_.empty() ? kProposedResultName : lastSavePath_;
        // The result file first, then sum files of the last pass that other tools read.
        const std::vector<DigestAlgorithm> algorithms = AlgorithmsInTree(checker_.Tree());
        QStringList filters;
        for (DigestAlgorithm algorithm : algorithms)
            filters << QStringLiteral("%1 校验文件 (*.%2)")
                           .arg(QString::fromUtf8(Info(algorithm).LineName.data(),
                                                  static_cast<qsizetype>(Info(algorithm).LineName.size())),
                                QString::fromUtf8(
                                    SumFileExtension(Info(algorithm)).data(),
                                    static_cast<qsizetype>(SumFileExtension(Info(algorithm)).size())));
        if (!algorithms.empty())
            filters << QStringLiteral("BSD 格式校验文件，全部算法 (*.sum)")
                    << QStringLiteral("CSV 表格 (*.csv)");
        const std::optional<SaveChoice> choice = dialogs_.ChooseSavePath(this, proposed, filters);
        if (!choice)
            return;
        lastSavePath_ = choice->Path;
        // The chosen filter decides the format, whatever the name typed says.
        const size_t filter = static_cast<size_t>(std::max(0, choice->Filter));
        if (filter == 0 || filter > algorithms.size() + 2)
            SaveResultFile(checker_.Tree(), choice->Path);
        else if (filter <= algorithms.size())
            SaveSumFile(checker_.Tree(), checker_.List(), SumExportKind::Gnu, algorithms[filter - 1],
                        choice->Path);
        else
            SaveSumFile(checker_.Tree(), checker_.List(),
                        filter == algorithms.size() + 1 ? SumExportKind::Tagged : SumExportKind::Csv,
                        DigestAlgorithm::MD5, choice->Path);
    });
}

void TSumoraForm::HomePageClick()
{
    RunCommand([this] { dialogs_.OpenUrl(QUrl(QString::fromLatin1(kHomePageAddress))); });
}

void TSumoraForm::QuitMenuClick() { close(); }

void TSumoraForm::closeEvent(QCloseEvent* event)
{
    // With a stop at hand, making the user wait for the end of a pass would be a fault: the pass
    // stops and the window closes at once. A read that hangs is left behind.
    closing_ = true;
    if (checker_.PassRunning())
        RunCommand([this] { checker_.StopPass(); });
    closing_ = false;
    QMainWindow::closeEvent(event);
}

// ---- Drops ----

void TSumoraForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (!HasLocalFiles(event->mimeData()))
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void TSumoraForm::dragMoveEvent(QDragMoveEvent* event)
{
    if (!HasLocalFiles(event->mimeData()))
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void TSumoraForm::dropEvent(QDropEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (!mime || !mime->hasFormat(QString::fromLatin1(kUriList)))
        return;
    const std::vector<std::string> names = LocalFilesOfUriList(mime->data(QString::fromLatin1(kUriList)));
    if (names.empty())
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // Shift held, where the desktop passes it on: folders with everything below them.
    if (event->modifiers() & Qt::ShiftModifier)
        TakeTrees(names);
    else
        WMDropFiles(names);
}

// ---- Icons ----

int TSumoraForm::SystemIconIndex(const std::string& path) { return icons_.SystemIconIndex(path); }

std::string TSumoraForm::IconPathFromText(const std::string& text) { return ::IconPathFromText(text); }

void TSumoraForm::RefreshEntryIcons()
{
    CheckList& list = checker_.List();
    const char* pathVariable = std::getenv("PATH");
    const std::string searchList = pathVariable ? pathVariable : "";
    for (size_t i = 0; i < list.Count(); ++i) {
        const std::string& path = list.At(i).Path;
        if (files_.FileExists(path)) {
            list.SetIcon(i, SystemIconIndex(path));
            continue;
        }
        // The path no longer names a file: perhaps it names a program, with or without folder.
        const std::string program = IconPathFromText(path);
        if (!program.empty() && files_.FileExists(program)) {
            list.SetIcon(i, SystemIconIndex(program));
            continue;
        }
        if (auto found = SearchPathList(program, searchList, files_))
            list.SetIcon(i, SystemIconIndex(*found));
    }
}

// ---- What the pass sees of the window ----

void TSumoraForm::RequestPassDelivery()
{
    // From the hashing engine's threads: on the window's thread, the delivery timer is started
    // unless it runs already. A timer, not a posted call: deliveries that follow each other while
    // many results wait then take turns with the window's own timers instead of starving them.
    // Qt drops the call if the window is gone by then.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!deliveryTimer_->isActive())
                deliveryTimer_->start();
        },
        Qt::QueuedConnection);
}

void TSumoraForm::SetCurrentBar(int position) { progress_->SetCurrentBar(position); }

void TSumoraForm::StepCurrentBar() { progress_->StepCurrentBar(); }

void TSumoraForm::SetOverallBar(int position, int maximum) { progress_->SetOverallBar(position, maximum); }

void TSumoraForm::StepOverallBar() { progress_->StepOverallBar(); }

void TSumoraForm::SetStatusText(const std::string& text) { progress_->SetStatusText(text); }

void TSumoraForm::SetBusyCursor(bool busy) { progress_->SetBusyCursor(busy); }

void TSumoraForm::ShowProgressGroup(bool shown) { progress_->ShowProgressGroup(shown); }

void TSumoraForm::SetPassRate(const std::string& speed, const std::string& timeLeft)
{
    progress_->SetPassRate(speed, timeLeft);
}

void TSumoraForm::DisableCommands() { commands_->SetEnabled(false); }

void TSumoraForm::EnableCommands() { commands_->SetEnabled(true); }

void TSumoraForm::HoldCommands() { commands_->Hold(); }

void TSumoraForm::ReleaseCommands() { commands_->Release(); }

std::string TSumoraForm::ShownStatusText() const { return StatusText().toStdString(); }

void TSumoraForm::EnableSaveCommands()
{
    saveMenu_->setEnabled(true);
    saveToolBtn_->setEnabled(true);
}

void TSumoraForm::DisableSaveToolButton() { saveToolBtn_->setEnabled(false); }
