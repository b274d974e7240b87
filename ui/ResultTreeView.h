// ResultTreeView: the result tree with expand buttons and lines. While it has the focus, the
// keys of its popup menu come before the menu bar's: the view takes them itself, so Ctrl+S
// saves from here even while the File menu's save entry is disabled, and never meets the menu
// bar's Ctrl+S in an ambiguous match.
#pragma once

#include <array>
#include <optional>

#include <QFont>
#include <QList>
#include <QTreeView>

class QAction;
class QMenu;

class ResultTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit ResultTreeView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    // The popup opened by a right click, whose entries' shortcuts the view answers.
    void SetPopupMenu(QMenu* menu);
    // Runs the popup entry whose shortcut is the key; false when there is none.
    bool RunPopupShortcut(const QKeySequence& key);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // A right click opens the popup without moving the selection.
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QAction* PopupActionFor(const QKeySequence& key) const;
    // Long result lines are scrolled to, not cut short: the column is as wide as the widest
    // node shown so far, measured as each node arrives or its file is opened, rather than over
    // the whole tree each time.
    void MeasureNodes(const QModelIndex& parent, int first, int last);
    // A text's width: for plain ASCII the sum of its letters' advances, taken from a table of
    // the font (shaping every one of a hundred thousand file names held up the window), else
    // as shaped. The sum ignores kerning, which narrows a text rather than widens it.
    int TextWidth(const QString& text, const QFontMetrics& metrics);
    void FitColumn();

    int widestNode_ = 0;
    std::array<int, 128> asciiAdvance_{};
    std::optional<QFont> asciiAdvanceFont_;  // the font the table was taken from

    QMenu* popup_ = nullptr;
};
