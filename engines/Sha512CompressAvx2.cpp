// SHA-512 compression for CPUs with AVX2 and BMI2. The steps are scalar and serial by nature;
// the schedule is not, so it is computed for two blocks at once, one block in each 128-bit half
// of a vector (two schedule words per half), while the first block's steps run. The second
// block's steps then only read their words. The steps use BMI2's RORX, which turns a word
// without destroying it, saving the copies that the rotations of the portable code need.
#include "engines/ShaCompress.h"
#include "engines/ShaConstants.h"

#include <bit>
#include <immintrin.h>
#include <string.h>

#define AVX2_BMI2 __attribute__((target("avx2,bmi,bmi2")))

namespace {

AVX2_BMI2 inline uint64_t Sigma0(uint64_t x) { return std::rotr(x, 28) ^ std::rotr(x, 34) ^ std::rotr(x, 39); }
AVX2_BMI2 inline uint64_t Sigma1(uint64_t x) { return std::rotr(x, 14) ^ std::rotr(x, 18) ^ std::rotr(x, 41); }
AVX2_BMI2 inline uint64_t Ch(uint64_t x, uint64_t y, uint64_t z) { return (x & y) + (~x & z); }
AVX2_BMI2 inline uint64_t Maj(uint64_t x, uint64_t y, uint64_t z) { return (x & y) + (z & (x ^ y)); }

template <int N>
AVX2_BMI2 inline __m256i Rotr(__m256i x)
{
    return _mm256_xor_si256(_mm256_srli_epi64(x, N), _mm256_slli_epi64(x, 64 - N));
}
AVX2_BMI2 inline __m256i sigma0(__m256i x)
{
    return _mm256_xor_si256(_mm256_xor_si256(Rotr<1>(x), Rotr<8>(x)), _mm256_srli_epi64(x, 7));
}
AVX2_BMI2 inline __m256i sigma1(__m256i x)
{
    return _mm256_xor_si256(_mm256_xor_si256(Rotr<19>(x), Rotr<61>(x)), _mm256_srli_epi64(x, 6));
}

// Schedule words 2j and 2j + 1 of both blocks plus their round constants, in the order the
// steps read them: [first block: 2j, 2j + 1 | second block: 2j, 2j + 1].
using Schedule = uint64_t[40][4];

AVX2_BMI2 inline void StoreWithConstants(Schedule& wk, int j, __m256i x)
{
    const __m256i k = _mm256_broadcastsi128_si256(
        _mm_load_si128(reinterpret_cast<const __m128i*>(kSha512RoundConstant + 2 * j)));
    _mm256_store_si256(reinterpret_cast<__m256i*>(wk[j]), _mm256_add_epi64(x, k));
}

// x holds the last sixteen words of both blocks as eight pairs; pair j replaces pair j - 8.
AVX2_BMI2 inline void Expand(Schedule& wk, __m256i* x, int j)
{
    const __m256i w15 = _mm256_alignr_epi8(x[(j - 7) & 7], x[(j - 8) & 7], 8);
    const __m256i w7 = _mm256_alignr_epi8(x[(j - 3) & 7], x[(j - 4) & 7], 8);
    __m256i& w = x[j & 7];
    w = _mm256_add_epi64(_mm256_add_epi64(w, sigma0(w15)),
                         _mm256_add_epi64(w7, sigma1(x[(j - 1) & 7])));
    StoreWithConstants(wk, j, w);
}

#define STEP(a, b, c, d, e, f, g, h, wk) \
    h += (wk) + Ch(e, f, g);             \
    h += Sigma1(e);                      \
    d += h;                              \
    h += Sigma0(a) + Maj(a, b, c)

}  // namespace

AVX2_BMI2 void Sha512CompressAvx2(Sha512Chain& chain, const uint8_t* blocks, size_t count)
{
    const __m256i byteSwap = _mm256_setr_epi8(7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8,
                                              7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8);
    uint64_t a = chain[0], b = chain[1], c = chain[2], d = chain[3];
    uint64_t e = chain[4], f = chain[5], g = chain[6], h = chain[7];
    alignas(32) Schedule wk;

    while (count != 0) {
        // A lone last block is scheduled in both halves, and its copy's steps are skipped.
        const bool pair = count >= 2;
        const uint8_t* second = pair ? blocks + 128 : blocks;
        __m256i x[8];
        for (int j = 0; j < 8; ++j) {
            const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * j));
            const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(second + 16 * j));
            x[j] = _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1),
                                       byteSwap);
            StoreWithConstants(wk, j, x[j]);
        }

        uint64_t a0 = a, b0 = b, c0 = c, d0 = d, e0 = e, f0 = f, g0 = g, h0 = h;
#pragma GCC unroll 8
        for (int j = 0; j < 32; j += 4) {
            STEP(a, b, c, d, e, f, g, h, wk[j][0]);
            STEP(h, a, b, c, d, e, f, g, wk[j][1]);
            Expand(wk, x, j + 8);
            STEP(g, h, a, b, c, d, e, f, wk[j + 1][0]);
            STEP(f, g, h, a, b, c, d, e, wk[j + 1][1]);
            Expand(wk, x, j + 9);
            STEP(e, f, g, h, a, b, c, d, wk[j + 2][0]);
            STEP(d, e, f, g, h, a, b, c, wk[j + 2][1]);
            Expand(wk, x, j + 10);
            STEP(c, d, e, f, g, h, a, b, wk[j + 3][0]);
            STEP(b, c, d, e, f, g, h, a, wk[j + 3][1]);
            Expand(wk, x, j + 11);
        }
#define EIGHT(j, lane)                                         \
    STEP(a, b, c, d, e, f, g, h, wk[j][lane]);                 \
    STEP(h, a, b, c, d, e, f, g, wk[j][lane + 1]);             \
    STEP(g, h, a, b, c, d, e, f, wk[j + 1][lane]);             \
    STEP(f, g, h, a, b, c, d, e, wk[j + 1][lane + 1]);         \
    STEP(e, f, g, h, a, b, c, d, wk[j + 2][lane]);             \
    STEP(d, e, f, g, h, a, b, c, wk[j + 2][lane + 1]);         \
    STEP(c, d, e, f, g, h, a, b, wk[j + 3][lane]);             \
    STEP(b, c, d, e, f, g, h, a, wk[j + 3][lane + 1])
        EIGHT(32, 0);
        EIGHT(36, 0);
        a += a0, b += b0, c += c0, d += d0, e += e0, f += f0, g += g0, h += h0;
        if (!pair) {
            blocks += 128;
            count -= 1;
            continue;
        }

        a0 = a, b0 = b, c0 = c, d0 = d, e0 = e, f0 = f, g0 = g, h0 = h;
#pragma GCC unroll 10
        for (int j = 0; j < 40; j += 4) {
            EIGHT(j, 2);
        }
#undef EIGHT
        a += a0, b += b0, c += c0, d += d0, e += e0, f += f0, g += g0, h += h0;
        blocks += 256;
        count -= 2;
    }
    chain = {a, b, c, d, e, f, g, h};
    explicit_bzero(wk, sizeof wk);
}
