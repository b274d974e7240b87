// The MD5 routines against libgcrypt and the MD5 engine, and what they leave behind.
#include "checksums/md5.h"
#include "engines/DCPmd5.h"
#include "tests/support/Oracle.h"

#include <gcrypt.h>
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstring>

namespace {

std::string LowerHex(const Bytes& bytes)
{
    std::string text = Hex(bytes);
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return char(std::tolower(c)); });
    return text;
}

std::string Md5Of(const uint8_t* data, size_t size)
{
    Md5Context context;
    Md5Start(context);
    Md5Feed(context, data, static_cast<uint32_t>(size));
    Md5Digest digest;
    Md5Finish(context, digest);
    return Md5Hex(digest);
}
std::string Md5Of(const std::string& text)
{
    return Md5Of(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::string GcryptMd5(const Bytes& message) { return LowerHex(GcryptDigest(GCRY_MD_MD5, message)); }

}  // namespace

TEST(Md5Routines, PublishedDigestsOfRfc1321)
{
    EXPECT_EQ(Md5Of("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(Md5Of("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

// Every length up to 300 passes each padding case: one block of pad, two blocks (56..63 bytes
// pending), and messages that end exactly on a block edge.
TEST(Md5Routines, AgreeWithLibgcryptOnEveryShortLength)
{
    std::mt19937_64 rng(1321);
    for (size_t size = 0; size <= 300; ++size) {
        Bytes message = RandomBytes(rng, size);
        ASSERT_EQ(Md5Of(message.data(), size), GcryptMd5(message)) << "size " << size;
    }
}

TEST(Md5Routines, PiecesOfAnySizeGiveTheDigestOfOneFeed)
{
    std::mt19937_64 rng(64);
    for (size_t size : {size_t(1) << 20, (size_t(3) << 20) + 17, size_t(5000)}) {
        Bytes message = RandomBytes(rng, size);
        Md5Context context;
        Md5Start(context);
        size_t at = 0;
        while (at < size) {
            static constexpr size_t shapes[] = {0, 1, 55, 56, 63, 64, 65, 127, 128, 16384};
            size_t piece = rng() % 3 == 0 ? 1 + rng() % 70000 : shapes[rng() % std::size(shapes)];
            piece = std::min(piece, size - at);
            Md5Feed(context, message.data() + at, static_cast<uint32_t>(piece));
            at += piece;
        }
        Md5Digest digest;
        Md5Finish(context, digest);
        EXPECT_EQ(Md5Hex(digest), GcryptMd5(message)) << "size " << size;
    }
}

TEST(Md5Routines, AgreeWithTheMd5Engine)
{
    std::mt19937_64 rng(5);
    TDCP_md5 engine;
    for (size_t size : {0, 1, 56, 64, 119, 120, 1000, 65536, 100003}) {
        Bytes message = RandomBytes(rng, size);
        EXPECT_EQ(Md5Of(message.data(), size), LowerHex(EngineDigest(engine, message))) << "size " << size;
    }
}

TEST(Md5Routines, FinishLeavesTheWholeContextZero)
{
    for (size_t size : {3, 60, 64, 200}) {
        Bytes message(size, 0xA5);
        Md5Context context;
        Md5Start(context);
        Md5Feed(context, message.data(), static_cast<uint32_t>(size));
        Md5Digest digest;
        Md5Finish(context, digest);
        EXPECT_TRUE(AllZero(std::as_bytes(std::span<const Md5Context, 1>(&context, 1)))) << "size " << size;
    }
}

TEST(Md5Routines, BitCountCarriesIntoTheHighWord)
{
    Md5Context context;
    Md5Start(context);
    // 2^32 - 8 bits counted, so 63 bytes are pending; one more byte wraps the low word.
    context.LengthBits = {0xFFFFFFF8u, 0};
    uint8_t byte = 0;
    Md5Feed(context, &byte, 1);
    EXPECT_EQ(context.LengthBits[0], 0u);
    EXPECT_EQ(context.LengthBits[1], 1u);
}

// One feed of more than 2^29 bytes counts its length through the high word. The zeros come
// from untouched anonymous memory, so no real memory is needed for them.
TEST(Md5Routines, SlowOneFeedLongerThan512MiB)
{
    const size_t size = (size_t(1) << 29) + (size_t(1) << 28) + 77;
    void* zeros = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(zeros, MAP_FAILED);
    std::string ours = Md5Of(static_cast<const uint8_t*>(zeros), size);

    GcryptDigest(GCRY_MD_MD5, {});  // initialises libgcrypt
    gcry_md_hd_t oracle;
    ASSERT_EQ(gcry_md_open(&oracle, GCRY_MD_MD5, 0), 0u);
    gcry_md_write(oracle, zeros, size);
    Bytes expected(gcry_md_read(oracle, GCRY_MD_MD5), gcry_md_read(oracle, GCRY_MD_MD5) + 16);
    gcry_md_close(oracle);
    munmap(zeros, size);
    EXPECT_EQ(ours, LowerHex(expected));
}
