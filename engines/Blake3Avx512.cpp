// BLAKE3's chunks sixteen at a time, one in each 32-bit lane of the ZMM registers; only where
// Cpu().Avx512Vl. The standard headers come before the target so that no inline function of
// theirs is compiled for AVX-512 here and chosen by the linker for the whole program.
#include "engines/Blake3Compress.h"

#include <cstring>

#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx512f,avx512vl,avx2,bmi2")

namespace {

constexpr size_t kLanes = 16;
using Lanes = uint32_t __attribute__((vector_size(4 * kLanes)));

inline Lanes GatherWords(const uint8_t* base, size_t stride)
{
    const __m512i offsets =
        _mm512_mullo_epi32(_mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15),
                           _mm512_set1_epi32(static_cast<int>(stride)));
    // The masked form, from zero: the plain one starts from an undefined register.
    return reinterpret_cast<Lanes>(
        _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), 0xFFFF, offsets, base, 1));
}

#include "engines/Blake3Lanes.inc"

}  // namespace

void Blake3HashManyAvx512(const uint8_t* input, size_t count, size_t blocks, uint64_t counter, bool countUp,
                          uint32_t flags, uint32_t firstFlags, uint32_t lastFlags, uint8_t* out)
{
    HashManyLanes(input, count, blocks, counter, countUp, flags, firstFlags, lastFlags, out,
                  &Blake3HashManyAvx2);
}

#pragma GCC pop_options
