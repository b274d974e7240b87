#include "engines/DCPsha1.h"

#include "engines/ByteOrder.h"
#include "engines/SelfTestSupport.h"

bool TDCP_sha1::SelfTest()
{
    return SelfTestDigests<TDCP_sha1>({
        {"abc", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
    });
}
