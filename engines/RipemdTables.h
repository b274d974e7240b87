// The parts that RIPEMD-128 and RIPEMD-160 share: the message-word selections and rotation
// amounts of both lines (RIPEMD-128 uses the first 64 entries), the round constants and the
// five boolean functions, from the published algorithm (Dobbertin, Bosselaers, Preneel).
#pragma once

#include <cstdint>

namespace Ripemd {

// Message word and rotation of step j, left line and right line, sixteen steps a row.
inline constexpr int LeftWord[80] = {
    0,  1, 2,  3,  4, 5,  6,  7,  8, 9, 10, 11, 12, 13, 14, 15, 7, 4,  13, 1, 10, 6, 15, 3,  12, 0,  9,
    5,  2, 14, 11, 8, 3,  10, 14, 4, 9, 15, 8,  1,  2,  7,  0,  6, 13, 11, 5, 12, 1, 9,  11, 10, 0,  8,
    12, 4, 13, 3,  7, 15, 14, 5,  6, 2, 4,  0,  5,  9,  7,  12, 2, 10, 14, 1, 3,  8, 11, 6,  15, 13,
};
inline constexpr int RightWord[80] = {
    5,  14, 7, 0,  9, 2,  11, 4, 13, 6,  15, 8,  1,  10, 3, 12, 6, 11, 3, 7, 0,  13, 5, 10, 14, 15, 8,
    12, 4,  9, 1,  2, 15, 5,  1, 3,  7,  14, 6,  9,  11, 8, 12, 2, 10, 0, 4, 13, 8,  6, 4,  1,  3,  11,
    15, 0,  5, 12, 2, 13, 9,  7, 10, 14, 12, 15, 10, 4,  1, 5,  8, 7,  6, 2, 13, 14, 0, 3,  9,  11,
};
inline constexpr int LeftShift[80] = {
    11, 14, 15, 12, 5,  8,  7,  9, 11, 13, 14, 15, 6,  7,  9, 8,  7,  6,  8,  13, 11, 9,  7,  15, 7,  12, 15,
    9,  11, 7,  13, 12, 11, 13, 6, 7,  14, 9,  13, 15, 14, 8, 13, 6,  5,  12, 7,  5,  11, 12, 14, 15, 14, 15,
    9,  8,  9,  14, 5,  6,  8,  6, 5,  12, 9,  15, 5,  11, 6, 8,  13, 12, 5,  12, 13, 14, 11, 8,  5,  6,
};
inline constexpr int RightShift[80] = {
    8, 9,  9,  11, 13, 15, 15, 5,  7,  7, 8, 11, 14, 14, 12, 6, 9,  13, 15, 7,  12, 8,  9,  11, 7,  7,  12,
    7, 6,  15, 13, 11, 9,  7,  15, 11, 8, 6, 6,  14, 12, 13, 5, 14, 13, 13, 7,  5,  15, 5,  8,  11, 14, 14,
    6, 14, 6,  9,  12, 9,  12, 5,  15, 8, 8, 5,  12, 9,  12, 5, 14, 6,  8,  13, 6,  5,  15, 13, 11, 11,
};

inline constexpr uint32_t LeftConstant[5] = {0x00000000, 0x5A827999, 0x6ED9EBA1, 0x8F1BBCDC, 0xA953FD4E};
inline constexpr uint32_t RightConstant160[5] = {0x50A28BE6, 0x5C4DD124, 0x6D703EF3, 0x7A6D76E9, 0x00000000};
inline constexpr uint32_t RightConstant128[4] = {0x50A28BE6, 0x5C4DD124, 0x6D703EF3, 0x00000000};

// Each function is added into the step's sum rather than returned, so that whatever does not
// depend on x, the word that the previous step has just produced, joins the sum early and
// stays off the chain from one step to the next.
//   f1 = x ^ y ^ z
//   f2 = (x & y) | (~x & z), written z ^ (x & (y ^ z))
//   f3 = (x | ~y) ^ z
//   f4 = (x & z) | (y & ~z); the two halves share no bit, so the | is an addition
//   f5 = x ^ (y | ~z)
inline void AddF1(uint32_t& a, uint32_t x, uint32_t y, uint32_t z) { a += x ^ (y ^ z); }
inline void AddF2(uint32_t& a, uint32_t x, uint32_t y, uint32_t z) { a += z ^ (x & (y ^ z)); }
inline void AddF3(uint32_t& a, uint32_t x, uint32_t y, uint32_t z) { a += (x | ~y) ^ z; }
inline void AddF4(uint32_t& a, uint32_t x, uint32_t y, uint32_t z)
{
    a += y & ~z;
    a += x & z;
}
inline void AddF5(uint32_t& a, uint32_t x, uint32_t y, uint32_t z) { a += x ^ (y | ~z); }

// Called before every step: tells the compiler that the block may have changed, so that it
// reads each word again where it lies instead of keeping an earlier load. With ten working
// words there are not enough registers to keep words in, and a kept word would be spilled to
// the stack, leaving message bytes behind in the compression's storage.
inline void FreshLoads(const uint8_t*& block) { asm("" : "+r"(block)); }

}  // namespace Ripemd
