// The program's own MD5 (RFC 1321) over an explicit context record: start, feed, finish, the
// block transform and the lowercase text of a digest. The MD5 file path uses these; the MD5
// engine of the engine batch computes the same function but never writes the MD5 result line.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct Md5Context {
    std::array<uint32_t, 4> Abcd;        // chaining words A, B, C, D
    std::array<uint32_t, 2> LengthBits;  // bits fed since Md5Start, modulo 2^64; low word first
    uint8_t Pending[64];                 // bytes not yet transformed: (LengthBits[0] >> 3) % 64 of them
};

using Md5Digest = std::array<uint8_t, 16>;

void Md5Start(Md5Context& context);
// Complete blocks of input are transformed where they lie; only a partial block at the head or
// the tail passes through Pending.
void Md5Feed(Md5Context& context, const void* input, uint32_t length);
// Pads, writes the digest and leaves every byte of the context zero.
void Md5Finish(Md5Context& context, Md5Digest& digest);
// 32 lowercase hexadecimal digits.
std::string Md5Hex(Md5Digest digest);
// The compression of one 64-byte block into the chaining words.
void Md5Block(const uint8_t* block, std::array<uint32_t, 4>& abcd);
