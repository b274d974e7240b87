// CRC-32 by folding: the message is split into 128-bit pieces, and a piece is carried forward
// over D bits by a carry-less multiplication with x^D mod P, which leaves the remainder
// unchanged. Four pieces are folded side by side over 512 bits so the multiplications overlap;
// the last 128 bits and the tail go through the sliced tables.
//
// Bit order: a 128-bit piece loaded least significant byte first holds the first message bit in
// bit 0, so bit k stands for x^(127-k); the register form of a remainder (bit l for x^(31-l)) is
// the order of Crc32Table. Multiplying a 64-bit half (bit i for x^(63-i)) by a register-form
// constant gives bit k for x^(94-k), which read as a 128-bit piece is the product times x^33;
// the constants below take that factor out.
#include "checksums/CRC32_FCS32.h"

#if defined(__x86_64__) || defined(__i386__)

#include "engines/CpuFeatures.h"

#include <immintrin.h>

namespace {

// x^n mod P in register form: x^0 is bit 31, and a multiplication by x is a shift towards bit 0
// that brings in the polynomial when x^31 moves out.
constexpr uint32_t PowerOfXModP(unsigned n)
{
    uint32_t r = 0x80000000u;
    for (unsigned i = 0; i < n; ++i)
        r = (r >> 1) ^ ((r & 1) ? 0xEDB88320u : 0u);
    return r;
}

// Constants that carry a piece D bits forward. The low half of a piece holds its higher powers
// (x^64 to x^127), so it needs x^64 more than the high half; both lose the x^33 above.
struct FoldConstants {
    long long low, high;
};
constexpr FoldConstants FoldOver(unsigned d)
{
    return {static_cast<long long>(PowerOfXModP(d + 64 - 33)), static_cast<long long>(PowerOfXModP(d - 33))};
}
constexpr FoldConstants Fold512 = FoldOver(512);
constexpr FoldConstants Fold128 = FoldOver(128);

__attribute__((target("pclmul,sse4.1"))) inline __m128i Fold(__m128i piece, __m128i k)
{
    return _mm_xor_si128(_mm_clmulepi64_si128(piece, k, 0x00), _mm_clmulepi64_si128(piece, k, 0x11));
}

__attribute__((target("pclmul,sse4.1"))) inline __m128i Load(const uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

}  // namespace

bool Crc32CarrylessAvailable() { return Cpu().CarrylessMultiply; }

__attribute__((target("pclmul,sse4.1"))) uint32_t Crc32Carryless(uint32_t reg, const void* data, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    if (size < 128)
        return Crc32Sliced(reg, p, size);

    const __m128i k512 = _mm_set_epi64x(Fold512.high, Fold512.low);
    const __m128i k128 = _mm_set_epi64x(Fold128.high, Fold128.low);

    // A register r before the message is the same as r added into its first four bytes.
    __m128i x0 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(reg)));
    __m128i x1 = Load(p + 16), x2 = Load(p + 32), x3 = Load(p + 48);
    p += 64;
    size -= 64;
    for (; size >= 64; size -= 64, p += 64) {
        x0 = _mm_xor_si128(Fold(x0, k512), Load(p));
        x1 = _mm_xor_si128(Fold(x1, k512), Load(p + 16));
        x2 = _mm_xor_si128(Fold(x2, k512), Load(p + 32));
        x3 = _mm_xor_si128(Fold(x3, k512), Load(p + 48));
    }
    x1 = _mm_xor_si128(Fold(x0, k128), x1);
    x2 = _mm_xor_si128(Fold(x1, k128), x2);
    x3 = _mm_xor_si128(Fold(x2, k128), x3);
    for (; size >= 16; size -= 16, p += 16)
        x3 = _mm_xor_si128(Fold(x3, k128), Load(p));

    // x3 is now congruent to everything before the tail; its remainder is the register there.
    alignas(16) uint8_t last[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(last), x3);
    reg = Crc32Sliced(0, last, 16);
    return Crc32Sliced(reg, p, size);
}

#else

bool Crc32CarrylessAvailable() { return false; }
uint32_t Crc32Carryless(uint32_t reg, const void* data, size_t size) { return Crc32Sliced(reg, data, size); }

#endif
