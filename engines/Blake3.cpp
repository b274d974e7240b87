#include "engines/Blake3.h"
#include "engines/Blake3Compress.h"
#include "engines/ByteOrder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace {

// Whole chunks hashed at once where the input holds them and the tree has a subtree of as many
// starting there: sixteen rounds of the widest variant's sixteen, and then their parents, also
// side by side, down to the subtree's one chaining value. The last few levels of parents are
// too narrow for the lanes, and one join in the stack is a compression on its own: over a batch
// of 32 chunks those cost a tenth of the time, over 256 a hundredth.
constexpr size_t kBatchChunks = 256;

void StoreCv(uint8_t out[kBlake3CvBytes], const uint32_t cv[8])
{
    for (int i = 0; i < 8; ++i)
        StoreLe32(out + 4 * i, cv[i]);
}

void ParentCv(const uint8_t children[2 * kBlake3CvBytes], uint8_t out[kBlake3CvBytes])
{
    uint32_t parent[8];
    std::memcpy(parent, kBlake3Iv, sizeof parent);
    Blake3Compress(parent, children, kBlake3BlockBytes, 0, kBlake3Parent);
    StoreCv(out, parent);
}

// The chaining value of the complete subtree of chunks chunks (a power of two) that begins at
// chunk firstChunk, which chunks divides: the chunks of a batch side by side, then their parents
// side by side, level by level; a larger subtree is the parent of two such halves.
void SubtreeCv(const uint8_t* data, size_t chunks, uint64_t firstChunk, uint8_t out[kBlake3CvBytes])
{
    if (chunks > kBatchChunks) {
        uint8_t halves[2 * kBlake3CvBytes];
        const size_t half = chunks / 2;
        SubtreeCv(data, half, firstChunk, halves);
        SubtreeCv(data + half * kBlake3ChunkBytes, half, firstChunk + half, halves + kBlake3CvBytes);
        ParentCv(halves, out);
        return;
    }
    alignas(64) uint8_t cvs[kBatchChunks * kBlake3CvBytes];
    alignas(64) uint8_t parents[kBatchChunks / 2 * kBlake3CvBytes];
    RunBlake3HashMany(data, chunks, kBlake3ChunkBlocks, firstChunk, true, 0, kBlake3ChunkStart,
                      kBlake3ChunkEnd, cvs);
    uint8_t* from = cvs;
    uint8_t* to = parents;
    for (size_t values = chunks; values > 1; values /= 2) {
        RunBlake3HashMany(from, values / 2, 1, 0, false, kBlake3Parent, 0, 0, to);
        std::swap(from, to);
    }
    std::memcpy(out, from, kBlake3CvBytes);
}

// The largest subtree that starts at the chunk and fits in the chunks left.
size_t SubtreeChunksAt(uint64_t chunk, uint64_t chunksLeft)
{
    const uint64_t fits = std::bit_floor(chunksLeft);
    return static_cast<size_t>(chunk == 0 ? fits : std::min(fits, chunk & (~chunk + 1)));
}

}  // namespace

Blake3::Blake3() : block_{} { std::memcpy(chunkCv_, kBlake3Iv, sizeof chunkCv_); }

void Blake3::JoinWaiting()
{
    // More input has come, so what waited in the stack is not the root: join it down to one value
    // for each bit of the chunks so far. The two on top lie side by side, as the block of their
    // parent.
    const unsigned complete = static_cast<unsigned>(std::popcount(chunksDone_));
    for (; stackSize_ > complete; --stackSize_)
        ParentCv(stack_[stackSize_ - 2], stack_[stackSize_ - 2]);
}

void Blake3::AddSubtree(const uint8_t cv[32], unsigned level)
{
    JoinWaiting();
    std::memcpy(stack_[stackSize_++], cv, kBlake3CvBytes);
    chunksDone_ += uint64_t(1) << level;
}

void Blake3::EndChunk()
{
    Blake3Compress(chunkCv_, block_, blockBytes_, chunksDone_,
                   kBlake3ChunkEnd | (blocksDone_ == 0 ? kBlake3ChunkStart : 0));
    uint8_t cv[kBlake3CvBytes];
    StoreCv(cv, chunkCv_);
    AddSubtree(cv, 0);
    std::memcpy(chunkCv_, kBlake3Iv, sizeof chunkCv_);
    blocksDone_ = 0;
    blockBytes_ = 0;
}

void Blake3::HashWholeChunks(const uint8_t*& data, size_t& size)
{
    alignas(64) uint8_t cvs[kBatchChunks * kBlake3CvBytes];
    for (size_t chunks = size / kBlake3ChunkBytes; chunks > 0;) {
        // The largest subtree of the tree that starts here and that the input holds, up to a batch.
        const size_t subtree = std::min(kBatchChunks, SubtreeChunksAt(chunksDone_, chunks));
        size_t count = subtree;
        if (subtree > 1) {
            // The subtree of the whole message so far, with nothing after it yet, may be the root:
            // its two halves wait in the stack instead.
            const bool mayBeRoot = chunksDone_ == 0 && size == subtree * kBlake3ChunkBytes;
            const size_t half = subtree / 2;
            const auto level = static_cast<unsigned>(std::countr_zero(subtree));
            uint8_t subtrees[2][kBlake3CvBytes];
            if (mayBeRoot) {
                SubtreeCv(data, half, 0, subtrees[0]);
                SubtreeCv(data + half * kBlake3ChunkBytes, half, half, subtrees[1]);
                AddSubtree(subtrees[0], level - 1);
                AddSubtree(subtrees[1], level - 1);
            } else {
                SubtreeCv(data, subtree, chunksDone_, subtrees[0]);
                AddSubtree(subtrees[0], level);
            }
        } else {
            // An odd chunk: the ones up to where the batches line up with the tree's subtrees
            // again side by side, each joined on its own.
            count = std::min(chunks, kBatchChunks - chunksDone_ % kBatchChunks);
            RunBlake3HashMany(data, count, kBlake3ChunkBlocks, chunksDone_, true, 0, kBlake3ChunkStart,
                              kBlake3ChunkEnd, cvs);
            for (size_t i = 0; i < count; ++i)
                AddSubtree(cvs + i * kBlake3CvBytes, 0);
        }
        data += count * kBlake3ChunkBytes;
        size -= count * kBlake3ChunkBytes;
        chunks -= count;
    }
}

void Blake3::Update(const uint8_t* data, size_t size)
{
    while (size > 0) {
        if (blocksDone_ == kBlake3ChunkBlocks - 1 && blockBytes_ == kBlake3BlockBytes)
            EndChunk();
        // Whole chunks go straight from the input, all of them: any but a first and only one has
        // its chaining value whether more follows or not, and waits in the stack to be joined.
        if (blocksDone_ == 0 && blockBytes_ == 0 && size >= kBlake3ChunkBytes &&
            (chunksDone_ > 0 || size > kBlake3ChunkBytes)) {
            HashWholeChunks(data, size);
            continue;
        }
        if (blocksDone_ == 0 && blockBytes_ == 0)
            JoinWaiting();
        if (blockBytes_ == kBlake3BlockBytes) {
            Blake3Compress(chunkCv_, block_, kBlake3BlockBytes, chunksDone_,
                           blocksDone_ == 0 ? kBlake3ChunkStart : 0);
            ++blocksDone_;
            blockBytes_ = 0;
        }
        // Blocks that more input follows, within the chunk, need no copy either.
        while (blockBytes_ == 0 && size > kBlake3BlockBytes && blocksDone_ < kBlake3ChunkBlocks - 1) {
            Blake3Compress(chunkCv_, data, kBlake3BlockBytes, chunksDone_,
                           blocksDone_ == 0 ? kBlake3ChunkStart : 0);
            ++blocksDone_;
            data += kBlake3BlockBytes;
            size -= kBlake3BlockBytes;
        }
        const size_t take = std::min(kBlake3BlockBytes - blockBytes_, size);
        std::memcpy(block_ + blockBytes_, data, take);
        blockBytes_ = static_cast<uint8_t>(blockBytes_ + take);
        data += take;
        size -= take;
    }
}

uint64_t Blake3::BytesFed() const
{
    return chunksDone_ * kBlake3ChunkBytes + blocksDone_ * kBlake3BlockBytes + blockBytes_;
}

bool Blake3::IsPart(uint64_t offset, size_t size)
{
    return offset > 0 && offset % kBlake3ChunkBytes == 0 && size > 0 && size % kBlake3ChunkBytes == 0;
}

void Blake3::HashPart(const uint8_t* data, uint64_t offset, size_t size, Blake3Part& part)
{
    if (!IsPart(offset, size))
        throw std::invalid_argument("a BLAKE3 part is whole chunks after the first byte");
    part.FirstChunk = offset / kBlake3ChunkBytes;
    part.Chunks = size / kBlake3ChunkBytes;
    part.Subtrees = 0;
    for (uint64_t chunk = part.FirstChunk, left = part.Chunks; left > 0;) {
        const size_t chunks = SubtreeChunksAt(chunk, left);
        SubtreeCv(data, chunks, chunk, part.Cvs[part.Subtrees]);
        part.Levels[part.Subtrees++] = static_cast<uint8_t>(std::countr_zero(chunks));
        data += chunks * kBlake3ChunkBytes;
        chunk += chunks;
        left -= chunks;
    }
}

void Blake3::TakePart(const Blake3Part& part)
{
    // A whole last chunk is kept until more input shows it is not the root; the part is more.
    if (blocksDone_ == kBlake3ChunkBlocks - 1 && blockBytes_ == kBlake3BlockBytes)
        EndChunk();
    if (blocksDone_ != 0 || blockBytes_ != 0 || chunksDone_ != part.FirstChunk || part.FirstChunk == 0)
        throw std::invalid_argument("a BLAKE3 part taken where its message does not stand");
    for (size_t i = 0; i < part.Subtrees; ++i)
        AddSubtree(part.Cvs[i], part.Levels[i]);
}

void Blake3::Finish(uint8_t* out, size_t outBytes) const
{
    // The last node of the tree's right edge, then each of its left neighbours joined to it; the
    // last join, or the only chunk, is the root.
    uint32_t cv[8];
    uint8_t block[kBlake3BlockBytes] = {};
    uint32_t blockBytes = kBlake3BlockBytes;
    uint64_t counter = 0;
    uint32_t flags = kBlake3Parent;
    size_t left = stackSize_;
    if (blocksDone_ > 0 || blockBytes_ > 0 || stackSize_ == 0) {
        std::memcpy(cv, chunkCv_, sizeof cv);
        std::memcpy(block, block_, blockBytes_);
        blockBytes = blockBytes_;
        counter = chunksDone_;
        flags = kBlake3ChunkEnd | (blocksDone_ == 0 ? kBlake3ChunkStart : 0);
    } else {
        // The message ended with a whole chunk, whose chaining value is on top of the stack.
        std::memcpy(cv, kBlake3Iv, sizeof cv);
        std::memcpy(block, stack_[left - 2], kBlake3BlockBytes);
        left -= 2;
    }
    while (left > 0) {
        Blake3Compress(cv, block, blockBytes, counter, flags);
        std::memcpy(block, stack_[--left], kBlake3CvBytes);
        StoreCv(block + kBlake3CvBytes, cv);
        std::memcpy(cv, kBlake3Iv, sizeof cv);
        blockBytes = kBlake3BlockBytes;
        counter = 0;
        flags = kBlake3Parent;
    }
    // The root's output, 64 bytes for each value of its counter.
    for (uint64_t outputBlock = 0; outBytes > 0; ++outputBlock) {
        uint8_t output[kBlake3BlockBytes];
        Blake3CompressOutput(cv, block, blockBytes, outputBlock, flags | kBlake3Root, output);
        const size_t take = std::min(outBytes, kBlake3BlockBytes);
        std::memcpy(out, output, take);
        out += take;
        outBytes -= take;
    }
}
