#include "engines/DCPtiger.h"

#include "engines/SelfTestSupport.h"

void TigerCore::WriteDigest(const Chain& chain, uint8_t* digest)
{
    for (int i = 0; i < 3; ++i)
        StoreLe64(digest + 8 * i, chain[i]);
}

namespace {

// Keeps a partial result as it is: without it the compiler chains the four XORs of a step one
// after another, which puts three of them, not two, between the table reads and the next step.
inline __attribute__((always_inline)) uint64_t Settled(uint64_t v)
{
    asm("" : "+r"(v));
    return v;
}

// One step: the third role takes the message word, then its even bytes index t1..t4 for the
// first role and its odd bytes t4..t1 for the second. Only the first role's update feeds the
// next step at once, so its bytes are each one shift from the word and its four reads are
// combined as a tree.
template <uint64_t Mul>
inline __attribute__((always_inline)) void Step(uint64_t& a, uint64_t& b, uint64_t& c, uint64_t x)
{
    const uint64_t(*t)[256] = TigerSBoxes;
    c ^= x;
    const uint64_t even01 = Settled(t[0][c & 0xFF] ^ t[1][(c >> 16) & 0xFF]);
    const uint64_t even23 = Settled(t[2][(c >> 32) & 0xFF] ^ t[3][(c >> 48) & 0xFF]);
    a -= even01 ^ even23;
    b += t[3][(c >> 8) & 0xFF] ^ t[2][(c >> 24) & 0xFF] ^ t[1][(c >> 40) & 0xFF] ^ t[0][c >> 56];
    // Times 5, 7 or 9 as one lea, or a shift and a subtraction: shorter than a multiply.
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
