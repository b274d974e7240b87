// BLAKE2b (RFC 7693), unkeyed, with a digest of 1 to 64 bytes: b2sum's "-l" lengths are digests
// of their own (the length is hashed into the first chaining word), not a shortened BLAKE2b-512.
#pragma once

#include <cstddef>
#include <cstdint>

class Blake2b {
public:
    static constexpr size_t kMaxDigestBytes = 64;

    // digestBytes from 1 to 64; others are taken as 64.
    explicit Blake2b(size_t digestBytes = kMaxDigestBytes);
    void Update(const uint8_t* data, size_t size);
    // Writes DigestBytes() bytes; the object is spent afterwards.
    void Finish(uint8_t* out);
    size_t DigestBytes() const { return digestBytes_; }

private:
    void Compress(const uint8_t* block, bool last);

    uint64_t chain_[8];
    uint64_t counter_[2] = {0, 0};  // bytes hashed so far, 128 bits
    uint8_t block_[128];
    size_t blockBytes_ = 0;  // the last block waits until more input shows it is not the last
    size_t digestBytes_;
};
