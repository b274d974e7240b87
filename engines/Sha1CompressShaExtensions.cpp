// SHA-1 compression with the SHA extensions and SSE4.1: SHA1NEXTE adds E, and the late schedule
// groups are turned with two shifts and an OR.
#define SHA1_TARGET __attribute__((target("sha,sse4.1,ssse3")))

#include "engines/Sha1ShaExtensions.inc"

namespace {

struct SseOnly {
    SHA1_TARGET static __m128i AddE(__m128i abcdBefore, __m128i w)
    {
        return _mm_sha1nexte_epu32(abcdBefore, w);
    }
    SHA1_TARGET static __m128i ExpandFar(__m128i w8, __m128i w7, __m128i w4, __m128i w2, __m128i w1)
    {
        // W[t-6..t-3] straddle groups g - 2 and g - 1.
        const __m128i x = _mm_xor_si128(_mm_xor_si128(_mm_xor_si128(w8, w7), w4), _mm_alignr_epi8(w2, w1, 8));
        return _mm_or_si128(_mm_slli_epi32(x, 2), _mm_srli_epi32(x, 30));
    }
};

// As SseOnly, but E is turned and added on the ordinary vector units, leaving the SHA unit to
// SHA1RNDS4 alone for most of the block.
struct SseE : SseOnly {
    SHA1_TARGET static __m128i AddE(__m128i abcdBefore, __m128i w)
    {
        const __m128i turned = _mm_or_si128(_mm_slli_epi32(abcdBefore, 30), _mm_srli_epi32(abcdBefore, 2));
        return _mm_add_epi32(w, _mm_and_si128(turned, _mm_set_epi32(-1, 0, 0, 0)));
    }
};

}  // namespace

void Sha1CompressShaExtensionsSseE(Sha1Chain& chain, const uint8_t* blocks, size_t count)
{
    Compress<SseE>(chain, blocks, count);
}

void Sha1CompressShaExtensions(Sha1Chain& chain, const uint8_t* blocks, size_t count)
{
    Compress<SseOnly>(chain, blocks, count);
}
