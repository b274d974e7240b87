#include "engines/DCPmd4.h"

#include "engines/ByteOrder.h"
#include "engines/SelfTestSupport.h"

void Md4Traits::WriteTrailer(Fields& f)
{
    StoreLe32(f.BlockBuffer + 56, f.BitCountLo);
    StoreLe32(f.BlockBuffer + 60, f.BitCountHi);
}

void Md4Traits::WriteDigest(const Chain& chain, uint8_t* digest)
{
    for (int i = 0; i < 4; ++i)
        StoreLe32(digest + 4 * i, chain[i]);
}

namespace {

inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); }
inline uint32_t G(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (z & (x | y)); }
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }

}  // namespace

void Md4Traits::Compress(Chain& chain, const uint8_t* blocks, size_t count)
{
    uint32_t a = chain[0], b = chain[1], c = chain[2], d = chain[3];
    for (; count != 0; --count, blocks += BlockSize) {
        uint32_t X[16];
        for (int i = 0; i < 16; ++i)
            X[i] = LoadLe32(blocks + 4 * i);
        const uint32_t aa = a, bb = b, cc = c, dd = d;

#define R1(a, b, c, d, k, s) a = Rotl32(a + F(b, c, d) + X[k], s)
#define R2(a, b, c, d, k, s) a = Rotl32(a + G(b, c, d) + X[k] + 0x5A827999u, s)
#define R3(a, b, c, d, k, s) a = Rotl32(a + H(b, c, d) + X[k] + 0x6ED9EBA1u, s)
        for (int k = 0; k < 16; k += 4) {
            R1(a, b, c, d, k + 0, 3);
            R1(d, a, b, c, k + 1, 7);
            R1(c, d, a, b, k + 2, 11);
            R1(b, c, d, a, k + 3, 19);
        }
        for (int k = 0; k < 4; ++k) {
            R2(a, b, c, d, k + 0, 3);
            R2(d, a, b, c, k + 4, 5);
            R2(c, d, a, b, k + 8, 9);
            R2(b, c, d, a, k + 12, 13);
        }
        static constexpr int order3[4] = {0, 2, 1, 3};
        for (int k : order3) {
            R3(a, b, c, d, k + 0, 3);
            R3(d, a, b, c, k + 8, 9);
            R3(c, d, a, b, k + 4, 11);
            R3(b, c, d, a, k + 12, 15);
        }
#undef R1
#undef R2
#undef R3
        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    chain = {a, b, c, d};
}

bool TDCP_md4::SelfTest()
{
    return SelfTestDigests<TDCP_md4>({
        {"abc", "A448017AAF21D8525FC10AE87AA6729D"},
        {"abcdefghijklmnopqrstuvwxyz", "D79E1C308AA5BBCDEEA8ED63DF412DA9"},
    });
}
