#include "ui/SumoraMain.h"

#include "ui/BranchLineStyle.h"
#include "ui/CheckListModel.h"
#include "ui/CheckListView.h"
#include "ui/MenuShortcutGate.h"
#include "ui/Pictures.h"
#include "ui/ProgressDisplay.h"
#include "ui/ResultTreeModel.h"
#include "ui/ResultTreeView.h"
#include "ui/SeparatorStyle.h"
#include "ui/SnappingSplitter.h"

#include <QFontDatabase>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int kToolButtonWidth = 67;
constexpr int kToolButtonHeight = 52;
const QString kDropHint = QStringLiteral("您可以直接拖拽文件到此处。");

QAction* NewSeparator(QMenu* menu, const char* name)
{
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromLatin1(name));
    return separator;
}

}  // namespace

TSumoraForm::TSumoraForm(FileSystem& files, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), files_(files), dialogs_(dialogs), checker_(*this, files)
{
    setObjectName(QStringLiteral("TSumoraForm"));
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(WindowIcon());

    // The desktop's own sans font at the size the window was laid out for; CJK glyphs come
    // from the font fallback when the sans font has none.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
    QPalette buttonFace = palette();
    buttonFace.setColor(QPalette::Window, buttonFace.color(QPalette::Button));
    setPalette(buttonFace);

    CreateEngineComponents(engineOwner_);

    BuildBody();
    progress_ = std::make_unique<ProgressDisplay>(*this);
    connect(progress_.get(), &ProgressDisplay::StopRequested, this, &TSumoraForm::StopBtnClick);
    BuildPassDelivery();
    BuildHashSelect();
    BuildMenus();
    BuildToolBar();
    BuildResultPopup();
    // What a pass disables and the intake closing step enables again, all together.
    commands_ = CommandSet({toolBar_, fileMenu_, toolsMenu_},
                           {calculateMenu_, deleteToolBtn_, deleteListToolBtn_, calculateToolBtn_});

    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    FormCreate();
}

TSumoraForm::~TSumoraForm()
{
    // The models watch the core's list and tree, which go with the members, before QWidget
    // would delete its children: the views and models go first.
    delete splitterLR_;
    delete listModel_;
    delete treeModel_;
}

void TSumoraForm::BuildBody()
{
    splitterLR_ = new SnappingSplitter(Qt::Horizontal, this);
    splitterLR_->setObjectName(QStringLiteral("SplitterLR"));
    splitterLR_->setHandleWidth(3);
    // A line follows the mouse and the sizes change on release.
    splitterLR_->setOpaqueResize(false);

    needCheckFileList_ = new CheckListView(splitterLR_);
    needCheckFileList_->setObjectName(QStringLiteral("NeedCheckFileList"));
    needCheckFileList_->setToolTip(kDropHint);
    // The hint is wanted over the rows too, where the item view would otherwise show nothing.
    needCheckFileList_->viewport()->setToolTip(kDropHint);
    needCheckFileList_->setMinimumWidth(30);
    listModel_ = new CheckListModel(checker_.List(), icons_, this);
    needCheckFileList_->setModel(listModel_);
    connect(needCheckFileList_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = needCheckFileList_->selectionModel()->selectedRows();
        checker_.List().Select(
            rows.isEmpty() ? std::nullopt : std::optional<size_t>(static_cast<size_t>(rows.first().row())));
    });

    resultTreeView_ = new ResultTreeView(splitterLR_);
    resultTreeView_->setObjectName(QStringLiteral("ResultTreeView"));
    resultTreeView_->setMinimumWidth(30);
    auto* branchLines = new BranchLineStyle;
    branchLines->setParent(this);
    resultTreeView_->setStyle(branchLines);
    treeModel_ = new ResultTreeModel(checker_.Tree(), this);
    resultTreeView_->setModel(treeModel_);

    splitterLR_->setStretchFactor(0, 1);
    splitterLR_->setStretchFactor(1, 0);
    splitterLR_->setCollapsible(0, false);
    // Dragged below its least width, the result tree snaps shut.
    splitterLR_->setCollapsible(1, true);
    setCentralWidget(splitterLR_);
    // Tab and Shift+Tab go between these two only: the toolbar's buttons take no focus.
    setTabOrder(needCheckFileList_, resultTreeView_);

    // The hidden engine list: the core holds the engines, this shows its check marks.
    lstHashes_ = new QListWidget(this);
    lstHashes_->setObjectName(QStringLiteral("lstHashes"));
    lstHashes_->setGeometry(8, 184, 133, 73);
    lstHashes_->hide();
}

void TSumoraForm::BuildPassDelivery()
{
    deliveryTimer_ = new QTimer(this);
    deliveryTimer_->setSingleShot(true);
    deliveryTimer_->setInterval(1);
    connect(deliveryTimer_, &QTimer::timeout, this, &TSumoraForm::DeliverPass);
    // A walk finds files far faster than a list could show them one by one: batches, 25 a second.
    treeIntakeTimer_ = new QTimer(this);
    treeIntakeTimer_->setInterval(40);
    connect(treeIntakeTimer_, &QTimer::timeout, this, &TSumoraForm::DeliverTreeIntake);
}

QAction* TSumoraForm::NewAction(const char* name, const QString& caption)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void TSumoraForm::BuildHashSelect()
{
    hashSelect_ = new QMenu(this);
    hashSelect_->setObjectName(QStringLiteral("HashSelect"));
    for (size_t i = 0; i < kHashItems.size(); ++i) {
        const HashItemInfo& info = kHashItems[i];
        if (i == kFirstFurtherHashItem)
            hashSelect_->addSeparator();
        QAction* action =
            NewAction(std::string(info.ObjectName).c_str(),
                      QString::fromUtf8(info.Caption.data(), static_cast<qsizetype>(info.Caption.size())));
        action->setCheckable(true);
        action->setChecked(info.CheckedAtStart);
        // Qt has toggled the check mark by the time triggered() arrives, as the item's handler
        // expects.
        connect(action, &QAction::triggered, this,
                [this, item = info.Item](bool checked) { HashItemClick(item, checked); });
        hashSelect_->addAction(action);
        hashItemActions_[i] = action;
    }
}

void TSumoraForm::BuildMenus()
{
    auto* mainMenu = new QMenuBar(this);
    mainMenu->setObjectName(QStringLiteral("MainMenu"));
    setMenuBar(mainMenu);
    shortcutGate_ = new MenuShortcutGate(this);
    // While the result tree has the focus its popup's keys come first (Ctrl+S saves from there).
    shortcutGate_->SetFirstLook([this](const QKeySequence& key) {
        return resultTreeView_->hasFocus() && resultTreeView_->RunPopupShortcut(key);
    });

    fileMenu_ = mainMenu->addMenu(QStringLiteral("文件(&F)"));
    fileMenu_->setObjectName(QStringLiteral("FileMenu"));
    openFileMenu_ = NewAction("OpenFileMenu", QStringLiteral("添加文件"));
    openFileMenu_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    openFileMenu_->setIcon(MenuIcon(MenuPicture::AddFile));
    openDocuMenu_ = NewAction("OpenDocuMenu", QStringLiteral("添加文件夹"));
    openDocuMenu_->setIcon(MenuIcon(MenuPicture::AddFolder));
    openTreeMenu_ = NewAction("OpenTreeMenu", QStringLiteral("添加文件夹及子文件夹"));
    importSumFileMenu_ = NewAction("ImportSumFileMenu", QStringLiteral("导入校验文件"));
    deleteFileMenu_ = NewAction("DeleteFileMenu", QStringLiteral("删除文件"));
    deleteListMenu_ = NewAction("DeleteListMenu", QStringLiteral("清空列表"));
    saveMenu_ = NewAction("SaveMenu", QStringLiteral("保存列表"));
    saveMenu_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    saveMenu_->setIcon(MenuIcon(MenuPicture::Save));
    saveMenu_->setEnabled(false);
    quitMenu_ = NewAction("QuitMenu", QStringLiteral("退出"));
    quitMenu_->setIcon(MenuIcon(MenuPicture::Quit));
    fileMenu_->addAction(openFileMenu_);
    fileMenu_->addAction(openDocuMenu_);
    fileMenu_->addAction(openTreeMenu_);
    fileMenu_->addAction(importSumFileMenu_);
    NewSeparator(fileMenu_, "Cut1");
    fileMenu_->addAction(deleteFileMenu_);
    fileMenu_->addAction(deleteListMenu_);
    NewSeparator(fileMenu_, "Cut4");
    fileMenu_->addAction(saveMenu_);
    NewSeparator(fileMenu_, "Cut2");
    fileMenu_->addAction(quitMenu_);

    toolsMenu_ = mainMenu->addMenu(QStringLiteral("工具(&T)"));
    toolsMenu_->setObjectName(QStringLiteral("ToolsMenu"));
    hashMenu_ = NewAction("HashMenu", QStringLiteral("算法选择"));
    calculateMenu_ = NewAction("CalculateMenu", QStringLiteral("计算"));
    calculateMenu_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    calculateMenu_->setEnabled(false);
    toolsMenu_->addAction(hashMenu_);
    NewSeparator(toolsMenu_, "Cut3");
    toolsMenu_->addAction(calculateMenu_);
    compareDigestMenu_ = NewAction("CompareDigestMenu", QStringLiteral("比较摘要"));
    compareDigestMenu_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    toolsMenu_->addAction(compareDigestMenu_);
    auditFolderMenu_ = NewAction("AuditFolderMenu", QStringLiteral("审核文件夹"));
    auditFolderMenu_->setEnabled(false);  // until a sum file was imported
    toolsMenu_->addAction(auditFolderMenu_);

    helpMenu_ = mainMenu->addMenu(QStringLiteral("帮助(&H)"));
    helpMenu_->setObjectName(QStringLiteral("HelpMenu"));
    homePage_ = NewAction("HomePage", QStringLiteral("官方网站"));
    homePage_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    homePage_->setIcon(MenuIcon(MenuPicture::HomePage));
    helpMenu_->addAction(homePage_);

    for (QAction* action : {openFileMenu_, saveMenu_, calculateMenu_, compareDigestMenu_, homePage_})
        shortcutGate_->Watch(action);

    connect(openFileMenu_, &QAction::triggered, this, &TSumoraForm::OpenFileMenuClick);
    connect(openDocuMenu_, &QAction::triggered, this, &TSumoraForm::OpenDocuMenuClick);
    connect(openTreeMenu_, &QAction::triggered, this, &TSumoraForm::OpenTreeMenuClick);
    connect(auditFolderMenu_, &QAction::triggered, this, &TSumoraForm::AuditFolderMenuClick);
    connect(importSumFileMenu_, &QAction::triggered, this, &TSumoraForm::ImportSumFileMenuClick);
    connect(deleteFileMenu_, &QAction::triggered, this, &TSumoraForm::DeleteFileMenuClick);
    connect(deleteListMenu_, &QAction::triggered, this, &TSumoraForm::DeleteListMenuClick);
    connect(saveMenu_, &QAction::triggered, this, &TSumoraForm::SaveMenuClick);
    connect(quitMenu_, &QAction::triggered, this, &TSumoraForm::QuitMenuClick);
    connect(hashMenu_, &QAction::triggered, this, &TSumoraForm::HashMenuClick);
    connect(calculateMenu_, &QAction::triggered, this, &TSumoraForm::CalculateMenuClick);
    connect(compareDigestMenu_, &QAction::triggered, this, &TSumoraForm::CompareDigestMenuClick);
    connect(homePage_, &QAction::triggered, this, &TSumoraForm::HomePageClick);
}

void TSumoraForm::BuildToolBar()
{
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar_->setIconSize(QSize(32, 32));
    // The toolbar is part of the window's fixed layout: no popup to hide it.
    toolBar_->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    addToolBar(Qt::TopToolBarArea, toolBar_);

    struct Button {
        QAction** action;
        const char* name;
        QString caption;
        QString hint;
        ToolPicture picture;
        bool enabled;
    };
    const Button buttons[] = {
        {&openFileToolBtn_, "OpenFileToolBtn", QStringLiteral("添加文件"), QStringLiteral("添加单个文件"),
         ToolPicture::AddFile, true},
        {&openDocuToolBtn_, "OpenDocuToolBtn", QStringLiteral("添加文件夹"),
         QStringLiteral("添加文件夹下的所有文件"), ToolPicture::AddFolder, true},
        {&deleteToolBtn_, "DeleteToolBtn", QStringLiteral("删除文件"), QStringLiteral("删除选中的文件"),
         ToolPicture::DeleteFile, false},
        {&deleteListToolBtn_, "DeleteListToolBtn", QStringLiteral("清空列表"), QStringLiteral("清除所有文件"),
         ToolPicture::ClearList, false},
        {&saveToolBtn_, "SaveToolBtn", QStringLiteral("保存列表"), QStringLiteral("保存结果到文件"),
         ToolPicture::Save, false},
        {&hashSelToolBtn_, "HashSelToolBtn", QStringLiteral("算法选择"), QStringLiteral("选择需要的算法"),
         ToolPicture::ChooseAlgorithms, true},
        {&calculateToolBtn_, "CalculateToolBtn", QStringLiteral("计算"), QStringLiteral("开始计算"),
         ToolPicture::Calculate, false},
    };
    const char* separatorBefore[] = {
        nullptr, nullptr, "SplitterToolBtn1", nullptr, "SplitterToolBtn2", "SplitterToolBtn3", nullptr};

    for (size_t i = 0; i < std::size(buttons); ++i) {
        const Button& b = buttons[i];
        if (separatorBefore[i]) {
            QAction* separator = toolBar_->addSeparator();
            separator->setObjectName(QString::fromLatin1(separatorBefore[i]));
            if (QWidget* line = toolBar_->widgetForAction(separator)) {
                if (!separatorStyle_) {
                    separatorStyle_ = new SeparatorStyle;
                    separatorStyle_->setParent(this);
                }
                line->setStyle(separatorStyle_);
            }
        }
        QAction* action = NewAction(b.name, b.caption);
        action->setToolTip(b.hint);
        action->setIcon(ToolIcon(b.picture));
        action->setEnabled(b.enabled);
        *b.action = action;

        auto* button = new QToolButton(toolBar_);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(32, 32));
        button->setAutoRaise(true);
        const int textWidth = button->fontMetrics().horizontalAdvance(b.caption) + 10;
        button->setFixedSize(std::max(kToolButtonWidth, textWidth), kToolButtonHeight);
        if (action == hashSelToolBtn_) {
            // No command of its own: pressing it drops the algorithm menu down under it.
            button->setMenu(hashSelect_);
            button->setPopupMode(QToolButton::InstantPopup);
            button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
        }
        toolBar_->addWidget(button);
    }

    // Tab goes between the check list and the result tree only; the overflow button too.
    for (QToolButton* button : toolBar_->findChildren<QToolButton*>())
        button->setFocusPolicy(Qt::NoFocus);

    connect(openFileToolBtn_, &QAction::triggered, this, &TSumoraForm::OpenFileMenuClick);
    connect(openDocuToolBtn_, &QAction::triggered, this, &TSumoraForm::OpenDocuMenuClick);
    connect(deleteToolBtn_, &QAction::triggered, this, &TSumoraForm::DeleteFileMenuClick);
    connect(deleteListToolBtn_, &QAction::triggered, this, &TSumoraForm::DeleteListMenuClick);
    connect(saveToolBtn_, &QAction::triggered, this, &TSumoraForm::SaveMenuClick);
    connect(calculateToolBtn_, &QAction::triggered, this, &TSumoraForm::CalculateMenuClick);
}

void TSumoraForm::BuildResultPopup()
{
    listPopupMenu_ = new QMenu(this);
    listPopupMenu_->setObjectName(QStringLiteral("ListPopupMenu"));
    copyResultMenu_ = NewAction("CopyResultMenu", QStringLiteral("复制选中的到剪贴板"));
    copyResultMenu_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    n1_ = NewAction("N1", QStringLiteral("复制全部到剪贴板"));
    n1_->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C));
    n3_ = NewAction("N3", QStringLiteral("保存所有结果到文件"));
    n3_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    for (QAction* action : {copyResultMenu_, n1_, n3_}) {
        // Shown in the popup, but never looked up in the window's shortcut map: the result tree
        // answers these keys itself, so N3 and SaveMenu never share Ctrl+S there.
        action->setShortcutContext(Qt::WidgetShortcut);
    }
    listPopupMenu_->addAction(copyResultMenu_);
    listPopupMenu_->addAction(n1_);
    NewSeparator(listPopupMenu_, "N2");
    listPopupMenu_->addAction(n3_);
    resultTreeView_->SetPopupMenu(listPopupMenu_);

    connect(copyResultMenu_, &QAction::triggered, this, &TSumoraForm::CopyResultMenuClick);
    connect(n1_, &QAction::triggered, this, &TSumoraForm::N1Click);
    connect(n3_, &QAction::triggered, this, &TSumoraForm::SaveMenuClick);
}

void TSumoraForm::FormCreate()
{
    setAcceptDrops(true);
    // The icon list is the form's own (icons_), position 0 the plain file icon; Qt's views are
    // double-buffered already.
    checker_.FillEngineList(engineOwner_);
    for (size_t i = 0; i < checker_.EngineCount(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(checker_.EngineText(i)), lstHashes_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    }
    ShowEngineChecks();
}

void TSumoraForm::ShowEngineChecks()
{
    for (int i = 0; i < lstHashes_->count(); ++i)
        lstHashes_->item(i)->setCheckState(checker_.EngineChecked(static_cast<size_t>(i)) ? Qt::Checked
                                                                                          : Qt::Unchecked);
}

void TSumoraForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shownBefore_)
        return;
    shownBefore_ = true;
    if (QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
    const int handle = splitterLR_->handleWidth();
    splitterLR_->setSizes({std::max(30, splitterLR_->width() - kResultTreeWidth - handle), kResultTreeWidth});
    progress_->PlaceProgressGroup();
}

void TSumoraForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    progress_->PlaceProgressGroup();
}
