// SHA-512 compression for CPUs with AVX2 and BMI2: the schedule of two blocks at a time, one in
// each 128-bit half of a vector, and the steps in scalar registers with BMI2's RORX, which turns
// a word without destroying it and so saves the copies that the portable code's rotations need.
#define SHA512_TARGET __attribute__((target("avx2,bmi,bmi2")))

#include "engines/Sha512Groups.inc"

namespace {

struct Avx2 : TwoBlocksPerYmm {
    template <int N>
    SHA512_TARGET static Vec Rotr(Vec x)
    {
        return _mm256_xor_si256(_mm256_srli_epi64(x, N), _mm256_slli_epi64(x, 64 - N));
    }
    SHA512_TARGET static Vec sigma0(Vec x)
    {
        // Turning by 8 bits moves whole bytes: one shuffle instead of two shifts and a merge.
        const __m256i rotr8 = _mm256_set_epi64x(0x080f0e0d0c0b0a09LL, 0x0007060504030201LL,
                                                0x080f0e0d0c0b0a09LL, 0x0007060504030201LL);
        return _mm256_xor_si256(_mm256_xor_si256(Rotr<1>(x), _mm256_shuffle_epi8(x, rotr8)),
                                _mm256_srli_epi64(x, 7));
    }
    SHA512_TARGET static Vec sigma1(Vec x)
    {
        return _mm256_xor_si256(_mm256_xor_si256(Rotr<19>(x), Rotr<61>(x)), _mm256_srli_epi64(x, 6));
    }
};

}  // namespace

void Sha512CompressAvx2(Sha512Chain& chain, const uint8_t* blocks, size_t count)
{
    CompressInGroups<Avx2>(chain, blocks, count);
}
