// The SHA compressions one at a time: each variant is installed for the engines in turn, so a
// fault in a variant that this CPU would not choose by itself still shows, and each digest is
// held against libgcrypt.
#pragma once

#include "engines/ShaCompress.h"
#include "tests/support/Oracle.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

struct ShaVariant {
    std::string name;
    ShaCompressions compressions;
    bool runsHere;
};

inline std::string PrintVariant(const ::testing::TestParamInfo<ShaVariant>& info) { return info.param.name; }

// Portable compressions everywhere, except the one that the variant under test replaces.
inline std::vector<ShaVariant> Sha1Variants()
{
    ShaCompressions shaExtensions = PortableShaCompressions(), withAvx512 = shaExtensions,
                    sseE = shaExtensions;
    shaExtensions.Sha1 = &Sha1CompressShaExtensions;
    withAvx512.Sha1 = &Sha1CompressShaExtensionsAvx512Vl;
    sseE.Sha1 = &Sha1CompressShaExtensionsSseE;
    return {{"Portable", PortableShaCompressions(), true},
            {"ShaExtensions", shaExtensions, CpuHasShaExtensions()},
            {"ShaExtensionsSseE", sseE, CpuHasShaExtensions()},
            {"ShaExtensionsAvx512Vl", withAvx512, CpuHasShaExtensions() && CpuHasAvx512Vl()}};
}

inline std::vector<ShaVariant> Sha256Variants()
{
    ShaCompressions shaExtensions = PortableShaCompressions();
    shaExtensions.Sha256 = &Sha256CompressShaExtensions;
    return {{"Portable", PortableShaCompressions(), true},
            {"ShaExtensions", shaExtensions, CpuHasShaExtensions()}};
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

// The variants that replace the portable compressions, to be held against those.
inline std::vector<ShaVariant> Accelerated(std::vector<ShaVariant> variants)
{
    variants.erase(variants.begin());
    return variants;
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
inline void ExpectAgreesWithLibgcrypt(TDCP_hash& engine, int gcryptAlgorithm, size_t blockSize, uint64_t seed)
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

// Bytes that end where readable memory ends: one byte read past them faults at once.
class BytesBeforeAGuardPage {
public:
    explicit BytesBeforeAGuardPage(const Bytes& bytes)
    {
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        size_ = (bytes.size() + page - 1) / page * page + page;
        void* map = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (map == MAP_FAILED)
            throw std::runtime_error("mmap failed");
        map_ = static_cast<uint8_t*>(map);
        mprotect(map_ + size_ - page, page, PROT_NONE);
        data_ = map_ + size_ - page - bytes.size();
        std::memcpy(data_, bytes.data(), bytes.size());
    }
    ~BytesBeforeAGuardPage() { munmap(map_, size_); }
    BytesBeforeAGuardPage(const BytesBeforeAGuardPage&) = delete;
    BytesBeforeAGuardPage& operator=(const BytesBeforeAGuardPage&) = delete;
    const uint8_t* data() const { return data_; }

private:
    uint8_t* map_;
    uint8_t* data_;
    size_t size_;
};

// A compression variant against the portable one from random chaining words, for every block
// count up to nine, so that loops over several blocks and their ends are covered too: once
// from an address of no particular alignment, once with the blocks right before unreadable
// memory, since the engines compress straight from the caller's buffer.
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
            Bytes blocks = RandomBytes(rng, count * blockSize + 1);
            Chain expected = start, actual = start;
            portable(expected, blocks.data() + 1, count);
            variant(actual, blocks.data() + 1, count);
            ASSERT_EQ(actual, expected) << count << " blocks, trial " << trial;

            const BytesBeforeAGuardPage guarded(Bytes(blocks.begin() + 1, blocks.end()));
            actual = start;
            variant(actual, guarded.data(), count);
            ASSERT_EQ(actual, expected) << count << " blocks before a guard page, trial " << trial;
        }
    }
}
