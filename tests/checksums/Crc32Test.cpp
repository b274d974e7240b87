// The CRC-32 table and the fast updates against zlib's crc32 and the byte-wise table walk.
#include "checksums/CRC32_FCS32.h"
#include "tests/support/Oracle.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>

namespace {

// zlib keeps the register complemented between calls; ours is the register itself. zlib
// answers a null buffer (an empty vector's data) with its initial value, not the register.
uint32_t ZlibRegister(uint32_t reg, const uint8_t* data, size_t size)
{
    if (size == 0)
        return reg;
    return ~static_cast<uint32_t>(crc32_z(~reg & 0xFFFFFFFFu, data, size));
}

using Update = uint32_t (*)(uint32_t, const void*, size_t);
struct NamedUpdate {
    const char* name;
    Update update;
};

std::vector<NamedUpdate> FastUpdates()
{
    std::vector<NamedUpdate> updates{{"sliced", &Crc32Sliced}, {"chosen", &Crc32Update}};
    if (Crc32CarrylessAvailable())
        updates.push_back({"carry-less", &Crc32Carryless});
    return updates;
}

}  // namespace

TEST(Crc32Table, IsTheTableOfZlib)
{
    const auto* zlibTable = get_crc_table();
    for (size_t i = 0; i < 256; ++i)
        ASSERT_EQ(Crc32Table[i], zlibTable[i]) << "entry " << i;
}

TEST(Crc32Table, WalkAgreesWithZlib)
{
    std::mt19937_64 rng(802);
    for (size_t size : {0, 1, 7, 100, 4096, 65521}) {
        Bytes data = RandomBytes(rng, size);
        uint32_t start = static_cast<uint32_t>(rng());
        EXPECT_EQ(Crc32TableWalk(start, data.data(), size), ZlibRegister(start, data.data(), size));
    }
}

// The fast updates take different routes by length (whole 16-byte steps, whole 64-byte folds,
// the tail) and may load unaligned words: every short length at every alignment, from random
// registers, must give exactly the walk's register.
TEST(Crc32Fast, EveryLengthAndAlignmentMatchesTheWalk)
{
    std::mt19937_64 rng(1662);
    Bytes data = RandomBytes(rng, 700 + 16);
    for (const NamedUpdate& fast : FastUpdates()) {
        for (size_t offset = 0; offset < 16; ++offset) {
            for (size_t size = 0; size <= 700; ++size) {
                const uint32_t start = static_cast<uint32_t>(rng());
                const uint8_t* p = data.data() + offset;
                ASSERT_EQ(fast.update(start, p, size), Crc32TableWalk(start, p, size))
                    << fast.name << " offset " << offset << " size " << size;
            }
        }
    }
}

TEST(Crc32Fast, LongRandomDataMatchesZlib)
{
    std::mt19937_64 rng(3309);
    for (const NamedUpdate& fast : FastUpdates()) {
        for (int round = 0; round < 8; ++round) {
            size_t size = 1 + rng() % (3 << 20);
            Bytes data = RandomBytes(rng, size);
            const uint32_t start = round == 0 ? 0xFFFFFFFFu : static_cast<uint32_t>(rng());
            ASSERT_EQ(fast.update(start, data.data(), size), ZlibRegister(start, data.data(), size))
                << fast.name << " size " << size;
        }
    }
}
