// SHA-1 (FIPS 180-1).
#pragma once

#include "engines/ShaCompress.h"
#include "engines/ShaConstants.h"
#include "engines/Word32BlockTraits.h"

#include <type_traits>

struct Sha1Traits : BigEndianBlockTraits<5> {
    static_assert(std::is_same_v<Chain, Sha1Chain>);
    static constexpr Chain InitialValue = kSha1InitialValue;
    static void Compress(Chain& chain, const uint8_t* blocks, size_t count)
    {
        RunSha1Compression(chain, blocks, count);
    }
};

class TDCP_sha1 : public TStandardHash<TDCP_sha1, Sha1Traits> {
public:
    using TStandardHash::TStandardHash;
    static int32_t GetId() { return 2; }
    static std::string GetAlgorithm() { return "SHA1"; }
    static int32_t GetHashSize() { return 160; }
    static bool SelfTest();
};
