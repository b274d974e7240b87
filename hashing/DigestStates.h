// The running state of one digest over one file: the program's own MD5 routines, the CRC-32, the
// engines and the libraries' digests, behind one small interface (a block hash, a sponge, a tree
// or a library call alike) so that the hashing engine feeds them all alike.
#pragma once

#include "hashing/DigestAlgorithm.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class DigestState {
public:
    virtual ~DigestState() = default;
    virtual void Feed(const uint8_t* data, size_t size) = 0;
    // The digest bytes; the state is spent afterwards.
    virtual std::vector<uint8_t> Finish() = 0;
};

// blake2bBytes: the length of a BLAKE2b digest, 1 to 64 ("b2sum -l"); the others have one length.
std::unique_ptr<DigestState> StartDigest(DigestAlgorithm algorithm, size_t blake2bBytes = kBlake2bMaxBytes);
