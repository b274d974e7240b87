// BLAKE3's compression in plain C++, for any x86-64: the blocks at the ends of a message, the root's
// output and, where the CPU has no vector variant, every chunk and parent one after another.
#include "engines/Blake3Compress.h"
#include "engines/ByteOrder.h"

namespace {

inline void G(uint32_t* v, int a, int b, int c, int d, uint32_t x, uint32_t y)
{
    v[a] = v[a] + v[b] + x;
    v[d] = Rotr32(v[d] ^ v[a], 16);
    v[c] = v[c] + v[d];
    v[b] = Rotr32(v[b] ^ v[c], 12);
    v[a] = v[a] + v[b] + y;
    v[d] = Rotr32(v[d] ^ v[a], 8);
    v[c] = v[c] + v[d];
    v[b] = Rotr32(v[b] ^ v[c], 7);
}

// The sixteen words after the seven rounds, before the two halves are folded together.
inline void Rounds(uint32_t v[16], const uint32_t cv[8], const uint8_t* block, uint32_t blockBytes,
                   uint64_t counter, uint32_t flags)
{
    uint32_t m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = LoadLe32(block + 4 * i);
    for (int i = 0; i < 8; ++i)
        v[i] = cv[i];
    for (int i = 0; i < 4; ++i)
        v[8 + i] = kBlake3Iv[i];
    v[12] = static_cast<uint32_t>(counter);
    v[13] = static_cast<uint32_t>(counter >> 32);
    v[14] = blockBytes;
    v[15] = flags;
// Unrolled, so that each round's words of the message are fixed registers or offsets.
#pragma GCC unroll 7
    for (const auto& s : kBlake3Schedule) {
        // The columns, then the diagonals.
        G(v, 0, 4, 8, 12, m[s[0]], m[s[1]]);
        G(v, 1, 5, 9, 13, m[s[2]], m[s[3]]);
        G(v, 2, 6, 10, 14, m[s[4]], m[s[5]]);
        G(v, 3, 7, 11, 15, m[s[6]], m[s[7]]);
        G(v, 0, 5, 10, 15, m[s[8]], m[s[9]]);
        G(v, 1, 6, 11, 12, m[s[10]], m[s[11]]);
        G(v, 2, 7, 8, 13, m[s[12]], m[s[13]]);
        G(v, 3, 4, 9, 14, m[s[14]], m[s[15]]);
    }
}

}  // namespace

void Blake3Compress(uint32_t cv[8], const uint8_t block[kBlake3BlockBytes], uint32_t blockBytes,
                    uint64_t counter, uint32_t flags)
{
    uint32_t v[16];
    Rounds(v, cv, block, blockBytes, counter, flags);
    for (int i = 0; i < 8; ++i)
        cv[i] = v[i] ^ v[i + 8];
}

void Blake3CompressOutput(const uint32_t cv[8], const uint8_t block[kBlake3BlockBytes], uint32_t blockBytes,
                          uint64_t counter, uint32_t flags, uint8_t out[kBlake3BlockBytes])
{
    uint32_t v[16];
    Rounds(v, cv, block, blockBytes, counter, flags);
    for (int i = 0; i < 8; ++i) {
        StoreLe32(out + 4 * i, v[i] ^ v[i + 8]);
        StoreLe32(out + 32 + 4 * i, v[i + 8] ^ cv[i]);
    }
}

void Blake3HashManyPortable(const uint8_t* input, size_t count, size_t blocks, uint64_t counter, bool countUp,
                            uint32_t flags, uint32_t firstFlags, uint32_t lastFlags, uint8_t* out)
{
    for (size_t i = 0; i < count; ++i) {
        uint32_t cv[8];
        for (int w = 0; w < 8; ++w)
            cv[w] = kBlake3Iv[w];
        for (size_t b = 0; b < blocks; ++b) {
            const uint32_t blockFlags = flags | (b == 0 ? firstFlags : 0) | (b + 1 == blocks ? lastFlags : 0);
            Blake3Compress(cv, input, kBlake3BlockBytes, counter, blockFlags);
            input += kBlake3BlockBytes;
        }
        for (int w = 0; w < 8; ++w)
            StoreLe32(out + 4 * w, cv[w]);
        out += kBlake3CvBytes;
        if (countUp)
            ++counter;
    }
}
