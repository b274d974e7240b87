#include "ui/WindowRequests.h"

#include "ui/SingleWindow.h"
#include "ui/SumoraMain.h"

#include <QApplication>
#include <QMetaObject>
#include <QTimer>
#include <QtGlobal>

#include <deque>

void TakeStartNames(TSumoraForm& form, const std::vector<std::string>& names, bool recursive)
{
    if (names.empty())
        return;
    QMetaObject::invokeMethod(
        &form,
        [&form, names, recursive] {
            if (recursive)
                form.TakeTrees(names);
            else
                form.WMDropFiles(names);
        },
        Qt::QueuedConnection);
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

namespace {

// The names of later starts, in the order they came. While a dialog or message box of the window
// is open they wait for it to close, as a drop cannot reach the window then either: the command
// that opened the dialog must not find the list changed under it when the dialog returns.
class WaitingNames : public QObject {
public:
    explicit WaitingNames(TSumoraForm& form) : QObject(&form), form_(form)
    {
        retry_.setSingleShot(true);
        retry_.setInterval(100);
        connect(&retry_, &QTimer::timeout, this, &WaitingNames::Deliver);
    }

    void Add(std::vector<std::string> names, bool recursive)
    {
        waiting_.push_back({std::move(names), recursive});
        Deliver();
    }

private:
    void Deliver()
    {
        // A refusal box of one drop may run the event loop; the next drop waits its turn.
        if (delivering_)
            return;
        delivering_ = true;
        while (!waiting_.empty()) {
            if (QApplication::activeModalWidget()) {
                retry_.start();
                break;
            }
            const Waiting names = std::move(waiting_.front());
            waiting_.pop_front();
            if (names.Recursive)
                form_.TakeTrees(names.Names);
            else
                form_.WMDropFiles(names.Names);
        }
        delivering_ = false;
    }

    TSumoraForm& form_;
    struct Waiting {
        std::vector<std::string> Names;
        bool Recursive = false;
    };
    std::deque<Waiting> waiting_;
    QTimer retry_;
    bool delivering_ = false;
};

}  // namespace

void ServeLaterStarts(SingleWindow& single, TSumoraForm& form)
{
    auto* waiting = new WaitingNames(form);
    QObject::connect(&single, &SingleWindow::Requested, &form,
                     [&form, waiting](const WindowRequest& request) {
                         BringToFront(form, request.ActivationToken);
                         if (!request.Names.empty())
                             waiting->Add(request.Names, request.Recursive);
                     });
}
