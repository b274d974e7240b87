// What MD4, MD5, RIPEMD-128, RIPEMD-160, SHA-1 and SHA-256 have in common: 64-byte blocks and a
// 64-bit bit count kept as two 32-bit halves, with words, length and digest stored in one byte
// order (least significant first for the MD and RIPEMD family, most significant first for SHA).
// They differ only in the number of chaining words, the initial value and the compression.
#pragma once

#include "engines/BlockHash.h"
#include "engines/ByteOrder.h"

#include <array>
#include <bit>

template <size_t ChainWords, std::endian Order>
struct Word32BlockTraits {
    static constexpr size_t BlockSize = 64;
    static constexpr size_t DigestSize = 4 * ChainWords;
    static constexpr uint8_t PadByte = 0x80;
    static constexpr size_t TrailerOffset = 56;
    using Chain = std::array<uint32_t, ChainWords>;
    using Fields = FieldsWithBitCountPair<Chain, BlockSize>;

    static void CountBits(Fields& f, uint32_t bytes)
    {
        CountBits64As32Pair(f.BitCountHi, f.BitCountLo, bytes);
    }
    static void WriteTrailer(Fields& f)
    {
        const uint64_t bits = (uint64_t(f.BitCountHi) << 32) | f.BitCountLo;
        if constexpr (Order == std::endian::little)
            StoreLe64(f.BlockBuffer + 56, bits);
        else
            StoreBe64(f.BlockBuffer + 56, bits);
    }
    static void WriteDigest(const Chain& chain, uint8_t* digest)
    {
        for (size_t i = 0; i < ChainWords; ++i) {
            if constexpr (Order == std::endian::little)
                StoreLe32(digest + 4 * i, chain[i]);
            else
                StoreBe32(digest + 4 * i, chain[i]);
        }
    }
};

template <size_t ChainWords>
using LittleEndianBlockTraits = Word32BlockTraits<ChainWords, std::endian::little>;
template <size_t ChainWords>
using BigEndianBlockTraits = Word32BlockTraits<ChainWords, std::endian::big>;
