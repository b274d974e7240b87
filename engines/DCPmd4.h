// MD4 (RFC 1320).
#pragma once

#include "engines/Word32BlockTraits.h"

struct Md4Traits : LittleEndianBlockTraits<4> {
    static constexpr Chain InitialValue{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};
    static void Compress(Chain& chain, const uint8_t* blocks, size_t count);
};

class TDCP_md4 : public TStandardHash<TDCP_md4, Md4Traits> {
public:
    using TStandardHash::TStandardHash;
    static int32_t GetId() { return 17; }
    static std::string GetAlgorithm() { return "MD4"; }
    static int32_t GetHashSize() { return 128; }
    static bool SelfTest();
};
