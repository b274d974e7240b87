// SHA-512 compression (FIPS 180-2) for any x86-64: every step unrolled, the schedule kept as a
// rolling window of 16 words. SHA-384 runs the same compression from other initial values.
#include "engines/ByteOrder.h"
#include "engines/ShaCompress.h"
#include "engines/ShaConstants.h"

#include <string.h>

namespace {

inline uint64_t Sigma0(uint64_t x) { return Rotr64(x, 28) ^ Rotr64(x, 34) ^ Rotr64(x, 39); }
inline uint64_t Sigma1(uint64_t x) { return Rotr64(x, 14) ^ Rotr64(x, 18) ^ Rotr64(x, 41); }
inline uint64_t sigma0(uint64_t x) { return Rotr64(x, 1) ^ Rotr64(x, 8) ^ (x >> 7); }
inline uint64_t sigma1(uint64_t x) { return Rotr64(x, 19) ^ Rotr64(x, 61) ^ (x >> 6); }
inline uint64_t Ch(uint64_t x, uint64_t y, uint64_t z) { return z ^ (x & (y ^ z)); }
inline uint64_t Maj(uint64_t x, uint64_t y, uint64_t z) { return (x & y) + (z & (x ^ y)); }

// W[t] for t of 16 and more replaces W[t - 16] in the window.
inline uint64_t Expand(uint64_t* w, int t)
{
    return w[t & 15] += sigma1(w[(t + 14) & 15]) + w[(t + 9) & 15] + sigma0(w[(t + 1) & 15]);
}

}  // namespace

void Sha512CompressPortable(Sha512Chain& chain, const uint8_t* blocks, size_t count)
{
    uint64_t a = chain[0], b = chain[1], c = chain[2], d = chain[3];
    uint64_t e = chain[4], f = chain[5], g = chain[6], h = chain[7];
    uint64_t w[16];
    for (; count != 0; --count, blocks += 128) {
        for (int i = 0; i < 16; ++i)
            w[i] = LoadBe64(blocks + 8 * i);
        const uint64_t a0 = a, b0 = b, c0 = c, d0 = d, e0 = e, f0 = f, g0 = g, h0 = h;

        // One step with the eight words renamed instead of moved: h takes the new a, d the new e.
#define STEP(a, b, c, d, e, f, g, h, t)                                                                      \
    h += Sigma1(e) + Ch(e, f, g) + kSha512RoundConstant[t] + ((t) < 16 ? w[t] : Expand(w, t));               \
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
        EIGHT(64);
        EIGHT(72);
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
