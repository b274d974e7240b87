#include "checksums/CRC32_FCS32.h"

#include "engines/DispatchedFunction.h"

#include "engines/ByteOrder.h"

namespace {

// Entry [k][i]: the register after the byte i and then k zero bytes, from a zero register. A
// block of sixteen bytes then costs sixteen independent look-ups instead of a chain of sixteen.
constexpr auto SliceTables = [] {
    std::array<std::array<uint32_t, 256>, 16> t{};
    t[0] = Crc32Table;
    for (size_t k = 1; k < 16; ++k)
        for (size_t i = 0; i < 256; ++i)
            t[k][i] = (t[k - 1][i] >> 8) ^ Crc32Table[t[k - 1][i] & 0xFF];
    return t;
}();

}  // namespace

uint32_t Crc32TableWalk(uint32_t reg, const void* data, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i)
        reg = Crc32Table[(reg ^ p[i]) & 0xFF] ^ (reg >> 8);
    return reg;
}

uint32_t Crc32Sliced(uint32_t reg, const void* data, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    const auto& t = SliceTables;
    for (; size >= 16; size -= 16, p += 16) {
        const uint32_t w0 = LoadLe32(p) ^ reg, w1 = LoadLe32(p + 4), w2 = LoadLe32(p + 8),
                       w3 = LoadLe32(p + 12);
        reg = t[15][w0 & 0xFF] ^ t[14][(w0 >> 8) & 0xFF] ^ t[13][(w0 >> 16) & 0xFF] ^ t[12][w0 >> 24] ^
              t[11][w1 & 0xFF] ^ t[10][(w1 >> 8) & 0xFF] ^ t[9][(w1 >> 16) & 0xFF] ^ t[8][w1 >> 24] ^
              t[7][w2 & 0xFF] ^ t[6][(w2 >> 8) & 0xFF] ^ t[5][(w2 >> 16) & 0xFF] ^ t[4][w2 >> 24] ^
              t[3][w3 & 0xFF] ^ t[2][(w3 >> 8) & 0xFF] ^ t[1][(w3 >> 16) & 0xFF] ^ t[0][w3 >> 24];
    }
    return Crc32TableWalk(reg, p, size);
}

namespace {

using Crc32Function = uint32_t (*)(uint32_t reg, const void* data, size_t size);

DispatchedFunction<Crc32Function> crc32{[]() -> FunctionVariant<Crc32Function> {
    if (Crc32CarrylessAvailable())
        return {&Crc32Carryless, "carry-less multiplication"};
    return {&Crc32Sliced, "sliced tables"};
}};

}  // namespace

uint32_t Crc32Update(uint32_t reg, const void* data, size_t size) { return crc32.Get()(reg, data, size); }

const char* Crc32VariantInUse() { return crc32.Current().Name; }
