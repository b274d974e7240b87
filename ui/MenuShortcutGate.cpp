#include "ui/MenuShortcutGate.h"

#include <QAction>
#include <QMenu>
#include <QShortcutEvent>

bool MenusAboveEnabled(const QAction* action)
{
    if (!action->isEnabled())
        return false;
    for (QObject* holder : action->associatedObjects()) {
        auto* menu = qobject_cast<QMenu*>(holder);
        if (!menu)
            continue;
        if (!menu->isEnabled() || !MenusAboveEnabled(menu->menuAction()))
            return false;
    }
    return true;
}

MenuShortcutGate::MenuShortcutGate(QObject* parent) : QObject(parent) {}

void MenuShortcutGate::Watch(QAction* action) { action->installEventFilter(this); }

bool MenuShortcutGate::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Shortcut)
        return QObject::eventFilter(watched, event);
    auto* action = qobject_cast<QAction*>(watched);
    if (!action)
        return false;
    const auto* shortcut = static_cast<QShortcutEvent*>(event);
    if (firstLook_ && firstLook_(shortcut->key()))
        return true;
    // Swallowed: the key does nothing, as a key of a disabled menu should.
    return !MenusAboveEnabled(action);
}
