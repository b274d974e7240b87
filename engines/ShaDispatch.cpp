#include "engines/CpuFeatures.h"
#include "engines/DispatchedFunction.h"
#include "engines/ShaCompress.h"

#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

namespace {

template <class Chain>
using Variant = FunctionVariant<ShaCompressFunction<Chain>>;

// Every variant by name, so that a choice made from outside (a test, a benchmark) is named too.
constexpr std::pair<ShaCompressFunction<Sha1Chain>, const char*> kSha1Names[]{
    {&Sha1CompressPortable, "portable"},
    {&Sha1CompressShaExtensions, "sha-ni"},
    {&Sha1CompressShaExtensionsSseE, "sha-ni+sse-e"},
    {&Sha1CompressShaExtensionsAvx512Vl, "sha-ni+avx512vl"},
};
constexpr std::pair<ShaCompressFunction<Sha256Chain>, const char*> kSha256Names[]{
    {&Sha256CompressPortable, "portable"},
    {&Sha256CompressShaExtensions, "sha-ni"},
};
constexpr std::pair<ShaCompressFunction<Sha512Chain>, const char*> kSha512Names[]{
    {&Sha512CompressPortable, "portable"},
    {&Sha512CompressAvx2, "avx2"},
    {&Sha512CompressAvx512Vl, "avx512vl"},
};

template <class Chain, size_t N>
Variant<Chain> Named(ShaCompressFunction<Chain> run,
                     const std::pair<ShaCompressFunction<Chain>, const char*> (&names)[N])
{
    for (const auto& [function, name] : names)
        if (function == run)
            return {run, name};
    return {run, "chosen from outside"};
}

// Of the variants given (the rule's choice first), the one that compresses fastest on this
// processor, timed once: each compresses the same 32 KiB five times, the variants taking turns
// so that a busy moment slows them alike, and the best time of each counts. Another variant
// replaces the rule's choice only when it is clearly faster, so that a near tie does not choose
// differently from one start to the next.
template <class Chain>
ShaCompressFunction<Chain> MeasuredFastest(const std::vector<ShaCompressFunction<Chain>>& candidates,
                                           size_t blockBytes)
{
    if (candidates.size() < 2)
        return candidates.front();
    constexpr size_t kBytes = 32 * 1024;
    constexpr int kRounds = 5;
    std::vector<uint8_t> message(kBytes);
    for (size_t i = 0; i < kBytes; ++i)
        message[i] = static_cast<uint8_t>(i * 131 + 7);
    using Clock = std::chrono::steady_clock;
    std::vector<Clock::duration> best(candidates.size(), Clock::duration::max());
    Chain chain{};
    for (int round = 0; round < kRounds; ++round)
        for (size_t i = 0; i < candidates.size(); ++i) {
            const Clock::time_point start = Clock::now();
            candidates[i](chain, message.data(), kBytes / blockBytes);
            best[i] = std::min(best[i], Clock::now() - start);
        }
    size_t fastest = 0;
    for (size_t i = 1; i < candidates.size(); ++i)
        if (best[i] < best[fastest])
            fastest = i;
    // "Clearly": 3 % faster than the rule's choice.
    return best[fastest] * 103 < best[0] * 100 ? candidates[fastest] : candidates[0];
}

// The rule, from engines_bench on both makers' processors: on AMD's, SHA1NEXTE and the SHA unit's
// schedule slow the chain of SHA1RNDS4 down and E is best turned with SSE; on Intel's the
// AVX-512 turn of E is the fastest. SHA-512 with AVX-512VL where it is there. The measurement
// above then keeps the rule or, on a processor where it does not hold, overrules it.
ShaCompressions MeasureFastest()
{
    const CpuFeatures& cpu = Cpu();
    ShaCompressions fastest = PortableShaCompressions();
    if (cpu.ShaExtensions) {
        const ShaCompressFunction<Sha1Chain> rule = cpu.Amd        ? &Sha1CompressShaExtensionsSseE
                                                    : cpu.Avx512Vl ? &Sha1CompressShaExtensionsAvx512Vl
                                                                   : &Sha1CompressShaExtensions;
        std::vector<ShaCompressFunction<Sha1Chain>> sha1Variants{rule};
        const auto offer = [&](ShaCompressFunction<Sha1Chain> variant) {
            if (variant != rule)
                sha1Variants.push_back(variant);
        };
        offer(&Sha1CompressShaExtensions);
        offer(&Sha1CompressShaExtensionsSseE);
        if (cpu.Avx512Vl)
            offer(&Sha1CompressShaExtensionsAvx512Vl);
        fastest.Sha1 = MeasuredFastest(sha1Variants, 64);
        fastest.Sha256 = &Sha256CompressShaExtensions;
    }
    std::vector<ShaCompressFunction<Sha512Chain>> sha512Variants;
    if (cpu.Avx512Vl)
        sha512Variants.push_back(&Sha512CompressAvx512Vl);
    if (cpu.Avx2Bmi2)
        sha512Variants.push_back(&Sha512CompressAvx2);
    if (!sha512Variants.empty())
        fastest.Sha512 = MeasuredFastest(sha512Variants, 128);
    return fastest;
}

DispatchedFunction<ShaCompressFunction<Sha1Chain>> sha1{
    [] { return Named(FastestShaCompressions().Sha1, kSha1Names); }};
DispatchedFunction<ShaCompressFunction<Sha256Chain>> sha256{
    [] { return Named(FastestShaCompressions().Sha256, kSha256Names); }};
DispatchedFunction<ShaCompressFunction<Sha512Chain>> sha512{
    [] { return Named(FastestShaCompressions().Sha512, kSha512Names); }};

}  // namespace

bool CpuHasShaExtensions() { return Cpu().ShaExtensions; }
bool CpuHasAvx2Bmi2() { return Cpu().Avx2Bmi2; }
bool CpuHasAvx512Vl() { return Cpu().Avx512Vl; }

ShaCompressions PortableShaCompressions()
{
    return {&Sha1CompressPortable, &Sha256CompressPortable, &Sha512CompressPortable};
}

ShaCompressions FastestShaCompressions()
{
    // Measured once for the program, by whichever thread asks first.
    static const ShaCompressions fastest = MeasureFastest();
    return fastest;
}

ShaCompressions UseShaCompressions(const ShaCompressions& compressions)
{
    return {sha1.Use(Named(compressions.Sha1, kSha1Names)).Run,
            sha256.Use(Named(compressions.Sha256, kSha256Names)).Run,
            sha512.Use(Named(compressions.Sha512, kSha512Names)).Run};
}

std::string ShaVariantsInUse()
{
    return std::string("SHA-1 ") + sha1.Current().Name + ", SHA-256 " + sha256.Current().Name + ", SHA-512 " +
           sha512.Current().Name;
}

void RunSha1Compression(Sha1Chain& chain, const uint8_t* blocks, size_t count)
{
    sha1.Get()(chain, blocks, count);
}
void RunSha256Compression(Sha256Chain& chain, const uint8_t* blocks, size_t count)
{
    sha256.Get()(chain, blocks, count);
}
void RunSha512Compression(Sha512Chain& chain, const uint8_t* blocks, size_t count)
{
    sha512.Get()(chain, blocks, count);
}
