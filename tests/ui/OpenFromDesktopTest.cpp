// Names that reach the window from the desktop rather than by a drop: the command line of its
// own start, and later starts of the real program that hand their names to it.
#include "tests/ui/WindowFixture.h"
#include "ui/SingleWindow.h"
#include "ui/WindowRequests.h"

#include <QDialog>
#include <QProcess>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <future>

namespace {

using namespace std::chrono_literals;

class OpenFromDesktopTest : public WindowTest {
protected:
    OpenFromDesktopTest()
    {
        EXPECT_EQ(single.Claim({}, why), SingleWindow::Start::Window) << why;
        ServeLaterStarts(single, form);
    }

    std::vector<std::string> Paths()
    {
        std::vector<std::string> paths;
        for (size_t i = 0; i < form.Core().List().Count(); ++i)
            paths.push_back(form.Core().List().At(i).Path);
        return paths;
    }

    // The program, started as a file manager starts it: in `folder`, with the names as raw
    // bytes (a QProcess would pass them through QString); its exit status and what it wrote.
    int StartProgram(const std::vector<std::string>& names, const std::string& folder, std::string& errors)
    {
        const std::string errorFile = runtime / "stderr";
        const pid_t child = fork();
        if (child == 0) {
            std::vector<std::string> words{QUORVEX_SUMORA_PROGRAM};
            words.insert(words.end(), names.begin(), names.end());
            std::vector<char*> argv;
            for (std::string& word : words)
                argv.push_back(word.data());
            argv.push_back(nullptr);
            const int error = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (error < 0 || dup2(error, 2) < 0 || chdir(folder.c_str()) != 0)
                _exit(100);
            setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            execv(argv[0], argv.data());
            _exit(101);
        }
        int status = -1;
        // The window must keep serving while the program waits for its answer.
        EXPECT_TRUE(QTest::qWaitFor([&] { return waitpid(child, &status, WNOHANG) == child; }, 60000));
        errors = ReadWholeFile(errorFile);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempDir runtime;
    SingleWindow single{runtime.Path()};
    std::string why;
};

TEST_F(OpenFromDesktopTest, TheStartNamesAreOneDropFolderFirstWithOneBoxForTheRefused)
{
    TempDir folder;
    const std::string inside = folder.Write("inside.txt", "in");
    const std::string file = dir.Write("file.txt", "file");
    const std::string missing = dir / "missing.txt";
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    TakeStartNames(form, {folder.Path(), file, missing, fifo, ""});
    EXPECT_TRUE(Paths().empty()) << "taken once the event loop runs";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.Errors.empty(); }, 20000));
    EXPECT_EQ(Paths(), (std::vector<std::string>{inside, file}));
    ASSERT_EQ(dialogs.Errors.size(), 1) << "one box for the whole drop";
    for (const std::string& refused : {missing, fifo, std::string()})
        EXPECT_TRUE(
            dialogs.Errors[0].contains(QString::fromStdString("Cannot open file \"" + refused + "\"")))
            << refused;
    EXPECT_EQ(form.StatusText(), QStringLiteral("待计算的文件总数:2"));
    EXPECT_TRUE(Button("CalculateToolBtn")->isEnabled());
}

TEST_F(OpenFromDesktopTest, ALaterStartOfTheProgramAddsItsNamesToThisWindow)
{
    const std::string first = dir.Write("first.txt", "1");
    Drop({first});
    const std::string relative = dir.Write("relative.txt", "2");
    const std::string dashed = dir.Write("-dashed", "3");
    const std::string latin = dir.Write("caf\xE9", "4");

    std::string errors;
    EXPECT_EQ(StartProgram({"relative.txt", "--", "-dashed", "./caf\xE9"}, dir.Path(), errors), 0);
    EXPECT_EQ(errors.find("Sumora:"), std::string::npos) << errors;
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.Core().List().Count() == 4; }, 20000));
    EXPECT_EQ(Paths(), (std::vector<std::string>{first, relative, dashed, latin}));
    EXPECT_TRUE(dialogs.Errors.isEmpty()) << dialogs.Errors.join('\n').toStdString();
    EXPECT_EQ(form.StatusText(), QStringLiteral("待计算的文件总数:4"));

    // Nothing to add: the window only comes to the front.
    form.showMinimized();
    EXPECT_EQ(StartProgram({}, dir.Path(), errors), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !(form.windowState() & Qt::WindowMinimized); }, 20000));
    EXPECT_EQ(form.Core().List().Count(), 4u);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(OpenFromDesktopTest, NamesHandedInWhileADialogIsOpenWaitForItToClose)
{
    const std::string first = dir.Write("first.txt", "1"), second = dir.Write("second.txt", "2");
    size_t countWhileOpen = 99;
    QTimer::singleShot(0, &form, [&] {
        QDialog dialog(&form);
        QTimer::singleShot(0, &dialog, [&] {
            auto later = std::async(std::launch::async, [&] {
                std::string reason;
                HandOver(single.SocketPath(), {{first}, ""}, 20s, reason);
                return HandOver(single.SocketPath(), {{second}, ""}, 20s, reason);
            });
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return later.wait_for(0s) == std::future_status::ready; }, 20000));
            QTest::qWait(300);
            countWhileOpen = form.Core().List().Count();
            dialog.accept();
        });
        dialog.exec();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.Core().List().Count() == 2; }, 20000));
    EXPECT_EQ(countWhileOpen, 0u);
    EXPECT_EQ(Paths(), (std::vector<std::string>{first, second}));
}

TEST_F(OpenFromDesktopTest, NamesHandedInDuringAPassAreTakenAsADropDuringAPass)
{
    const std::string big = dir.Write("big.txt", std::string(400000, 'x'));
    const std::string late = dir.Write("late.txt", "late");
    Drop({big});
    // The read of the file waits until the hand-over below is done, so the pass still runs then.
    auto gate = std::make_shared<ReadGate>();
    faulty.HoldRead(big, 1, gate);

    bool handedDuringPass = false;
    bool commandsStayedDisabled = false;
    QTimer::singleShot(0, &form, [&] {
        handedDuringPass = form.Core().PassRunning();
        auto later = std::async(std::launch::async, [&] {
            std::string reason;
            return HandOver(single.SocketPath(), {{late}, ""}, 20s, reason);
        });
        // The pass runs off the window's thread, so the window takes the request meanwhile.
        EXPECT_TRUE(QTest::qWaitFor([&] { return form.Core().List().Count() == 2; }, 20000));
        commandsStayedDisabled =
            !Button("CalculateToolBtn")->isEnabled() && !Find<QMenu>("FileMenu")->isEnabled();
        EXPECT_EQ(later.get(), HandOverResult::Delivered);
        gate->Open();
    });
    Calculate();

    EXPECT_TRUE(handedDuringPass);
    EXPECT_TRUE(commandsStayedDisabled);
    ASSERT_EQ(form.Core().List().Count(), 2u);
    EXPECT_EQ(form.Core().List().At(1).Status, kStatusPending);
    EXPECT_EQ(Tree()->model()->rowCount(), 1) << "the handed-in file waits for the next pass";
    EXPECT_EQ(form.StatusText(), QStringLiteral("计算完毕"));
}

TEST(SumoraProgramTest, AnUnknownOptionEndsTheProgramBeforeAnyWindow)
{
    QProcess program;
    program.start(QStringLiteral(QUORVEX_SUMORA_PROGRAM),
                  {QStringLiteral("--new-windows"), QStringLiteral("a")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_TRUE(program.readAllStandardError().endsWith(
        "Sumora: unrecognized option '--new-windows'\nTry 'Sumora --help' for more information.\n"));

    program.start(QStringLiteral(QUORVEX_SUMORA_PROGRAM), {QStringLiteral("--version")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(program.readAllStandardOutput(), QByteArray("Sumora (Quorvex) " QUORVEX_VERSION "\n"));
}

}  // namespace
