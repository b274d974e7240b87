// Every engine gives the same digest for a message fed in pieces of any sizes as for the same
// message fed in one piece. The first byte picks the engine and the next two seed the cuts.
#include "engines/DCPhaval.h"
#include "engines/DCPmd4.h"
#include "engines/DCPmd5.h"
#include "engines/DCPripemd128.h"
#include "engines/DCPripemd160.h"
#include "engines/DCPsha1.h"
#include "engines/DCPsha256.h"
#include "engines/DCPsha512.h"
#include "engines/DCPtiger.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

std::unique_ptr<TDCP_hash> NewEngine(unsigned which)
{
    switch (which % 10) {
    case 0: return std::make_unique<TDCP_sha1>();
    case 1: return std::make_unique<TDCP_haval>();
    case 2: return std::make_unique<TDCP_md4>();
    case 3: return std::make_unique<TDCP_ripemd128>();
    case 4: return std::make_unique<TDCP_ripemd160>();
    case 5: return std::make_unique<TDCP_sha256>();
    case 6: return std::make_unique<TDCP_sha384>();
    case 7: return std::make_unique<TDCP_sha512>();
    case 8: return std::make_unique<TDCP_tiger>();
    default: return std::make_unique<TDCP_md5>();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const unsigned which = data[0];
    uint32_t seed = static_cast<uint32_t>(data[1]) << 8 | data[2];
    const uint8_t* message = data + 3;
    const size_t length = size - 3;

    std::array<uint8_t, 64> whole{}, pieces{};
    const std::unique_ptr<TDCP_hash> engine = NewEngine(which);
    engine->Init();
    engine->Update(message, static_cast<uint32_t>(length));
    engine->Final(whole.data());

    engine->Init();
    for (size_t at = 0; at < length;) {
        // Pieces of 0 to 200 bytes, so block edges fall anywhere.
        seed = seed * 1103515245u + 12345u;
        const size_t piece = std::min<size_t>(length - at, (seed >> 16) % 201);
        engine->Update(message + at, static_cast<uint32_t>(piece));
        at += piece;
    }
    engine->Final(pieces.data());
    if (whole != pieces)
        std::abort();
    return 0;
}
