#include "ui/SumoraApplication.h"

#include "ui/ApplicationTitle.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QSettings>
#include <QTranslator>

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
    // Nothing is kept between runs: Qt's file dialogs would otherwise keep the last folder, the
    // view and the history in the user's settings, and the next run would start from them. Within
    // a run a dialog still opens where the last one was left.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
    // The window is Chinese by design, so Qt's own texts (the file dialogs' labels and buttons,
    // standard buttons, the edit boxes' menus) are Chinese too, whatever the user's locale. The
    // locale itself stays the user's: numbers keep its decimal point.
    auto* qtTexts = new QTranslator(this);
    if (qtTexts->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(qtTexts);
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
