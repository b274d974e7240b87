#include "ui/CheckListModel.h"

#include "platform/TextEncoding.h"
#include "ui/IconList.h"

#include <QBrush>

std::optional<QColor> ColourGroupBackground(int group)
{
    switch (group) {
    case 1: return QColor(255, 0, 0);      // red
    case 2: return QColor(0, 255, 0);      // lime
    case 3: return QColor(255, 0, 255);    // fuchsia
    case 4: return QColor(255, 255, 0);    // yellow
    case 5: return QColor(0, 128, 0);      // green
    case 6: return QColor(0, 255, 255);    // aqua
    case 7: return QColor(128, 128, 0);    // olive
    case 8: return QColor(128, 0, 128);    // purple
    default: return std::nullopt;
    }
}

CheckListModel::CheckListModel(CheckList& list, const IconList& icons, QObject* parent)
    : QAbstractTableModel(parent), list_(list), icons_(icons)
{
    list_.SetObserver(this);
}

CheckListModel::~CheckListModel() { list_.SetObserver(nullptr); }

int CheckListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(list_.Count());
}

int CheckListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || static_cast<size_t>(index.row()) >= list_.Count())
        return {};
    const CheckEntry& entry = list_.At(static_cast<size_t>(index.row()));
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        // Names are the file system's bytes; shown so that a name in another encoding stays
        // recognisable, never converted back.
        case NameColumn: return QString::fromStdString(Utf8FromNative(entry.Caption));
        case StatusColumn: return QString::fromStdString(entry.Status);
        case SizeColumn: return QString::fromStdString(entry.SizeText);
        case PathColumn: return QString::fromStdString(Utf8FromNative(entry.Path));
        }
        return {};
    case Qt::DecorationRole:
        if (index.column() == NameColumn)
            return icons_.Icon(entry.Icon);
        return {};
    case Qt::BackgroundRole:
        if (auto colour = ColourGroupBackground(entry.ColourGroup))
            return QBrush(*colour);
        return {};
    default:
        return {};
    }
}

QVariant CheckListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case NameColumn: return QStringLiteral("文件名称");
    case StatusColumn: return QStringLiteral("状态");
    case SizeColumn: return QStringLiteral("文件大小");
    case PathColumn: return QStringLiteral("路径");
    }
    return {};
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void CheckListModel::EntriesAboutToBeAppended(size_t first, size_t count)
{
    beginInsertRows({}, static_cast<int>(first), static_cast<int>(first + count - 1));
}

void CheckListModel::EntriesAppended(size_t, size_t) { endInsertRows(); }

void CheckListModel::EntryAboutToBeRemoved(size_t index)
{
    beginRemoveRows({}, static_cast<int>(index), static_cast<int>(index));
}

void CheckListModel::EntryRemoved(size_t) { endRemoveRows(); }

void CheckListModel::ListAboutToBeCleared() { beginResetModel(); }

void CheckListModel::ListCleared() { endResetModel(); }

void CheckListModel::EntriesChanged(size_t first, size_t last)
{
    emit dataChanged(index(static_cast<int>(first), 0), index(static_cast<int>(last), ColumnCount - 1));
}
