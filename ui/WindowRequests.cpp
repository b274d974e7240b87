#include "ui/WindowRequests.h"

#include "ui/SingleWindow.h"
#include "ui/SumoraMain.h"

#include <QMetaObject>
#include <QtGlobal>

void TakeStartNames(TSumoraForm& form, const std::vector<std::string>& names)
{
    if (names.empty())
        return;
    QMetaObject::invokeMethod(
        &form, [&form, names] { form.WMDropFiles(names); }, Qt::QueuedConnection);
}

void BringToFront(QWidget& window, const std::string& activationToken)
{
    if (!activationToken.empty())
        qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(activationToken));
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

void ServeLaterStarts(SingleWindow& single, TSumoraForm& form)
{
    QObject::connect(&single, &SingleWindow::Requested, &form, [&form](const WindowRequest& request) {
        BringToFront(form, request.ActivationToken);
        if (!request.Names.empty())
            form.WMDropFiles(request.Names);
    });
}
