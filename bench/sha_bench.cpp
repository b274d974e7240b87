// Throughput of SHA-1, SHA-256, SHA-384 and SHA-512: our engines beside OpenSSL's EVP digests,
// both fed the way the engine batch feeds an engine (Update calls of 16384 bytes), and, for
// information, our compressions for CPUs with fewer instruction sets. After the usual table it
// prints, per algorithm, our median speed over OpenSSL's from the same run.
#include "engines/DCPsha1.h"
#include "engines/DCPsha256.h"
#include "engines/DCPsha512.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdio>
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

// Through the engine interface, as the engine batch drives it.
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

// Through the engine again, on compressions other than the ones this CPU picks.
template <class Engine>
void OursOn(benchmark::State& state, ShaCompressions compressions, bool runsHere)
{
    if (!runsHere) {
        state.SkipWithError("this CPU lacks the instructions");
        return;
    }
    const ShaCompressions before = UseShaCompressions(compressions);
    Ours<Engine>(state);
    UseShaCompressions(before);
}

ShaCompressions With(ShaCompressFunction<Sha1Chain> sha1)
{
    ShaCompressions c = FastestShaCompressions();
    c.Sha1 = sha1;
    return c;
}
ShaCompressions With(ShaCompressFunction<Sha512Chain> sha512)
{
    ShaCompressions c = FastestShaCompressions();
    c.Sha512 = sha512;
    return c;
}

void OpenSsl(benchmark::State& state, const EVP_MD* md)
{
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    const auto& block = Block();
    EVP_DigestInit_ex(context, md, nullptr);
    for (auto _ : state)
        EVP_DigestUpdate(context, block.data(), ReadSize);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_DigestFinal_ex(context, digest, &size);
    benchmark::DoNotOptimize(digest);
    EVP_MD_CTX_free(context);
    Finish(state);
}

// In this order in the table: ours as the CPU picks, OpenSSL, then ours on fewer instructions.
void RegisterAll()
{
    using benchmark::RegisterBenchmark;
    const ShaCompressions portable = PortableShaCompressions();
    RegisterBenchmark("SHA1/Quorvex", Ours<TDCP_sha1>);
    RegisterBenchmark("SHA1/OpenSSL", OpenSsl, EVP_sha1());
    RegisterBenchmark("SHA1/QuorvexShaExtensionsWithoutAvx512", OursOn<TDCP_sha1>,
                      With(&Sha1CompressShaExtensions), CpuHasShaExtensions());
    RegisterBenchmark("SHA1/QuorvexPortable", OursOn<TDCP_sha1>, portable, true);
    RegisterBenchmark("SHA256/Quorvex", Ours<TDCP_sha256>);
    RegisterBenchmark("SHA256/OpenSSL", OpenSsl, EVP_sha256());
    RegisterBenchmark("SHA256/QuorvexPortable", OursOn<TDCP_sha256>, portable, true);
    RegisterBenchmark("SHA384/Quorvex", Ours<TDCP_sha384>);
    RegisterBenchmark("SHA384/OpenSSL", OpenSsl, EVP_sha384());
    RegisterBenchmark("SHA384/QuorvexAvx2", OursOn<TDCP_sha384>, With(&Sha512CompressAvx2),
                      CpuHasAvx2Bmi2());
    RegisterBenchmark("SHA384/QuorvexPortable", OursOn<TDCP_sha384>, portable, true);
    RegisterBenchmark("SHA512/Quorvex", Ours<TDCP_sha512>);
    RegisterBenchmark("SHA512/OpenSSL", OpenSsl, EVP_sha512());
    RegisterBenchmark("SHA512/QuorvexAvx2", OursOn<TDCP_sha512>, With(&Sha512CompressAvx2),
                      CpuHasAvx2Bmi2());
    RegisterBenchmark("SHA512/QuorvexPortable", OursOn<TDCP_sha512>, portable, true);
}

// The usual console table, then ours over OpenSSL per algorithm, from the medians when the run
// has repetitions and from the single runs otherwise.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median)
                continue;
            auto speed = run.counters.find("bytes_per_second");
            if (speed == run.counters.end())
                continue;
            const std::string name = run.run_name.function_name;
            const size_t slash = name.find('/');
            Speeds& s = speeds_[name.substr(0, slash)];
            const std::string who = name.substr(slash + 1);
            double* slot = who == "Quorvex"           ? &s.ours
                           : who == "OpenSSL"         ? &s.openssl
                           : who == "QuorvexPortable" ? &s.portable
                                                      : nullptr;
            if (slot && (median || *slot == 0))
                *slot = speed->second.value;
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%-8s %14s %14s %8s %18s\n", "engine", "ours MB/s", "OpenSSL MB/s", "ratio",
                    "portable MB/s");
        for (const char* name : {"SHA1", "SHA256", "SHA384", "SHA512"}) {
            const Speeds& s = speeds_[name];
            if (s.ours == 0 || s.openssl == 0)
                continue;
            std::printf("%-8s %14.0f %14.0f %8.3f %18.0f\n", name, s.ours / 1e6, s.openssl / 1e6,
                        s.ours / s.openssl, s.portable / 1e6);
        }
    }

private:
    struct Speeds {
        double ours = 0, openssl = 0, portable = 0;
    };
    std::map<std::string, Speeds> speeds_;
};

}  // namespace

int main(int argc, char** argv)
{
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
