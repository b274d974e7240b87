// SHA-512 compression for CPUs with AVX-512VL: as the AVX2 one, but the schedule's rotations
// and three-way XORs are single instructions (VPRORQ, VPTERNLOGQ), which halves the vector work
// that competes with the steps. The vectors stay 256 bits wide: the schedule needs no more, and
// on some CPUs full-width AVX-512 lowers the clock for the scalar steps as well.
#define SHA512_TARGET __attribute__((target("avx2,avx512f,avx512vl,bmi,bmi2")))

#include "engines/Sha512Groups.inc"

namespace {

struct Avx512Vl : TwoBlocksPerYmm {
    static constexpr int Xor3 = 0x96;  // the truth table of a ^ b ^ c for VPTERNLOGQ

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
};

}  // namespace

void Sha512CompressAvx512Vl(Sha512Chain& chain, const uint8_t* blocks, size_t count)
{
    CompressInGroups<Avx512Vl>(chain, blocks, count);
}
