#include "tests/support/Oracle.h"

#include <gcrypt.h>
#include <mhash.h>

#include <algorithm>
#include <stdexcept>

Bytes GcryptDigest(int algorithm, const Bytes& message)
{
    static const bool ready = [] {
        gcry_check_version(nullptr);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    (void)ready;
    Bytes digest(gcry_md_get_algo_dlen(algorithm));
    gcry_md_hash_buffer(algorithm, digest.data(), message.data(), message.size());
    return digest;
}

Bytes MhashDigest(int algorithm, const Bytes& message)
{
    MHASH td = mhash_init(static_cast<hashid>(algorithm));
    if (td == MHASH_FAILED)
        throw std::runtime_error("mhash_init failed");
    mhash(td, message.data(), message.size());
    Bytes digest(mhash_get_block_size(static_cast<hashid>(algorithm)));
    mhash_deinit(td, digest.data());
    return digest;
}

std::string Hex(const Bytes& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

Bytes AsBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes RandomBytes(std::mt19937_64& rng, size_t size)
{
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<uint8_t>(rng());
    return bytes;
}

Bytes EngineDigest(TDCP_hash& engine, const Bytes& message)
{
    Bytes digest(engine.HashSize() / 8);
    engine.Init();
    engine.Update(message.data(), static_cast<uint32_t>(message.size()));
    engine.Final(digest.data());
    return digest;
}

Bytes EngineDigestInPieces(TDCP_hash& engine, const Bytes& message, size_t blockSize, std::mt19937_64& rng)
{
    Bytes digest(engine.HashSize() / 8);
    engine.Init();
    size_t at = 0;
    while (at < message.size()) {
        size_t left = message.size() - at;
        size_t piece;
        switch (rng() % 4) {
        case 0: piece = 0; break;
        case 1: piece = blockSize - (at % blockSize); break;  // ends on a block edge
        case 2: piece = 1 + rng() % (2 * blockSize); break;
        default: piece = 1 + rng() % (left < 40000 ? left : 40000); break;
        }
        piece = std::min(piece, left);
        engine.Update(message.data() + at, static_cast<uint32_t>(piece));
        at += piece;
    }
    engine.Update(message.data(), 0);
    engine.Final(digest.data());
    return digest;
}

bool AllZero(std::span<const std::byte> bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](std::byte b) { return b == std::byte{0}; });
}
