// The application object: a failure that escapes any event handler is shown in a message box
// captioned with the application title, and the program goes on running.
#pragma once

#include <QApplication>

class SumoraApplication : public QApplication {
    Q_OBJECT
public:
    SumoraApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The box for such a failure; tests replace it to see what would be shown.
    using FailureBox = void (*)(const QString& text);
    static void SetFailureBox(FailureBox box);
};
