// TSumoraForm: the main window. It lays out the check list, the result tree, the toolbar and the
// menus, owns the ten digest engines, the progress and status displays (ProgressDisplay) and the
// command set (CommandSet), and hands every command to the checking core, which in turn sees the
// window only as a WindowPort; the form passes what the core asks on to the object that shows it.
#pragma once

#include "checking/Checker.h"
#include "checking/WindowPort.h"
#include "engines/DCPcrypt2.h"
#include "ui/CommandSet.h"
#include "ui/IconList.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CheckListModel;
class CheckListView;
class Dialogs;
class FileSystem;
class MenuShortcutGate;
class ProgressDisplay;
class QAction;
class QListWidget;
class QMenu;
class QTimer;
class QSplitter;
class QToolBar;
class ResultTreeModel;
class ResultTreeView;
class SeparatorStyle;

class TSumoraForm : public QMainWindow, public WindowPort {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "QuorvexV" QUORVEX_VERSION;
    static constexpr const char* kHomePageAddress = "https://quorvex.example.org/";
    static constexpr const char* kProposedResultName = "SumoraResult.txt";
    // The client area below the menu bar, as the window was designed.
    static constexpr int kClientWidth = 577;
    static constexpr int kClientHeight = 303;
    static constexpr int kResultTreeWidth = 185;

    TSumoraForm(FileSystem& files, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TSumoraForm() override;

    Checker& Core() { return checker_; }
    QString StatusText() const;

    // The icon list's position for a path, and the program name cut out of a command line.
    int SystemIconIndex(const std::string& path);
    static std::string IconPathFromText(const std::string& text);

    // The drop of names from the desktop, in drop order (native bytes).
    void WMDropFiles(const std::vector<std::string>& names);
    // Sumora --recursive: folders taken with everything below them, files as a drop takes them.
    void TakeTrees(const std::vector<std::string>& names);

    // WindowPort: what the checking core asks of the window.
    void RequestPassDelivery() override;
    void SetCurrentBar(int position) override;
    void StepCurrentBar() override;
    void SetOverallBar(int position, int maximum) override;
    void StepOverallBar() override;
    void SetStatusText(const std::string& text) override;
    void SetBusyCursor(bool busy) override;
    void ShowProgressGroup(bool shown) override;
    void SetPassRate(const std::string& speed, const std::string& timeLeft) override;
    void DisableCommands() override;
    void EnableCommands() override;
    void HoldCommands() override;
    void ReleaseCommands() override;
    std::string ShownStatusText() const override;
    void SumImportEnded(const SumImportReport& report) override;
    void EnableSaveCommands() override;
    void DisableSaveToolButton() override;
    void RefreshEntryIcons() override;
    void PassEnded() override;

public slots:
    void OpenFileMenuClick();
    void OpenDocuMenuClick();
    void OpenTreeMenuClick();
    void AuditFolderMenuClick();
    void ImportSumFileMenuClick();
    void DeleteFileMenuClick();
    void DeleteListMenuClick();
    void SaveMenuClick();
    void QuitMenuClick();
    void HashMenuClick();
    void CalculateMenuClick();
    // The stop button of the progress group, and Esc while a pass runs.
    void StopBtnClick();
    void HomePageClick();
    void CopyResultMenuClick();
    void N1Click();
    void CompareDigestMenuClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Building the window, in the order its parts lie on top of each other.
    void BuildBody();
    // Not a part to see: the timer that brings the hashing engine's results to the window's
    // thread.
    void BuildPassDelivery();
    void BuildMenus();
    void BuildToolBar();
    void BuildResultPopup();
    void BuildHashSelect();
    void FormCreate();

    QAction* NewAction(const char* name, const QString& caption);
    void HashItemClick(HashItem item, bool checked);
    void ShowEngineChecks();
    // What the hashing engine asked for through RequestPassDelivery.
    void DeliverPass();
    // The tree intake's files, polled while it walks, and its one box at the end.
    void BeginTreeIntake(const std::vector<std::string>& folders);
    void DeliverTreeIntake();
    void EndTreeIntake(const std::optional<TreeIntakeReport>& report);
    // Runs a command; a failure that escapes it is shown in the error box and the program goes on.
    template <class Command>
    void RunCommand(Command&& command);
    void ShowRefusals(const IntakeReport& report);
    // Highlights the result lines of the digest being compared, brings the first into view and
    // returns the status text that says what was found.
    std::string ShowDigestMatches();

    // Declared first: the engines outlive the core that points at them.
    TComponent engineOwner_;
    FileSystem& files_;
    Dialogs& dialogs_;
    IconList icons_;
    // The progress group and the status bar's panel 0; declared before the core, so that they
    // are still there for whatever the core asks of the window while it goes.
    std::unique_ptr<ProgressDisplay> progress_;
    Checker checker_;
    bool closing_ = false;  // in closeEvent: an import stopped by the close shows no box

    CheckListModel* listModel_ = nullptr;
    ResultTreeModel* treeModel_ = nullptr;

    QSplitter* splitterLR_ = nullptr;
    CheckListView* needCheckFileList_ = nullptr;
    ResultTreeView* resultTreeView_ = nullptr;
    QTimer* deliveryTimer_ = nullptr;
    QTimer* treeIntakeTimer_ = nullptr;
    QListWidget* lstHashes_ = nullptr;
    QToolBar* toolBar_ = nullptr;

    QMenu* fileMenu_ = nullptr;
    QMenu* toolsMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QMenu* hashSelect_ = nullptr;
    QMenu* listPopupMenu_ = nullptr;
    MenuShortcutGate* shortcutGate_ = nullptr;
    SeparatorStyle* separatorStyle_ = nullptr;

    QAction* openFileMenu_ = nullptr;
    QAction* openDocuMenu_ = nullptr;
    QAction* openTreeMenu_ = nullptr;
    QAction* importSumFileMenu_ = nullptr;
    QAction* deleteFileMenu_ = nullptr;
    QAction* deleteListMenu_ = nullptr;
    QAction* saveMenu_ = nullptr;
    QAction* quitMenu_ = nullptr;
    QAction* hashMenu_ = nullptr;
    QAction* calculateMenu_ = nullptr;
    QAction* compareDigestMenu_ = nullptr;
    QAction* auditFolderMenu_ = nullptr;
    QAction* homePage_ = nullptr;

    QAction* openFileToolBtn_ = nullptr;
    QAction* openDocuToolBtn_ = nullptr;
    QAction* deleteToolBtn_ = nullptr;
    QAction* deleteListToolBtn_ = nullptr;
    QAction* saveToolBtn_ = nullptr;
    QAction* hashSelToolBtn_ = nullptr;
    QAction* calculateToolBtn_ = nullptr;

    QAction* copyResultMenu_ = nullptr;
    QAction* n1_ = nullptr;
    QAction* n3_ = nullptr;

    std::array<QAction*, kHashItems.size()> hashItemActions_{};
    // Built once every control in it exists.
    std::optional<CommandSet> commands_;

    bool shownBefore_ = false;
    std::string lastSavePath_;
    // The digest of the last comparison (lower-case hex), looked for again after each pass.
    std::string comparedDigest_;
};
