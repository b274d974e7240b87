#include "engines/DCPripemd128.h"

#include "engines/RipemdTables.h"
#include "engines/SelfTestSupport.h"

using namespace Ripemd;

// As in RIPEMD-160, the left and right lines run step by step side by side, and the message
// words are read where they lie.
#define RMD128_HALF(j, f, k, word, shift, a, b, c, d)                                                        \
    a += LoadLe32(block + 4 * word[j]) + (k);                                                                \
    f(a, b, c, d);                                                                                           \
    a = Rotl32(a, shift[j])

#define RMD128_STEP(j, fl, kl, fr, kr, a, b, c, d, A, B, C, D)                                               \
    FreshLoads(block);                                                                                       \
    RMD128_HALF(j, fl, kl, LeftWord, LeftShift, a, b, c, d);                                                 \
    RMD128_HALF(j, fr, kr, RightWord, RightShift, A, B, C, D)

// Sixteen steps; the roles of the four words come back to where they started.
#define RMD128_ROUND(r, fl, fr, a, b, c, d, A, B, C, D)                                                      \
    RMD128_STEP(16 * r + 0, fl, LeftConstant[r], fr, RightConstant128[r], a, b, c, d, A, B, C, D);           \
    RMD128_STEP(16 * r + 1, fl, LeftConstant[r], fr, RightConstant128[r], d, a, b, c, D, A, B, C);           \
    RMD128_STEP(16 * r + 2, fl, LeftConstant[r], fr, RightConstant128[r], c, d, a, b, C, D, A, B);           \
    RMD128_STEP(16 * r + 3, fl, LeftConstant[r], fr, RightConstant128[r], b, c, d, a, B, C, D, A);           \
    RMD128_STEP(16 * r + 4, fl, LeftConstant[r], fr, RightConstant128[r], a, b, c, d, A, B, C, D);           \
    RMD128_STEP(16 * r + 5, fl, LeftConstant[r], fr, RightConstant128[r], d, a, b, c, D, A, B, C);           \
    RMD128_STEP(16 * r + 6, fl, LeftConstant[r], fr, RightConstant128[r], c, d, a, b, C, D, A, B);           \
    RMD128_STEP(16 * r + 7, fl, LeftConstant[r], fr, RightConstant128[r], b, c, d, a, B, C, D, A);           \
    RMD128_STEP(16 * r + 8, fl, LeftConstant[r], fr, RightConstant128[r], a, b, c, d, A, B, C, D);           \
    RMD128_STEP(16 * r + 9, fl, LeftConstant[r], fr, RightConstant128[r], d, a, b, c, D, A, B, C);           \
    RMD128_STEP(16 * r + 10, fl, LeftConstant[r], fr, RightConstant128[r], c, d, a, b, C, D, A, B);          \
    RMD128_STEP(16 * r + 11, fl, LeftConstant[r], fr, RightConstant128[r], b, c, d, a, B, C, D, A);          \
    RMD128_STEP(16 * r + 12, fl, LeftConstant[r], fr, RightConstant128[r], a, b, c, d, A, B, C, D);          \
    RMD128_STEP(16 * r + 13, fl, LeftConstant[r], fr, RightConstant128[r], d, a, b, c, D, A, B, C);          \
    RMD128_STEP(16 * r + 14, fl, LeftConstant[r], fr, RightConstant128[r], c, d, a, b, C, D, A, B);          \
    RMD128_STEP(16 * r + 15, fl, LeftConstant[r], fr, RightConstant128[r], b, c, d, a, B, C, D, A)

void Ripemd128Traits::Compress(Chain& chain, const uint8_t* block, size_t count)
{
    uint32_t h0 = chain[0], h1 = chain[1], h2 = chain[2], h3 = chain[3];
    for (; count != 0; --count, block += BlockSize) {
        uint32_t a = h0, b = h1, c = h2, d = h3;
        uint32_t A = h0, B = h1, C = h2, D = h3;

        RMD128_ROUND(0, AddF1, AddF4, a, b, c, d, A, B, C, D);
        RMD128_ROUND(1, AddF2, AddF3, a, b, c, d, A, B, C, D);
        RMD128_ROUND(2, AddF3, AddF2, a, b, c, d, A, B, C, D);
        RMD128_ROUND(3, AddF4, AddF1, a, b, c, d, A, B, C, D);

        const uint32_t t = h1 + c + D;
        h1 = h2 + d + A;
        h2 = h3 + a + B;
        h3 = h0 + b + C;
        h0 = t;
    }
    chain = {h0, h1, h2, h3};
}

#undef RMD128_HALF
#undef RMD128_STEP
#undef RMD128_ROUND

bool TDCP_ripemd128::SelfTest()
{
    return SelfTestDigests<TDCP_ripemd128>({
        {"a", "86BE7AFA339D0FC7CFC785E72F578D33"},
        {"abcdefghijklmnopqrstuvwxyz", "FD2AA607F71DC8F510714922B371834E"},
    });
}
