// The running state of one digest over one file: the program's own MD5 routines, the CRC-32 and
// the engines, behind one small interface so that the hashing engine feeds them all alike.
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

std::unique_ptr<DigestState> StartDigest(DigestAlgorithm algorithm);
