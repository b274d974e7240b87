// Digests from independent implementations (libgcrypt, mhash), to check ours against.
#pragma once

#include "engines/DCPcrypt2.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// libgcrypt algorithm number (GCRY_MD_*), whole message at once.
Bytes GcryptDigest(int algorithm, const Bytes& message);
// mhash algorithm number (MHASH_*), whole message at once.
Bytes MhashDigest(int algorithm, const Bytes& message);

std::string Hex(const Bytes& bytes);  // uppercase
Bytes AsBytes(const std::string& text);
Bytes RandomBytes(std::mt19937_64& rng, size_t size);

// Our engine over one message: Init, one Update, Final.
Bytes EngineDigest(TDCP_hash& engine, const Bytes& message);
// The same message fed in random pieces, with pieces of 0 bytes and pieces ending on block edges.
Bytes EngineDigestInPieces(TDCP_hash& engine, const Bytes& message, size_t blockSize, std::mt19937_64& rng);

bool AllZero(std::span<const std::byte> bytes);
