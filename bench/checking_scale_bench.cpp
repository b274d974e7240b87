// How the checking core scales with the number of files: taking in a folder of 100,000 files,
// and passes over 10,000 and 20,000 small files (the cost per file should not grow).
#include "bench/QuietWindow.h"
#include "checking/Checker.h"
#include "engines/DCPcrypt2.h"
#include "platform/PosixFileSystem.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The scratch folders, removed when the program ends.
struct ScratchFolders {
    ~ScratchFolders()
    {
        std::error_code ignored;
        for (const auto& [count, path] : paths)
            std::filesystem::remove_all(path, ignored);
    }
    std::map<int, std::string> paths;
};

// A folder of count files of 1000 bytes each, each different from the others (as copies are
// rare), made once per count and kept for the run.
const std::string& FolderOf(int count)
{
    static ScratchFolders scratch;
    auto& folders = scratch.paths;
    auto it = folders.find(count);
    if (it != folders.end())
        return it->second;
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvex-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        std::abort();
    std::string content(1000, 'q');
    for (int i = 0; i < count; ++i) {
        const std::string number = std::to_string(i);
        content.replace(0, number.size(), number);
        const std::string path = pattern + "/file-" + std::to_string(i) + ".dat";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0 || ::write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size()))
            std::abort();
        ::close(fd);
    }
    return folders.emplace(count, pattern).first->second;
}

struct Core {
    Core()
    {
        CreateEngineComponents(owner);
        checker.FillEngineList(owner);
    }
    QuietWindow window;
    PosixFileSystem files;
    TComponent owner;
    Checker checker{window, files};
};

void FolderIntake(benchmark::State& state)
{
    const std::string& folder = FolderOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Core core;
        core.checker.AddFolder(folder);
        if (core.checker.List().Count() != static_cast<size_t>(state.range(0)))
            state.SkipWithError("not every file was taken in");
        benchmark::DoNotOptimize(core.checker.List().Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void PassOverSmallFiles(benchmark::State& state)
{
    const std::string& folder = FolderOf(static_cast<int>(state.range(0)));
    Core core;
    core.checker.AddFolder(folder);
    for (auto _ : state) {
        state.PauseTiming();
        // A selection change makes every entry pending for the next pass.
        core.checker.HashItemClicked(HashItem::SHA1, false);
        core.checker.HashItemClicked(HashItem::SHA1, true);
        state.ResumeTiming();
        core.window.RunPass(core.checker);
    }
    if (core.checker.Tree().RootCount() != static_cast<size_t>(state.range(0)))
        state.SkipWithError("the pass did not visit every file");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(FolderIntake)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(PassOverSmallFiles)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
