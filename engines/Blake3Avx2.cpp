// BLAKE3's chunks eight at a time, one in each 32-bit lane of the YMM registers; only where
// Cpu().Avx2Bmi2. The standard headers come before the target, as in the AVX-512 variant.
#include "engines/Blake3Compress.h"

#include <cstring>

#include <immintrin.h>

// Clang spells the file-wide target differently.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,bmi2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,bmi2")
#endif

namespace {

constexpr size_t kLanes = 8;
using Lanes = uint32_t __attribute__((vector_size(4 * kLanes)));

template <int Bits>
inline Lanes RotateRight(Lanes x)
{
    // Turning by 16 or 8 bits moves whole bytes: one shuffle instead of two shifts and a merge.
    if constexpr (Bits == 16)
        return reinterpret_cast<Lanes>(
            _mm256_shuffle_epi8(reinterpret_cast<__m256i>(x),
                                _mm256_setr_epi8(2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13, 2, 3,
                                                 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13)));
    else if constexpr (Bits == 8)
        return reinterpret_cast<Lanes>(
            _mm256_shuffle_epi8(reinterpret_cast<__m256i>(x),
                                _mm256_setr_epi8(1, 2, 3, 0, 5, 6, 7, 4, 9, 10, 11, 8, 13, 14, 15, 12, 1, 2,
                                                 3, 0, 5, 6, 7, 4, 9, 10, 11, 8, 13, 14, 15, 12)));
    else
        return (x >> Bits) | (x << (32 - Bits));
}

// Eight words of each of the eight blocks at a time, turned from rows into columns: pairs of
// words, then of pairs, within each 128-bit half, and last the halves.
inline void LoadBlocks(const uint8_t* base, size_t stride, Lanes m[16])
{
    for (int h = 0; h < 2; ++h) {
        __m256i r[8];
        for (int j = 0; j < 8; ++j)
            r[j] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(base + j * stride + 32 * h));
        __m256i pairs[8], quads[8];
        for (int j = 0; j < 4; ++j) {
            pairs[2 * j] = _mm256_unpacklo_epi32(r[2 * j], r[2 * j + 1]);
            pairs[2 * j + 1] = _mm256_unpackhi_epi32(r[2 * j], r[2 * j + 1]);
        }
        for (int q = 0; q < 2; ++q) {
            const __m256i* ab = pairs + 4 * q;
            quads[4 * q] = _mm256_unpacklo_epi64(ab[0], ab[2]);
            quads[4 * q + 1] = _mm256_unpackhi_epi64(ab[0], ab[2]);
            quads[4 * q + 2] = _mm256_unpacklo_epi64(ab[1], ab[3]);
            quads[4 * q + 3] = _mm256_unpackhi_epi64(ab[1], ab[3]);
        }
        for (int w = 0; w < 4; ++w) {
            m[8 * h + w] = reinterpret_cast<Lanes>(_mm256_permute2x128_si256(quads[w], quads[4 + w], 0x20));
            m[8 * h + 4 + w] =
                reinterpret_cast<Lanes>(_mm256_permute2x128_si256(quads[w], quads[4 + w], 0x31));
        }
    }
}

#include "engines/Blake3Lanes.inc"

}  // namespace

void Blake3HashManyAvx2(const uint8_t* input, size_t count, size_t blocks, uint64_t counter, bool countUp,
                        uint32_t flags, uint32_t firstFlags, uint32_t lastFlags, uint8_t* out)
{
    HashManyLanes(input, count, blocks, counter, countUp, flags, firstFlags, lastFlags, out,
                  &Blake3HashManySse41);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
