// Throughput of the ten digest engines, fed the way the engine batch feeds them (Update calls of
// 16384 bytes through the engine interface), side by side with a reference library in the same
// run. After the usual table it prints, per engine, our median speed over the reference's and
// the goal. For information it also shows our SHA compressions for CPUs with fewer instruction
// sets, and libraries that are no goal (mhash's HAVAL-256 runs three passes, not five).
#include "engines/Blake2b.h"
#include "engines/Blake3.h"
#include "engines/Blake3Compress.h"
#include "engines/DCPhaval.h"
#include "engines/DCPmd4.h"
#include "engines/DCPmd5.h"
#include "engines/DCPripemd128.h"
#include "engines/DCPripemd160.h"
#include "engines/DCPsha1.h"
#include "engines/DCPsha256.h"
#include "engines/DCPsha512.h"
#include "engines/DCPtiger.h"
#include "engines/ShaCompress.h"

#include <benchmark/benchmark.h>
#include <gcrypt.h>
#include <mhash.h>
#include <openssl/evp.h>
#include <openssl/provider.h>
#ifdef HAVE_CRYPTOPP
#include <cryptopp/ripemd.h>
#include <cryptopp/tiger.h>
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
using Body = std::function<void(benchmark::State&)>;

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

// Feeds the block to update until the benchmark has its time, then counts the bytes.
template <class Update>
void Feed(benchmark::State& state, Update&& update)
{
    const auto& block = Block();
    for (auto _ : state)
        update(block.data(), ReadSize);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(ReadSize));
}

// Through the engine interface, as the engine batch drives it: the compiler must not see which
// engine it is, so nothing of Update is inlined into the loop.
template <class Engine>
void Ours(benchmark::State& state)
{
    std::unique_ptr<TDCP_hash> owner = std::make_unique<Engine>();
    TDCP_hash* engine = owner.get();
    benchmark::DoNotOptimize(engine);
    engine->Init();
    Feed(state, [&](const uint8_t* data, size_t size) { engine->Update(data, static_cast<uint32_t>(size)); });
    uint8_t digest[64];
    engine->Final(digest);
    benchmark::DoNotOptimize(digest);
}

// The further digests' own engines, which have no engine interface.
Body OursBlake2b()
{
    return [](benchmark::State& state) {
        Blake2b hasher;
        Feed(state, [&](const uint8_t* data, size_t size) { hasher.Update(data, size); });
        uint8_t digest[64];
        hasher.Finish(digest);
        benchmark::DoNotOptimize(digest);
    };
}

// BLAKE3 on one thread, on the given many-chunks variant (the CPU's choice when empty).
Body OursBlake3(const char* variant = "")
{
    return [variant](benchmark::State& state) {
        Blake3Variant chosen{};
        for (const Blake3Variant& here : Blake3VariantsHere())
            if (std::string(here.Name) == variant)
                chosen = here;
        if (*variant && !chosen.Run) {
            state.SkipWithError("this CPU lacks the variant");
            return;
        }
        const Blake3Variant before = chosen.Run ? UseBlake3Variant(chosen) : Blake3Variant{};
        Blake3 hasher;
        Feed(state, [&](const uint8_t* data, size_t size) { hasher.Update(data, size); });
        uint8_t digest[32];
        hasher.Finish(digest, sizeof digest);
        benchmark::DoNotOptimize(digest);
        if (chosen.Run)
            UseBlake3Variant(before);
    };
}

// BLAKE3 as the hashing engine takes a large file on several threads, here on one: each read is
// a part hashed apart and then taken in, against the plain Update beside it.
void OursBlake3InParts(benchmark::State& state)
{
    Blake3 hasher;
    hasher.Update(Block().data(), ReadSize);  // a part never starts the message
    auto part = std::make_unique<Blake3Part>();
    Feed(state, [&](const uint8_t* data, size_t size) {
        Blake3::HashPart(data, hasher.BytesFed(), size, *part);
        hasher.TakePart(*part);
    });
    uint8_t digest[32];
    hasher.Finish(digest, sizeof digest);
    benchmark::DoNotOptimize(digest);
}

// Ours again, on SHA compressions other than the ones this CPU picks.
template <class Engine>
Body OursOn(ShaCompressions compressions, bool runsHere)
{
    return [=](benchmark::State& state) {
        if (!runsHere) {
            state.SkipWithError("this CPU lacks the instructions");
            return;
        }
        const ShaCompressions before = UseShaCompressions(compressions);
        Ours<Engine>(state);
        UseShaCompressions(before);
    };
}

ShaCompressions WithSha1(ShaCompressFunction<Sha1Chain> sha1)
{
    ShaCompressions c = FastestShaCompressions();
    c.Sha1 = sha1;
    return c;
}
ShaCompressions WithSha512(ShaCompressFunction<Sha512Chain> sha512)
{
    ShaCompressions c = FastestShaCompressions();
    c.Sha512 = sha512;
    return c;
}

Body OpenSsl(const char* name)
{
    return [name](benchmark::State& state) {
        EVP_MD* md = EVP_MD_fetch(nullptr, name, nullptr);
        if (md == nullptr) {
            state.SkipWithError("OpenSSL has no such digest (legacy provider missing?)");
            return;
        }
        EVP_MD_CTX* context = EVP_MD_CTX_new();
        EVP_DigestInit_ex(context, md, nullptr);
        Feed(state, [&](const uint8_t* data, size_t size) { EVP_DigestUpdate(context, data, size); });
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int size = 0;
        EVP_DigestFinal_ex(context, digest, &size);
        benchmark::DoNotOptimize(digest);
        EVP_MD_CTX_free(context);
        EVP_MD_free(md);
    };
}

Body Gcrypt(int algorithm)
{
    return [algorithm](benchmark::State& state) {
        gcry_md_hd_t hd = nullptr;
        if (gcry_md_open(&hd, algorithm, 0) != 0) {
            state.SkipWithError("libgcrypt has no such digest");
            return;
        }
        Feed(state, [&](const uint8_t* data, size_t size) { gcry_md_write(hd, data, size); });
        benchmark::DoNotOptimize(gcry_md_read(hd, algorithm));
        gcry_md_close(hd);
    };
}

Body Mhash(hashid algorithm)
{
    return [algorithm](benchmark::State& state) {
        MHASH td = mhash_init(algorithm);
        Feed(state, [&](const uint8_t* data, size_t size) { mhash(td, data, size); });
        uint8_t digest[64];
        mhash_deinit(td, digest);
        benchmark::DoNotOptimize(digest);
    };
}

#ifdef HAVE_CRYPTOPP
template <class Hash>
void CryptoPp(benchmark::State& state)
{
    Hash hash;
    Feed(state, [&](const uint8_t* data, size_t size) { hash.Update(data, size); });
    uint8_t digest[Hash::DIGESTSIZE];
    hash.Final(digest);
    benchmark::DoNotOptimize(digest);
}
#endif

// One engine: ours, the reference its goal is measured against (none for HAVAL), and others
// to look at.
struct Contest {
    std::string engine;
    Body ours;
    std::string referenceName;
    Body reference;
    double goal;
    std::vector<std::pair<std::string, Body>> others;
};

std::vector<Contest> Contests()
{
    const ShaCompressions portable = PortableShaCompressions();
    std::vector<Contest> c;
    c.push_back({"SHA1",
                 Ours<TDCP_sha1>,
                 "OpenSSL",
                 OpenSsl("SHA1"),
                 1.0,
                 {{"ours-sha-ni-without-avx512",
                   OursOn<TDCP_sha1>(WithSha1(&Sha1CompressShaExtensions), CpuHasShaExtensions())},
                  {"ours-sha-ni-sse-e",
                   OursOn<TDCP_sha1>(WithSha1(&Sha1CompressShaExtensionsSseE), CpuHasShaExtensions())},
                  {"ours-sha-ni-avx512vl",
                   OursOn<TDCP_sha1>(WithSha1(&Sha1CompressShaExtensionsAvx512Vl), CpuHasAvx512Vl())},
                  {"ours-portable", OursOn<TDCP_sha1>(portable, true)}}});
    c.push_back({"SHA256",
                 Ours<TDCP_sha256>,
                 "OpenSSL",
                 OpenSsl("SHA256"),
                 1.0,
                 {{"ours-portable", OursOn<TDCP_sha256>(portable, true)}}});
    c.push_back(
        {"SHA384",
         Ours<TDCP_sha384>,
         "OpenSSL",
         OpenSsl("SHA384"),
         1.0,
         {{"ours-avx2", OursOn<TDCP_sha384>(WithSha512(&Sha512CompressAvx2), CpuHasAvx2Bmi2())},
          {"ours-avx512vl", OursOn<TDCP_sha384>(WithSha512(&Sha512CompressAvx512Vl), CpuHasAvx512Vl())},
          {"ours-portable", OursOn<TDCP_sha384>(portable, true)}}});
    c.push_back(
        {"SHA512",
         Ours<TDCP_sha512>,
         "OpenSSL",
         OpenSsl("SHA512"),
         1.0,
         {{"ours-avx2", OursOn<TDCP_sha512>(WithSha512(&Sha512CompressAvx2), CpuHasAvx2Bmi2())},
          {"ours-avx512vl", OursOn<TDCP_sha512>(WithSha512(&Sha512CompressAvx512Vl), CpuHasAvx512Vl())},
          {"ours-portable", OursOn<TDCP_sha512>(portable, true)}}});
    c.push_back({"SHA224",
                 Ours<TDCP_sha224>,
                 "OpenSSL",
                 OpenSsl("SHA224"),
                 1.0,
                 {{"ours-sha256", Ours<TDCP_sha256>}}});
    c.push_back({"BLAKE2b", OursBlake2b(), "OpenSSL", OpenSsl("BLAKE2B-512"), 1.0, {}});
    // BLAKE3 has no library in Debian: b3sum is its reference, in bench/cli_speed.sh.
    c.push_back({"BLAKE3",
                 OursBlake3(),
                 "",
                 nullptr,
                 1.0,
                 {{"ours-in-parts", OursBlake3InParts},
                  {"ours-avx2", OursBlake3("avx2")},
                  {"ours-sse4.1", OursBlake3("sse4.1")},
                  {"ours-portable", OursBlake3("portable")}}});
    c.push_back({"MD4", Ours<TDCP_md4>, "OpenSSL", OpenSsl("MD4"), 1.0, {}});
    c.push_back({"MD5", Ours<TDCP_md5>, "OpenSSL", OpenSsl("MD5"), 0.95, {}});
    c.push_back({"RIPEMD-160",
                 Ours<TDCP_ripemd160>,
                 "OpenSSL",
                 OpenSsl("RIPEMD160"),
                 1.5,
                 {{"mhash", Mhash(MHASH_RIPEMD160)}}});
#ifdef HAVE_CRYPTOPP
    c.push_back({"RIPEMD-128",
                 Ours<TDCP_ripemd128>,
                 "Crypto++",
                 CryptoPp<CryptoPP::RIPEMD128>,
                 1.0,
                 {{"mhash", Mhash(MHASH_RIPEMD128)}}});
    c.push_back({"Tiger",
                 Ours<TDCP_tiger>,
                 "libgcrypt",
                 Gcrypt(GCRY_MD_TIGER1),
                 1.0,
                 {{"Crypto++", CryptoPp<CryptoPP::Tiger>}}});
#else
    c.push_back({"RIPEMD-128", Ours<TDCP_ripemd128>, "mhash", Mhash(MHASH_RIPEMD128), 1.0, {}});
    c.push_back({"Tiger", Ours<TDCP_tiger>, "libgcrypt", Gcrypt(GCRY_MD_TIGER1), 1.0, {}});
#endif
    c.push_back(
        {"HAVAL-5-256", Ours<TDCP_haval>, "", nullptr, 0.0, {{"mhash-HAVAL-3-256", Mhash(MHASH_HAVAL256)}}});
    return c;
}

// Keeps the median (or, without repetitions, the only) speed of every benchmark it shows.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median)
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

void PrintRatios(const RatioReporter& reporter, const std::vector<Contest>& contests)
{
    // MB/s here are 10^6 bytes per second; the table above counts in MiB/s.
    std::printf("\n%-12s %10s %10s %-27s %7s %6s\n", "engine", "ours MB/s", "ref MB/s", "reference", "ratio",
                "goal");
    for (const Contest& c : contests) {
        const double ours = reporter.Speed(c.engine + "/ours");
        if (ours == 0.0)
            continue;
        const double reference = c.reference ? reporter.Speed(c.engine + "/" + c.referenceName) : 0.0;
        if (reference != 0.0)
            std::printf("%-12s %10.1f %10.1f %-27s %7.3f %6.2f\n", c.engine.c_str(), ours / 1e6,
                        reference / 1e6, c.referenceName.c_str(), ours / reference, c.goal);
        else
            std::printf("%-12s %10.1f %10s %-27s %7s %6s\n", c.engine.c_str(), ours / 1e6, "-", "(none)", "-",
                        "-");
        for (const auto& [name, run] : c.others) {
            const double other = reporter.Speed(c.engine + "/" + name);
            if (other != 0.0)
                std::printf("%-12s %10s %10.1f %-27s %7.3f %6s\n", "", "", other / 1e6, name.c_str(),
                            ours / other, "info");
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string variants = ShaVariantsInUse() + ", BLAKE3 " + Blake3VariantName();
    // For the command-line table (bench/cli_speed.sh): the variants alone.
    if (argc == 2 && std::string(argv[1]) == "--variants") {
        std::printf("%s\n", variants.c_str());
        return 0;
    }
    gcry_check_version(nullptr);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    // MD4 and RIPEMD-160 live in OpenSSL's legacy provider. Loading any provider by hand stops
    // OpenSSL from loading the default one by itself, so that one is loaded by hand as well.
    OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(nullptr, "legacy");
    OSSL_PROVIDER* defaults = OSSL_PROVIDER_load(nullptr, "default");

    std::printf("variants in use: %s\n", variants.c_str());
    const std::vector<Contest> contests = Contests();
    for (const Contest& c : contests) {
        benchmark::RegisterBenchmark((c.engine + "/ours").c_str(), c.ours);
        if (c.reference)
            benchmark::RegisterBenchmark((c.engine + "/" + c.referenceName).c_str(), c.reference);
        for (const auto& [name, run] : c.others)
            benchmark::RegisterBenchmark((c.engine + "/" + name).c_str(), run);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter, contests);
    benchmark::Shutdown();
    OSSL_PROVIDER_unload(defaults);
    OSSL_PROVIDER_unload(legacy);
    return 0;
}
