#include "engines/DCPmd4.h"

#include "engines/SelfTestSupport.h"

// Each step's cost is its latency, the chain b -> f -> add -> rotate into the next step's b,
// so the round functions are written to keep as little as possible behind b:
//   F: d ^ (b & (c ^ d)), with c ^ d ready before b.
//   G: the majority is (c & d) | (b & (c ^ d)); the two halves share no bit, so the | is an
//      addition and c & d joins the sum before b is there.
//   H: b ^ (c ^ d).
// Word and constant are added to a first; the words are read where they lie.
#define MD4_F(a, b, c, d, k, s)                                                                              \
    a += LoadLe32(block + 4 * (k));                                                                          \
    a += (d) ^ ((b) & ((c) ^ (d)));                                                                          \
    a = Rotl32(a, s)
#define MD4_G(a, b, c, d, k, s)                                                                              \
    a += LoadLe32(block + 4 * (k)) + 0x5A827999u;                                                            \
    a += (c) & (d);                                                                                          \
    a += (b) & ((c) ^ (d));                                                                                  \
    a = Rotl32(a, s)
#define MD4_H(a, b, c, d, k, s)                                                                              \
    a += LoadLe32(block + 4 * (k)) + 0x6ED9EBA1u;                                                            \
    a += (b) ^ ((c) ^ (d));                                                                                  \
    a = Rotl32(a, s)

void Md4Traits::Compress(Chain& chain, const uint8_t* block, size_t count)
{
    uint32_t a = chain[0], b = chain[1], c = chain[2], d = chain[3];
    for (; count != 0; --count, block += BlockSize) {
        const uint32_t aa = a, bb = b, cc = c, dd = d;

        MD4_F(a, b, c, d, 0, 3);
        MD4_F(d, a, b, c, 1, 7);
        MD4_F(c, d, a, b, 2, 11);
        MD4_F(b, c, d, a, 3, 19);
        MD4_F(a, b, c, d, 4, 3);
        MD4_F(d, a, b, c, 5, 7);
        MD4_F(c, d, a, b, 6, 11);
        MD4_F(b, c, d, a, 7, 19);
        MD4_F(a, b, c, d, 8, 3);
        MD4_F(d, a, b, c, 9, 7);
        MD4_F(c, d, a, b, 10, 11);
        MD4_F(b, c, d, a, 11, 19);
        MD4_F(a, b, c, d, 12, 3);
        MD4_F(d, a, b, c, 13, 7);
        MD4_F(c, d, a, b, 14, 11);
        MD4_F(b, c, d, a, 15, 19);

        MD4_G(a, b, c, d, 0, 3);
        MD4_G(d, a, b, c, 4, 5);
        MD4_G(c, d, a, b, 8, 9);
        MD4_G(b, c, d, a, 12, 13);
        MD4_G(a, b, c, d, 1, 3);
        MD4_G(d, a, b, c, 5, 5);
        MD4_G(c, d, a, b, 9, 9);
        MD4_G(b, c, d, a, 13, 13);
        MD4_G(a, b, c, d, 2, 3);
        MD4_G(d, a, b, c, 6, 5);
        MD4_G(c, d, a, b, 10, 9);
        MD4_G(b, c, d, a, 14, 13);
        MD4_G(a, b, c, d, 3, 3);
        MD4_G(d, a, b, c, 7, 5);
        MD4_G(c, d, a, b, 11, 9);
        MD4_G(b, c, d, a, 15, 13);

        MD4_H(a, b, c, d, 0, 3);
        MD4_H(d, a, b, c, 8, 9);
        MD4_H(c, d, a, b, 4, 11);
        MD4_H(b, c, d, a, 12, 15);
        MD4_H(a, b, c, d, 2, 3);
        MD4_H(d, a, b, c, 10, 9);
        MD4_H(c, d, a, b, 6, 11);
        MD4_H(b, c, d, a, 14, 15);
        MD4_H(a, b, c, d, 1, 3);
        MD4_H(d, a, b, c, 9, 9);
        MD4_H(c, d, a, b, 5, 11);
        MD4_H(b, c, d, a, 13, 15);
        MD4_H(a, b, c, d, 3, 3);
        MD4_H(d, a, b, c, 11, 9);
        MD4_H(c, d, a, b, 7, 11);
        MD4_H(b, c, d, a, 15, 15);

        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    chain = {a, b, c, d};
}

#undef MD4_F
#undef MD4_G
#undef MD4_H

bool TDCP_md4::SelfTest()
{
    return SelfTestDigests<TDCP_md4>({
        {"abc", "A448017AAF21D8525FC10AE87AA6729D"},
        {"abcdefghijklmnopqrstuvwxyz", "D79E1C308AA5BBCDEEA8ED63DF412DA9"},
    });
}
