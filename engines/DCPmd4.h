// MD4 (RFC 1320).
#pragma once

#include "engines/BlockHash.h"

#include <array>

struct Md4Traits {
    static constexpr size_t BlockSize = 64;
    static constexpr size_t DigestSize = 16;
    static constexpr uint8_t PadByte = 0x80;
    static constexpr size_t TrailerOffset = 56;
    using Chain = std::array<uint32_t, 4>;
    struct Fields {
        uint32_t BitCountHi;
        uint32_t BitCountLo;
        uint32_t BlockFill;
        Chain ChainValue;
        uint8_t BlockBuffer[BlockSize];
    };
    static constexpr Chain InitialValue{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};

    static void CountBits(Fields& f, uint32_t bytes) { CountBits64As32Pair(f.BitCountHi, f.BitCountLo, bytes); }
    static void WriteTrailer(Fields& f);
    static void Compress(Chain& chain, const uint8_t* blocks, size_t count);
    static void WriteDigest(const Chain& chain, uint8_t* digest);
};

class TDCP_md4 : public TStandardHash<TDCP_md4, Md4Traits> {
public:
    using TStandardHash::TStandardHash;
    static int32_t GetId() { return 17; }
    static std::string GetAlgorithm() { return "MD4"; }
    static int32_t GetHashSize() { return 128; }
    static bool SelfTest();
};
