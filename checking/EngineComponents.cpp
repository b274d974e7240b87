#include "checking/Checker.h"
#include "checking/EngineOrder.h"

#include "engines/DCPhaval.h"
#include "engines/DCPmd4.h"
#include "engines/DCPmd5.h"
#include "engines/DCPripemd128.h"
#include "engines/DCPripemd160.h"
#include "engines/DCPsha1.h"
#include "engines/DCPsha256.h"
#include "engines/DCPsha512.h"
#include "engines/DCPtiger.h"

#include <stdexcept>

namespace {

void NewEngine(DigestAlgorithm digest, TComponent& owner)
{
    switch (digest) {
    case DigestAlgorithm::SHA1: new TDCP_sha1(&owner); return;
    case DigestAlgorithm::Haval256: new TDCP_haval(&owner); return;
    case DigestAlgorithm::MD4: new TDCP_md4(&owner); return;
    case DigestAlgorithm::RipeMD128: new TDCP_ripemd128(&owner); return;
    case DigestAlgorithm::RipeMD160: new TDCP_ripemd160(&owner); return;
    case DigestAlgorithm::SHA256: new TDCP_sha256(&owner); return;
    case DigestAlgorithm::SHA384: new TDCP_sha384(&owner); return;
    case DigestAlgorithm::SHA512: new TDCP_sha512(&owner); return;
    case DigestAlgorithm::Tiger192: new TDCP_tiger(&owner); return;
    case DigestAlgorithm::MD5: new TDCP_md5(&owner); return;
    // CRC-32 has a path of its own; the further digests are the hashing engine's alone.
    default: break;
    }
    throw std::logic_error("no engine computes this digest");
}

}  // namespace

// In the engine list's order (checking/EngineOrder.h), by which the menu items address them.
void CreateEngineComponents(TComponent& owner)
{
    for (size_t index = 0; index < kEngineCount; ++index)
        NewEngine(EngineDigest(index), owner);
}
