#include "ui/ResultTreeModel.h"

#include <QBrush>
#include <QFont>

#include "platform/TextEncoding.h"

namespace {

// A root's index carries 0, a result line's the number of its root plus one.
constexpr quintptr kRootId = 0;

}  // namespace

ResultTreeModel::ResultTreeModel(ResultTree& tree, QObject* parent) : QAbstractItemModel(parent), tree_(tree)
{
    tree_.SetObserver(this);
}

ResultTreeModel::~ResultTreeModel() { tree_.SetObserver(nullptr); }

QModelIndex ResultTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column != 0)
        return {};
    if (row >= rowCount(parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, 0, kRootId);
    return createIndex(row, 0, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex ResultTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid() || child.internalId() == kRootId)
        return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, kRootId);
}

int ResultTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return static_cast<int>(tree_.RootCount());
    if (parent.internalId() != kRootId)
        return 0;
    return static_cast<int>(tree_.Root(static_cast<size_t>(parent.row())).Lines.size());
}

int ResultTreeModel::columnCount(const QModelIndex&) const { return 1; }

const std::string* ResultTreeModel::NodeText(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    if (index.internalId() == kRootId) {
        const size_t root = static_cast<size_t>(index.row());
        return root < tree_.RootCount() ? &tree_.Root(root).Text : nullptr;
    }
    const size_t root = static_cast<size_t>(index.internalId() - 1);
    const size_t line = static_cast<size_t>(index.row());
    if (root >= tree_.RootCount() || line >= tree_.Root(root).Lines.size())
        return nullptr;
    return &tree_.Root(root).Lines[line];
}

QVariant ResultTreeModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::BackgroundRole && IsHighlighted(index))
        return QBrush(QColor(255, 224, 64));
    if (role == Qt::FontRole && IsHighlighted(index)) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role != Qt::DisplayRole)
        return {};
    const std::string* text = NodeText(index);
    if (!text)
        return {};
    return QString::fromStdString(Utf8FromNative(*text));
}

Qt::ItemFlags ResultTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.internalId() != kRootId)
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}

void ResultTreeModel::RootsAboutToBeAppended(size_t first, size_t count)
{
    beginInsertRows({}, static_cast<int>(first), static_cast<int>(first + count - 1));
}

void ResultTreeModel::RootsAppended(size_t, size_t) { endInsertRows(); }

void ResultTreeModel::LineAboutToBeAppended(size_t root, size_t line)
{
    beginInsertRows(createIndex(static_cast<int>(root), 0, kRootId), static_cast<int>(line),
                    static_cast<int>(line));
}

bool ResultTreeModel::IsHighlighted(const QModelIndex& index) const
{
    if (highlighted_.empty() || !index.isValid() || index.internalId() == kRootId)
        return false;
    return highlighted_.count(
               {static_cast<size_t>(index.internalId() - 1), static_cast<size_t>(index.row())}) > 0;
}

QModelIndex ResultTreeModel::LineIndex(size_t root, size_t line) const
{
    if (root >= tree_.RootCount() || line >= tree_.Root(root).Lines.size())
        return {};
    return index(static_cast<int>(line), 0, index(static_cast<int>(root), 0));
}

void ResultTreeModel::SetHighlighted(const std::vector<std::pair<size_t, size_t>>& lines)
{
    std::set<std::pair<size_t, size_t>> changed = highlighted_;
    highlighted_ = std::set<std::pair<size_t, size_t>>(lines.begin(), lines.end());
    changed.insert(highlighted_.begin(), highlighted_.end());
    for (const auto& [root, line] : changed)
        if (QModelIndex at = LineIndex(root, line); at.isValid())
            emit dataChanged(at, at, {Qt::BackgroundRole, Qt::FontRole});
}

void ResultTreeModel::LineAppended(size_t, size_t) { endInsertRows(); }

void ResultTreeModel::TreeAboutToBeCleared()
{
    highlighted_.clear();
    beginResetModel();
}

void ResultTreeModel::TreeCleared() { endResetModel(); }
