// SHA-256 (FIPS 180-2).
#pragma once

#include "engines/BlockHash.h"
#include "engines/ShaCompress.h"
#include "engines/ShaConstants.h"

struct Sha256Traits {
    static constexpr size_t BlockSize = 64;
    static constexpr size_t DigestSize = 32;
    static constexpr uint8_t PadByte = 0x80;
    static constexpr size_t TrailerOffset = 56;
    using Chain = Sha256Chain;
    struct Fields {
        uint32_t BitCountHi;
        uint32_t BitCountLo;
        uint32_t BlockFill;
        Chain ChainValue;
        uint8_t BlockBuffer[BlockSize];
    };
    static constexpr Chain InitialValue = kSha256InitialValue;

    static void CountBits(Fields& f, uint32_t bytes)
    {
        CountBits64As32Pair(f.BitCountHi, f.BitCountLo, bytes);
    }
    static void WriteTrailer(Fields& f);
    static void Compress(Chain& chain, const uint8_t* blocks, size_t count)
    {
        RunSha256Compression(chain, blocks, count);
    }
    static void WriteDigest(const Chain& chain, uint8_t* digest);
};

class TDCP_sha256 : public TStandardHash<TDCP_sha256, Sha256Traits> {
public:
    using TStandardHash::TStandardHash;
    static int32_t GetId() { return 28; }
    static std::string GetAlgorithm() { return "SHA256"; }
    static int32_t GetHashSize() { return 256; }
    static bool SelfTest();
};
