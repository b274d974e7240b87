#include "ui/SumoraApplication.h"

#include "ui/ApplicationTitle.h"

#include <QIcon>
#include <QMessageBox>

#include <exception>

namespace {

void ShowFailure(const QString& text)
{
    QMessageBox::critical(QApplication::activeWindow(), QString::fromUtf8(kApplicationTitle), text);
}

SumoraApplication::FailureBox failureBox = &ShowFailure;

}  // namespace

SumoraApplication::SumoraApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // The name only; a display name would be appended to every window caption.
    setApplicationName(QString::fromUtf8(kApplicationTitle));
    setApplicationVersion(QStringLiteral(QUORVEX_VERSION));
    setDesktopFileName(QStringLiteral("quorvex"));
    // Without a desktop that names an icon theme, file icons would all be the plain one; the
    // common Adwaita theme fills in where the current theme has none.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QStringLiteral("hicolor"))
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

void SumoraApplication::SetFailureBox(FailureBox box) { failureBox = box ? box : &ShowFailure; }

bool SumoraApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        failureBox(QString::fromStdString(error.what()));
    } catch (...) {
        failureBox(QStringLiteral("Unknown error"));
    }
    return false;
}
