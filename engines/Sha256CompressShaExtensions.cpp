// SHA-256 compression with the SHA extensions. The instructions keep the eight working words
// as two vectors, ABEF and CDGH; SHA256RNDS2 runs two steps and hands back the new ABEF while
// the old one becomes the new CDGH, so the two vectors trade places every two steps.
#include "engines/ShaCompress.h"
#include "engines/ShaConstants.h"

#include <immintrin.h>

#define SHA_EXTENSIONS __attribute__((target("sha,sse4.1,ssse3")))

namespace {

// Four steps with the schedule words w (W[t] in the lowest lane) of group t / 4.
SHA_EXTENSIONS inline void FourSteps(__m128i& abef, __m128i& cdgh, __m128i w, int group)
{
    const __m128i wk =
        _mm_add_epi32(w, _mm_load_si128(reinterpret_cast<const __m128i*>(kSha256RoundConstant + 4 * group)));
    cdgh = _mm_sha256rnds2_epu32(cdgh, abef, wk);
    abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(wk, 0x0E));
}

// The next four schedule words from the last sixteen: w0 (oldest) is replaced.
SHA_EXTENSIONS inline void Expand(__m128i& w0, __m128i w1, __m128i w2, __m128i w3)
{
    w0 = _mm_sha256msg2_epu32(_mm_add_epi32(_mm_sha256msg1_epu32(w0, w1), _mm_alignr_epi8(w3, w2, 4)), w3);
}

}  // namespace

SHA_EXTENSIONS void Sha256CompressShaExtensions(Sha256Chain& chain, const uint8_t* blocks, size_t count)
{
    // Each schedule word is big-endian in the block; the words keep their order in the vector.
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    const __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&chain[0]));
    const __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&chain[4]));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);

    for (; count != 0; --count, blocks += 64) {
        const __m128i abefBefore = abef, cdghBefore = cdgh;
        const auto* in = reinterpret_cast<const __m128i*>(blocks);
        __m128i w0 = _mm_shuffle_epi8(_mm_loadu_si128(in + 0), byteSwap);
        __m128i w1 = _mm_shuffle_epi8(_mm_loadu_si128(in + 1), byteSwap);
        __m128i w2 = _mm_shuffle_epi8(_mm_loadu_si128(in + 2), byteSwap);
        __m128i w3 = _mm_shuffle_epi8(_mm_loadu_si128(in + 3), byteSwap);

        FourSteps(abef, cdgh, w0, 0);
        FourSteps(abef, cdgh, w1, 1);
        FourSteps(abef, cdgh, w2, 2);
        FourSteps(abef, cdgh, w3, 3);
        for (int group = 4; group < 16; group += 4) {
            Expand(w0, w1, w2, w3);
            FourSteps(abef, cdgh, w0, group);
            Expand(w1, w2, w3, w0);
            FourSteps(abef, cdgh, w1, group + 1);
            Expand(w2, w3, w0, w1);
            FourSteps(abef, cdgh, w2, group + 2);
            Expand(w3, w0, w1, w2);
            FourSteps(abef, cdgh, w3, group + 3);
        }

        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&chain[0]), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&chain[4]), _mm_alignr_epi8(dchg, feba, 8));
}
