// The SHA compressions one at a time: each variant is installed for the engines in turn, so a
// fault in a variant that this CPU would not choose by itself still shows, and each digest is
// held against libgcrypt.
#pragma once

#include "engines/ShaCompress.h"
#include "tests/support/Oracle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct ShaVariant {
    std::string name;
    ShaCompressions compressions;
    bool runsHere;
};

inline std::string PrintVariant(const ::testing::TestParamInfo<ShaVariant>& info)
{
    return info.param.name;
}

// Portable compressions everywhere, except the one that the variant under test replaces.
inline std::vector<ShaVariant> Sha1And256Variants()
{
    ShaCompressions accelerated = PortableShaCompressions();
    accelerated.Sha1 = &Sha1CompressShaExtensions;
    accelerated.Sha256 = &Sha256CompressShaExtensions;
    return {{"Portable", PortableShaCompressions(), true},
            {"ShaExtensions", accelerated, CpuHasShaExtensions()}};
}

inline std::vector<ShaVariant> Sha512Variants()
{
    ShaCompressions avx2 = PortableShaCompressions(), avx512 = avx2;
    avx2.Sha512 = &Sha512CompressAvx2;
    avx512.Sha512 = &Sha512CompressAvx512Vl;
    return {{"Portable", PortableShaCompressions(), true},
            {"Avx2", avx2, CpuHasAvx2Bmi2()},
            {"Avx512Vl", avx512, CpuHasAvx512Vl()}};
}

class ShaVariantTest : public ::testing::TestWithParam<ShaVariant> {
protected:
    void SetUp() override
    {
        if (!GetParam().runsHere)
            GTEST_SKIP() << "this CPU lacks the instructions of " << GetParam().name;
        before_ = UseShaCompressions(GetParam().compressions);
        installed_ = true;
    }
    void TearDown() override
    {
        if (installed_)
            UseShaCompressions(before_);
    }

private:
    ShaCompressions before_{};
    bool installed_ = false;
};

// Every length from 0 to 300 (each pad position, one and two final blocks, several full
// blocks), then a few messages of several MiB fed in random pieces.
inline void ExpectAgreesWithLibgcrypt(TDCP_hash& engine, int gcryptAlgorithm, size_t blockSize,
                                      uint64_t seed)
{
    std::mt19937_64 rng(seed);
    for (size_t length = 0; length <= 300; ++length) {
        Bytes message = RandomBytes(rng, length);
        ASSERT_EQ(Hex(EngineDigest(engine, message)), Hex(GcryptDigest(gcryptAlgorithm, message)))
            << "length " << length;
    }
    for (size_t length : {size_t(3) << 20, (size_t(5) << 20) + 77, (size_t(4) << 20) + 200}) {
        Bytes message = RandomBytes(rng, length);
        ASSERT_EQ(Hex(EngineDigestInPieces(engine, message, blockSize, rng)),
                  Hex(GcryptDigest(gcryptAlgorithm, message)))
            << "length " << length;
    }
}

// A compression variant against the portable one from random chaining words, for every block
// count up to nine, so that loops over several blocks and their ends are covered too.
template <class Chain>
void ExpectSameChains(ShaCompressFunction<Chain> variant, ShaCompressFunction<Chain> portable,
                      size_t blockSize, uint64_t seed)
{
    std::mt19937_64 rng(seed);
    for (size_t count = 1; count <= 9; ++count) {
        for (int trial = 0; trial < 20; ++trial) {
            Chain start;
            for (auto& word : start)
                word = static_cast<typename Chain::value_type>(rng());
            // One byte in front, so that the blocks do not start on any particular alignment.
            Bytes blocks = RandomBytes(rng, count * blockSize + 1);
            Chain expected = start, actual = start;
            portable(expected, blocks.data() + 1, count);
            variant(actual, blocks.data() + 1, count);
            ASSERT_EQ(actual, expected) << count << " blocks, trial " << trial;
        }
    }
}
