// The result tree as the two levels of ResultTreeView: the file nodes and their result lines.
// It follows the tree through its observer, so a pass inserts one row per node it adds.
#pragma once

#include "checking/ResultTree.h"

#include <QAbstractItemModel>

#include <set>
#include <string>
#include <utility>
#include <vector>

class ResultTreeModel : public QAbstractItemModel, private ResultTreeObserver {
    Q_OBJECT
public:
    explicit ResultTreeModel(ResultTree& tree, QObject* parent = nullptr);
    ~ResultTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The node's text as the tree holds it (a root's is the file system's bytes); nothing for
    // an index that names no node.
    const std::string* NodeText(const QModelIndex& index) const;

    // The result lines the compare command found, shown highlighted until the next pass or
    // comparison; the index of a line, for scrolling to it.
    void SetHighlighted(const std::vector<std::pair<size_t, size_t>>& lines);
    bool IsHighlighted(const QModelIndex& index) const;
    QModelIndex LineIndex(size_t root, size_t line) const;

private:
    void RootsAboutToBeAppended(size_t first, size_t count) override;
    void RootsAppended(size_t first, size_t count) override;
    void LineAboutToBeAppended(size_t root, size_t line) override;
    void LineAppended(size_t root, size_t line) override;
    void TreeAboutToBeCleared() override;
    void TreeCleared() override;

    ResultTree& tree_;
    std::set<std::pair<size_t, size_t>> highlighted_;
};
