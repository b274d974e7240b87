#include "checking/Checker.h"

#include "engines/DCPhaval.h"
#include "engines/DCPmd4.h"
#include "engines/DCPmd5.h"
#include "engines/DCPripemd128.h"
#include "engines/DCPripemd160.h"
#include "engines/DCPsha1.h"
#include "engines/DCPsha256.h"
#include "engines/DCPsha512.h"
#include "engines/DCPtiger.h"

// The engine list takes the engines in this order, and the engine items address them by it.
void CreateEngineComponents(TComponent& owner)
{
    new TDCP_sha1(&owner);
    new TDCP_haval(&owner);
    new TDCP_md4(&owner);
    new TDCP_ripemd128(&owner);
    new TDCP_ripemd160(&owner);
    new TDCP_sha256(&owner);
    new TDCP_sha384(&owner);
    new TDCP_sha512(&owner);
    new TDCP_tiger(&owner);
    new TDCP_md5(&owner);
}
