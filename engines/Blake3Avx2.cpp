// BLAKE3's chunks eight at a time, one in each 32-bit lane of the YMM registers; only where
// Cpu().Avx2Bmi2. The standard headers come before the target, as in the AVX-512 variant.
#include "engines/Blake3Compress.h"

#include <cstring>

#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2,bmi2")

namespace {

constexpr size_t kLanes = 8;
using Lanes = uint32_t __attribute__((vector_size(4 * kLanes)));

inline Lanes GatherWords(const uint8_t* base, size_t stride)
{
    const __m256i offsets = _mm256_mullo_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7),
                                               _mm256_set1_epi32(static_cast<int>(stride)));
    // The masked form, from zero: the plain one starts from an undefined register.
    return reinterpret_cast<Lanes>(_mm256_mask_i32gather_epi32(
        _mm256_setzero_si256(), reinterpret_cast<const int*>(base), offsets, _mm256_set1_epi32(-1), 1));
}

#include "engines/Blake3Lanes.inc"

}  // namespace

void Blake3HashManyAvx2(const uint8_t* input, size_t count, size_t blocks, uint64_t counter, bool countUp,
                        uint32_t flags, uint32_t firstFlags, uint32_t lastFlags, uint8_t* out)
{
    HashManyLanes(input, count, blocks, counter, countUp, flags, firstFlags, lastFlags, out,
                  &Blake3HashManySse41);
}

#pragma GCC pop_options
