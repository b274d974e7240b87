// SHA-1 compression (FIPS 180-1) for any x86-64: every step unrolled, the schedule kept as a
// rolling window of 16 words.
#include "engines/ByteOrder.h"
#include "engines/ShaCompress.h"
#include "engines/ShaConstants.h"

#include <string.h>

namespace {

inline uint32_t Ch(uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); }
inline uint32_t Parity(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
inline uint32_t Maj(uint32_t x, uint32_t y, uint32_t z) { return (x & y) + (z & (x ^ y)); }

// W[t] for t of 16 and more replaces W[t - 16] in the window.
inline uint32_t Expand(uint32_t* w, int t)
{
    return w[t & 15] = Rotl32(w[(t + 13) & 15] ^ w[(t + 8) & 15] ^ w[(t + 2) & 15] ^ w[t & 15], 1);
}

}  // namespace

void Sha1CompressPortable(Sha1Chain& chain, const uint8_t* blocks, size_t count)
{
    uint32_t a = chain[0], b = chain[1], c = chain[2], d = chain[3], e = chain[4];
    uint32_t w[16];
    for (; count != 0; --count, blocks += 64) {
        for (int i = 0; i < 16; ++i)
            w[i] = LoadBe32(blocks + 4 * i);
        const uint32_t a0 = a, b0 = b, c0 = c, d0 = d, e0 = e;

        // One step with the five words renamed instead of moved: e takes the new a, b turns.
#define STEP(a, b, c, d, e, f, k, t)                                                                         \
    e += Rotl32(a, 5) + f(b, c, d) + k + ((t) < 16 ? w[t] : Expand(w, t));                                   \
    b = Rotl32(b, 30)
#define FIVE(f, k, t)                                                                                        \
    STEP(a, b, c, d, e, f, k, t);                                                                            \
    STEP(e, a, b, c, d, f, k, t + 1);                                                                        \
    STEP(d, e, a, b, c, f, k, t + 2);                                                                        \
    STEP(c, d, e, a, b, f, k, t + 3);                                                                        \
    STEP(b, c, d, e, a, f, k, t + 4)
#define TWENTY(f, k, t)                                                                                      \
    FIVE(f, k, t);                                                                                           \
    FIVE(f, k, t + 5);                                                                                       \
    FIVE(f, k, t + 10);                                                                                      \
    FIVE(f, k, t + 15)

        TWENTY(Ch, kSha1RoundConstant[0], 0);
        TWENTY(Parity, kSha1RoundConstant[1], 20);
        TWENTY(Maj, kSha1RoundConstant[2], 40);
        TWENTY(Parity, kSha1RoundConstant[3], 60);
#undef TWENTY
#undef FIVE
#undef STEP

        a += a0;
        b += b0;
        c += c0;
        d += d0;
        e += e0;
    }
    chain = {a, b, c, d, e};
    explicit_bzero(w, sizeof w);
}
