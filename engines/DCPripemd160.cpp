#include "engines/DCPripemd160.h"

#include "engines/RipemdTables.h"
#include "engines/SelfTestSupport.h"

using namespace Ripemd;

// The two lines are independent until they are combined, so every step of the left line runs
// beside the same step of the right line: each line alone is a chain of dependent additions
// and rotations, and two of them side by side keep twice as many execution units busy.
// The message words are read where they lie, so no copy of the block is left on the stack.
#define RMD160_HALF(j, f, k, word, shift, a, b, c, d, e)                                                     \
    a += LoadLe32(block + 4 * word[j]) + (k);                                                                \
    f(a, b, c, d);                                                                                           \
    a = Rotl32(a, shift[j]) + (e);                                                                           \
    c = Rotl32(c, 10)

#define RMD160_STEP(j, fl, kl, fr, kr, a, b, c, d, e, A, B, C, D, E)                                         \
    FreshLoads(block);                                                                                       \
    RMD160_HALF(j, fl, kl, LeftWord, LeftShift, a, b, c, d, e);                                              \
    RMD160_HALF(j, fr, kr, RightWord, RightShift, A, B, C, D, E)

// Sixteen steps; the roles of the five words move along by one each step, so a round ends
// with them shifted by one against where it started.
#define RMD160_ROUND(r, fl, fr, a, b, c, d, e, A, B, C, D, E)                                                \
    RMD160_STEP(16 * r + 0, fl, LeftConstant[r], fr, RightConstant160[r], a, b, c, d, e, A, B, C, D, E);     \
    RMD160_STEP(16 * r + 1, fl, LeftConstant[r], fr, RightConstant160[r], e, a, b, c, d, E, A, B, C, D);     \
    RMD160_STEP(16 * r + 2, fl, LeftConstant[r], fr, RightConstant160[r], d, e, a, b, c, D, E, A, B, C);     \
    RMD160_STEP(16 * r + 3, fl, LeftConstant[r], fr, RightConstant160[r], c, d, e, a, b, C, D, E, A, B);     \
    RMD160_STEP(16 * r + 4, fl, LeftConstant[r], fr, RightConstant160[r], b, c, d, e, a, B, C, D, E, A);     \
    RMD160_STEP(16 * r + 5, fl, LeftConstant[r], fr, RightConstant160[r], a, b, c, d, e, A, B, C, D, E);     \
    RMD160_STEP(16 * r + 6, fl, LeftConstant[r], fr, RightConstant160[r], e, a, b, c, d, E, A, B, C, D);     \
    RMD160_STEP(16 * r + 7, fl, LeftConstant[r], fr, RightConstant160[r], d, e, a, b, c, D, E, A, B, C);     \
    RMD160_STEP(16 * r + 8, fl, LeftConstant[r], fr, RightConstant160[r], c, d, e, a, b, C, D, E, A, B);     \
    RMD160_STEP(16 * r + 9, fl, LeftConstant[r], fr, RightConstant160[r], b, c, d, e, a, B, C, D, E, A);     \
    RMD160_STEP(16 * r + 10, fl, LeftConstant[r], fr, RightConstant160[r], a, b, c, d, e, A, B, C, D, E);    \
    RMD160_STEP(16 * r + 11, fl, LeftConstant[r], fr, RightConstant160[r], e, a, b, c, d, E, A, B, C, D);    \
    RMD160_STEP(16 * r + 12, fl, LeftConstant[r], fr, RightConstant160[r], d, e, a, b, c, D, E, A, B, C);    \
    RMD160_STEP(16 * r + 13, fl, LeftConstant[r], fr, RightConstant160[r], c, d, e, a, b, C, D, E, A, B);    \
    RMD160_STEP(16 * r + 14, fl, LeftConstant[r], fr, RightConstant160[r], b, c, d, e, a, B, C, D, E, A);    \
    RMD160_STEP(16 * r + 15, fl, LeftConstant[r], fr, RightConstant160[r], a, b, c, d, e, A, B, C, D, E)

void Ripemd160Traits::Compress(Chain& chain, const uint8_t* block, size_t count)
{
    uint32_t h0 = chain[0], h1 = chain[1], h2 = chain[2], h3 = chain[3], h4 = chain[4];
    for (; count != 0; --count, block += BlockSize) {
        uint32_t a = h0, b = h1, c = h2, d = h3, e = h4;
        uint32_t A = h0, B = h1, C = h2, D = h3, E = h4;

        RMD160_ROUND(0, AddF1, AddF5, a, b, c, d, e, A, B, C, D, E);
        RMD160_ROUND(1, AddF2, AddF4, e, a, b, c, d, E, A, B, C, D);
        RMD160_ROUND(2, AddF3, AddF3, d, e, a, b, c, D, E, A, B, C);
        RMD160_ROUND(3, AddF4, AddF2, c, d, e, a, b, C, D, E, A, B);
        RMD160_ROUND(4, AddF5, AddF1, b, c, d, e, a, B, C, D, E, A);

        // Five rounds moved the roles by five: a to e are A to E of the algorithm again.
        const uint32_t t = h1 + c + D;
        h1 = h2 + d + E;
        h2 = h3 + e + A;
        h3 = h4 + a + B;
        h4 = h0 + b + C;
        h0 = t;
    }
    chain = {h0, h1, h2, h3, h4};
}

#undef RMD160_HALF
#undef RMD160_STEP
#undef RMD160_ROUND

bool TDCP_ripemd160::SelfTest()
{
    return SelfTestDigests<TDCP_ripemd160>({
        {"a", "0BDC9D2D256B3EE9DAAE347BE6F4DC835A467FFE"},
        {"abcdefghijklmnopqrstuvwxyz", "F71C27109C692C1B56BBDCEB5B9D2865B3708DBC"},
    });
}
