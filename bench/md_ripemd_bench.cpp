// Throughput of MD4, MD5, RIPEMD-128 and RIPEMD-160: our engines beside a reference library,
// fed the way the engine batch feeds them (Update calls of 16384 bytes). After the usual
// table it prints, per algorithm, our median speed over the reference's from the same run.
#include "engines/DCPmd4.h"
#include "engines/DCPmd5.h"
#include "engines/DCPripemd128.h"
#include "engines/DCPripemd160.h"

#include <benchmark/benchmark.h>
#include <mhash.h>
#include <openssl/evp.h>
#include <openssl/provider.h>
#ifdef HAVE_CRYPTOPP
#include <cryptopp/ripemd.h>
#endif

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
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

// Through the engine interface, as the engine batch drives it: the compiler must not see
// which engine it is, so nothing of Update is inlined into the loop.
template <class Engine>
void Ours(benchmark::State& state)
{
    std::unique_ptr<TDCP_hash> owner = std::make_unique<Engine>();
    TDCP_hash* engine = owner.get();
    benchmark::DoNotOptimize(engine);
    const auto& block = Block();
    engine->Init();
    for (auto _ : state)
        engine->Update(block.data(), ReadSize);
    uint8_t digest[64];
    engine->Final(digest);
    benchmark::DoNotOptimize(digest);
    Finish(state);
}

void OpenSsl(benchmark::State& state, const char* name)
{
    EVP_MD* md = EVP_MD_fetch(nullptr, name, nullptr);
    if (md == nullptr) {
        state.SkipWithError("OpenSSL has no such digest (legacy provider missing?)");
        return;
    }
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    const auto& block = Block();
    EVP_DigestInit_ex(ctx, md, nullptr);
    for (auto _ : state)
        EVP_DigestUpdate(ctx, block.data(), ReadSize);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_DigestFinal_ex(ctx, digest, &size);
    benchmark::DoNotOptimize(digest);
    EVP_MD_CTX_free(ctx);
    EVP_MD_free(md);
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
template <class Hash>
void CryptoPp(benchmark::State& state)
{
    Hash hash;
    const auto& block = Block();
    for (auto _ : state)
        hash.Update(block.data(), ReadSize);
    uint8_t digest[Hash::DIGESTSIZE];
    hash.Final(digest);
    benchmark::DoNotOptimize(digest);
    Finish(state);
}
#endif

// One algorithm: our engine, the reference the goal is measured against, and others to look at.
struct Contest {
    std::string algorithm;
    std::function<void(benchmark::State&)> ours;
    std::string referenceName;
    std::function<void(benchmark::State&)> reference;
    std::vector<std::pair<std::string, std::function<void(benchmark::State&)>>> others;
};

std::vector<Contest> Contests()
{
    std::vector<Contest> contests;
    contests.push_back({"MD4", Ours<TDCP_md4>, "OpenSSL", [](auto& s) { OpenSsl(s, "MD4"); }, {}});
    contests.push_back({"MD5", Ours<TDCP_md5>, "OpenSSL", [](auto& s) { OpenSsl(s, "MD5"); }, {}});
    contests.push_back({"RIPEMD-160", Ours<TDCP_ripemd160>, "OpenSSL", [](auto& s) { OpenSsl(s, "RIPEMD160"); },
                        {{"mhash", [](auto& s) { Mhash(s, MHASH_RIPEMD160); }}}});
#ifdef HAVE_CRYPTOPP
    contests.push_back({"RIPEMD-128", Ours<TDCP_ripemd128>, "Crypto++", CryptoPp<CryptoPP::RIPEMD128>,
                        {{"mhash", [](auto& s) { Mhash(s, MHASH_RIPEMD128); }}}});
#else
    contests.push_back({"RIPEMD-128", Ours<TDCP_ripemd128>, "mhash", [](auto& s) { Mhash(s, MHASH_RIPEMD128); }, {}});
#endif
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
    // MD4 and RIPEMD-160 live in OpenSSL's legacy provider. Loading any provider by hand stops
    // OpenSSL from loading the default one by itself, so MD5 needs it loaded by hand as well.
    OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(nullptr, "legacy");
    OSSL_PROVIDER* defaults = OSSL_PROVIDER_load(nullptr, "default");

    const std::vector<Contest> contests = Contests();
    for (const Contest& c : contests) {
        benchmark::RegisterBenchmark((c.algorithm + "/ours").c_str(), c.ours);
        benchmark::RegisterBenchmark((c.algorithm + "/" + c.referenceName).c_str(), c.reference);
        for (const auto& [name, run] : c.others)
            benchmark::RegisterBenchmark((c.algorithm + "/" + name).c_str(), run);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // MB/s here are 10^6 bytes per second; the table above counts in MiB/s.
    std::printf("\n%-11s %12s %12s %-9s %7s %7s\n", "engine", "ours MB/s", "ref MB/s", "ref", "ratio", "goal");
    const std::map<std::string, double> goals{{"MD4", 1.0}, {"MD5", 0.95}, {"RIPEMD-160", 1.5}, {"RIPEMD-128", 1.0}};
    for (const Contest& c : contests) {
        double ours = reporter.Speed(c.algorithm + "/ours");
        double reference = reporter.Speed(c.algorithm + "/" + c.referenceName);
        if (ours == 0.0 || reference == 0.0)
            continue;
        std::printf("%-11s %12.1f %12.1f %-9s %7.3f %7.2f\n", c.algorithm.c_str(), ours / 1e6, reference / 1e6,
                    c.referenceName.c_str(), ours / reference, goals.at(c.algorithm));
    }
    benchmark::Shutdown();
    OSSL_PROVIDER_unload(defaults);
    OSSL_PROVIDER_unload(legacy);
    return 0;
}
