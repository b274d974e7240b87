// The compression behind the BLAKE3 engine: one block at a time for the ends of a message, and
// many inputs side by side for the whole chunks and the parents between them, in every variant
// this build has. The engine runs whichever variant UseBlake3Variant last chose (the widest this
// CPU runs, unless a test or a benchmark picked another); the variants are named here so that
// each one can be checked on its own, since through the engine only the CPU's choice would show.
#pragma once

#include "engines/DispatchedFunction.h"

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t kBlake3BlockBytes = 64;
constexpr size_t kBlake3ChunkBytes = 1024;
constexpr size_t kBlake3ChunkBlocks = kBlake3ChunkBytes / kBlake3BlockBytes;
constexpr size_t kBlake3CvBytes = 32;

// What a compression is of: the first and last block of a chunk, a parent of two chaining values,
// the root, whose counter numbers the 64-byte blocks of the output instead of the chunks.
constexpr uint32_t kBlake3ChunkStart = 1;
constexpr uint32_t kBlake3ChunkEnd = 2;
constexpr uint32_t kBlake3Parent = 4;
constexpr uint32_t kBlake3Root = 8;

// The key of the plain digest: SHA-256's initial value.
constexpr uint32_t kBlake3Iv[8]{0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A,
                                0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19};

// The words of the message that each of the seven rounds takes, in the order it takes them: the
// first round in order, every later one permuted once more.
constexpr uint8_t kBlake3Schedule[7][16]{
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
    {2, 6, 3, 10, 7, 0, 4, 13, 1, 11, 12, 5, 9, 14, 15, 8},
    {3, 4, 10, 12, 13, 2, 7, 14, 6, 5, 9, 0, 11, 15, 8, 1},
    {10, 7, 12, 9, 14, 3, 13, 15, 4, 0, 11, 2, 5, 8, 1, 6},
    {12, 13, 9, 11, 15, 10, 14, 8, 7, 2, 5, 3, 0, 1, 6, 4},
    {9, 14, 11, 5, 8, 12, 15, 1, 13, 3, 0, 10, 2, 6, 4, 7},
    {11, 15, 5, 0, 1, 9, 8, 6, 14, 10, 2, 12, 3, 4, 7, 13},
};

// Compresses one block (blockBytes of it counted, the rest zero) into the chaining value.
void Blake3Compress(uint32_t cv[8], const uint8_t block[kBlake3BlockBytes], uint32_t blockBytes,
                    uint64_t counter, uint32_t flags);
// The whole 64 bytes of one block's output, the chaining value left as it was: the root's.
void Blake3CompressOutput(const uint32_t cv[8], const uint8_t block[kBlake3BlockBytes], uint32_t blockBytes,
                          uint64_t counter, uint32_t flags, uint8_t out[kBlake3BlockBytes]);

// Hashes count inputs that lie one after another in memory, each of blocks full blocks, from the
// key: input i starts at input + i * blocks * 64 and leaves its chaining value at out + i * 32.
// Every block has the flags, the first one firstFlags as well and the last one lastFlags. The
// counter is counter + i for input i where countUp (chunks), counter for all otherwise (parents).
using Blake3HashManyFunction = void (*)(const uint8_t* input, size_t count, size_t blocks, uint64_t counter,
                                        bool countUp, uint32_t flags, uint32_t firstFlags, uint32_t lastFlags,
                                        uint8_t* out);

// Any x86-64: one input after another.
void Blake3HashManyPortable(const uint8_t* input, size_t count, size_t blocks, uint64_t counter, bool countUp,
                            uint32_t flags, uint32_t firstFlags, uint32_t lastFlags, uint8_t* out);
// Only where Cpu().Sse41: four inputs at a time, one in each 32-bit lane of XMM registers.
void Blake3HashManySse41(const uint8_t* input, size_t count, size_t blocks, uint64_t counter, bool countUp,
                         uint32_t flags, uint32_t firstFlags, uint32_t lastFlags, uint8_t* out);
// Only where Cpu().Avx2Bmi2: eight at a time in YMM registers, fewer left over as SSE4.1 does.
void Blake3HashManyAvx2(const uint8_t* input, size_t count, size_t blocks, uint64_t counter, bool countUp,
                        uint32_t flags, uint32_t firstFlags, uint32_t lastFlags, uint8_t* out);
// Only where Cpu().Avx512Vl: sixteen at a time in ZMM registers, fewer left over as AVX2 does.
void Blake3HashManyAvx512(const uint8_t* input, size_t count, size_t blocks, uint64_t counter, bool countUp,
                          uint32_t flags, uint32_t firstFlags, uint32_t lastFlags, uint8_t* out);

using Blake3Variant = FunctionVariant<Blake3HashManyFunction>;

// The variants this CPU runs, the one the engine chooses by itself first.
std::vector<Blake3Variant> Blake3VariantsHere();
// Makes the engine run this variant from now on and returns the one it ran before.
Blake3Variant UseBlake3Variant(Blake3Variant variant);

// What the engine calls.
void RunBlake3HashMany(const uint8_t* input, size_t count, size_t blocks, uint64_t counter, bool countUp,
                       uint32_t flags, uint32_t firstFlags, uint32_t lastFlags, uint8_t* out);
