// The gate that keeps a menu entry's shortcut quiet while a menu above it is disabled, even in
// the states where Qt itself would still deliver it.
#include "ui/MenuShortcutGate.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace {

struct GatedWindow {
    QMainWindow window;
    QMenu* outer = window.menuBar()->addMenu(QStringLiteral("outer"));
    QMenu* inner = outer->addMenu(QStringLiteral("inner"));
    QAction* entry = inner->addAction(QStringLiteral("entry"));
    MenuShortcutGate gate;
    int triggered = 0;

    GatedWindow()
    {
        entry->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
        QObject::connect(entry, &QAction::triggered, [this] { ++triggered; });
        gate.Watch(entry);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void Press() { QTest::keyClick(&window, Qt::Key_K, Qt::ControlModifier); }
};

TEST(MenuShortcutGateTest, EveryMenuAboveTheEntryCounts)
{
    GatedWindow w;
    EXPECT_TRUE(MenusAboveEnabled(w.entry));
    w.Press();
    EXPECT_EQ(w.triggered, 1);

    // The menu widget disabled while its entry in the bar still looks enabled: Qt would fire.
    w.outer->setEnabled(false);
    w.outer->menuAction()->setEnabled(true);
    EXPECT_FALSE(MenusAboveEnabled(w.entry));
    w.Press();
    EXPECT_EQ(w.triggered, 1);

    w.outer->setEnabled(true);
    w.inner->menuAction()->setEnabled(false);
    EXPECT_FALSE(MenusAboveEnabled(w.entry));
    w.Press();
    EXPECT_EQ(w.triggered, 1);

    w.inner->menuAction()->setEnabled(true);
    w.Press();
    EXPECT_EQ(w.triggered, 2);
}

TEST(MenuShortcutGateTest, TheFirstLookMayTakeTheKey)
{
    GatedWindow w;
    int taken = 0;
    w.gate.SetFirstLook([&](const QKeySequence& key) {
        ++taken;
        return key == QKeySequence(Qt::CTRL | Qt::Key_K);
    });
    w.Press();
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(w.triggered, 0);
}

}  // namespace
