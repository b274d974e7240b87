// Messages past 4 GiB: the bit count of an engine outgrows 32 bits (after 512 MiB) and the byte
// count does too (after 4 GiB), so every engine's counter, carry and length trailer is held
// against libgcrypt fed the very same pieces. Each engine is one case in LongMessageCases().
#include "engines/DCPhaval.h"
#include "engines/DCPsha1.h"
#include "engines/DCPsha256.h"
#include "engines/DCPsha512.h"
#include "engines/DCPtiger.h"
#include "tests/support/Oracle.h"

#include <gcrypt.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

namespace {

// A bit count as the high and the low 64 bits of one number, whatever the engine's fields.
using BitCount = std::pair<uint64_t, uint64_t>;

struct LongMessageCase {
    std::string name;
    std::function<std::unique_ptr<TDCP_hash>()> make;
    int gcryptAlgorithm;  // GCRY_MD_NONE where no library has the algorithm: count only
    std::function<BitCount(const TDCP_hash&)> bitCount;
};

// For engines whose State() has BitCountHi and BitCountLo, as two 32-bit or two 64-bit halves.
template <class Engine>
LongMessageCase CaseOf(const char* name, int gcryptAlgorithm)
{
    return {name, [] { return std::make_unique<Engine>(); }, gcryptAlgorithm,
            [](const TDCP_hash& engine) {
                const auto& s = static_cast<const Engine&>(engine).State();
                if constexpr (sizeof s.BitCountLo == 4)
                    return BitCount{0, (uint64_t(s.BitCountHi) << 32) | s.BitCountLo};
                else
                    return BitCount{s.BitCountHi, s.BitCountLo};
            }};
}

std::vector<LongMessageCase> LongMessageCases()
{
    return {
        CaseOf<TDCP_sha1>("SHA1", GCRY_MD_SHA1),
        CaseOf<TDCP_sha256>("SHA256", GCRY_MD_SHA256),
        CaseOf<TDCP_sha384>("SHA384", GCRY_MD_SHA384),
        CaseOf<TDCP_sha512>("SHA512", GCRY_MD_SHA512),
        {"Tiger", [] { return std::make_unique<TDCP_tiger>(); }, GCRY_MD_TIGER1,
         [](const TDCP_hash& engine) {
             return BitCount{0, static_cast<const TDCP_tiger&>(engine).State().BitCount};
         }},
        // No library has five-pass HAVAL (nor its 0x80 pad): its counter is checked alone.
        CaseOf<TDCP_haval>("Haval", GCRY_MD_NONE),
    };
}

constexpr size_t Piece = size_t(512) << 20;

// One pseudo-random 512 MiB buffer for every case; the message repeats it.
const Bytes& PieceBytes()
{
    static const Bytes bytes = [] {
        Bytes b(Piece);
        std::mt19937_64 rng(0x4c6f6e67);
        for (size_t i = 0; i < b.size(); i += 8) {
            const uint64_t word = rng();
            std::memcpy(b.data() + i, &word, 8);
        }
        return b;
    }();
    return bytes;
}

// Feeds the same pieces to the engine and to libgcrypt, checks the engine's count after each
// piece, and compares the digests at the end.
void FeedAndCompare(const LongMessageCase& c, const std::vector<size_t>& pieces)
{
    const Bytes& bytes = PieceBytes();
    std::unique_ptr<TDCP_hash> engine = c.make();
    const bool hasOracle = c.gcryptAlgorithm != GCRY_MD_NONE;
    gcry_md_hd_t oracle = nullptr;
    if (hasOracle) {
        ASSERT_EQ(gcry_md_open(&oracle, c.gcryptAlgorithm, 0), 0u);
    }
    engine->Init();
    unsigned __int128 bits = 0;
    for (size_t size : pieces) {
        ASSERT_LE(size, bytes.size());
        engine->Update(bytes.data(), static_cast<uint32_t>(size));
        if (hasOracle)
            gcry_md_write(oracle, bytes.data(), size);
        bits += static_cast<unsigned __int128>(size) * 8;
        ASSERT_EQ(c.bitCount(*engine), (BitCount{uint64_t(bits >> 64), uint64_t(bits)}))
            << "after " << uint64_t(bits / 8) << " bytes";
    }
    Bytes ours(engine->HashSize() / 8);
    engine->Final(ours.data());
    if (!hasOracle)
        return;
    const unsigned char* theirs = gcry_md_read(oracle, c.gcryptAlgorithm);
    EXPECT_EQ(Hex(ours), Hex(Bytes(theirs, theirs + gcry_md_get_algo_dlen(c.gcryptAlgorithm))));
    gcry_md_close(oracle);
}

class LongMessages : public ::testing::TestWithParam<LongMessageCase> {
protected:
    static void SetUpTestSuite() { gcry_check_version(nullptr); }
};

// 4.5 GiB as nine calls of 512 MiB: the count passes 2^32 bits with the first call and 2^32
// bytes with the ninth.
TEST_P(LongMessages, SlowCountsBitsPast4GiB) { FeedAndCompare(GetParam(), std::vector<size_t>(9, Piece)); }

// 512 MiB pieces add nothing to the low 32 bits of a 32-bit pair; pieces of other sizes make
// the low word wrap in the addition itself, which must carry into the high word.
TEST_P(LongMessages, SlowCarriesTheLowWordIntoTheHighWord)
{
    const size_t odd = (size_t(200) << 20) + 3;
    FeedAndCompare(GetParam(), {odd, odd, odd, 61});
}

INSTANTIATE_TEST_SUITE_P(Engines, LongMessages, ::testing::ValuesIn(LongMessageCases()),
                         [](const ::testing::TestParamInfo<LongMessageCase>& test) {
                             return test.param.name;
                         });

}  // namespace

// The 128-bit count of SHA-384 and SHA-512 cannot be driven past 2^64 bits by feeding it, so its
// carry is checked on the counter itself, beside the 32-bit pair's.
TEST(BitCounters, CarryIntoTheirHighWord)
{
    uint64_t hi64 = 0, lo64 = ~uint64_t(0) - 7;
    CountBits128As64Pair(hi64, lo64, 1);
    EXPECT_EQ(hi64, 1u);
    EXPECT_EQ(lo64, 0u);
    CountBits128As64Pair(hi64, lo64, 0xFFFFFFFFu);
    EXPECT_EQ(hi64, 1u);
    EXPECT_EQ(lo64, uint64_t(0xFFFFFFFFu) * 8);
    hi64 = 5, lo64 = ~uint64_t(0);
    CountBits128As64Pair(hi64, lo64, 0);
    EXPECT_EQ(hi64, 5u);

    uint32_t hi32 = 0, lo32 = 0xFFFFFFF8u;
    CountBits64As32Pair(hi32, lo32, 1);
    EXPECT_EQ(hi32, 1u);
    EXPECT_EQ(lo32, 0u);
    CountBits64As32Pair(hi32, lo32, 0xFFFFFFFFu);  // 2^35 - 8 bits in one call
    EXPECT_EQ(hi32, 1u + 7u);
    EXPECT_EQ(lo32, 0xFFFFFFF8u);
}
