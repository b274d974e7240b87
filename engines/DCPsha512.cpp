#include "engines/DCPsha512.h"

#include "engines/ByteOrder.h"
#include "engines/SelfTestSupport.h"

void Sha512Traits::WriteTrailer(Fields& f)
{
    StoreBe64(f.BlockBuffer + 112, f.BitCountHi);
    StoreBe64(f.BlockBuffer + 120, f.BitCountLo);
}

void Sha512Traits::WriteDigest(const Chain& chain, uint8_t* digest)
{
    for (int i = 0; i < 8; ++i)
        StoreBe64(digest + 8 * i, chain[i]);
}

namespace {

constexpr const char* kTwoBlockMessage =
    "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrs"
    "mnopqrstnopqrstu";

}  // namespace

bool TDCP_sha384::SelfTest()
{
    return SelfTestDigests<TDCP_sha384>({
        {"abc", "CB00753F45A35E8BB5A03D699AC65007272C32AB0EDED1631A8B605A43FF5BED"
                "8086072BA1E7CC2358BAECA134C825A7"},
        {kTwoBlockMessage, "09330C33F71147E83D192FC782CD1B4753111B173B3B05D22FA08086E3B0F712"
                           "FCC7C71A557E2DB966C3E9FA91746039"},
    });
}

bool TDCP_sha512::SelfTest()
{
    return SelfTestDigests<TDCP_sha512>({
        {"abc", "DDAF35A193617ABACC417349AE20413112E6FA4E89A97EA20A9EEEE64B55D39A"
                "2192992A274FC1A836BA3C23A3FEEBBD454D4423643CE80E2A9AC94FA54CA49F"},
        {kTwoBlockMessage, "8E959B75DAE313DA8CF4F72814FC143F8F7779C6EB9F7FA17299AEADB6889018"
                           "501D289E4900F7E4331B99DEC4B5433AC7D329EEB6DD26545E96E55B874BE909"},
    });
}
