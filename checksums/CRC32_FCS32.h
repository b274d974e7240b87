// CRC-32 of IEEE 802.3 / ISO 3309, the 32-bit frame check sequence of RFC 1662: reflected
// polynomial 0xEDB88320. The routines here work on the register: the caller starts it at
// 0xFFFFFFFF and complements it at the end, so a file can be checksummed piece by piece.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace crc32detail {
constexpr std::array<uint32_t, 256> MakeTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t r = i;
        for (int step = 0; step < 8; ++step)
            r = (r >> 1) ^ ((r & 1) ? 0xEDB88320u : 0u);
        table[i] = r;
    }
    return table;
}
}  // namespace crc32detail

// Entry i is the CRC-32 remainder of the single byte i.
inline constexpr std::array<uint32_t, 256> Crc32Table = crc32detail::MakeTable();
static_assert(Crc32Table[1] == 0x77073096 && Crc32Table[255] == 0x2D02EF8D);

// One byte at a time through Crc32Table: the definition the faster routines must match.
uint32_t Crc32TableWalk(uint32_t reg, const void* data, size_t size);
// Sixteen bytes at a time through tables derived from Crc32Table; runs on every CPU.
uint32_t Crc32Sliced(uint32_t reg, const void* data, size_t size);
// Carry-less multiplication (PCLMULQDQ); only when Crc32CarrylessAvailable(), elsewhere it is
// Crc32Sliced.
uint32_t Crc32Carryless(uint32_t reg, const void* data, size_t size);
bool Crc32CarrylessAvailable();
// The fastest of the above that this CPU runs.
uint32_t Crc32Update(uint32_t reg, const void* data, size_t size);
// Which of them Crc32Update runs, for benchmarks and reports.
const char* Crc32VariantInUse();
