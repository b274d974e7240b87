// The progress and status displays on a window of their own: the busy cursor, which is the
// desktop's as long as it is shown, and the stop keys, which live only with the progress group.
#include "ui/ProgressDisplay.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

int OverrideCursorDepth()
{
    int depth = 0;
    while (QGuiApplication::overrideCursor()) {
        QGuiApplication::restoreOverrideCursor();
        ++depth;
    }
    return depth;
}

TEST(ProgressDisplayTest, TheBusyCursorIsShownOnceAndGoesWithTheDisplay)
{
    QMainWindow window;
    auto display = std::make_unique<ProgressDisplay>(window);
    display->SetBusyCursor(true);
    display->SetBusyCursor(true);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    display->SetBusyCursor(false);
    EXPECT_EQ(OverrideCursorDepth(), 0) << "asked for twice, shown once";
    display->SetBusyCursor(false);
    EXPECT_EQ(OverrideCursorDepth(), 0);

    display->SetBusyCursor(true);
    display.reset();  // the window closes during a pass
    EXPECT_EQ(OverrideCursorDepth(), 0);
}

TEST(ProgressDisplayTest, EscAsksToStopOnlyWhileTheProgressGroupShows)
{
    QMainWindow window;
    auto* edit = new QLineEdit(&window);
    window.setCentralWidget(edit);
    ProgressDisplay display(window);
    QSignalSpy stops(&display, &ProgressDisplay::StopRequested);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();

    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(stops.count(), 0);
    display.ShowProgressGroup(true);
    EXPECT_TRUE(window.findChild<QGroupBox*>(QStringLiteral("CheckGroupBox"))->isVisible());
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(stops.count(), 1);
    display.ShowProgressGroup(false);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(stops.count(), 1);
}

}  // namespace
