#include "ui/IconList.h"

#include "platform/TextEncoding.h"

#include <QFileIconProvider>

#include <unistd.h>

namespace {

const QString kPlainFile = QStringLiteral("application/octet-stream");

// The lower-cased text after the last dot of the file name, "" when it has none.
std::string LowerSuffix(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart)
        return {};
    std::string suffix = path.substr(dot + 1);
    for (char& c : suffix)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return suffix;
}

}  // namespace

IconList::IconList() { icons_.push_back(QFileIconProvider().icon(QAbstractFileIconProvider::File)); }

int IconList::SystemIconIndex(const std::string& path)
{
    const std::string suffix = LowerSuffix(path);
    auto known = kindOfSuffix_.find(suffix);
    if (known == kindOfSuffix_.end())
        known = kindOfSuffix_.emplace(suffix, KindOfSuffix(suffix)).first;
    if (!known->second.Plain || ::access(path.c_str(), X_OK) != 0)
        return known->second.Position;
    // Programs on Linux rarely carry an extension; give them the program icon all the same.
    if (!programPosition_)
        programPosition_ =
            PositionOfMimeType(mimeDatabase_.mimeTypeForName(QStringLiteral("application/x-executable")));
    return *programPosition_;
}

IconList::SuffixKind IconList::KindOfSuffix(const std::string& suffix)
{
    if (suffix.empty())
        return {0, true};
    // By name only, never by content: reading every file of a large list would cost as much as
    // hashing it, and a FIFO could block the read.
    const QMimeType kind = mimeDatabase_.mimeTypeForFile(QStringLiteral("name.") +
                                                             QString::fromStdString(Utf8FromNative(suffix)),
                                                         QMimeDatabase::MatchExtension);
    if (!kind.isValid() || kind.name() == kPlainFile)
        return {0, true};
    return {PositionOfMimeType(kind), false};
}

int IconList::PositionOfMimeType(const QMimeType& kind)
{
    if (auto known = positionOfMimeType_.find(kind.name().toStdString()); known != positionOfMimeType_.end())
        return known->second;
    ++iconsMade_;
    QIcon icon = QIcon::fromTheme(kind.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(kind.genericIconName());
    // Without a theme that knows the kind, the plain file icon at position 0 serves.
    int position = 0;
    if (!icon.isNull()) {
        icons_.push_back(icon);
        position = Count() - 1;
    }
    positionOfMimeType_.emplace(kind.name().toStdString(), position);
    return position;
}

QIcon IconList::Icon(int index) const
{
    if (index < 0 || index >= Count())
        return icons_.front();
    return icons_[static_cast<size_t>(index)];
}
