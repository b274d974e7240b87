// Tiger, 192-bit digest, three passes (Anderson and Biham, 1996).
#pragma once

#include "engines/BlockHash.h"
#include "engines/ByteOrder.h"

#include <array>

// The four S-boxes t1..t4, in that order (TigerSBoxes.cpp, generated from the published tables).
extern const uint64_t TigerSBoxes[4][256];

// What every Tiger variant shares: the compression and the digest order.
struct TigerCore {
    static constexpr size_t BlockSize = 64;
    static constexpr size_t DigestSize = 24;
    static constexpr size_t TrailerOffset = 56;
    using Chain = std::array<uint64_t, 3>;
    static constexpr Chain InitialValue{0x0123456789ABCDEFull, 0xFEDCBA9876543210ull, 0xF096A5B4C3B2E187ull};

    static void Compress(Chain& chain, const uint8_t* blocks, size_t count);
    static void WriteDigest(const Chain& chain, uint8_t* digest);
};

// The pad byte is the only difference between Tiger (0x01) and the later Tiger2 (0x80); the
// tests build the other one to show that the choice matters.
template <uint8_t Pad>
struct TigerTraitsWithPad : TigerCore {
    static constexpr uint8_t PadByte = Pad;
    struct Fields {
        uint64_t BitCount;
        uint32_t BlockFill;
        // Named so that it is value-initialised: a fresh engine then has no stray bytes.
        uint32_t AlignmentGap;
        Chain ChainValue;
        uint8_t BlockBuffer[BlockSize];
    };

    static void CountBits(Fields& f, uint32_t bytes) { f.BitCount += uint64_t(bytes) << 3; }
    static void WriteTrailer(Fields& f) { StoreLe64(f.BlockBuffer + TrailerOffset, f.BitCount); }
};

using TigerTraits = TigerTraitsWithPad<0x01>;

class TDCP_tiger : public TStandardHash<TDCP_tiger, TigerTraits> {
public:
    using TStandardHash::TStandardHash;
    static int32_t GetId() { return 18; }
    static std::string GetAlgorithm() { return "Tiger"; }
    static int32_t GetHashSize() { return 192; }
    static bool SelfTest();
};
