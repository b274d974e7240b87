// BLAKE3's chunks sixteen at a time, one in each 32-bit lane of the ZMM registers; only where
// Cpu().Avx512Vl. The standard headers come before the target so that no inline function of
// theirs is compiled for AVX-512 here and chosen by the linker for the whole program.
#include "engines/Blake3Compress.h"

#include <cstring>

#include <immintrin.h>

// Clang spells the file-wide target differently.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512vl,avx2,bmi2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512vl,avx2,bmi2")
#endif

namespace {

constexpr size_t kLanes = 16;
using Lanes = uint32_t __attribute__((vector_size(4 * kLanes)));

// g++ makes one VPRORD of the shifts and the merge.
template <int Bits>
inline Lanes RotateRight(Lanes x)
{
    return (x >> Bits) | (x << (32 - Bits));
}

// Each of the sixteen blocks in one register, turned from rows into columns: pairs of words, then
// of pairs, within each 128-bit quarter, and last the quarters, in two steps. The unpacks are
// written with a full mask of zeroing: g++ 12 takes the plain ones' undefined source for a value
// used uninitialised, and the mask costs nothing.
inline void LoadBlocks(const uint8_t* base, size_t stride, Lanes m[16])
{
    __m512i r[16], pairs[16], quads[16];
    for (int j = 0; j < 16; ++j)
        r[j] = _mm512_loadu_si512(base + j * stride);
    for (int j = 0; j < 8; ++j) {
        pairs[2 * j] = _mm512_maskz_unpacklo_epi32(0xFFFF, r[2 * j], r[2 * j + 1]);
        pairs[2 * j + 1] = _mm512_maskz_unpackhi_epi32(0xFFFF, r[2 * j], r[2 * j + 1]);
    }
    // quads[4 * k + q], quarter L: word 4L + k of rows 4q to 4q + 3.
    for (int q = 0; q < 4; ++q) {
        const __m512i* ab = pairs + 4 * q;
        quads[q] = _mm512_maskz_unpacklo_epi64(0xFF, ab[0], ab[2]);
        quads[4 + q] = _mm512_maskz_unpackhi_epi64(0xFF, ab[0], ab[2]);
        quads[8 + q] = _mm512_maskz_unpacklo_epi64(0xFF, ab[1], ab[3]);
        quads[12 + q] = _mm512_maskz_unpackhi_epi64(0xFF, ab[1], ab[3]);
    }
    for (int k = 0; k < 4; ++k) {
        const __m512i* x = quads + 4 * k;
        const __m512i ab02 = _mm512_maskz_shuffle_i32x4(0xFFFF, x[0], x[1], _MM_SHUFFLE(2, 0, 2, 0));
        const __m512i ab13 = _mm512_maskz_shuffle_i32x4(0xFFFF, x[0], x[1], _MM_SHUFFLE(3, 1, 3, 1));
        const __m512i cd02 = _mm512_maskz_shuffle_i32x4(0xFFFF, x[2], x[3], _MM_SHUFFLE(2, 0, 2, 0));
        const __m512i cd13 = _mm512_maskz_shuffle_i32x4(0xFFFF, x[2], x[3], _MM_SHUFFLE(3, 1, 3, 1));
        m[k] =
            reinterpret_cast<Lanes>(_mm512_maskz_shuffle_i32x4(0xFFFF, ab02, cd02, _MM_SHUFFLE(2, 0, 2, 0)));
        m[4 + k] =
            reinterpret_cast<Lanes>(_mm512_maskz_shuffle_i32x4(0xFFFF, ab13, cd13, _MM_SHUFFLE(2, 0, 2, 0)));
        m[8 + k] =
            reinterpret_cast<Lanes>(_mm512_maskz_shuffle_i32x4(0xFFFF, ab02, cd02, _MM_SHUFFLE(3, 1, 3, 1)));
        m[12 + k] =
            reinterpret_cast<Lanes>(_mm512_maskz_shuffle_i32x4(0xFFFF, ab13, cd13, _MM_SHUFFLE(3, 1, 3, 1)));
    }
}

#include "engines/Blake3Lanes.inc"

}  // namespace

void Blake3HashManyAvx512(const uint8_t* input, size_t count, size_t blocks, uint64_t counter, bool countUp,
                          uint32_t flags, uint32_t firstFlags, uint32_t lastFlags, uint8_t* out)
{
    HashManyLanes(input, count, blocks, counter, countUp, flags, firstFlags, lastFlags, out,
                  &Blake3HashManyAvx2);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
