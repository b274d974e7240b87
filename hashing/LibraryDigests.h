// The further digests that well-kept Debian libraries compute: SHA-3, BLAKE2s and SM3 through
// OpenSSL's libcrypto, the xxHash family through libxxhash.
#pragma once

#include "hashing/DigestStates.h"

#include <memory>

// A state for one of the library's algorithms; nullptr for any other algorithm.
std::unique_ptr<DigestState> StartLibraryDigest(DigestAlgorithm algorithm);
