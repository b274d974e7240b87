// The running state of one digest over one file: the program's own MD5 routines, the CRC-32, the
// engines and the libraries' digests, behind one small interface (a block hash, a sponge, a tree
// or a library call alike) so that the hashing engine feeds them all alike.
#pragma once

#include "hashing/DigestAlgorithm.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class DigestParts;

class DigestState {
public:
    virtual ~DigestState() = default;
    virtual void Feed(const uint8_t* data, size_t size) = 0;
    // The digest bytes; the state is spent afterwards.
    virtual std::vector<uint8_t> Finish() = 0;
    // For a digest that can hash blocks of a message apart from each other (BLAKE3, a tree), the
    // way to do so; nullptr for the others, which take every byte in order.
    virtual DigestParts* Parts() { return nullptr; }
    // Starts over as a new state would, for the next file, and says so; false where this state
    // cannot, and a new one is to be made. A pass over many small files then makes its states
    // once per worker instead of once per file.
    virtual bool Restart() { return false; }
};

// Blocks hashed apart, on several threads at once and in any order, into numbered slots, and
// then taken in by the state in the order of the message. A slot holds one block's work until it
// is taken.
class DigestParts {
public:
    // Whether the size bytes at offset in the message can be a block hashed apart.
    virtual bool Apart(uint64_t offset, size_t size) const = 0;
    // Makes slots 0 to count - 1; none may be in use.
    virtual void MakeSlots(size_t count) = 0;
    // Hashes such a block into the slot; calls for different slots may run at once, beside the
    // state's Feed and Take as well.
    virtual void HashApart(size_t slot, const uint8_t* data, uint64_t offset, size_t size) = 0;
    // Takes in the block of the slot: what was fed and taken before ends where the block starts.
    virtual void Take(size_t slot) = 0;

protected:
    ~DigestParts() = default;
};

// blake2bBytes: the length of a BLAKE2b digest, 1 to 64 ("b2sum -l"); the others have one length.
std::unique_ptr<DigestState> StartDigest(DigestAlgorithm algorithm, size_t blake2bBytes = kBlake2bMaxBytes);
