// 100,000 files of 1 to 3 bytes through the window itself (offscreen), as a user meets them:
// 文件 → 添加文件夹 with the folder dialog answered at once, until the list has painted its rows;
// then 计算 with the start-up selection (MD5 + SHA1), until the last node is in the tree and the
// window has painted. Beside them, in turns, rhash over the same folder. Best of the rounds.
//
//   window_tiny_files_bench [FOLDER [ROUNDS]]
//
// FOLDER (default /tmp/quorvex-tiny-bench, shared with tiny_files_bench) is filled once and kept.
#include "bench/BenchRounds.h"
#include "ui/QtDialogs.h"
#include "ui/SumoraMain.h"

#include <QApplication>

#include <filesystem>

namespace {

constexpr int kFiles = 100000;

// The folder dialog, answered as a user who picks the folder at once.
class FolderChosen : public QtDialogs {
public:
    explicit FolderChosen(std::string folder) : folder_(std::move(folder)) {}
    std::string ChooseFolder(QWidget*) override { return folder_; }

private:
    std::string folder_;
};

// Until the window has nothing left to do: every posted event, paints included, handled.
void Settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::string folder = argc > 1 ? argv[1] : "/tmp/quorvex-tiny-bench";
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    FillTinyFiles(folder, kFiles);

    PosixFileSystem files;
    FolderChosen dialogs(folder);
    TSumoraForm form(files, dialogs);
    form.resize(900, 600);
    form.show();
    Settle();
    Checker& core = form.Core();

    std::vector<Variant> variants{
        {"rhash --md5 --sha1 -r", [] {}, true, -1, {}},
        {"window: 添加文件夹, rows painted", [] {}, false, -1, {}},
        {"window: 计算 MD5 + SHA1, nodes painted", [] {}, false, 0, {}},
    };
    const auto keepBest = [](Variant& v, const Times& t) {
        v.best.wall = std::min(v.best.wall, t.wall);
        v.best.cpu = std::min(v.best.cpu, t.cpu);
    };
    RunProcess({"rhash", "--md5", "--sha1", "-r", folder});  // the folder into the page cache
    for (int round = 0; round < rounds; ++round) {
        keepBest(variants[0], Measure(
                                  [&] {
                                      RunProcess({"rhash", "--md5", "--sha1", "-r", folder});
                                  },
                                  RUSAGE_CHILDREN));
        form.DeleteListMenuClick();
        Settle();
        keepBest(variants[1], Measure(
                                  [&] {
                                      form.OpenDocuMenuClick();
                                      Settle();
                                  },
                                  RUSAGE_SELF));
        if (core.List().Count() != static_cast<size_t>(kFiles)) {
            std::fprintf(stderr, "the list holds %zu entries, not %d\n", core.List().Count(), kFiles);
            return 1;
        }
        keepBest(variants[2], Measure(
                                  [&] {
                                      form.CalculateMenuClick();
                                      while (core.PassRunning())
                                          QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
                                      Settle();
                                  },
                                  RUSAGE_SELF));
        if (core.Tree().RootCount() != static_cast<size_t>(kFiles)) {
            std::fprintf(stderr, "the tree holds %zu nodes, not %d\n", core.Tree().RootCount(), kFiles);
            return 1;
        }
    }
    std::printf("%d files of 1 to 3 bytes, best of %d rounds, through the window (offscreen)\n", kFiles,
                rounds);
    PrintTable(variants, kFiles, "files/s");
    std::fflush(stdout);
    // The window's own teardown of 100,000 rows is not part of the figures.
    std::_Exit(0);
}
