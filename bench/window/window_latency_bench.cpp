// The window's thread while a pass runs, in the real window (offscreen): the worst delay of a
// timer that should fire every 5 ms, during a pass over one large file and over 10,000 files of
// 4 KiB; and how long the stop button takes to give the window back in the middle of each. The
// same for the import of a sum file that lists the 10,000 files, ten times over.
//
//   window_latency_bench [MiB]    (default: 1024 MiB)
#include "bench/BenchFiles.h"
#include "checking/Checker.h"
#include "platform/PosixFileSystem.h"
#include "ui/QtDialogs.h"
#include "ui/SumoraMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The file layer of the machine, but for one path whose reads never return, as a hung network
// share's do: the stop must give the window back all the same.
class OneHungFile : public PosixFileSystem {
public:
    explicit OneHungFile(std::string hung) : hung_(std::move(hung)) {}
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override
    {
        std::unique_ptr<InputFile> file = PosixFileSystem::OpenForReading(path);
        if (path != hung_)
            return file;
        class Hung : public InputFile {
        public:
            explicit Hung(int64_t size) : size_(size) {}
            int64_t Size() const override { return size_; }
            size_t Read(void*, size_t) override
            {
                for (;;)
                    ::pause();
            }

        private:
            int64_t size_;
        };
        return std::make_unique<Hung>(file->Size());
    }

private:
    std::string hung_;
};

struct Figures {
    double passSeconds = 0;
    double worstTimerDelayMs = 0;
    double worstAtMs = 0;  // when the worst delay ended, from the start of the pass
    double stopMs = -1;
};

// Runs what start begins (a pass, an import) in the window until it ends, with a 5 ms timer
// ticking beside it to see how late the window's thread lets it fire; with stopAfterMs >= 0 the
// stop button is clicked that long after the start.
Figures Watch(TSumoraForm& form, int stopAfterMs, bool trace, const std::function<void()>& start)
{
    Checker& core = form.Core();
    Figures figures;
    QElapsedTimer run;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double late = static_cast<double>(sinceTick.nsecsElapsed()) / 1e6 - 5.0;
        if (trace && late > 40)
            std::fprintf(stderr, "  timer %.1f ms late at %.0f ms (tree %zu roots)\n", late,
                         static_cast<double>(run.nsecsElapsed()) / 1e6, core.Tree().RootCount());
        if (late > figures.worstTimerDelayMs) {
            figures.worstTimerDelayMs = late;
            figures.worstAtMs = static_cast<double>(run.nsecsElapsed()) / 1e6;
        }
        sinceTick.start();
    });
    if (stopAfterMs >= 0)
        QTimer::singleShot(stopAfterMs, &form, [&] {
            QElapsedTimer stop;
            stop.start();
            form.StopBtnClick();
            figures.stopMs = static_cast<double>(stop.nsecsElapsed()) / 1e6;
        });
    run.start();
    sinceTick.start();
    ticker.start(5);
    start();
    while (core.PassRunning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ticker.stop();
    figures.passSeconds = static_cast<double>(run.nsecsElapsed()) / 1e9;
    return figures;
}

// One pass in the window, every entry pending; with stopAfterMs >= 0 the stop button is
// clicked that long after the start.
Figures Pass(TSumoraForm& form, int stopAfterMs)
{
    Checker& core = form.Core();
    core.HashItemClicked(HashItem::SHA1, false);
    core.HashItemClicked(HashItem::SHA1, true);
    // What the selection change asks of the views happens before the pass, as it would for a
    // user, who clicks the algorithm item and then Calculate.
    QCoreApplication::processEvents();
    return Watch(form, stopAfterMs, std::getenv("QUORVEX_LATENCY_TRACE") != nullptr,
                 [&form] { form.CalculateMenuClick(); });
}

// One import of the sum file in the window, as 导入校验文件 starts it, into an empty list; with
// stopAfterMs >= 0 the stop button is clicked that long after the start.
Figures Import(TSumoraForm& form, const std::string& sumFile, int stopAfterMs)
{
    Checker& core = form.Core();
    core.ClearList();
    QCoreApplication::processEvents();
    return Watch(form, stopAfterMs, false, [&] { core.StartSumImport(sumFile); });
}

void Print(const char* what, const Figures& f)
{
    std::printf("%-52s %8.3f %16.1f %10.0f", what, f.passSeconds, f.worstTimerDelayMs, f.worstAtMs);
    if (f.stopMs >= 0)
        std::printf(" %12.1f", f.stopMs);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int64_t mib = argc > 1 ? std::atoll(argv[1]) : 1024;
    QApplication application(argc, argv);

    char folderName[] = "/tmp/quorvex-latency-XXXXXX";
    if (!::mkdtemp(folderName))
        return 1;
    const std::string folder = folderName;
    const std::string big = folder + "/large.bin";
    WriteFile(big, mib << 20, 1);
    const std::string small = folder + "/small";
    std::filesystem::create_directory(small);
    for (int i = 0; i < 10000; ++i)
        WriteFile(small + "/file-" + std::to_string(i) + ".dat", 4096, static_cast<uint32_t>(i + 2));

    PosixFileSystem files;
    QtDialogs dialogs;
    std::printf("%-52s %8s %16s %10s %12s\n", "pass (MD5 + SHA1)", "wall s", "worst timer ms", "at ms",
                "stop ms");
    {
        TSumoraForm form(files, dialogs);
        form.show();
        form.Core().AddFiles({big});
        Pass(form, -1);  // the file into the page cache
        Print("one large file", Pass(form, -1));
        Print("one large file, stopped after 300 ms", Pass(form, 300));
    }
    {
        TSumoraForm form(files, dialogs);
        form.show();
        form.Core().AddFolder(small);
        Pass(form, -1);
        Print("10,000 files of 4 KiB", Pass(form, -1));
        Print("10,000 files of 4 KiB, stopped after 30 ms", Pass(form, 30));
    }
    {
        // Never destroyed: the worker stuck in the read keeps using it until the program ends.
        static OneHungFile* const hungFiles = new OneHungFile(small + "/file-0.dat");
        TSumoraForm form(*hungFiles, dialogs);
        form.show();
        form.Core().AddFiles({small + "/file-0.dat", small + "/file-1.dat"});
        Print("a file whose read never returns, stopped after 300 ms", Pass(form, 300));
    }
    {
        // Each file listed ten times under ten names ("small/./file-1.dat", …): 100,000 lines,
        // 100,000 probes, 100,000 rows.
        const std::string sums = folder + "/MD5SUMS";
        std::string text;
        std::string dots;
        for (int copy = 0; copy < 10; ++copy, dots += "./")
            for (int i = 0; i < 10000; ++i)
                text += std::string(32, '0') + "  small/" + dots + "file-" + std::to_string(i) + ".dat\n";
        const int fd = ::open(sums.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0 || ::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            return 1;
        ::close(fd);
        TSumoraForm form(files, dialogs);
        form.show();
        Import(form, sums, -1);  // the sum file and the folder into the caches
        Print("import of 100,000 lines", Import(form, sums, -1));
        Print("import of 100,000 lines, stopped after 100 ms", Import(form, sums, 100));
    }
    std::filesystem::remove_all(folder);
    // The worker stuck in the read would keep the program alive.
    std::fflush(stdout);
    std::_Exit(0);
}
