// SHA-256 compression (FIPS 180-2) for any x86-64: every step unrolled, the schedule kept as a
// rolling window of 16 words.
#include "engines/ByteOrder.h"
#include "engines/ShaCompress.h"
#include "engines/ShaConstants.h"

#include <string.h>

namespace {

inline uint32_t Sigma0(uint32_t x) { return Rotr32(x, 2) ^ Rotr32(x, 13) ^ Rotr32(x, 22); }
inline uint32_t Sigma1(uint32_t x) { return Rotr32(x, 6) ^ Rotr32(x, 11) ^ Rotr32(x, 25); }
inline uint32_t sigma0(uint32_t x) { return Rotr32(x, 7) ^ Rotr32(x, 18) ^ (x >> 3); }
inline uint32_t sigma1(uint32_t x) { return Rotr32(x, 17) ^ Rotr32(x, 19) ^ (x >> 10); }
inline uint32_t Ch(uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); }
inline uint32_t Maj(uint32_t x, uint32_t y, uint32_t z) { return (x & y) + (z & (x ^ y)); }

// W[t] for t of 16 and more replaces W[t - 16] in the window.
inline uint32_t Expand(uint32_t* w, int t)
{
    return w[t & 15] += sigma1(w[(t + 14) & 15]) + w[(t + 9) & 15] + sigma0(w[(t + 1) & 15]);
}

}  // namespace

void Sha256CompressPortable(Sha256Chain& chain, const uint8_t* blocks, size_t count)
{
    uint32_t a = chain[0], b = chain[1], c = chain[2], d = chain[3];
    uint32_t e = chain[4], f = chain[5], g = chain[6], h = chain[7];
    uint32_t w[16];
    for (; count != 0; --count, blocks += 64) {
        for (int i = 0; i < 16; ++i)
            w[i] = LoadBe32(blocks + 4 * i);
        const uint32_t a0 = a, b0 = b, c0 = c, d0 = d, e0 = e, f0 = f, g0 = g, h0 = h;

        // One step with the eight words renamed instead of moved: h takes the new a, d the new e.
#define STEP(a, b, c, d, e, f, g, h, t)                                                                      \
    h += Sigma1(e) + Ch(e, f, g) + kSha256RoundConstant[t] + ((t) < 16 ? w[t] : Expand(w, t));               \
    d += h;                                                                                                  \
    h += Sigma0(a) + Maj(a, b, c)
#define EIGHT(t)                                                                                             \
    STEP(a, b, c, d, e, f, g, h, t);                                                                         \
    STEP(h, a, b, c, d, e, f, g, t + 1);                                                                     \
    STEP(g, h, a, b, c, d, e, f, t + 2);                                                                     \
    STEP(f, g, h, a, b, c, d, e, t + 3);                                                                     \
    STEP(e, f, g, h, a, b, c, d, t + 4);                                                                     \
    STEP(d, e, f, g, h, a, b, c, t + 5);                                                                     \
    STEP(c, d, e, f, g, h, a, b, t + 6);                                                                     \
    STEP(b, c, d, e, f, g, h, a, t + 7)

        EIGHT(0);
        EIGHT(8);
        EIGHT(16);
        EIGHT(24);
        EIGHT(32);
        EIGHT(40);
        EIGHT(48);
        EIGHT(56);
#undef EIGHT
#undef STEP

        a += a0;
        b += b0;
        c += c0;
        d += d0;
        e += e0;
        f += f0;
        g += g0;
        h += h0;
    }
    chain = {a, b, c, d, e, f, g, h};
    explicit_bzero(w, sizeof w);
}
