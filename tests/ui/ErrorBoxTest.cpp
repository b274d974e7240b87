// The real message boxes: captioned "Quorvex", also for a failure nothing else caught.
#include "ui/QtDialogs.h"
#include "ui/SumoraApplication.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <stdexcept>

namespace {

// Closes the first message box that opens and keeps its caption and text.
struct BoxWatcher {
    QString title;
    QString text;
    void Arm()
    {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            box->accept();
        });
    }
};

TEST(ErrorBoxTest, TheErrorBoxIsCaptionedWithTheApplicationTitle)
{
    QtDialogs dialogs;
    BoxWatcher watcher;
    watcher.Arm();
    dialogs.ShowError(nullptr, QStringLiteral("Cannot create file \"/x\". Permission denied"));
    EXPECT_EQ(watcher.title, QStringLiteral("Quorvex"));
    EXPECT_EQ(watcher.text, QStringLiteral("Cannot create file \"/x\". Permission denied"));
}

class Thrower : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            throw std::runtime_error("unexpected failure");
        return QObject::event(event);
    }
};

TEST(ErrorBoxTest, AFailureThatEscapesAHandlerIsShownAndTheProgramGoesOn)
{
    ASSERT_NE(qobject_cast<SumoraApplication*>(QCoreApplication::instance()), nullptr);
    static QString shown;
    SumoraApplication::SetFailureBox([](const QString& text) { shown = text; });
    Thrower thrower;
    QEvent event(QEvent::User);
    EXPECT_NO_THROW(QCoreApplication::sendEvent(&thrower, &event));
    SumoraApplication::SetFailureBox(nullptr);
    EXPECT_EQ(shown, QStringLiteral("unexpected failure"));

    // And the real box carries the title.
    BoxWatcher watcher;
    watcher.Arm();
    QCoreApplication::sendEvent(&thrower, &event);
    EXPECT_EQ(watcher.title, QStringLiteral("Quorvex"));
    EXPECT_EQ(watcher.text, QStringLiteral("unexpected failure"));
}

}  // namespace
