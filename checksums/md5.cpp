#include "checksums/md5.h"

#include "common/Hex.h"
#include "engines/DCPmd5.h"

#include <cstring>
#include <string.h>

namespace {

constexpr uint8_t PadBlock[64] = {0x80};

uint32_t PendingCount(const Md5Context& context) { return (context.LengthBits[0] >> 3) % 64; }

}  // namespace

void Md5Start(Md5Context& context)
{
    context.Abcd = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};
    context.LengthBits = {0, 0};
    std::memset(context.Pending, 0, sizeof context.Pending);
}

// The engine batch's MD5 engine and this unit share one compression, so the two MD5s of the
// program cannot drift apart.
void Md5Block(const uint8_t* block, std::array<uint32_t, 4>& abcd) { Md5Traits::Compress(abcd, block, 1); }

void Md5Feed(Md5Context& context, const void* input, uint32_t length)
{
    const auto* data = static_cast<const uint8_t*>(input);
    const uint32_t index = PendingCount(context);

    const uint32_t bits = length << 3;
    context.LengthBits[0] += bits;
    if (context.LengthBits[0] < bits)
        ++context.LengthBits[1];
    context.LengthBits[1] += length >> 29;

    // An empty feed may come with no buffer at all (the data of an empty vector), and memcpy
    // must not see a null pointer even for zero bytes.
    if (length == 0)
        return;
    const uint32_t room = 64 - index;
    if (length < room) {
        std::memcpy(context.Pending + index, data, length);
        return;
    }
    uint32_t i = 0;
    if (index != 0) {
        std::memcpy(context.Pending + index, data, room);
        Md5Block(context.Pending, context.Abcd);
        i = room;
    }
    // The uint64 sum keeps the loop bound right for lengths close to 2^32.
    for (; uint64_t(i) + 63 < length; i += 64)
        Md5Block(data + i, context.Abcd);
    std::memcpy(context.Pending, data + i, length - i);
}

void Md5Finish(Md5Context& context, Md5Digest& digest)
{
    uint8_t length[8];
    for (int i = 0; i < 4; ++i) {
        length[i] = static_cast<uint8_t>(context.LengthBits[0] >> (8 * i));
        length[4 + i] = static_cast<uint8_t>(context.LengthBits[1] >> (8 * i));
    }
    const uint32_t index = PendingCount(context);
    Md5Feed(context, PadBlock, index < 56 ? 56 - index : 120 - index);
    Md5Feed(context, length, 8);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            digest[4 * i + j] = static_cast<uint8_t>(context.Abcd[i] >> (8 * j));
    // explicit_bzero cannot be optimised away as a dead store: the context held message bytes.
    explicit_bzero(&context, sizeof context);
    explicit_bzero(length, sizeof length);
}

std::string Md5Hex(Md5Digest digest) { return DigestToHex(digest.data(), digest.size(), HexLetters::Lower); }
