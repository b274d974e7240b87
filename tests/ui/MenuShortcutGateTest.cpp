// The gate itself: a shortcut that reaches an entry acts only while the entry and every menu
// above it are enabled. Qt's own shortcut map already stops some of these keys in the window,
// so the gate is handed the shortcut events directly.
#include "ui/MenuShortcutGate.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QShortcutEvent>
#include <QSignalSpy>

namespace {

class MenuShortcutGateTest : public testing::Test {
protected:
    MenuShortcutGateTest()
    {
        sub = top.addMenu(QStringLiteral("sub"));
        entry = sub->addAction(QStringLiteral("entry"));
        entry->setShortcut(kKey);
        gate.Watch(entry);
    }

    // Sends the entry's shortcut to it and tells whether its command ran.
    bool ShortcutRuns()
    {
        QSignalSpy triggered(entry, &QAction::triggered);
        QShortcutEvent event(kKey, 0);
        QApplication::sendEvent(entry, &event);
        return triggered.count() == 1;
    }

    const QKeySequence kKey{Qt::CTRL | Qt::Key_K};
    QMenu top;
    QMenu* sub = nullptr;
    QAction* entry = nullptr;
    MenuShortcutGate gate;
};

TEST_F(MenuShortcutGateTest, TheKeyActsOnlyWhileEveryMenuAboveTheEntryIsEnabled)
{
    EXPECT_TRUE(ShortcutRuns());

    top.setEnabled(false);
    EXPECT_FALSE(ShortcutRuns()) << "the menu two levels up is disabled";
    EXPECT_FALSE(MenusAboveEnabled(entry));
    top.setEnabled(true);

    sub->setEnabled(false);
    EXPECT_FALSE(ShortcutRuns()) << "the submenu holding the entry is disabled";
    sub->setEnabled(true);

    sub->menuAction()->setEnabled(false);
    EXPECT_FALSE(ShortcutRuns()) << "the submenu's entry in its parent is disabled";
    sub->menuAction()->setEnabled(true);

    EXPECT_TRUE(ShortcutRuns());
    EXPECT_TRUE(MenusAboveEnabled(entry));
}

TEST_F(MenuShortcutGateTest, TheFirstLookTakesTheKeyBeforeTheEntry)
{
    int looked = 0;
    gate.SetFirstLook([&](const QKeySequence& key) {
        ++looked;
        return key == kKey;
    });
    top.setEnabled(false);
    EXPECT_FALSE(ShortcutRuns());
    EXPECT_EQ(looked, 1);
}

}  // namespace
