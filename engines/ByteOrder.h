// Loads, stores and rotations shared by the engines.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

inline uint32_t LoadLe32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;  // every target we build for is little-endian
}
inline uint64_t LoadLe64(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}
inline uint32_t LoadBe32(const uint8_t* p) { return __builtin_bswap32(LoadLe32(p)); }
inline uint64_t LoadBe64(const uint8_t* p) { return __builtin_bswap64(LoadLe64(p)); }

inline void StoreLe32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
inline void StoreLe64(uint8_t* p, uint64_t v) { std::memcpy(p, &v, 8); }
inline void StoreBe32(uint8_t* p, uint32_t v) { StoreLe32(p, __builtin_bswap32(v)); }
inline void StoreBe64(uint8_t* p, uint64_t v) { StoreLe64(p, __builtin_bswap64(v)); }

inline uint32_t Rotl32(uint32_t x, int s) { return std::rotl(x, s); }
inline uint32_t Rotr32(uint32_t x, int s) { return std::rotr(x, s); }
inline uint64_t Rotr64(uint64_t x, int s) { return std::rotr(x, s); }

static_assert(std::endian::native == std::endian::little, "the engines assume a little-endian CPU");
