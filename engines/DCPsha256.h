// SHA-256 (FIPS 180-2).
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
