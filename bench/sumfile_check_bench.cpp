// Checking a SHA256SUMS of 10,000 small files through the core (import, then a pass that judges
// every file), side by side with "sha256sum -c" over the same files in the same run; and
// parsing sum files of 100,000 and 1,000,000 lines, to show the parser is linear.
//   build/bench/sumfile_check_bench
// The pass runs on the hashing engine with one thread per processor, as in the window.
#include "bench/QuietWindow.h"
#include "checking/Checker.h"
#include "checking/SumImport.h"
#include "engines/DCPcrypt2.h"
#include "platform/PosixFileSystem.h"
#include "sums/SumFileReader.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kFiles = 10000;
constexpr size_t kFileBytes = 1000;

// The folder of small files with its SHA256SUMS, made once by sha256sum and removed at the end.
struct SumsFolder {
    SumsFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorvex-sums-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        path = pattern;
        std::string content(kFileBytes, 's');
        for (int i = 0; i < kFiles; ++i) {
            const std::string number = std::to_string(i);
            content.replace(0, number.size(), number);
            const std::string file = path + "/file-" + number + ".dat";
            const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (fd < 0 || ::write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size()))
                std::abort();
            ::close(fd);
        }
        if (std::system(("cd '" + path + "' && sha256sum file-*.dat > SHA256SUMS").c_str()) != 0)
            std::abort();
    }
    ~SumsFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

const SumsFolder& Folder()
{
    static SumsFolder folder;
    return folder;
}

void CoreChecksSha256Sums(benchmark::State& state)
{
    const std::string sums = Folder().path + "/SHA256SUMS";
    for (auto _ : state) {
        QuietWindow window;
        PosixFileSystem files;
        TComponent owner;
        CreateEngineComponents(owner);
        Checker checker(window, files);
        checker.FillEngineList(owner);
        // Only what the sum file needs, as sha256sum computes only SHA-256.
        checker.HashItemClicked(HashItem::MD5, false);
        checker.HashItemClicked(HashItem::SHA1, false);
        checker.ImportSumFile(sums);
        window.RunPass(checker);
        size_t matches = 0;
        for (size_t i = 0; i < checker.List().Count(); ++i)
            matches += checker.List().At(i).Verdict == SumVerdict::Matches;
        if (matches != static_cast<size_t>(kFiles))
            state.SkipWithError("not every file matched");
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}

// The import alone: the sum file read and every listed file taken in.
void CoreImportsSha256Sums(benchmark::State& state)
{
    const std::string sums = Folder().path + "/SHA256SUMS";
    for (auto _ : state) {
        QuietWindow window;
        PosixFileSystem files;
        Checker checker(window, files);
        checker.ImportSumFile(sums);
        if (checker.List().Count() != static_cast<size_t>(kFiles))
            state.SkipWithError("not every file was taken in");
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}

// The same listings taken in on the caller's thread in one go, as the window took them before the
// import had a thread of its own: the baseline of the one above.
void CoreImportsSha256SumsOnOneThread(benchmark::State& state)
{
    const std::string sums = Folder().path + "/SHA256SUMS";
    for (auto _ : state) {
        PosixFileSystem files;
        CheckList list;
        Intake intake(list, files, ".");
        SumImportReport report;
        ImportSumListings(ReadSumFile(files, sums), sums, list, intake, files, report);
        if (list.Count() != static_cast<size_t>(kFiles))
            state.SkipWithError("not every file was taken in");
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}

void Sha256sumChecks(benchmark::State& state)
{
    const std::string command = "cd '" + Folder().path + "' && sha256sum --quiet -c SHA256SUMS";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("sha256sum -c failed");
    state.SetItemsProcessed(state.iterations() * kFiles);
}

void ParseSumFile(benchmark::State& state)
{
    const size_t lines = static_cast<size_t>(state.range(0));
    std::string text;
    text.reserve(lines * 90);
    for (size_t i = 0; i < lines; ++i) {
        char digest[65];
        std::snprintf(digest, sizeof digest, "%064zx", i * 2654435761u);
        text += digest;
        text += "  some/folder/file-" + std::to_string(i) + ".dat\n";
    }
    const SumFileHint hint = HintFromSumFileName("SHA256SUMS");
    for (auto _ : state) {
        size_t listings = 0;
        SumFileParser parser(
            hint, [&](const SumListing&) { ++listings; }, nullptr);
        parser.Feed(text);
        parser.Finish();
        if (listings != lines)
            state.SkipWithError("lines lost");
        benchmark::DoNotOptimize(listings);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * lines));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

}  // namespace

// Each check is repeated, and the best run of each is the one to compare.
BENCHMARK(CoreChecksSha256Sums)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
BENCHMARK(Sha256sumChecks)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);
BENCHMARK(CoreImportsSha256Sums)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CoreImportsSha256SumsOnOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ParseSumFile)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
