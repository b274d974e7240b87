// The application's list of small file icons, in place of the desktop's system icon list: an
// entry's picture is its position here. A file's kind is its extension, as the desktop the
// program was made for decides it, plus whether an extension-less file is a program; the icon
// theme is asked once per kind, so a list of 100,000 files makes a handful of icons and looks
// up the rest in a table. Position 0 is the plain file icon every new entry starts with.
#pragma once

#include <QIcon>
#include <QMimeDatabase>

#include <optional>
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
    // How often the icon theme was asked: the work the table saves.
    int IconsMade() const { return iconsMade_; }

private:
    struct SuffixKind {
        int Position;
        bool Plain;  // nothing known by the name: a program if it may be run
    };
    SuffixKind KindOfSuffix(const std::string& suffix);
    int PositionOfMimeType(const QMimeType& kind);

    QMimeDatabase mimeDatabase_;
    std::vector<QIcon> icons_;
    std::unordered_map<std::string, SuffixKind> kindOfSuffix_;
    std::unordered_map<std::string, int> positionOfMimeType_;
    std::optional<int> programPosition_;
    int iconsMade_ = 0;
};
