#include "engines/DCPhaval.h"

#include "engines/HavalFunctions.h"
#include "engines/SelfTestSupport.h"

#include <utility>

void HavalCore::WriteDigest(const Chain& chain, uint8_t* digest)
{
    for (int i = 0; i < 8; ++i)
        StoreLe32(digest + 4 * i, chain[i]);
}

namespace {

template <int Pass>
inline __attribute__((always_inline)) uint32_t F(uint32_t x6, uint32_t x5, uint32_t x4, uint32_t x3,
                                                 uint32_t x2, uint32_t x1, uint32_t x0)
{
    if constexpr (Pass == 0)
        return haval::Fast1(x6, x5, x4, x3, x2, x1, x0);
    else if constexpr (Pass == 1)
        return haval::Fast2(x6, x5, x4, x3, x2, x1, x0);
    else if constexpr (Pass == 2)
        return haval::Fast3(x6, x5, x4, x3, x2, x1, x0);
    else if constexpr (Pass == 3)
        return haval::Fast4(x6, x5, x4, x3, x2, x1, x0);
    else
        return haval::Fast5(x6, x5, x4, x3, x2, x1, x0);
}

// Step S of 160. The eight words never move: at step S role xi is held by t[(i - S) mod 8],
// worked out here at compile time, so step S replaces t[7 - S mod 8]. Word index and constant
// are compile-time too, hence a memory operand and an immediate.
template <int S>
inline __attribute__((always_inline)) void Step(uint32_t (&t)[8], const uint8_t* block)
{
    constexpr int pass = S / 32, at = S % 32;
    constexpr auto held = [](int role) { return ((role - S) % 8 + 8) % 8; };
    constexpr const int* r = haval::Roles[pass];
    uint32_t& x7 = t[held(7)];
    // The sum that does not wait for the newest word goes first, off the chain of steps.
    const uint32_t rest =
        Rotr32(x7, 11) + LoadLe32(block + 4 * haval::WordOrder[pass][at]) + haval::StepConstant[pass][at];
    const uint32_t f = F<pass>(t[held(r[0])], t[held(r[1])], t[held(r[2])], t[held(r[3])], t[held(r[4])],
                               t[held(r[5])], t[held(r[6])]);
    x7 = Rotr32(f, 7) + rest;
}

template <size_t... S>
inline __attribute__((always_inline)) void AllSteps(uint32_t (&t)[8], const uint8_t* block,
                                                    std::index_sequence<S...>)
{
    (Step<int(S)>(t, block), ...);
}

}  // namespace

// The message words are read from the block where it lies, so no copy of them is left behind
// on the stack; the caller's buffer or BlockBuffer, which TBlockHash clears, is the only one.
void HavalCore::Compress(Chain& chain, const uint8_t* blocks, size_t count)
{
    for (; count != 0; --count, blocks += BlockSize) {
        uint32_t t[8];
        for (int i = 0; i < 8; ++i)
            t[i] = chain[i];
        AllSteps(t, blocks, std::make_index_sequence<160>{});
        for (int i = 0; i < 8; ++i)
            chain[i] += t[i];
    }
}

bool TDCP_haval::SelfTest()
{
    return SelfTestDigests<TDCP_haval>({
        {"abcdefghijklmnopqrstuvwxyz", "1A1DC8099BDAA7F35B4DA4E805F1A28FEE909D8DEE920198185CBCAED8A10A8D"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "C5647FC6C1877FFF96742F27E9266B6874894F41A08F5913033D9D532AEDDB39"},
    });
}
