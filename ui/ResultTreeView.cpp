#include "ui/ResultTreeView.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>

ResultTreeView::ResultTreeView(QWidget* parent) : QTreeView(parent)
{
    setHeaderHidden(true);
    setIndentation(19);
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Fixed);
}

void ResultTreeView::setModel(QAbstractItemModel* model)
{
    QTreeView::setModel(model);
    widestNode_ = 0;
    if (!model)
        return;
    connect(model, &QAbstractItemModel::rowsInserted, this, &ResultTreeView::MeasureNodes);
    connect(this, &QTreeView::expanded, this,
            [this](const QModelIndex& root) { MeasureNodes(root, 0, this->model()->rowCount(root) - 1); });
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        widestNode_ = 0;
        FitColumn();
    });
    FitColumn();
}

void ResultTreeView::MeasureNodes(const QModelIndex& parent, int first, int last)
{
    // The lines of a collapsed file are measured when it is opened.
    if (parent.isValid() && !isExpanded(parent))
        return;
    const int indent = indentation() * (parent.isValid() ? 2 : 1);
    const QFontMetrics metrics = fontMetrics();
    for (int row = first; row <= last; ++row) {
        const QString text = model()->index(row, 0, parent).data().toString();
        widestNode_ =
            std::max(widestNode_, indent + TextWidth(text, metrics) + 2 * metrics.averageCharWidth());
    }
    FitColumn();
}

int ResultTreeView::TextWidth(const QString& text, const QFontMetrics& metrics)
{
    if (asciiAdvanceFont_ != font()) {
        asciiAdvanceFont_ = font();
        for (char16_t letter = 0; letter < asciiAdvance_.size(); ++letter)
            asciiAdvance_[letter] = metrics.horizontalAdvance(QChar(letter));
    }
    int width = 0;
    for (const QChar letter : text) {
        if (letter.unicode() >= asciiAdvance_.size())
            return metrics.horizontalAdvance(text);
        width += asciiAdvance_[letter.unicode()];
    }
    return width;
}

void ResultTreeView::FitColumn()
{
    const int width = std::max(widestNode_, viewport()->width());
    if (header()->sectionSize(0) != width)
        header()->resizeSection(0, width);
}

void ResultTreeView::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    FitColumn();
}

void ResultTreeView::SetPopupMenu(QMenu* menu) { popup_ = menu; }

QAction* ResultTreeView::PopupActionFor(const QKeySequence& key) const
{
    if (!popup_ || key.isEmpty())
        return nullptr;
    for (QAction* action : popup_->actions())
        if (!action->isSeparator() && action->isEnabled() && action->shortcut() == key)
            return action;
    return nullptr;
}

bool ResultTreeView::RunPopupShortcut(const QKeySequence& key)
{
    QAction* action = PopupActionFor(key);
    if (!action)
        return false;
    action->trigger();
    return true;
}

static QKeySequence KeyOf(const QKeyEvent* event) { return QKeySequence(event->keyCombination()); }

bool ResultTreeView::event(QEvent* event)
{
    // Claiming the key here keeps the window's shortcuts from seeing it at all.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (PopupActionFor(KeyOf(key))) {
            key->accept();
            return true;
        }
    }
    return QTreeView::event(event);
}

void ResultTreeView::keyPressEvent(QKeyEvent* event)
{
    if (RunPopupShortcut(KeyOf(event))) {
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void ResultTreeView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void ResultTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    if (popup_)
        popup_->popup(event->globalPos());
    event->accept();
}
