#include "engines/DCPsha256.h"

#include "engines/ByteOrder.h"
#include "engines/SelfTestSupport.h"

bool TDCP_sha256::SelfTest()
{
    return SelfTestDigests<TDCP_sha256>({
        {"abc", "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248D6A61D20638B8E5C026930C3E6039A33CE45964FF2167F6ECEDD419DB06C1"},
    });
}

bool TDCP_sha224::SelfTest()
{
    return SelfTestDigests<TDCP_sha224>({
        {"abc", "23097D223405D8228642A477BDA255B32AADBCE4BDA0B3F7E36C9DA7"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "75388B16512776CC5DBA5DA1FD890150B0C6455CB4F58B1952522525"},
    });
}
