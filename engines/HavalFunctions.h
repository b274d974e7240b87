// The five Boolean functions of HAVAL rewritten for speed, in the argument order (x6, ..., x0)
// of the published ones. Each step's newest word (the one the step before replaced) reaches
// its function in one argument only, fixed by that pass's role list: x3 in passes 1 and 2, x4
// in passes 3 and 5, x2 in pass 4. Written as Rest ^ (newest & Mask), the newest word passes
// one AND and one XOR, and everything else is done while the step before still runs. The
// forms are equal to the published ones for every input (see HavalTest.cpp).
#pragma once

#include <cstdint>

namespace haval {

// Holds a value as computed, so that the compiler does not fold the newest word's XOR back
// into the middle of a chain.
inline __attribute__((always_inline)) uint32_t Settled(uint32_t v)
{
    asm("" : "+r"(v));
    return v;
}

inline __attribute__((always_inline)) uint32_t Fast1(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3,
                                                     uint32_t x2, uint32_t x1, uint32_t x0)
{
    return Settled((x1 & (x0 ^ x4)) ^ (x2 & x5) ^ x0) ^ (x3 & x6);
}

// x2 & (x1 & ~x3) is (x1 & x2) ^ (x1 & x2 & x3); with x3 & x5 it gives x3 & ((x1 & x2) ^ x5).
inline __attribute__((always_inline)) uint32_t Fast2(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3,
                                                     uint32_t x2, uint32_t x1, uint32_t x0)
{
    const uint32_t x1x2 = x1 & x2;
    return Settled((x2 & ((x4 & x5) ^ x6 ^ x0)) ^ x1x2 ^ (x4 & (x1 ^ x5)) ^ x0) ^ (x3 & (x1x2 ^ x5));
}

inline __attribute__((always_inline)) uint32_t Fast3(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3,
                                                     uint32_t x2, uint32_t x1, uint32_t x0)
{
    return Settled((x3 & ((x1 & x2) ^ x6 ^ x0)) ^ (x2 & x5) ^ x0) ^ (x1 & x4);
}

// x4 & (x5 & ~x2) is (x4 & x5) ^ (x4 & x5 & x2); the x2 terms then gather as x2 & Mask.
inline __attribute__((always_inline)) uint32_t Fast4(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3,
                                                     uint32_t x2, uint32_t x1, uint32_t x0)
{
    const uint32_t x4x5 = x4 & x5;
    const uint32_t rest = (x4 & ((x3 & ~x6) ^ x1 ^ x6 ^ x0)) ^ x4x5 ^ (x3 & (x5 ^ x6)) ^ x0;
    return Settled(rest) ^ (x2 & (x4x5 ^ (x1 & x3) ^ x6));
}

inline __attribute__((always_inline)) uint32_t Fast5(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3,
                                                     uint32_t x2, uint32_t x1, uint32_t x0)
{
    return Settled((x0 & ~((x1 & x2 & x3) ^ x5)) ^ (x2 & x5) ^ (x3 & x6)) ^ (x1 & x4);
}

}  // namespace haval
