// SHA-512 compression for CPUs with AVX2 and BMI2: the schedule of two blocks at a time, one in
// each 128-bit half of a vector, and the steps in scalar registers with BMI2's RORX, which turns
// a word without destroying it and so saves the copies that the portable code's rotations need.
#include "engines/ShaCompress.h"
#include "engines/ShaConstants.h"

#include <bit>
#include <immintrin.h>
#include <string.h>

#define SHA512_TARGET __attribute__((target("avx2,bmi,bmi2")))

namespace {

struct Avx2Pairs {
    using Vec = __m256i;
    static constexpr int Lanes = 2;

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

    template <int N>
    SHA512_TARGET static Vec Rotr(Vec x)
    {
        return _mm256_xor_si256(_mm256_srli_epi64(x, N), _mm256_slli_epi64(x, 64 - N));
    }
    SHA512_TARGET static Vec sigma0(Vec x)
    {
        // Turning by 8 bits moves whole bytes: one shuffle instead of two shifts and a merge.
        const __m256i rotr8 = _mm256_setr_epi8(1, 2, 3, 4, 5, 6, 7, 0, 9, 10, 11, 12, 13, 14, 15, 8,
                                               1, 2, 3, 4, 5, 6, 7, 0, 9, 10, 11, 12, 13, 14, 15, 8);
        return _mm256_xor_si256(_mm256_xor_si256(Rotr<1>(x), _mm256_shuffle_epi8(x, rotr8)),
                                _mm256_srli_epi64(x, 7));
    }
    SHA512_TARGET static Vec sigma1(Vec x)
    {
        return _mm256_xor_si256(_mm256_xor_si256(Rotr<19>(x), Rotr<61>(x)), _mm256_srli_epi64(x, 6));
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

void Sha512CompressAvx2(Sha512Chain& chain, const uint8_t* blocks, size_t count)
{
    CompressInGroups<Avx2Pairs>(chain, blocks, count);
}
