// The program: the application titled "Quorvex", its main window over the real files, dialogs
// and desktop, and the event loop until that window is closed. Names on the command line are
// taken in as one drop; when a window of this user already runs, they go to that window instead.
#include "platform/PosixFileSystem.h"
#include "ui/CommandLine.h"
#include "ui/Pictures.h"
#include "ui/QtDialogs.h"
#include "ui/RuntimeFolder.h"
#include "ui/SingleWindow.h"
#include "ui/SumoraApplication.h"
#include "ui/SumoraMain.h"
#include "ui/WindowRequests.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace {

std::string ProgramName(const char* argv0)
{
    const std::string path = argv0 ? argv0 : "Sumora";
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The running window of this user, or this start as that window; nothing when this start
// hands its request over (`exitStatus` then says how that went) or must open a window of its own.
std::unique_ptr<SingleWindow> ClaimSingleWindow(const std::string& program, const WindowRequest& request,
                                                std::optional<int>& exitStatus)
{
    std::string why;
    const std::optional<std::string> folder =
        PrivateRuntimeFolder(std::getenv("XDG_RUNTIME_DIR"), "/tmp", why);
    if (!folder) {
        std::fprintf(stderr, "%s: %s; opening a window of its own\n", program.c_str(), why.c_str());
        return nullptr;
    }
    auto single = std::make_unique<SingleWindow>(*folder);
    switch (single->Claim(request, why)) {
    case SingleWindow::Start::Window: return single;
    case SingleWindow::Start::HandedOver: exitStatus = EXIT_SUCCESS; return nullptr;
    case SingleWindow::Start::Unanswered:
        std::fprintf(stderr, "%s: %s\n", program.c_str(), why.c_str());
        exitStatus = EXIT_FAILURE;
        return nullptr;
    case SingleWindow::Start::Alone: break;
    }
    std::fprintf(stderr, "%s: %s; opening a window of its own\n", program.c_str(), why.c_str());
    return nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string program = ProgramName(argc > 0 ? argv[0] : nullptr);
    SplitArguments split = SplitAtEndOfOptions(argc, argv);
    int qtArgc = static_cast<int>(split.Options.size()) - 1;

    // Answered before Qt looks for a display, so they also work without one.
    const CommandLine early = ParseCommandLine(qtArgc, split.Options.data(), {});
    if (early.Help || early.Version) {
        std::fputs((early.Help ? UsageText(program) : VersionText()).c_str(), stdout);
        return EXIT_SUCCESS;
    }

    SumoraApplication application(qtArgc, split.Options.data());
    const CommandLine line = ParseCommandLine(qtArgc, split.Options.data(), split.AfterEnd);
    if (!line.Error.empty()) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program.c_str(),
                     line.Error.c_str(), program.c_str());
        return 2;
    }

    WindowRequest request;
    const std::string startFolder = CurrentFolder();
    for (const std::string& name : line.Names)
        request.Names.push_back(AbsoluteName(name, startFolder));
    request.Recursive = line.Recursive;
    if (const char* token = std::getenv("XDG_ACTIVATION_TOKEN"))
        request.ActivationToken = token;

    std::unique_ptr<SingleWindow> single;
    if (!line.NewWindow) {
        std::optional<int> exitStatus;
        single = ClaimSingleWindow(program, request, exitStatus);
        if (exitStatus)
            return *exitStatus;
    }

    application.setWindowIcon(WindowIcon());
    PosixFileSystem files;
    QtDialogs dialogs;
    TSumoraForm form(files, dialogs);
    if (single)
        ServeLaterStarts(*single, form);
    form.show();
    TakeStartNames(form, request.Names, request.Recursive);
    return application.exec();
}
