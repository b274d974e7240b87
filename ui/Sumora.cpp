// The program: the application titled "Quorvex", its main window over the real files,
// dialogs and desktop, and the event loop until that window is closed.
#include "platform/PosixFileSystem.h"
#include "ui/Pictures.h"
#include "ui/QtDialogs.h"
#include "ui/SumoraApplication.h"
#include "ui/SumoraMain.h"

int main(int argc, char** argv)
{
    SumoraApplication application(argc, argv);
    application.setWindowIcon(WindowIcon());

    PosixFileSystem files;
    QtDialogs dialogs;
    TSumoraForm form(files, dialogs);
    form.show();
    return application.exec();
}
