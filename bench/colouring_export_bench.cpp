// The end of a pass over a large list: colouring the duplicates and saving the result file.
// The pairwise colouring runs beside ours on the same lists, for comparison.
#include "checking/DuplicateColouring.h"
#include "checking/ResultExport.h"
#include "platform/TextEncoding.h"
#include "tests/checking/QuadraticColouring.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>

namespace {

std::string RandomHex(std::mt19937_64& rng, size_t digits, const char* alphabet)
{
    std::string hex;
    for (size_t i = 0; i < digits; ++i)
        hex += alphabet[rng() % 16];
    return hex;
}

// A calculated list as the start-up selection leaves it: an MD5 and a SHA1 line per file; one
// file in ten is a copy of an earlier one, one in a hundred could not be read.
struct CalculatedList {
    CheckList list;
    ResultTree tree;

    explicit CalculatedList(size_t n)
    {
        std::mt19937_64 rng(n);
        std::vector<std::pair<std::string, std::string>> digests;  // MD5 and SHA1 lines
        for (size_t i = 0; i < n; ++i) {
            const std::string name = (i % 3 ? "IMG_" : "照片_") + std::to_string(i) + ".jpg";
            list.Append(CheckEntry{name, kStatusDone, "2.5MB", "/home/user/Pictures/" + name, 0, -1});
            tree.AppendRoot(name, i);
            const unsigned roll = rng() % 100;
            if (roll == 0) {
                tree.AppendLine("MD5：读取文件错误");
                tree.AppendLine("SHA1：读取文件错误");
                continue;
            }
            if (roll < 10 && !digests.empty()) {
                digests.push_back(digests[rng() % digests.size()]);
            } else {
                digests.emplace_back("MD5：" + RandomHex(rng, 32, "0123456789abcdef"),
                                     "SHA1：" + RandomHex(rng, 40, "0123456789ABCDEF"));
            }
            tree.AppendLine(digests.back().first);
            tree.AppendLine(digests.back().second);
        }
    }

    void Uncolour(benchmark::State& state)
    {
        state.PauseTiming();
        for (size_t i = 0; i < list.Count(); ++i)
            list.SetColourGroup(i, -1);
        state.ResumeTiming();
    }
};

CalculatedList& ListOf(size_t n)
{
    static std::map<size_t, CalculatedList> lists;
    auto found = lists.find(n);
    if (found == lists.end())
        found = lists.try_emplace(n, n).first;
    return found->second;
}

void BM_ColourDuplicates(benchmark::State& state)
{
    CalculatedList& calculated = ListOf(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        calculated.Uncolour(state);
        ColourDuplicates(calculated.list, calculated.tree);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ColourDuplicates)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PairwiseColourDuplicates(benchmark::State& state)
{
    CalculatedList& calculated = ListOf(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        calculated.Uncolour(state);
        QuadraticColourDuplicates(calculated.list, calculated.tree);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PairwiseColourDuplicates)->Arg(10000)->Unit(benchmark::kMillisecond);

// Text and encoding only, to tell them apart from the disk in the next one.
void BM_ResultFileBytes(benchmark::State& state)
{
    const ResultTree& tree = ListOf(static_cast<size_t>(state.range(0))).tree;
    for (auto _ : state)
        benchmark::DoNotOptimize(Gb18030FromUtf8(ResultFileText(tree)));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ResultFileBytes)->Arg(100000)->Unit(benchmark::kMillisecond);

// The whole save: text, GB18030, temporary file, fsync, rename.
void BM_SaveResultFile(benchmark::State& state)
{
    const ResultTree& tree = ListOf(static_cast<size_t>(state.range(0))).tree;
    std::string folder = (std::filesystem::temp_directory_path() / "quorvex-bench-XXXXXX").string();
    if (!mkdtemp(folder.data())) {
        state.SkipWithError("no scratch folder");
        return;
    }
    const std::string path = folder + "/SumoraResult.txt";
    for (auto _ : state)
        SaveResultFile(tree, path);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove_all(folder);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SaveResultFile)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
