// SHA-1 compression with the SHA extensions. SHA1RNDS4 runs four steps on ABCD (A in the top
// lane) and takes E already added to the first schedule word; after four steps E is A of four
// steps before turned by 30 bits, which SHA1NEXTE computes and adds to the next words.
#include "engines/ShaCompress.h"

#include <immintrin.h>

#define SHA_EXTENSIONS __attribute__((target("sha,sse4.1,ssse3")))

namespace {

// Four steps of group g; abcdBefore keeps the ABCD that entered them, for the next group's E.
template <int Function>
SHA_EXTENSIONS inline void FourSteps(__m128i& abcd, __m128i& abcdBefore, __m128i w)
{
    const __m128i we = _mm_sha1nexte_epu32(abcdBefore, w);
    abcdBefore = abcd;
    abcd = _mm_sha1rnds4_epu32(abcd, we, Function);
}

// The next four schedule words from the last sixteen: w0 (oldest) is replaced.
SHA_EXTENSIONS inline void Expand(__m128i& w0, __m128i w1, __m128i w2, __m128i w3)
{
    w0 = _mm_sha1msg2_epu32(_mm_xor_si128(_mm_sha1msg1_epu32(w0, w1), w2), w3);
}

}  // namespace

SHA_EXTENSIONS void Sha1CompressShaExtensions(Sha1Chain& chain, const uint8_t* blocks,
                                              size_t count)
{
    // The instructions want W0 in the top lane: reverse all sixteen bytes of each load.
    const __m128i byteSwap = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&chain[0])),
                                     0x1B);
    __m128i e = _mm_set_epi32(static_cast<int>(chain[4]), 0, 0, 0);

    for (; count != 0; --count, blocks += 64) {
        const __m128i abcdSaved = abcd, eSaved = e;
        const auto* in = reinterpret_cast<const __m128i*>(blocks);
        __m128i w0 = _mm_shuffle_epi8(_mm_loadu_si128(in + 0), byteSwap);
        __m128i w1 = _mm_shuffle_epi8(_mm_loadu_si128(in + 1), byteSwap);
        __m128i w2 = _mm_shuffle_epi8(_mm_loadu_si128(in + 2), byteSwap);
        __m128i w3 = _mm_shuffle_epi8(_mm_loadu_si128(in + 3), byteSwap);

        // The first group takes E from the chain as it is.
        __m128i abcdBefore = abcd;
        abcd = _mm_sha1rnds4_epu32(abcd, _mm_add_epi32(e, w0), 0);
        FourSteps<0>(abcd, abcdBefore, w1);
        FourSteps<0>(abcd, abcdBefore, w2);
        FourSteps<0>(abcd, abcdBefore, w3);
#define NEXT(f, w0, w1, w2, w3) \
    Expand(w0, w1, w2, w3);     \
    FourSteps<f>(abcd, abcdBefore, w0)
        NEXT(0, w0, w1, w2, w3);
        NEXT(1, w1, w2, w3, w0);
        NEXT(1, w2, w3, w0, w1);
        NEXT(1, w3, w0, w1, w2);
        NEXT(1, w0, w1, w2, w3);
        NEXT(1, w1, w2, w3, w0);
        NEXT(2, w2, w3, w0, w1);
        NEXT(2, w3, w0, w1, w2);
        NEXT(2, w0, w1, w2, w3);
        NEXT(2, w1, w2, w3, w0);
        NEXT(2, w2, w3, w0, w1);
        NEXT(3, w3, w0, w1, w2);
        NEXT(3, w0, w1, w2, w3);
        NEXT(3, w1, w2, w3, w0);
        NEXT(3, w2, w3, w0, w1);
        NEXT(3, w3, w0, w1, w2);
#undef NEXT

        e = _mm_sha1nexte_epu32(abcdBefore, eSaved);
        abcd = _mm_add_epi32(abcd, abcdSaved);
    }

    _mm_storeu_si128(reinterpret_cast<__m128i*>(&chain[0]), _mm_shuffle_epi32(abcd, 0x1B));
    chain[4] = static_cast<uint32_t>(_mm_extract_epi32(e, 3));
}
