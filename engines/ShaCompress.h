// The compression functions behind the SHA engines, every variant this build has, and the choice
// among them. The engines run whatever UseShaCompressions last chose (the fastest the CPU can
// run, unless a test or a benchmark picked another); the variants are named here so that each
// one can be checked on its own, since through the engines only the CPU's choice would show.
//
// Every function compresses count consecutive blocks (64 bytes for SHA-1 and SHA-256, 128 for
// SHA-512) into the chaining words, which stay in registers from one block to the next.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

using Sha1Chain = std::array<uint32_t, 5>;
using Sha256Chain = std::array<uint32_t, 8>;
using Sha512Chain = std::array<uint64_t, 8>;

template <class Chain>
using ShaCompressFunction = void (*)(Chain& chain, const uint8_t* blocks, size_t count);

// Any x86-64.
void Sha1CompressPortable(Sha1Chain& chain, const uint8_t* blocks, size_t count);
void Sha256CompressPortable(Sha256Chain& chain, const uint8_t* blocks, size_t count);
void Sha512CompressPortable(Sha512Chain& chain, const uint8_t* blocks, size_t count);

// Only where CpuHasShaExtensions(): the SHA-NI instructions with SSSE3 and SSE4.1.
void Sha1CompressShaExtensions(Sha1Chain& chain, const uint8_t* blocks, size_t count);
void Sha256CompressShaExtensions(Sha256Chain& chain, const uint8_t* blocks, size_t count);
// Only where CpuHasShaExtensions() and CpuHasAvx512Vl(): E and the schedule off the SHA unit.
void Sha1CompressShaExtensionsAvx512Vl(Sha1Chain& chain, const uint8_t* blocks, size_t count);

// Only where CpuHasAvx2Bmi2(): the schedule of two blocks at once in AVX2, the steps with BMI2.
void Sha512CompressAvx2(Sha512Chain& chain, const uint8_t* blocks, size_t count);
// Only where CpuHasAvx512Vl(): the same with AVX-512's rotations on 256-bit vectors.
void Sha512CompressAvx512Vl(Sha512Chain& chain, const uint8_t* blocks, size_t count);

bool CpuHasShaExtensions();
bool CpuHasAvx2Bmi2();
bool CpuHasAvx512Vl();  // with AVX2 and BMI2 as well

struct ShaCompressions {
    ShaCompressFunction<Sha1Chain> Sha1;
    ShaCompressFunction<Sha256Chain> Sha256;
    ShaCompressFunction<Sha512Chain> Sha512;
};

ShaCompressions PortableShaCompressions();
ShaCompressions FastestShaCompressions();

// Makes the engines run these compressions from now on and returns what they ran before.
ShaCompressions UseShaCompressions(const ShaCompressions& compressions);

// What the engines call.
void RunSha1Compression(Sha1Chain& chain, const uint8_t* blocks, size_t count);
void RunSha256Compression(Sha256Chain& chain, const uint8_t* blocks, size_t count);
void RunSha512Compression(Sha512Chain& chain, const uint8_t* blocks, size_t count);
