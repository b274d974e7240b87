// ResultTreeView: the result tree with expand buttons and lines. While it has the focus, the
// keys of its popup menu come before the menu bar's: the view takes them itself, so Ctrl+S
// saves from here even while the File menu's save entry is disabled, and never meets the menu
// bar's Ctrl+S in an ambiguous match.
#pragma once

#include <QList>
#include <QTreeView>

class QAction;
class QMenu;

class ResultTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit ResultTreeView(QWidget* parent = nullptr);

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

private:
    QAction* PopupActionFor(const QKeySequence& key) const;

    QMenu* popup_ = nullptr;
};
