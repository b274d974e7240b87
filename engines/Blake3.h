// BLAKE3, the plain (unkeyed) digest of any length. The message is cut into chunks of 1024 bytes
// that are hashed on their own, as many side by side as the CPU's vectors hold, and then joined
// pairwise up a binary tree whose root gives the digest. The whole state is in the object: the
// chunk being filled and one chaining value for each level of the tree that waits for its right
// neighbour.
#pragma once

#include <cstddef>
#include <cstdint>

class Blake3 {
public:
    static constexpr size_t kDigestBytes = 32;

    Blake3();
    void Update(const uint8_t* data, size_t size);
    // The first outBytes bytes of the output, of any length: 32 is the standard digest, and a
    // shorter or longer one begins as it does. Update may go on afterwards.
    void Finish(uint8_t* out, size_t outBytes) const;

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
