#include "ui/CheckListView.h"

#include "ui/CheckListModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QResizeEvent>

#include <algorithm>

CheckListView::CheckListView(QWidget* parent) : QTableView(parent)
{
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setIconSize(QSize(16, 16));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    // Tab leaves the list for the result tree instead of walking its cells.
    setTabKeyNavigation(false);

    // Rows of one height, so a list of 100,000 files never measures its rows.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(std::max(18, fontMetrics().height() + 4));
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CheckListView::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    if (!model)
        return;
    // The verdict column comes and goes with the expected digests.
    connect(model, &QAbstractItemModel::columnsInserted, this, &CheckListView::ShareColumnWidths);
    connect(model, &QAbstractItemModel::modelReset, this, &CheckListView::ShareColumnWidths);
}

void CheckListView::ShareColumnWidths()
{
    const bool verdicts = model() && model()->columnCount() > CheckListModel::VerdictColumn;
    const int rest =
        std::max(0, viewport()->width() - kStatusWidth - kSizeWidth - (verdicts ? kVerdictWidth : 0));
    const int pathWidth = rest / 2;
    setColumnWidth(CheckListModel::NameColumn, rest - pathWidth);
    setColumnWidth(CheckListModel::StatusColumn, kStatusWidth);
    setColumnWidth(CheckListModel::SizeColumn, kSizeWidth);
    setColumnWidth(CheckListModel::PathColumn, pathWidth);
    if (verdicts)
        setColumnWidth(CheckListModel::VerdictColumn, kVerdictWidth);
}

void CheckListView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    ShareColumnWidths();
}

void CheckListView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}
