#include "ui/IconList.h"

#include "platform/TextEncoding.h"

#include <QFileIconProvider>

#include <unistd.h>

namespace {

const QString kPlainFile = QStringLiteral("application/octet-stream");

QIcon PlainFileIcon() { return QFileIconProvider().icon(QAbstractFileIconProvider::File); }

}  // namespace

IconList::IconList() { icons_.push_back(PlainFileIcon()); }

int IconList::SystemIconIndex(const std::string& path)
{
    // By name only: reading the content of every file of a large list would cost as much as
    // hashing it, and a FIFO could block the read.
    QMimeType kind = mimeDatabase_.mimeTypeForFile(QString::fromStdString(Utf8FromNative(path)),
                                                   QMimeDatabase::MatchExtension);
    std::string key = kind.name().toStdString();
    if (kind.name() == kPlainFile && ::access(path.c_str(), X_OK) == 0) {
        // Programs on Linux rarely carry an extension; give them the program icon all the same.
        kind = mimeDatabase_.mimeTypeForName(QStringLiteral("application/x-executable"));
        key = "application/x-executable";
    }

    if (auto known = positionOfKind_.find(key); known != positionOfKind_.end())
        return known->second;

    ++iconsMade_;
    QIcon icon = IconForKind(kind);
    int position = 0;
    if (!icon.isNull()) {
        icons_.push_back(icon);
        position = Count() - 1;
    }
    positionOfKind_.emplace(std::move(key), position);
    return position;
}

QIcon IconList::Icon(int index) const
{
    if (index < 0 || index >= Count())
        return icons_.front();
    return icons_[static_cast<size_t>(index)];
}

QIcon IconList::IconForKind(const QMimeType& kind) const
{
    if (!kind.isValid() || kind.name() == kPlainFile)
        return {};
    QIcon icon = QIcon::fromTheme(kind.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(kind.genericIconName());
    // Without a theme that knows the kind, the plain file icon at position 0 serves.
    return icon;
}
