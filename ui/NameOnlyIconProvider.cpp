#include "ui/NameOnlyIconProvider.h"

#include <QFileInfo>
#include <QIcon>

QMimeType NameOnlyIconProvider::KindByName(const QFileInfo& info) const
{
    // Glob matching on the name; the file is not opened (unlike mimeTypeForFile's default).
    const QList<QMimeType> kinds = mimeDatabase_.mimeTypesForFileName(info.fileName());
    if (!kinds.isEmpty())
        return kinds.front();
    return mimeDatabase_.mimeTypeForName(QStringLiteral("application/octet-stream"));
}

QIcon NameOnlyIconProvider::icon(const QFileInfo& info) const
{
    // A folder's icon and type come from what the listing's stat already says, never its content.
    if (info.isDir())
        return QAbstractFileIconProvider::icon(Folder);
    const QMimeType kind = KindByName(info);
    QIcon found = QIcon::fromTheme(kind.iconName());
    if (found.isNull())
        found = QIcon::fromTheme(kind.genericIconName());
    return found.isNull() ? QAbstractFileIconProvider::icon(File) : found;
}

QString NameOnlyIconProvider::type(const QFileInfo& info) const
{
    if (info.isDir())
        return QAbstractFileIconProvider::type(info);
    const QMimeType kind = KindByName(info);
    return kind.comment().isEmpty() ? kind.name() : kind.comment();
}
