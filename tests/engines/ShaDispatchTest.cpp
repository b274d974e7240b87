// The choice among the SHA compressions: what the CPU is found to have, and that the engines run
// the chosen variant (the variant tests rely on it to reach the one they name).
#include "engines/DCPsha1.h"
#include "engines/DCPsha256.h"
#include "engines/DCPsha512.h"
#include "tests/support/Oracle.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

namespace {

// The feature flags that the kernel reports for the first CPU; it drops those the operating
// system does not enable, as our own probe must.
std::set<std::string> KernelCpuFlags()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("flags", 0) != 0)
            continue;
        std::istringstream words(line.substr(line.find(':') + 1));
        return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
    }
    return {};
}

int sha1Blocks = 0, sha256Blocks = 0, sha512Blocks = 0;

void CountingSha1(Sha1Chain& chain, const uint8_t* blocks, size_t count)
{
    sha1Blocks += static_cast<int>(count);
    Sha1CompressPortable(chain, blocks, count);
}
void CountingSha256(Sha256Chain& chain, const uint8_t* blocks, size_t count)
{
    sha256Blocks += static_cast<int>(count);
    Sha256CompressPortable(chain, blocks, count);
}
void CountingSha512(Sha512Chain& chain, const uint8_t* blocks, size_t count)
{
    sha512Blocks += static_cast<int>(count);
    Sha512CompressPortable(chain, blocks, count);
}

}  // namespace

TEST(ShaDispatch, FindsTheInstructionSetsTheKernelReports)
{
    const std::set<std::string> flags = KernelCpuFlags();
    if (flags.empty())
        GTEST_SKIP() << "no /proc/cpuinfo";
    auto has = [&](const char* flag) { return flags.count(flag) != 0; };
    EXPECT_EQ(CpuHasShaExtensions(), has("sha_ni") && has("ssse3") && has("sse4_1"));
    EXPECT_EQ(CpuHasAvx2Bmi2(), has("avx2") && has("bmi1") && has("bmi2"));
    EXPECT_EQ(CpuHasAvx512Vl(), CpuHasAvx2Bmi2() && has("avx512f") && has("avx512vl"));
}

TEST(ShaDispatch, EnginesRunTheChosenCompressionAndGetTheOldOneBack)
{
    const ShaCompressions before = UseShaCompressions({&CountingSha1, &CountingSha256, &CountingSha512});
    const Bytes message(1000, 0x61);
    TDCP_sha1 sha1;
    TDCP_sha256 sha256;
    TDCP_sha512 sha512;
    const Bytes digest1 = EngineDigest(sha1, message);
    const Bytes digest256 = EngineDigest(sha256, message);
    const Bytes digest512 = EngineDigest(sha512, message);
    const ShaCompressions counting = UseShaCompressions(before);

    // 1000 bytes and the pad: 16 blocks of 64 bytes, 8 of 128.
    EXPECT_EQ(sha1Blocks, 16);
    EXPECT_EQ(sha256Blocks, 16);
    EXPECT_EQ(sha512Blocks, 8);
    EXPECT_EQ(counting.Sha1, &CountingSha1);
    EXPECT_EQ(counting.Sha256, &CountingSha256);
    EXPECT_EQ(counting.Sha512, &CountingSha512);

    // Back on the previous compressions, which give the same digests without counting.
    EXPECT_EQ(EngineDigest(sha1, message), digest1);
    EXPECT_EQ(EngineDigest(sha256, message), digest256);
    EXPECT_EQ(EngineDigest(sha512, message), digest512);
    EXPECT_EQ(sha1Blocks, 16);
}

TEST(ShaDispatch, NamesTheVariantsThatRun)
{
    const ShaCompressions before = UseShaCompressions(PortableShaCompressions());
    EXPECT_EQ(ShaVariantsInUse(), "SHA-1 portable, SHA-256 portable, SHA-512 portable");
    UseShaCompressions({&CountingSha1, &Sha256CompressPortable, &Sha512CompressPortable});
    EXPECT_EQ(ShaVariantsInUse(), "SHA-1 chosen from outside, SHA-256 portable, SHA-512 portable");
    UseShaCompressions(before);
    // The CPU's own choice has a name of its own, never the portable one where the CPU has more.
    if (CpuHasShaExtensions()) {
        EXPECT_EQ(ShaVariantsInUse().find("SHA-1 portable"), std::string::npos);
    }
}

TEST(ShaDispatch, TheFastestIsAVariantTheCpuRunsAndStaysTheSame)
{
    const ShaCompressions first = FastestShaCompressions(), again = FastestShaCompressions();
    EXPECT_EQ(first.Sha1, again.Sha1);
    EXPECT_EQ(first.Sha512, again.Sha512);
    if (!CpuHasShaExtensions()) {
        EXPECT_EQ(first.Sha1, &Sha1CompressPortable);
        EXPECT_EQ(first.Sha256, &Sha256CompressPortable);
    } else {
        EXPECT_NE(first.Sha1, &Sha1CompressPortable);
        EXPECT_EQ(first.Sha256, &Sha256CompressShaExtensions);
    }
    if (!CpuHasAvx512Vl()) {
        EXPECT_NE(first.Sha1, &Sha1CompressShaExtensionsAvx512Vl);
        EXPECT_NE(first.Sha512, &Sha512CompressAvx512Vl);
    }
    if (CpuHasAvx2Bmi2()) {
        EXPECT_NE(first.Sha512, &Sha512CompressPortable);
    } else {
        EXPECT_EQ(first.Sha512, &Sha512CompressPortable);
    }
}
