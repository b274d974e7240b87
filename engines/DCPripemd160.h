// RIPEMD-160 (Dobbertin, Bosselaers, Preneel; ISO/IEC 10118-3).
#pragma once

#include "engines/Word32BlockTraits.h"

struct Ripemd160Traits : LittleEndianBlockTraits<5> {
    static constexpr Chain InitialValue{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    static void Compress(Chain& chain, const uint8_t* blocks, size_t count);
};

class TDCP_ripemd160 : public TStandardHash<TDCP_ripemd160, Ripemd160Traits> {
public:
    using TStandardHash::TStandardHash;
    static int32_t GetId() { return 10; }
    static std::string GetAlgorithm() { return "RipeMD-160"; }
    static int32_t GetHashSize() { return 160; }
    static bool SelfTest();
};
