// SHA-384 and SHA-512 (FIPS 180-2) on their shared base, which holds the state, the buffering
// and the compression of the 64-bit SHA-2 family. The base keeps the empty Init and Final and
// the constants of TDCP_hash, so it is never an engine by itself.
#pragma once

#include "engines/BlockHash.h"
#include "engines/ShaCompress.h"
#include "engines/ShaConstants.h"

struct Sha512Traits {
    static constexpr size_t BlockSize = 128;
    static constexpr size_t DigestSize = 64;
    static constexpr uint8_t PadByte = 0x80;
    static constexpr size_t TrailerOffset = 112;
    using Chain = Sha512Chain;
    struct Fields {
        uint64_t BitCountHi;
        uint64_t BitCountLo;
        uint32_t BlockFill;
        Chain ChainValue;
        uint8_t BlockBuffer[BlockSize];
    };
    static constexpr Chain InitialValue = kSha512InitialValue;

    static void CountBits(Fields& f, uint32_t bytes)
    {
        CountBits128As64Pair(f.BitCountHi, f.BitCountLo, bytes);
    }
    static void WriteTrailer(Fields& f);
    static void Compress(Chain& chain, const uint8_t* blocks, size_t count)
    {
        RunSha512Compression(chain, blocks, count);
    }
    static void WriteDigest(const Chain& chain, uint8_t* digest);
};

class TDCP_sha512base : public TBlockHash<Sha512Traits> {
public:
    using TBlockHash::TBlockHash;
};

class TDCP_sha384 : public TDCP_sha512base {
public:
    using TDCP_sha512base::TDCP_sha512base;
    static int32_t GetId() { return 29; }
    static std::string GetAlgorithm() { return "SHA384"; }
    static int32_t GetHashSize() { return 384; }
    static bool SelfTest();
    const TDCP_hashClass& ClassType() const override { return HashClassOf<TDCP_sha384>(); }
    void Init() override { StartMessage(kSha384InitialValue); }
    // SHA-384 runs all eight chaining words and keeps the first six.
    void Final(void* digest) override { FinishMessage(digest, 48); }
};

class TDCP_sha512 : public TDCP_sha512base {
public:
    using TDCP_sha512base::TDCP_sha512base;
    static int32_t GetId() { return 30; }
    static std::string GetAlgorithm() { return "SHA512"; }
    static int32_t GetHashSize() { return 512; }
    static bool SelfTest();
    const TDCP_hashClass& ClassType() const override { return HashClassOf<TDCP_sha512>(); }
    void Init() override { StartMessage(kSha512InitialValue); }
    void Final(void* digest) override { FinishMessage(digest, 64); }
};
