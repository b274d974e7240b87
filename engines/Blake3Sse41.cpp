// BLAKE3's chunks four at a time, one in each 32-bit lane of the XMM registers; only where
// Cpu().Sse41. The standard headers come before the target, as in the AVX-512 variant.
#include "engines/Blake3Compress.h"

#include <cstring>

#include <immintrin.h>

// Clang spells the file-wide target differently.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("sse4.1"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("sse4.1")
#endif

namespace {

constexpr size_t kLanes = 4;
using Lanes = uint32_t __attribute__((vector_size(4 * kLanes)));

template <int Bits>
inline Lanes RotateRight(Lanes x)
{
    // Turning by 16 or 8 bits moves whole bytes: one shuffle instead of two shifts and a merge.
    if constexpr (Bits == 16)
        return reinterpret_cast<Lanes>(
            _mm_shuffle_epi8(reinterpret_cast<__m128i>(x),
                             _mm_setr_epi8(2, 3, 0, 1, 6, 7, 4, 5, 10, 11, 8, 9, 14, 15, 12, 13)));
    else if constexpr (Bits == 8)
        return reinterpret_cast<Lanes>(
            _mm_shuffle_epi8(reinterpret_cast<__m128i>(x),
                             _mm_setr_epi8(1, 2, 3, 0, 5, 6, 7, 4, 9, 10, 11, 8, 13, 14, 15, 12)));
    else
        return (x >> Bits) | (x << (32 - Bits));
}

// Four words of each of the four blocks at a time, turned from rows into columns.
inline void LoadBlocks(const uint8_t* base, size_t stride, Lanes m[16])
{
    for (int g = 0; g < 4; ++g) {
        const uint8_t* p = base + 16 * g;
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + stride));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * stride));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 3 * stride));
        const __m128i abLow = _mm_unpacklo_epi32(a, b), abHigh = _mm_unpackhi_epi32(a, b);
        const __m128i cdLow = _mm_unpacklo_epi32(c, d), cdHigh = _mm_unpackhi_epi32(c, d);
        m[4 * g] = reinterpret_cast<Lanes>(_mm_unpacklo_epi64(abLow, cdLow));
        m[4 * g + 1] = reinterpret_cast<Lanes>(_mm_unpackhi_epi64(abLow, cdLow));
        m[4 * g + 2] = reinterpret_cast<Lanes>(_mm_unpacklo_epi64(abHigh, cdHigh));
        m[4 * g + 3] = reinterpret_cast<Lanes>(_mm_unpackhi_epi64(abHigh, cdHigh));
    }
}

#include "engines/Blake3Lanes.inc"

}  // namespace

void Blake3HashManySse41(const uint8_t* input, size_t count, size_t blocks, uint64_t counter, bool countUp,
                         uint32_t flags, uint32_t firstFlags, uint32_t lastFlags, uint8_t* out)
{
    HashManyLanes(input, count, blocks, counter, countUp, flags, firstFlags, lastFlags, out,
                  &Blake3HashManyPortable);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
