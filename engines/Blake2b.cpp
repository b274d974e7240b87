#include "engines/Blake2b.h"

#include "engines/ShaConstants.h"

#include <cstring>

namespace {

// The message word order of each round; rounds 10 and 11 repeat the first two.
constexpr uint8_t kSigma[12][16] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
    {14, 10, 4, 8, 9, 15, 13, 6, 1, 12, 0, 2, 11, 7, 5, 3},
    {11, 8, 12, 0, 5, 2, 15, 13, 10, 14, 3, 6, 7, 1, 9, 4},
    {7, 9, 3, 1, 13, 12, 11, 14, 2, 6, 5, 10, 4, 0, 15, 8},
    {9, 0, 5, 7, 2, 4, 10, 15, 14, 1, 11, 12, 6, 8, 3, 13},
    {2, 12, 6, 10, 0, 11, 8, 3, 4, 13, 7, 5, 15, 14, 1, 9},
    {12, 5, 1, 15, 14, 13, 4, 10, 0, 7, 6, 3, 9, 2, 8, 11},
    {13, 11, 7, 14, 12, 1, 3, 9, 5, 0, 15, 4, 8, 6, 2, 10},
    {6, 15, 14, 9, 11, 3, 0, 8, 12, 2, 13, 7, 1, 4, 10, 5},
    {10, 2, 8, 4, 7, 6, 1, 5, 15, 11, 9, 14, 3, 12, 13, 0},
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
    {14, 10, 4, 8, 9, 15, 13, 6, 1, 12, 0, 2, 11, 7, 5, 3},
};

// BLAKE2b starts from SHA-512's initial value.
constexpr const auto& kIv = kSha512InitialValue;

inline uint64_t RotateRight(uint64_t x, unsigned n) { return (x >> n) | (x << (64 - n)); }

inline uint64_t LoadLittle64(const uint8_t* p)
{
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;  // x86-64 and every target we build for are little-endian
}

inline void Mix(uint64_t* v, int a, int b, int c, int d, uint64_t x, uint64_t y)
{
    v[a] = v[a] + v[b] + x;
    v[d] = RotateRight(v[d] ^ v[a], 32);
    v[c] = v[c] + v[d];
    v[b] = RotateRight(v[b] ^ v[c], 24);
    v[a] = v[a] + v[b] + y;
    v[d] = RotateRight(v[d] ^ v[a], 16);
    v[c] = v[c] + v[d];
    v[b] = RotateRight(v[b] ^ v[c], 63);
}

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "LoadLittle64 reads words as they lie");

}  // namespace

Blake2b::Blake2b(size_t digestBytes)
    : digestBytes_(digestBytes >= 1 && digestBytes <= kMaxDigestBytes ? digestBytes : kMaxDigestBytes)
{
    for (int i = 0; i < 8; ++i)
        chain_[i] = kIv[i];
    // The parameter block: digest length, no key, fanout 1, depth 1.
    chain_[0] ^= 0x01010000u ^ digestBytes_;
}

void Blake2b::Compress(const uint8_t* block, bool last)
{
    uint64_t m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = LoadLittle64(block + 8 * i);
    uint64_t v[16];
    for (int i = 0; i < 8; ++i) {
        v[i] = chain_[i];
        v[i + 8] = kIv[i];
    }
    v[12] ^= counter_[0];
    v[13] ^= counter_[1];
    if (last)
        v[14] = ~v[14];
#pragma GCC unroll 12  // so that every round's message words are fixed registers, not table lookups
    for (const auto& s : kSigma) {
        Mix(v, 0, 4, 8, 12, m[s[0]], m[s[1]]);
        Mix(v, 1, 5, 9, 13, m[s[2]], m[s[3]]);
        Mix(v, 2, 6, 10, 14, m[s[4]], m[s[5]]);
        Mix(v, 3, 7, 11, 15, m[s[6]], m[s[7]]);
        Mix(v, 0, 5, 10, 15, m[s[8]], m[s[9]]);
        Mix(v, 1, 6, 11, 12, m[s[10]], m[s[11]]);
        Mix(v, 2, 7, 8, 13, m[s[12]], m[s[13]]);
        Mix(v, 3, 4, 9, 14, m[s[14]], m[s[15]]);
    }
    for (int i = 0; i < 8; ++i)
        chain_[i] ^= v[i] ^ v[i + 8];
}

void Blake2b::Update(const uint8_t* data, size_t size)
{
    while (size > 0) {
        if (blockBytes_ == sizeof block_) {
            // More input follows, so the buffered block is not the last one.
            counter_[0] += sizeof block_;
            counter_[1] += counter_[0] < sizeof block_;
            Compress(block_, false);
            blockBytes_ = 0;
        }
        if (blockBytes_ == 0) {
            // Whole blocks straight from the input, keeping back the one that may be the last.
            while (size > sizeof block_) {
                counter_[0] += sizeof block_;
                counter_[1] += counter_[0] < sizeof block_;
                Compress(data, false);
                data += sizeof block_;
                size -= sizeof block_;
            }
        }
        const size_t take = sizeof block_ - blockBytes_ < size ? sizeof block_ - blockBytes_ : size;
        std::memcpy(block_ + blockBytes_, data, take);
        blockBytes_ += take;
        data += take;
        size -= take;
    }
}

void Blake2b::Finish(uint8_t* out)
{
    counter_[0] += blockBytes_;
    counter_[1] += counter_[0] < blockBytes_;
    std::memset(block_ + blockBytes_, 0, sizeof block_ - blockBytes_);
    Compress(block_, true);
    uint8_t bytes[kMaxDigestBytes];
    std::memcpy(bytes, chain_, sizeof bytes);
    std::memcpy(out, bytes, digestBytes_);
}
