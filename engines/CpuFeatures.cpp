#include "engines/CpuFeatures.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

CpuFeatures Probe()
{
    CpuFeatures features;
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax, ebx, ecx, edx;
    if (!__get_cpuid(0, &eax, &ebx, &ecx, &edx))
        return features;
    char vendor[13] = {};
    std::memcpy(vendor, &ebx, 4);
    std::memcpy(vendor + 4, &edx, 4);
    std::memcpy(vendor + 8, &ecx, 4);
    features.Amd = std::strcmp(vendor, "AuthenticAMD") == 0;

    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return features;
    const bool ssse3 = ecx & (1u << 9), sse41 = ecx & (1u << 19), pclmul = ecx & (1u << 1);
    const bool osxsave = ecx & (1u << 27), avx = ecx & (1u << 28);
    features.CarrylessMultiply = pclmul && sse41;
    features.Sse41 = sse41;
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx))
        return features;
    const bool bmi1 = ebx & (1u << 3), avx2 = ebx & (1u << 5), bmi2 = ebx & (1u << 8);
    const bool sha = ebx & (1u << 29);
    const bool avx512f = ebx & (1u << 16), avx512vl = ebx & (1u << 31);
    features.ShaExtensions = sha && ssse3 && sse41;

    // The wider vector instructions also need the operating system to save the registers they
    // use: the upper halves of YMM for AVX, the mask and upper ZMM registers for AVX-512.
    bool ymmSaved = false, zmmSaved = false;
    if (osxsave) {
        unsigned lo, hi;
        __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
        ymmSaved = (lo & 0x06u) == 0x06u;
        zmmSaved = (lo & 0xE6u) == 0xE6u;
    }
    features.Avx2Bmi2 = avx && ymmSaved && avx2 && bmi1 && bmi2;
    features.Avx512Vl = features.Avx2Bmi2 && zmmSaved && avx512f && avx512vl;
#endif
    return features;
}

}  // namespace

const CpuFeatures& Cpu()
{
    static const CpuFeatures features = Probe();
    return features;
}
