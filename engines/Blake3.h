// BLAKE3, the plain (unkeyed) digest of any length. The message is cut into chunks of 1024 bytes
// that are hashed on their own, as many side by side as the CPU's vectors hold, and then joined
// pairwise up a binary tree whose root gives the digest. The whole state is in the object: the
// chunk being filled and one chaining value for each level of the tree that waits for its right
// neighbour.
#pragma once

#include <cstddef>
#include <cstdint>

// A run of whole chunks of a message hashed apart from the rest of it (on another thread, say),
// for the hasher of the whole message to take in when it reaches the run: the chaining values of
// the complete subtrees the run falls into, in order. The largest subtree that starts at a chunk
// and fits in the run is the one taken there, so a run falls into at most two of each size.
struct Blake3Part {
    static constexpr size_t kMostSubtrees = 2 * 54;  // two of each size below the stack's limit
    uint64_t FirstChunk = 0;
    uint64_t Chunks = 0;
    size_t Subtrees = 0;
    uint8_t Levels[kMostSubtrees];  // a subtree of level L holds 2^L chunks
    uint8_t Cvs[kMostSubtrees][32];
};

class Blake3 {
public:
    static constexpr size_t kDigestBytes = 32;

    Blake3();
    void Update(const uint8_t* data, size_t size);
    // The first outBytes bytes of the output, of any length: 32 is the standard digest, and a
    // shorter or longer one begins as it does. Update may go on afterwards.
    void Finish(uint8_t* out, size_t outBytes) const;
    uint64_t BytesFed() const;

    // Whether the size bytes at offset in a message make a part that can be hashed apart: whole
    // chunks, and not at the start, where they could be the whole message, whose root is no
    // chaining value.
    static bool IsPart(uint64_t offset, size_t size);
    // Hashes such a part; its bytes start at data.
    static void HashPart(const uint8_t* data, uint64_t offset, size_t size, Blake3Part& part);
    // Takes in a part instead of its bytes: throws std::invalid_argument unless the hasher was fed
    // exactly the bytes before it.
    void TakePart(const Blake3Part& part);

private:
    void HashWholeChunks(const uint8_t*& data, size_t& size);
    void EndChunk();
    void JoinWaiting();
    void AddSubtree(const uint8_t cv[32], unsigned level);

    uint32_t chunkCv_[8];
    uint64_t chunksDone_ = 0;  // the chunks before the one being filled, which is numbered so
    uint8_t block_[64];        // the last block of the chunk, kept until more input follows it
    uint8_t blockBytes_ = 0;
    uint8_t blocksDone_ = 0;  // of the chunk being filled, before block_
    // The chaining values of complete subtrees, the largest first: one for each bit set in the
    // count of chunks before the last subtree added, and that last one. They are joined only once
    // more input shows that none of the joins is the root.
    uint8_t stackSize_ = 0;
    uint8_t stack_[55][32];  // 2^54 chunks of 1 KiB, more than any file, and the one not joined yet
};

// The variant that the engine runs on this CPU: "portable", "sse4.1", "avx2" or "avx512".
const char* Blake3VariantName();
