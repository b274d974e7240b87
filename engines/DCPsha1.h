// SHA-1 (FIPS 180-1).
#pragma once

#include "engines/BlockHash.h"
#include "engines/ShaCompress.h"
#include "engines/ShaConstants.h"

struct Sha1Traits {
    static constexpr size_t BlockSize = 64;
    static constexpr size_t DigestSize = 20;
    static constexpr uint8_t PadByte = 0x80;
    static constexpr size_t TrailerOffset = 56;
    using Chain = Sha1Chain;
    struct Fields {
        uint32_t BitCountHi;
        uint32_t BitCountLo;
        uint32_t BlockFill;
        Chain ChainValue;
        uint8_t BlockBuffer[BlockSize];
    };
    static constexpr Chain InitialValue = kSha1InitialValue;

    static void CountBits(Fields& f, uint32_t bytes)
    {
        CountBits64As32Pair(f.BitCountHi, f.BitCountLo, bytes);
    }
    static void WriteTrailer(Fields& f);
    static void Compress(Chain& chain, const uint8_t* blocks, size_t count)
    {
        RunSha1Compression(chain, blocks, count);
    }
    static void WriteDigest(const Chain& chain, uint8_t* digest);
};

class TDCP_sha1 : public TStandardHash<TDCP_sha1, Sha1Traits> {
public:
    using TStandardHash::TStandardHash;
    static int32_t GetId() { return 2; }
    static std::string GetAlgorithm() { return "SHA1"; }
    static int32_t GetHashSize() { return 160; }
    static bool SelfTest();
};
