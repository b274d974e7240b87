// Throughput of Tiger and five-pass HAVAL, fed the way the engine batch feeds them (Update calls
// of 16384 bytes). After the usual table it prints our median speed beside the reference's from
// the same run. No library has five-pass HAVAL; mhash's HAVAL-256 runs three passes (so says its
// header, and its digests differ from five-pass ones) and is shown for information only.
#include "engines/DCPhaval.h"
#include "engines/DCPtiger.h"

#include <benchmark/benchmark.h>
#include <gcrypt.h>
#include <mhash.h>
#ifdef HAVE_CRYPTOPP
#include <cryptopp/tiger.h>
#endif

#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr size_t ReadSize = 16384;

const std::vector<uint8_t>& Block()
{
    static const std::vector<uint8_t> block = [] {
        std::vector<uint8_t> bytes(ReadSize);
        std::mt19937 rng(1);
        for (auto& b : bytes)
            b = static_cast<uint8_t>(rng());
        return bytes;
    }();
    return block;
}

void Finish(benchmark::State& state)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(ReadSize));
}

template <class Engine>
void Ours(benchmark::State& state)
{
    Engine concrete;
    // Through the interface, as the engine batch calls it.
    TDCP_hash* engine = &concrete;
    benchmark::DoNotOptimize(engine);
    const auto& block = Block();
    engine->Init();
    for (auto _ : state)
        engine->Update(block.data(), ReadSize);
    uint8_t digest[32];
    engine->Final(digest);
    benchmark::DoNotOptimize(digest);
    Finish(state);
}

void Gcrypt(benchmark::State& state, int algorithm)
{
    gcry_md_hd_t hd = nullptr;
    if (gcry_md_open(&hd, algorithm, 0) != 0) {
        state.SkipWithError("libgcrypt has no such digest");
        return;
    }
    const auto& block = Block();
    for (auto _ : state)
        gcry_md_write(hd, block.data(), ReadSize);
    benchmark::DoNotOptimize(gcry_md_read(hd, algorithm));
    gcry_md_close(hd);
    Finish(state);
}

void Mhash(benchmark::State& state, hashid algorithm)
{
    MHASH td = mhash_init(algorithm);
    const auto& block = Block();
    for (auto _ : state)
        mhash(td, block.data(), ReadSize);
    uint8_t digest[64];
    mhash_deinit(td, digest);
    benchmark::DoNotOptimize(digest);
    Finish(state);
}

#ifdef HAVE_CRYPTOPP
void CryptoPpTiger(benchmark::State& state)
{
    CryptoPP::Tiger hash;
    const auto& block = Block();
    for (auto _ : state)
        hash.Update(block.data(), ReadSize);
    uint8_t digest[CryptoPP::Tiger::DIGESTSIZE];
    hash.Final(digest);
    benchmark::DoNotOptimize(digest);
    Finish(state);
}
#endif

using Body = std::function<void(benchmark::State&)>;

// One algorithm: our engine, the reference the goal is measured against (none for HAVAL), and
// others to look at.
struct Contest {
    std::string algorithm;
    Body ours;
    std::string referenceName;
    Body reference;
    double goal;
    std::vector<std::pair<std::string, Body>> others;
};

std::vector<Contest> Contests()
{
    std::vector<Contest> contests;
    contests.push_back({"Tiger", Ours<TDCP_tiger>, "libgcrypt", [](auto& s) { Gcrypt(s, GCRY_MD_TIGER1); }, 1.0,
#ifdef HAVE_CRYPTOPP
                        {{"Crypto++", CryptoPpTiger}}
#else
                        {}
#endif
    });
    contests.push_back({"HAVAL-5-256", Ours<TDCP_haval>, "", nullptr, 0.0,
                        {{"mhash-HAVAL-3-256", [](auto& s) { Mhash(s, MHASH_HAVAL256); }}}});
    return contests;
}

// Keeps the median (or, without repetitions, the only) speed of every benchmark it shows.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end())
                speeds_[run.run_name.function_name] = it->second;
        }
    }
    double Speed(const std::string& name) const
    {
        auto it = speeds_.find(name);
        return it == speeds_.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> speeds_;
};

}  // namespace

int main(int argc, char** argv)
{
    gcry_check_version(nullptr);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);

    const std::vector<Contest> contests = Contests();
    for (const Contest& c : contests) {
        benchmark::RegisterBenchmark((c.algorithm + "/ours").c_str(), c.ours);
        if (c.reference)
            benchmark::RegisterBenchmark((c.algorithm + "/" + c.referenceName).c_str(), c.reference);
        for (const auto& [name, run] : c.others)
            benchmark::RegisterBenchmark((c.algorithm + "/" + name).c_str(), run);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-12s %10s %10s %-18s %7s %6s\n", "engine", "ours MB/s", "ref MB/s", "ref", "ratio", "goal");
    for (const Contest& c : contests) {
        const double ours = reporter.Speed(c.algorithm + "/ours");
        if (ours == 0.0)
            continue;
        if (c.reference) {
            const double reference = reporter.Speed(c.algorithm + "/" + c.referenceName);
            if (reference != 0.0)
                std::printf("%-12s %10.1f %10.1f %-18s %7.3f %6.2f\n", c.algorithm.c_str(), ours / 1e6,
                            reference / 1e6, c.referenceName.c_str(), ours / reference, c.goal);
        } else {
            std::printf("%-12s %10.1f %10s %-18s %7s %6s\n", c.algorithm.c_str(), ours / 1e6, "-", "(none)", "-", "-");
        }
        for (const auto& [name, run] : c.others) {
            const double other = reporter.Speed(c.algorithm + "/" + name);
            if (other != 0.0)
                std::printf("%-12s %10s %10.1f %-18s %7.3f %6s\n", "", "", other / 1e6, name.c_str(), ours / other,
                            "info");
        }
    }
    benchmark::Shutdown();
    return 0;
}
