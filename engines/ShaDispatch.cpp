#include "engines/CpuFeatures.h"
#include "engines/DispatchedFunction.h"
#include "engines/ShaCompress.h"

#include <utility>

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

// Measured with engines_bench: on AMD's processors SHA1NEXTE and the SHA unit's schedule slow
// the chain of SHA1RNDS4 down, and the AVX-512 turn of E does not make up for it, so E is turned
// with SSE; on Intel's the AVX-512 turn is the fastest. SHA-512 is fastest with AVX-512VL on both.
ShaCompressions FastestShaCompressions()
{
    const CpuFeatures& cpu = Cpu();
    ShaCompressions fastest = PortableShaCompressions();
    if (cpu.ShaExtensions) {
        if (cpu.Amd)
            fastest.Sha1 = &Sha1CompressShaExtensionsSseE;
        else
            fastest.Sha1 = cpu.Avx512Vl ? &Sha1CompressShaExtensionsAvx512Vl : &Sha1CompressShaExtensions;
        fastest.Sha256 = &Sha256CompressShaExtensions;
    }
    if (cpu.Avx512Vl)
        fastest.Sha512 = &Sha512CompressAvx512Vl;
    else if (cpu.Avx2Bmi2)
        fastest.Sha512 = &Sha512CompressAvx2;
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
