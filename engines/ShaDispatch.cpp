#include "engines/ShaCompress.h"

#include <atomic>
#include <cpuid.h>

namespace {

struct CpuFeatures {
    bool shaExtensions = false;
    bool avx2Bmi2 = false;
    bool avx512Vl = false;
};

CpuFeatures ProbeCpu()
{
    CpuFeatures features;
    unsigned eax, ebx, ecx, edx;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return features;
    const bool ssse3 = ecx & (1u << 9), sse41 = ecx & (1u << 19);
    const bool osxsave = ecx & (1u << 27), avx = ecx & (1u << 28);
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx))
        return features;
    const bool bmi1 = ebx & (1u << 3), avx2 = ebx & (1u << 5), bmi2 = ebx & (1u << 8);
    const bool sha = ebx & (1u << 29);
    const bool avx512f = ebx & (1u << 16), avx512vl = ebx & (1u << 31);
    features.shaExtensions = sha && ssse3 && sse41;

    // The wider vector instructions also need the operating system to save the registers they
    // use: the upper halves of YMM for AVX, the mask and upper ZMM registers for AVX-512.
    bool ymmSaved = false, zmmSaved = false;
    if (osxsave) {
        unsigned lo, hi;
        __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
        ymmSaved = (lo & 0x06u) == 0x06u;
        zmmSaved = (lo & 0xE6u) == 0xE6u;
    }
    features.avx2Bmi2 = avx && ymmSaved && avx2 && bmi1 && bmi2;
    features.avx512Vl = features.avx2Bmi2 && zmmSaved && avx512f && avx512vl;
    return features;
}

const CpuFeatures& Cpu()
{
    static const CpuFeatures features = ProbeCpu();
    return features;
}

// The engines start on these, which pick the fastest variant on the first block and then step
// aside; the pointers are atomic only so that the first calls of two threads cannot race.
void ResolveSha1(Sha1Chain& chain, const uint8_t* blocks, size_t count);
void ResolveSha256(Sha256Chain& chain, const uint8_t* blocks, size_t count);
void ResolveSha512(Sha512Chain& chain, const uint8_t* blocks, size_t count);

std::atomic<ShaCompressFunction<Sha1Chain>> activeSha1{&ResolveSha1};
std::atomic<ShaCompressFunction<Sha256Chain>> activeSha256{&ResolveSha256};
std::atomic<ShaCompressFunction<Sha512Chain>> activeSha512{&ResolveSha512};

void ResolveSha1(Sha1Chain& chain, const uint8_t* blocks, size_t count)
{
    ShaCompressFunction<Sha1Chain> expected = &ResolveSha1;
    activeSha1.compare_exchange_strong(expected, FastestShaCompressions().Sha1);
    RunSha1Compression(chain, blocks, count);
}
void ResolveSha256(Sha256Chain& chain, const uint8_t* blocks, size_t count)
{
    ShaCompressFunction<Sha256Chain> expected = &ResolveSha256;
    activeSha256.compare_exchange_strong(expected, FastestShaCompressions().Sha256);
    RunSha256Compression(chain, blocks, count);
}
void ResolveSha512(Sha512Chain& chain, const uint8_t* blocks, size_t count)
{
    ShaCompressFunction<Sha512Chain> expected = &ResolveSha512;
    activeSha512.compare_exchange_strong(expected, FastestShaCompressions().Sha512);
    RunSha512Compression(chain, blocks, count);
}

template <class Function>
Function Chosen(const std::atomic<Function>& active, Function resolver, Function fastest)
{
    Function f = active.load(std::memory_order_relaxed);
    return f == resolver ? fastest : f;
}

}  // namespace

bool CpuHasShaExtensions() { return Cpu().shaExtensions; }
bool CpuHasAvx2Bmi2() { return Cpu().avx2Bmi2; }
bool CpuHasAvx512Vl() { return Cpu().avx512Vl; }

ShaCompressions PortableShaCompressions()
{
    return {&Sha1CompressPortable, &Sha256CompressPortable, &Sha512CompressPortable};
}

ShaCompressions FastestShaCompressions()
{
    ShaCompressions fastest = PortableShaCompressions();
    if (CpuHasShaExtensions()) {
        fastest.Sha1 = CpuHasAvx512Vl() ? &Sha1CompressShaExtensionsAvx512Vl
                                        : &Sha1CompressShaExtensions;
        fastest.Sha256 = &Sha256CompressShaExtensions;
    }
    if (CpuHasAvx512Vl())
        fastest.Sha512 = &Sha512CompressAvx512Vl;
    else if (CpuHasAvx2Bmi2())
        fastest.Sha512 = &Sha512CompressAvx2;
    return fastest;
}

ShaCompressions UseShaCompressions(const ShaCompressions& compressions)
{
    const ShaCompressions fastest = FastestShaCompressions();
    ShaCompressions before{Chosen(activeSha1, &ResolveSha1, fastest.Sha1),
                           Chosen(activeSha256, &ResolveSha256, fastest.Sha256),
                           Chosen(activeSha512, &ResolveSha512, fastest.Sha512)};
    activeSha1.store(compressions.Sha1, std::memory_order_relaxed);
    activeSha256.store(compressions.Sha256, std::memory_order_relaxed);
    activeSha512.store(compressions.Sha512, std::memory_order_relaxed);
    return before;
}

void RunSha1Compression(Sha1Chain& chain, const uint8_t* blocks, size_t count)
{
    activeSha1.load(std::memory_order_relaxed)(chain, blocks, count);
}
void RunSha256Compression(Sha256Chain& chain, const uint8_t* blocks, size_t count)
{
    activeSha256.load(std::memory_order_relaxed)(chain, blocks, count);
}
void RunSha512Compression(Sha512Chain& chain, const uint8_t* blocks, size_t count)
{
    activeSha512.load(std::memory_order_relaxed)(chain, blocks, count);
}
