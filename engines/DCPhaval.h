// HAVAL with five passes and a 256-bit digest (Zheng, Pieprzyk, Seberry, 1992).
#pragma once

#include "engines/BlockHash.h"
#include "engines/ByteOrder.h"
#include "engines/HavalTables.h"

#include <array>

// What every pad variant shares: the compression, the trailer and the digest order.
struct HavalCore {
    static constexpr size_t BlockSize = 128;
    static constexpr size_t DigestSize = 32;
    static constexpr size_t TrailerOffset = 118;
    using Chain = std::array<uint32_t, 8>;
    static constexpr Chain InitialValue = std::to_array(haval::InitialValue);

    // The trailer's first two bytes: version 1 in bits 0-2, 5 passes in bits 3-5, then the
    // digest length 256 split as (256 mod 4) in bits 6-7 and 256 / 4 in the next byte.
    static constexpr uint8_t VersionAndPasses = 1 | (5 << 3) | ((256 & 3) << 6);
    static constexpr uint8_t DigestLengthQuarter = 256 >> 2;

    static void Compress(Chain& chain, const uint8_t* blocks, size_t count);
    static void WriteDigest(const Chain& chain, uint8_t* digest);
};

// The engine pads with 0x80; 0x01, the pad of the HAVAL reference code, gives the published
// HAVAL values, which the tests use to check the compression.
template <uint8_t Pad>
struct HavalTraitsWithPad : HavalCore {
    static constexpr uint8_t PadByte = Pad;
    using Fields = FieldsWithBitCountPair<Chain, BlockSize>;

    static void CountBits(Fields& f, uint32_t bytes)
    {
        CountBits64As32Pair(f.BitCountHi, f.BitCountLo, bytes);
    }
    static void WriteTrailer(Fields& f)
    {
        f.BlockBuffer[TrailerOffset] = VersionAndPasses;
        f.BlockBuffer[TrailerOffset + 1] = DigestLengthQuarter;
        StoreLe32(f.BlockBuffer + 120, f.BitCountLo);
        StoreLe32(f.BlockBuffer + 124, f.BitCountHi);
    }
};

using HavalTraits = HavalTraitsWithPad<0x80>;

class TDCP_haval : public TStandardHash<TDCP_haval, HavalTraits> {
public:
    using TStandardHash::TStandardHash;
    static int32_t GetId() { return 14; }
    static std::string GetAlgorithm() { return "Haval (256bit, 5 passes)"; }
    static int32_t GetHashSize() { return 256; }
    static bool SelfTest();
};
