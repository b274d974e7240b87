// What SHA-1 and SHA-256 have in common: 64-byte blocks, a 64-bit bit count kept as two 32-bit
// halves, and words, length and digest stored most significant byte first. They differ only in
// the number of chaining words, the initial value and the compression.
#pragma once

#include "engines/BlockHash.h"
#include "engines/ByteOrder.h"

#include <array>

template <size_t ChainWords>
struct BigEndianBlockTraits {
    static constexpr size_t BlockSize = 64;
    static constexpr size_t DigestSize = 4 * ChainWords;
    static constexpr uint8_t PadByte = 0x80;
    static constexpr size_t TrailerOffset = 56;
    using Chain = std::array<uint32_t, ChainWords>;
    using Fields = FieldsWithBitCountPair<Chain, BlockSize>;

    static void CountBits(Fields& f, uint32_t bytes) { CountBits64As32Pair(f.BitCountHi, f.BitCountLo, bytes); }
    static void WriteTrailer(Fields& f)
    {
        StoreBe32(f.BlockBuffer + 56, f.BitCountHi);
        StoreBe32(f.BlockBuffer + 60, f.BitCountLo);
    }
    static void WriteDigest(const Chain& chain, uint8_t* digest)
    {
        for (size_t i = 0; i < ChainWords; ++i)
            StoreBe32(digest + 4 * i, chain[i]);
    }
};
