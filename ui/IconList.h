// The application's list of small file icons, in place of the desktop's system icon list: an
// entry's picture is its position here. One icon per kind of file (its MIME type by name), made
// the first time the kind is met, so a list of 100,000 files asks the icon theme a handful of
// times. Position 0 is the plain file icon every new entry starts with.
#pragma once

#include <QIcon>
#include <QMimeDatabase>

#include <string>
#include <unordered_map>
#include <vector>

class IconList {
public:
    IconList();

    // The position of the icon for the file at the path (native bytes), added when new.
    int SystemIconIndex(const std::string& path);
    // The icon at a position; the plain file icon for a position the list does not hold.
    QIcon Icon(int index) const;

    int Count() const { return static_cast<int>(icons_.size()); }
    // How often an icon was made for a kind not seen before: the work the cache saves.
    int IconsMade() const { return iconsMade_; }

private:
    QIcon IconForKind(const QMimeType& kind) const;

    QMimeDatabase mimeDatabase_;
    std::vector<QIcon> icons_;
    std::unordered_map<std::string, int> positionOfKind_;
    int iconsMade_ = 0;
};
