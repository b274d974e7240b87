// SHA-512 compression for CPUs with AVX-512VL: as the AVX2 one, but the schedule's rotations
// and three-way XORs are single instructions (VPRORQ, VPTERNLOGQ), which halves the vector work
// that competes with the steps. The vectors stay 256 bits wide: the schedule needs no more, and
// on some CPUs full-width AVX-512 lowers the clock for the scalar steps as well.
#include "engines/ShaCompress.h"
#include "engines/ShaConstants.h"

#include <bit>
#include <immintrin.h>
#include <string.h>

#define SHA512_TARGET __attribute__((target("avx2,avx512f,avx512vl,bmi,bmi2")))

namespace {

struct Avx512VlPairs {
    using Vec = __m256i;
    static constexpr int Lanes = 2;
    static constexpr int Xor3 = 0x96;  // the truth table of a ^ b ^ c for VPTERNLOGQ

    SHA512_TARGET static Vec Load(const uint8_t* const* lanes, int j)
    {
        const __m256i byteSwap = _mm256_setr_epi8(7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8,
                                                  7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8);
        const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes[0] + 16 * j));
        const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes[1] + 16 * j));
        return _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1),
                                   byteSwap);
    }
    SHA512_TARGET static Vec AlignPairs(Vec hi, Vec lo) { return _mm256_alignr_epi8(hi, lo, 8); }
    SHA512_TARGET static Vec Add(Vec x, Vec y) { return _mm256_add_epi64(x, y); }
    SHA512_TARGET static Vec sigma0(Vec x)
    {
        return _mm256_ternarylogic_epi64(_mm256_ror_epi64(x, 1), _mm256_ror_epi64(x, 8),
                                         _mm256_srli_epi64(x, 7), Xor3);
    }
    SHA512_TARGET static Vec sigma1(Vec x)
    {
        return _mm256_ternarylogic_epi64(_mm256_ror_epi64(x, 19), _mm256_ror_epi64(x, 61),
                                         _mm256_srli_epi64(x, 6), Xor3);
    }
    SHA512_TARGET static Vec AddConstants(Vec x, int j)
    {
        return _mm256_add_epi64(x, _mm256_broadcastsi128_si256(_mm_load_si128(
                                       reinterpret_cast<const __m128i*>(kSha512RoundConstant + 2 * j))));
    }
    SHA512_TARGET static void Store(uint64_t* row, Vec x)
    {
        _mm256_store_si256(reinterpret_cast<__m256i*>(row), x);
    }
};

}  // namespace

#include "engines/Sha512Groups.inc"

void Sha512CompressAvx512Vl(Sha512Chain& chain, const uint8_t* blocks, size_t count)
{
    CompressInGroups<Avx512VlPairs>(chain, blocks, count);
}
