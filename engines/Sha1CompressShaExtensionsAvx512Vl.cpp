// SHA-1 compression with the SHA extensions and AVX-512VL on 128-bit vectors. E is turned with
// VPROLD and added to the top word by a masked add, two cycles against SHA1NEXTE's three, which
// takes it off the chain of SHA1RNDS4; the late schedule groups take a three-way XOR and one
// rotation. With both, a block runs at the speed of its twenty SHA1RNDS4 alone.
#define SHA1_TARGET __attribute__((target("sha,sse4.1,ssse3,avx512f,avx512vl")))

#include "engines/Sha1ShaExtensions.inc"

namespace {

struct Avx512Vl {
    static constexpr int Xor3 = 0x96;  // the truth table of a ^ b ^ c for VPTERNLOGD
    static constexpr __mmask8 TopWord = 0x8;

    SHA1_TARGET static __m128i AddE(__m128i abcdBefore, __m128i w)
    {
        return _mm_mask_add_epi32(w, TopWord, w, _mm_rol_epi32(abcdBefore, 30));
    }
    SHA1_TARGET static __m128i ExpandFar(__m128i w8, __m128i w7, __m128i w4, __m128i w2, __m128i w1)
    {
        // W[t-6..t-3] straddle groups g - 2 and g - 1.
        return _mm_rol_epi32(
            _mm_xor_si128(_mm_ternarylogic_epi32(w8, w7, w4, Xor3), _mm_alignr_epi8(w2, w1, 8)), 2);
    }
};

}  // namespace

void Sha1CompressShaExtensionsAvx512Vl(Sha1Chain& chain, const uint8_t* blocks, size_t count)
{
    Compress<Avx512Vl>(chain, blocks, count);
}
