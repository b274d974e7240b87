// The check list as the four columns of NeedCheckFileList, and a fifth with the verdict once an
// entry has an expected digest (a list without any keeps its four). It follows the list through
// its observer, so an append inserts rows and a change repaints only the rows that changed.
#pragma once

#include "checking/CheckList.h"

#include <QAbstractTableModel>
#include <QColor>

#include <optional>

class IconList;

// The background of a row in colour group 1 to 8; nothing (the list's own background) for -1,
// 0 (an error), 9 (after the eighth group) and anything else.
std::optional<QColor> ColourGroupBackground(int group);

class CheckListModel : public QAbstractTableModel, private CheckListObserver {
    Q_OBJECT
public:
    enum Column {
        NameColumn,
        StatusColumn,
        SizeColumn,
        PathColumn,
        ColumnCount,
        VerdictColumn = ColumnCount
    };

    CheckListModel(CheckList& list, const IconList& icons, QObject* parent = nullptr);
    ~CheckListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Whether the verdict column is there.
    bool ShowsVerdicts() const { return verdictColumn_; }

private:
    // Adds the verdict column when one of the entries first to last has an expected digest.
    void ShowVerdictsFor(size_t first, size_t last);

    void EntriesAboutToBeAppended(size_t first, size_t count) override;
    void EntriesAppended(size_t first, size_t count) override;
    void EntryAboutToBeRemoved(size_t index) override;
    void EntryRemoved(size_t index) override;
    void ListAboutToBeCleared() override;
    void ListCleared() override;
    void EntriesChanged(size_t first, size_t last) override;

    CheckList& list_;
    const IconList& icons_;
    bool verdictColumn_ = false;
};
