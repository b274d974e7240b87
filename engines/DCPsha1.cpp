#include "engines/DCPsha1.h"

#include "engines/ByteOrder.h"
#include "engines/SelfTestSupport.h"

void Sha1Traits::WriteTrailer(Fields& f)
{
    StoreBe32(f.BlockBuffer + 56, f.BitCountHi);
    StoreBe32(f.BlockBuffer + 60, f.BitCountLo);
}

void Sha1Traits::WriteDigest(const Chain& chain, uint8_t* digest)
{
    for (int i = 0; i < 5; ++i)
        StoreBe32(digest + 4 * i, chain[i]);
}

bool TDCP_sha1::SelfTest()
{
    return SelfTestDigests<TDCP_sha1>({
        {"abc", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
    });
}
