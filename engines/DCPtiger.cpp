#include "engines/DCPtiger.h"

#include "engines/SelfTestSupport.h"

void TigerCore::WriteDigest(const Chain& chain, uint8_t* digest)
{
    for (int i = 0; i < 3; ++i)
        StoreLe64(digest + 8 * i, chain[i]);
}

namespace {

// One step: the third role takes the message word, then its even bytes index t1..t4 for the
// first role and its odd bytes t4..t1 for the second. The word is split into 32-bit halves so
// that every index is one shift and one zero-extending move.
template <uint64_t Mul>
inline __attribute__((always_inline)) void Step(uint64_t& a, uint64_t& b, uint64_t& c, uint64_t x)
{
    const uint64_t (*t)[256] = TigerSBoxes;
    c ^= x;
    const uint32_t lo = static_cast<uint32_t>(c), hi = static_cast<uint32_t>(c >> 32);
    a -= t[0][lo & 0xFF] ^ t[1][(lo >> 16) & 0xFF] ^ t[2][hi & 0xFF] ^ t[3][(hi >> 16) & 0xFF];
    b += t[3][(lo >> 8) & 0xFF] ^ t[2][lo >> 24] ^ t[1][(hi >> 8) & 0xFF] ^ t[0][hi >> 24];
    // 5, 7 and 9 are one lea, or a shift and a subtraction: no multiplier on the chain.
    if constexpr (Mul == 5)
        b += b << 2;
    else if constexpr (Mul == 7)
        b = (b << 3) - b;
    else
        b += b << 3;
}

template <uint64_t Mul>
inline __attribute__((always_inline)) void Pass(uint64_t& a, uint64_t& b, uint64_t& c, const uint64_t (&x)[8])
{
    Step<Mul>(a, b, c, x[0]);
    Step<Mul>(b, c, a, x[1]);
    Step<Mul>(c, a, b, x[2]);
    Step<Mul>(a, b, c, x[3]);
    Step<Mul>(b, c, a, x[4]);
    Step<Mul>(c, a, b, x[5]);
    Step<Mul>(a, b, c, x[6]);
    Step<Mul>(b, c, a, x[7]);
}

// Mixes the eight message words between passes, so that every word reaches every step.
inline __attribute__((always_inline)) void KeySchedule(uint64_t (&x)[8])
{
    x[0] -= x[7] ^ 0xA5A5A5A5A5A5A5A5ull;
    x[1] ^= x[0];
    x[2] += x[1];
    x[3] -= x[2] ^ (~x[1] << 19);
    x[4] ^= x[3];
    x[5] += x[4];
    x[6] -= x[5] ^ (~x[4] >> 23);
    x[7] ^= x[6];
    x[0] += x[7];
    x[1] -= x[0] ^ (~x[7] << 19);
    x[2] ^= x[1];
    x[3] += x[2];
    x[4] -= x[3] ^ (~x[2] >> 23);
    x[5] ^= x[4];
    x[6] += x[5];
    x[7] -= x[6] ^ 0x0123456789ABCDEFull;
}

}  // namespace

void TigerCore::Compress(Chain& chain, const uint8_t* blocks, size_t count)
{
    uint64_t a = chain[0], b = chain[1], c = chain[2];
    for (; count != 0; --count, blocks += BlockSize) {
        uint64_t x[8];
        for (int i = 0; i < 8; ++i)
            x[i] = LoadLe64(blocks + 8 * i);
        const uint64_t aa = a, bb = b, cc = c;
        Pass<5>(a, b, c, x);
        KeySchedule(x);
        Pass<7>(c, a, b, x);
        KeySchedule(x);
        Pass<9>(b, c, a, x);
        a ^= aa;
        b -= bb;
        c += cc;
    }
    chain = {a, b, c};
}

bool TDCP_tiger::SelfTest()
{
    return SelfTestDigests<TDCP_tiger>({
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-",
         "F71C8583902AFB879EDFE610F82C0D4786A3A534504486B5"},
        {"Tiger - A Fast New Hash Function, by Ross Anderson and Eli Biham",
         "8A866829040A410C729AD23F5ADA711603B3CDD357E4C15E"},
    });
}
