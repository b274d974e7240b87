// SHA-256 and SHA-224 (FIPS 180-4), which differ only in the initial value and the digest's length.
#pragma once

#include "engines/ShaCompress.h"
#include "engines/ShaConstants.h"
#include "engines/Word32BlockTraits.h"

#include <type_traits>

struct Sha256Traits : BigEndianBlockTraits<8> {
    static_assert(std::is_same_v<Chain, Sha256Chain>);
    static constexpr Chain InitialValue = kSha256InitialValue;
    static void Compress(Chain& chain, const uint8_t* blocks, size_t count)
    {
        RunSha256Compression(chain, blocks, count);
    }
};

class TDCP_sha256 : public TStandardHash<TDCP_sha256, Sha256Traits> {
public:
    using TStandardHash::TStandardHash;
    static int32_t GetId() { return 28; }
    static std::string GetAlgorithm() { return "SHA256"; }
    static int32_t GetHashSize() { return 256; }
    static bool SelfTest();
};

class TDCP_sha224 : public TBlockHash<Sha256Traits> {
public:
    explicit TDCP_sha224(TComponent* owner = nullptr) : TBlockHash<Sha256Traits>(owner) {}
    static int32_t GetId() { return 31; }
    static std::string GetAlgorithm() { return "SHA224"; }
    static int32_t GetHashSize() { return 224; }
    static bool SelfTest();
    const TDCP_hashClass& ClassType() const override { return HashClassOf<TDCP_sha224>(); }
    void Init() override { StartMessage(kSha224InitialValue); }
    void Final(void* digest) override { FinishMessage(digest, 28); }
};
