#include "ui/CheckListModel.h"

#include "platform/TextEncoding.h"
#include "ui/IconList.h"

#include <QBrush>
#include <QFont>

namespace {

// A differing file stands out in its own cell and in bold, so the row keeps its duplicate colour.
const QColor kDiffersBackground(96, 0, 0);
const QColor kDiffersText(255, 255, 255);
const QColor kNotCheckedText(176, 0, 0);

bool Differs(const CheckEntry& entry) { return entry.Verdict == SumVerdict::Differs; }

}  // namespace

std::optional<QColor> ColourGroupBackground(int group)
{
    switch (group) {
    case 1: return QColor(255, 0, 0);    // red
    case 2: return QColor(0, 255, 0);    // lime
    case 3: return QColor(255, 0, 255);  // fuchsia
    case 4: return QColor(255, 255, 0);  // yellow
    case 5: return QColor(0, 128, 0);    // green
    case 6: return QColor(0, 255, 255);  // aqua
    case 7: return QColor(128, 128, 0);  // olive
    case 8: return QColor(128, 0, 128);  // purple
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
    return parent.isValid() ? 0 : ColumnCount + (verdictColumn_ ? 1 : 0);
}

void CheckListModel::ShowVerdictsFor(size_t first, size_t last)
{
    if (verdictColumn_)
        return;
    for (size_t i = first; i <= last && i < list_.Count(); ++i)
        if (!list_.At(i).Expected.empty() || list_.At(i).Unlisted) {
            beginInsertColumns({}, VerdictColumn, VerdictColumn);
            verdictColumn_ = true;
            endInsertColumns();
            return;
        }
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
        case VerdictColumn:
            if (!entry.AuditText.empty())
                return QString::fromStdString(entry.AuditText);
            return entry.Verdict
                       ? QString::fromUtf8(VerdictText(*entry.Verdict).data(),
                                           static_cast<qsizetype>(VerdictText(*entry.Verdict).size()))
                       : QString();
        }
        return {};
    case Qt::DecorationRole:
        if (index.column() == NameColumn)
            return icons_.Icon(entry.Icon);
        return {};
    case Qt::BackgroundRole:
        if (index.column() == VerdictColumn && Differs(entry))
            return QBrush(kDiffersBackground);
        if (auto colour = ColourGroupBackground(entry.ColourGroup))
            return QBrush(*colour);
        return {};
    case Qt::ForegroundRole:
        if (index.column() == VerdictColumn && Differs(entry))
            return QBrush(kDiffersText);
        if (index.column() == VerdictColumn && entry.Verdict && *entry.Verdict != SumVerdict::Matches)
            return QBrush(kNotCheckedText);
        return {};
    case Qt::FontRole:
        if (Differs(entry)) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default: return {};
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
    case VerdictColumn: return QStringLiteral("校验结果");
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

void CheckListModel::EntriesAppended(size_t first, size_t count)
{
    endInsertRows();
    ShowVerdictsFor(first, first + count - 1);
}

void CheckListModel::EntryAboutToBeRemoved(size_t index)
{
    beginRemoveRows({}, static_cast<int>(index), static_cast<int>(index));
}

void CheckListModel::EntryRemoved(size_t) { endRemoveRows(); }

void CheckListModel::ListAboutToBeCleared()
{
    beginResetModel();
    verdictColumn_ = false;
}

void CheckListModel::ListCleared() { endResetModel(); }

void CheckListModel::EntriesChanged(size_t first, size_t last)
{
    ShowVerdictsFor(first, last);
    emit dataChanged(index(static_cast<int>(first), 0), index(static_cast<int>(last), columnCount() - 1));
}
