// Makes a menu entry's shortcut act only while the entry and every menu above it are enabled,
// as a menu bar's keys do on the desktop the program was made for. Whether Qt itself holds
// back the shortcut of an enabled entry inside a disabled menu differs between Qt versions and
// menu bars (a native one, for instance); the gate makes it so everywhere.
#pragma once

#include <QObject>

#include <functional>

class QAction;
class QKeySequence;

// True when the action and every menu that holds it, up to the menu bar, are enabled.
bool MenusAboveEnabled(const QAction* action);

class MenuShortcutGate : public QObject {
    Q_OBJECT
public:
    // Given the first look at every shortcut that reaches a watched entry; true when it took
    // the key for itself (the focused result tree does, for its popup's keys).
    using FirstLook = std::function<bool(const QKeySequence&)>;

    explicit MenuShortcutGate(QObject* parent = nullptr);

    void Watch(QAction* action);
    void SetFirstLook(FirstLook firstLook) { firstLook_ = std::move(firstLook); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FirstLook firstLook_;
};
