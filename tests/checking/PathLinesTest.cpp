// The result lines of the three paths (the MD5 line, the CRC-32 line, the engine lines) for
// real files read once by the hashing engine: digests against independent ones, and the error
// line or no line for every fault.
#include "checking/ResultLines.h"
#include "platform/PosixFileSystem.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/Oracle.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <gcrypt.h>

#include <algorithm>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string Md5Error = "MD5：读取文件错误";
const std::string Crc32Error = "CRC32_FCS32：读取文件错误";
const std::string EngineError = "：读取文件错误";

std::string Md5Line(const Bytes& content)
{
    std::string hex = Hex(GcryptDigest(GCRY_MD_MD5, content));
    std::transform(hex.begin(), hex.end(), hex.begin(),
                   [](char c) { return static_cast<char>(std::tolower(c)); });
    return "MD5：" + hex;
}
std::string Crc32Line(const Bytes& content)
{
    const Bytes crc = GcryptDigest(GCRY_MD_CRC32, content);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06X",
                  static_cast<unsigned>(crc[0] << 24 | crc[1] << 16 | crc[2] << 8 | crc[3]));
    return std::string("CRC32_FCS32：") + digits;
}

DigestSet Of(std::initializer_list<DigestAlgorithm> algorithms)
{
    DigestSet set;
    for (DigestAlgorithm a : algorithms)
        set.Add(a);
    return set;
}

const DigestSet kThreePaths = Of({DigestAlgorithm::MD5, DigestAlgorithm::CRC32, DigestAlgorithm::SHA1});

class PathLines : public ::testing::Test {
protected:
    // The lines of each path, one file after the other, as a pass makes them.
    std::vector<std::vector<std::string>> LinesOf(const std::vector<std::string>& paths, DigestSet set,
                                                  size_t blockBytes = 16384)
    {
        HashingOptions options;
        options.Threads = 2;
        options.BlockBytes = blockBytes;
        HashingRun run(files, paths, set, options);
        std::vector<std::vector<std::string>> lines;
        while (auto result = run.Wait())
            lines.push_back(ResultLines(KeptDigests(*result, set)));
        return lines;
    }
    std::vector<std::string> LinesOf(const std::string& path, DigestSet set = kThreePaths)
    {
        return LinesOf(std::vector<std::string>{path}, set).at(0);
    }

    std::string WriteBytes(const std::string& name, size_t size, uint32_t seed = 7)
    {
        std::string content(size, '\0');
        uint32_t x = seed;
        for (char& c : content) {
            x = x * 1664525u + 1013904223u;
            c = static_cast<char>(x >> 24);
        }
        return dir.Write(name, content);
    }
    // A file of zeros that takes no room on the disk.
    std::string Sparse(const std::string& name, int64_t size)
    {
        std::string path = dir / name;
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
        return path;
    }

    PosixFileSystem real;
    FaultyFileSystem files{real};
    TempDir dir;
};

}  // namespace

TEST_F(PathLines, WorkedExamples)
{
    EXPECT_EQ(LinesOf(dir.Write("abc.txt", "abc")),
              (std::vector<std::string>{"MD5：900150983cd24fb0d6963f7d28e17f72", "CRC32_FCS32：352441C2",
                                        "SHA1：A9993E364706816ABA3E25717850C26C9CD0D89D"}));
    EXPECT_EQ(LinesOf(dir.Write("empty", "")),
              (std::vector<std::string>{"MD5：d41d8cd98f00b204e9800998ecf8427e", "CRC32_FCS32：000000",
                                        "SHA1：DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"}));
    const DigestSet crc = Of({DigestAlgorithm::CRC32});
    std::vector<std::string> crcLines;
    for (const char* content : {"123456789", "&", " c"})
        crcLines.push_back(LinesOf(dir.Write("example", content), crc).at(0));
    EXPECT_EQ(crcLines, (std::vector<std::string>{"CRC32_FCS32：CBF43926", "CRC32_FCS32：0F6A70",
                                                  "CRC32_FCS32：E606BF"}));
}

// 0 is a checksum like any other: a file whose CRC-32 is 0 gets its line, with six digits.
TEST_F(PathLines, ZeroChecksumIsShownWithSixDigits)
{
    EXPECT_EQ(LinesOf(dir.Write("zero", std::string("\x9D\x0A\xD9\x6D", 4)), Of({DigestAlgorithm::CRC32})),
              std::vector<std::string>{"CRC32_FCS32：000000"});
}

TEST_F(PathLines, DigestsAroundTheBlockSizesAgreeWithIndependentOnes)
{
    for (size_t size : {1, 16383, 16384, 16385, 32768, 32769, 65521, 65522, 1000000}) {
        const std::string path = WriteBytes("f" + std::to_string(size), size);
        const Bytes content = AsBytes(ReadWholeFile(path));
        EXPECT_EQ(LinesOf(path),
                  (std::vector<std::string>{Md5Line(content), Crc32Line(content),
                                            "SHA1：" + Hex(GcryptDigest(GCRY_MD_SHA1, content))}))
            << "size " << size;
    }
}

TEST_F(PathLines, NothingOrAFolderAtThePathGivesNoLine)
{
    ::mkdir((dir / "folder").c_str(), 0755);
    EXPECT_TRUE(LinesOf(dir / "missing").empty());
    EXPECT_TRUE(LinesOf(dir / "folder").empty());
}

// A file that exists but cannot be opened or read, or ends before its size at the open, gets
// each chosen path's error line, and the file after it its digests.
TEST_F(PathLines, FailuresGiveTheErrorLinesAndTheNextFileIsHashedNormally)
{
    const std::string unopenable = WriteBytes("locked", 100);
    const std::string failing = WriteBytes("failing", 50000);
    const std::string shrinking = WriteBytes("shrinking", 50000);
    const std::string lastRead = WriteBytes("last", 50000);
    const std::string fine = WriteBytes("fine", 50000);
    files.FailOpen(unopenable);
    files.FailRead(failing, 2);
    files.ShortRead(shrinking, 3, 100);
    files.ShortRead(lastRead, 4, 50000 - 3 * 16384 - 1);  // one byte short in the final read
    const auto lines = LinesOf({unopenable, failing, shrinking, lastRead, fine}, kThreePaths);
    const std::vector<std::string> errors{Md5Error, Crc32Error, EngineError};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(lines[i], errors) << "file " << i;
    EXPECT_EQ(lines[4].at(0), Md5Line(AsBytes(ReadWholeFile(fine))));
    EXPECT_EQ(files.Reads(failing), 2) << "the reading stops at the failed read";
}

TEST_F(PathLines, OnlyTheChosenPathsGiveErrorLines)
{
    const std::string locked = WriteBytes("locked", 100);
    files.FailOpen(locked);
    EXPECT_EQ(LinesOf(locked, Of({DigestAlgorithm::MD5})), std::vector<std::string>{Md5Error});
    EXPECT_EQ(LinesOf(locked, Of({DigestAlgorithm::CRC32, DigestAlgorithm::Tiger192})),
              (std::vector<std::string>{Crc32Error, EngineError}));
    EXPECT_EQ(LinesOf(locked, Of({DigestAlgorithm::SHA256, DigestAlgorithm::MD4})),
              std::vector<std::string>{EngineError});
    EXPECT_TRUE(LinesOf(locked, DigestSet{}).empty());
}

TEST_F(PathLines, SpecialFilesAreRefusedWithoutBlocking)
{
    const std::string pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const std::vector<std::string> errors{Md5Error, Crc32Error, EngineError};
    EXPECT_EQ(LinesOf(pipe), errors);
    EXPECT_EQ(LinesOf("/dev/zero"), errors);
}

TEST_F(PathLines, NameThatIsNotUtf8IsHashed)
{
    EXPECT_EQ(LinesOf(dir.Write("\xC0\xFF name \x80.bin", "123456789"),
                      Of({DigestAlgorithm::MD5, DigestAlgorithm::CRC32})),
              (std::vector<std::string>{"MD5：25f9e794323b453885f5181f1b624d0b", "CRC32_FCS32：CBF43926"}));
}

// Sizes, byte counts and the MD5 bit count must not wrap at 32 bits. The file is sparse, so its
// zeros take no room on the disk, and the oracle is fed the same zeros a block at a time.
TEST_F(PathLines, SlowMoreThanFourGiBHashedByEveryPath)
{
    const int64_t size = (int64_t(1) << 32) + 123457;
    const std::string path = Sparse("large", size);
    GcryptDigest(GCRY_MD_MD5, {});  // initialises libgcrypt
    gcry_md_hd_t oracle;
    ASSERT_EQ(gcry_md_open(&oracle, GCRY_MD_MD5, 0), 0u);
    gcry_md_enable(oracle, GCRY_MD_CRC32);
    const std::vector<uint8_t> zeros(1 << 20);
    for (int64_t left = size; left > 0;) {
        const size_t piece = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(zeros.size())));
        gcry_md_write(oracle, zeros.data(), piece);
        left -= static_cast<int64_t>(piece);
    }
    const Bytes md5(gcry_md_read(oracle, GCRY_MD_MD5), gcry_md_read(oracle, GCRY_MD_MD5) + 16);
    const uint8_t* crc = gcry_md_read(oracle, GCRY_MD_CRC32);
    char crcText[16];
    std::snprintf(crcText, sizeof crcText, "%06X",
                  static_cast<unsigned>(crc[0] << 24 | crc[1] << 16 | crc[2] << 8 | crc[3]));
    std::string md5Hex = Hex(md5);
    std::transform(md5Hex.begin(), md5Hex.end(), md5Hex.begin(),
                   [](char c) { return static_cast<char>(std::tolower(c)); });
    gcry_md_close(oracle);

    EXPECT_EQ(LinesOf(std::vector<std::string>{path}, Of({DigestAlgorithm::MD5, DigestAlgorithm::CRC32}),
                      size_t{1} << 20)
                  .at(0),
              (std::vector<std::string>{"MD5：" + md5Hex, std::string("CRC32_FCS32：") + crcText}));
}
