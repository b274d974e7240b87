// RIPEMD-128 (Dobbertin, Bosselaers, Preneel; ISO/IEC 10118-3).
#pragma once

#include "engines/Word32BlockTraits.h"

struct Ripemd128Traits : LittleEndianBlockTraits<4> {
    static constexpr Chain InitialValue{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};
    static void Compress(Chain& chain, const uint8_t* blocks, size_t count);
};

class TDCP_ripemd128 : public TStandardHash<TDCP_ripemd128, Ripemd128Traits> {
public:
    using TStandardHash::TStandardHash;
    static int32_t GetId() { return 27; }
    static std::string GetAlgorithm() { return "RipeMD-128"; }
    static int32_t GetHashSize() { return 128; }
    static bool SelfTest();
};
