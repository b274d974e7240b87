// MD5 (RFC 1321).
#pragma once

#include "engines/Word32BlockTraits.h"

struct Md5Traits : LittleEndianBlockTraits<4> {
    static constexpr Chain InitialValue{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};
    static void Compress(Chain& chain, const uint8_t* blocks, size_t count);
};

class TDCP_md5 : public TStandardHash<TDCP_md5, Md5Traits> {
public:
    using TStandardHash::TStandardHash;
    static int32_t GetId() { return 16; }
    static std::string GetAlgorithm() { return "MD5"; }
    static int32_t GetHashSize() { return 128; }
    static bool SelfTest();
};
