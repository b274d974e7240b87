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
#include <string>

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
// As Sha1CompressShaExtensions, with E turned and added by ordinary vector instructions: the
// SHA unit keeps to SHA1RNDS4, which AMD's processors run fastest.
void Sha1CompressShaExtensionsSseE(Sha1Chain& chain, const uint8_t* blocks, size_t count);
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
// The fastest this CPU runs, among the variants it has: a rule by the maker (on AMD, SHA-1 with E
// off the SHA unit; elsewhere SHA-1 with AVX-512VL where it has it; SHA-512 with AVX-512VL),
// checked once by timing the variants on 32 KiB, under a millisecond, and overruled where
// another variant is clearly faster.
ShaCompressions FastestShaCompressions();

// Makes the engines run these compressions from now on and returns what they ran before.
ShaCompressions UseShaCompressions(const ShaCompressions& compressions);

// The variants the engines run, named: for example "SHA-1 sha-ni+sse-e, SHA-256 sha-ni,
// SHA-512 avx512vl".
std::string ShaVariantsInUse();

// What the engines call.
void RunSha1Compression(Sha1Chain& chain, const uint8_t* blocks, size_t count);
void RunSha256Compression(Sha256Chain& chain, const uint8_t* blocks, size_t count);
void RunSha512Compression(Sha512Chain& chain, const uint8_t* blocks, size_t count);
