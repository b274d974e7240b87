#include "engines/DCPmd5.h"

#include "engines/SelfTestSupport.h"

// The four round functions are written so that as little as possible waits for b, the word
// that the previous step has just produced: every step's latency is the chain
// b -> f -> add -> rotate -> add, and that chain is the whole cost of MD5.
//   F: d ^ (b & (c ^ d)), with c ^ d ready before b.
//   G: (b & d) | (c & ~d); the two halves have no bit in common, so the | is an addition and
//      c & ~d joins the sum before b is there.
//   H: b ^ (c ^ d).
//   I: c ^ (b | ~d), with ~d ready before b.
// The word and the constant are added to a first, also before b is there.
#define MD5_F(a, b, c, d, k, t, s)                                                                           \
    a += LoadLe32(block + 4 * (k)) + (t);                                                                    \
    a += (d) ^ ((b) & ((c) ^ (d)));                                                                          \
    a = Rotl32(a, s) + (b)
#define MD5_G(a, b, c, d, k, t, s)                                                                           \
    a += LoadLe32(block + 4 * (k)) + (t);                                                                    \
    a += (c) & ~(d);                                                                                         \
    a += (b) & (d);                                                                                          \
    a = Rotl32(a, s) + (b)
#define MD5_H(a, b, c, d, k, t, s)                                                                           \
    a += LoadLe32(block + 4 * (k)) + (t);                                                                    \
    a += (b) ^ ((c) ^ (d));                                                                                  \
    a = Rotl32(a, s) + (b)
#define MD5_I(a, b, c, d, k, t, s)                                                                           \
    a += LoadLe32(block + 4 * (k)) + (t);                                                                    \
    a += (c) ^ ((b) | ~(d));                                                                                 \
    a = Rotl32(a, s) + (b)

void Md5Traits::Compress(Chain& chain, const uint8_t* block, size_t count)
{
    uint32_t a = chain[0], b = chain[1], c = chain[2], d = chain[3];
    for (; count != 0; --count, block += BlockSize) {
        const uint32_t aa = a, bb = b, cc = c, dd = d;

        MD5_F(a, b, c, d, 0, 0xD76AA478, 7);
        MD5_F(d, a, b, c, 1, 0xE8C7B756, 12);
        MD5_F(c, d, a, b, 2, 0x242070DB, 17);
        MD5_F(b, c, d, a, 3, 0xC1BDCEEE, 22);
        MD5_F(a, b, c, d, 4, 0xF57C0FAF, 7);
        MD5_F(d, a, b, c, 5, 0x4787C62A, 12);
        MD5_F(c, d, a, b, 6, 0xA8304613, 17);
        MD5_F(b, c, d, a, 7, 0xFD469501, 22);
        MD5_F(a, b, c, d, 8, 0x698098D8, 7);
        MD5_F(d, a, b, c, 9, 0x8B44F7AF, 12);
        MD5_F(c, d, a, b, 10, 0xFFFF5BB1, 17);
        MD5_F(b, c, d, a, 11, 0x895CD7BE, 22);
        MD5_F(a, b, c, d, 12, 0x6B901122, 7);
        MD5_F(d, a, b, c, 13, 0xFD987193, 12);
        MD5_F(c, d, a, b, 14, 0xA679438E, 17);
        MD5_F(b, c, d, a, 15, 0x49B40821, 22);

        MD5_G(a, b, c, d, 1, 0xF61E2562, 5);
        MD5_G(d, a, b, c, 6, 0xC040B340, 9);
        MD5_G(c, d, a, b, 11, 0x265E5A51, 14);
        MD5_G(b, c, d, a, 0, 0xE9B6C7AA, 20);
        MD5_G(a, b, c, d, 5, 0xD62F105D, 5);
        MD5_G(d, a, b, c, 10, 0x02441453, 9);
        MD5_G(c, d, a, b, 15, 0xD8A1E681, 14);
        MD5_G(b, c, d, a, 4, 0xE7D3FBC8, 20);
        MD5_G(a, b, c, d, 9, 0x21E1CDE6, 5);
        MD5_G(d, a, b, c, 14, 0xC33707D6, 9);
        MD5_G(c, d, a, b, 3, 0xF4D50D87, 14);
        MD5_G(b, c, d, a, 8, 0x455A14ED, 20);
        MD5_G(a, b, c, d, 13, 0xA9E3E905, 5);
        MD5_G(d, a, b, c, 2, 0xFCEFA3F8, 9);
        MD5_G(c, d, a, b, 7, 0x676F02D9, 14);
        MD5_G(b, c, d, a, 12, 0x8D2A4C8A, 20);

        MD5_H(a, b, c, d, 5, 0xFFFA3942, 4);
        MD5_H(d, a, b, c, 8, 0x8771F681, 11);
        MD5_H(c, d, a, b, 11, 0x6D9D6122, 16);
        MD5_H(b, c, d, a, 14, 0xFDE5380C, 23);
        MD5_H(a, b, c, d, 1, 0xA4BEEA44, 4);
        MD5_H(d, a, b, c, 4, 0x4BDECFA9, 11);
        MD5_H(c, d, a, b, 7, 0xF6BB4B60, 16);
        MD5_H(b, c, d, a, 10, 0xBEBFBC70, 23);
        MD5_H(a, b, c, d, 13, 0x289B7EC6, 4);
        MD5_H(d, a, b, c, 0, 0xEAA127FA, 11);
        MD5_H(c, d, a, b, 3, 0xD4EF3085, 16);
        MD5_H(b, c, d, a, 6, 0x04881D05, 23);
        MD5_H(a, b, c, d, 9, 0xD9D4D039, 4);
        MD5_H(d, a, b, c, 12, 0xE6DB99E5, 11);
        MD5_H(c, d, a, b, 15, 0x1FA27CF8, 16);
        MD5_H(b, c, d, a, 2, 0xC4AC5665, 23);

        MD5_I(a, b, c, d, 0, 0xF4292244, 6);
        MD5_I(d, a, b, c, 7, 0x432AFF97, 10);
        MD5_I(c, d, a, b, 14, 0xAB9423A7, 15);
        MD5_I(b, c, d, a, 5, 0xFC93A039, 21);
        MD5_I(a, b, c, d, 12, 0x655B59C3, 6);
        MD5_I(d, a, b, c, 3, 0x8F0CCC92, 10);
        MD5_I(c, d, a, b, 10, 0xFFEFF47D, 15);
        MD5_I(b, c, d, a, 1, 0x85845DD1, 21);
        MD5_I(a, b, c, d, 8, 0x6FA87E4F, 6);
        MD5_I(d, a, b, c, 15, 0xFE2CE6E0, 10);
        MD5_I(c, d, a, b, 6, 0xA3014314, 15);
        MD5_I(b, c, d, a, 13, 0x4E0811A1, 21);
        MD5_I(a, b, c, d, 4, 0xF7537E82, 6);
        MD5_I(d, a, b, c, 11, 0xBD3AF235, 10);
        MD5_I(c, d, a, b, 2, 0x2AD7D2BB, 15);
        MD5_I(b, c, d, a, 9, 0xEB86D391, 21);

        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    chain = {a, b, c, d};
}

#undef MD5_F
#undef MD5_G
#undef MD5_H
#undef MD5_I

bool TDCP_md5::SelfTest()
{
    return SelfTestDigests<TDCP_md5>({
        {"abc", "900150983CD24FB0D6963F7D28E17F72"},
        {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
    });
}
