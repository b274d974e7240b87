// The engine list's order, read off the one table of the digests (hashing/DigestAlgorithm.h):
// the engines' digests in their result-line order, SHA1 first, then the MD5 engine, which the
// window owns but no menu item checks (the MD5 path computes the MD5 line itself).
#pragma once

#include "hashing/DigestAlgorithm.h"

#include <cstddef>

inline constexpr size_t kFirstEngineDigest = static_cast<size_t>(DigestAlgorithm::SHA1);
inline constexpr size_t kEngineCount = kDescribedDigestCount - kFirstEngineDigest + 1;

// The position in the engine list of the engine a menu item checks; -1 for MD5 and CRC-32,
// whose lines come from paths of their own, and for the further digests, which the hashing
// engine computes without a component of the list.
constexpr int EngineIndexOf(DigestAlgorithm digest)
{
    const size_t slot = static_cast<size_t>(digest);
    return slot < kFirstEngineDigest || !IsDescribed(digest) ? -1
                                                             : static_cast<int>(slot - kFirstEngineDigest);
}

// The digest that the engine at this position of the engine list computes.
constexpr DigestAlgorithm EngineDigest(size_t index)
{
    const size_t slot = kFirstEngineDigest + index;
    return slot < kDescribedDigestCount ? kDigestAlgorithms[slot].Algorithm : DigestAlgorithm::MD5;
}
