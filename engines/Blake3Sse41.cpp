// BLAKE3's chunks four at a time, one in each 32-bit lane of the XMM registers; only where
// Cpu().Sse41. The standard headers come before the target, as in the AVX-512 variant.
#include "engines/Blake3Compress.h"
#include "engines/ByteOrder.h"

#include <cstring>

#pragma GCC push_options
#pragma GCC target("sse4.1")

namespace {

constexpr size_t kLanes = 4;
using Lanes = uint32_t __attribute__((vector_size(4 * kLanes)));

// SSE has no gather: four loads.
inline Lanes GatherWords(const uint8_t* base, size_t stride)
{
    return Lanes{LoadLe32(base), LoadLe32(base + stride), LoadLe32(base + 2 * stride),
                 LoadLe32(base + 3 * stride)};
}

#include "engines/Blake3Lanes.inc"

}  // namespace

void Blake3HashManySse41(const uint8_t* input, size_t count, size_t blocks, uint64_t counter, bool countUp,
                         uint32_t flags, uint32_t firstFlags, uint32_t lastFlags, uint8_t* out)
{
    HashManyLanes(input, count, blocks, counter, countUp, flags, firstFlags, lastFlags, out,
                  &Blake3HashManyPortable);
}

#pragma GCC pop_options
