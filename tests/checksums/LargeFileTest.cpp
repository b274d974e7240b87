// Both checksum paths over a file of more than 4 GiB: sizes, byte counts and the MD5 bit count
// must not wrap at 32 bits. The file is sparse, so its zeros take no room on the disk, and the
// oracles are fed the same zeros a block at a time.
#include "checksums/Crc32FilePath.h"
#include "checksums/Md5FilePath.h"
#include "tests/checksums/ChecksumFileTesting.h"
#include "tests/support/Oracle.h"

#include <gcrypt.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>

using LargeFile = ChecksumFileTest;

TEST_F(LargeFile, SlowMoreThanFourGiBHashedByBothPaths)
{
    const int64_t size = (int64_t(1) << 32) + 123457;
    std::string path = Sparse("large", size);

    GcryptDigest(GCRY_MD_MD5, {});  // initialises libgcrypt
    gcry_md_hd_t md5;
    ASSERT_EQ(gcry_md_open(&md5, GCRY_MD_MD5, 0), 0u);
    uLong crc = crc32_z(0, nullptr, 0);
    const std::vector<uint8_t> zeros(1 << 20);
    for (int64_t left = size; left > 0;) {
        size_t piece = static_cast<size_t>(std::min<int64_t>(left, zeros.size()));
        gcry_md_write(md5, zeros.data(), piece);
        crc = crc32_z(crc, zeros.data(), piece);
        left -= static_cast<int64_t>(piece);
    }
    Bytes digest(gcry_md_read(md5, GCRY_MD_MD5), gcry_md_read(md5, GCRY_MD_MD5) + 16);
    gcry_md_close(md5);
    std::string md5Hex = Hex(digest);
    std::transform(md5Hex.begin(), md5Hex.end(), md5Hex.begin(), [](char c) { return char(std::tolower(c)); });
    char crcHex[16];
    std::snprintf(crcHex, sizeof crcHex, "%06lX", crc);

    RecordingPathContext md5Run(files);
    AddMd5Line(md5Run, path);
    EXPECT_EQ(md5Run.Lines, std::vector<std::string>{"MD5：" + md5Hex});
    EXPECT_EQ(md5Run.BarSteps, 100);

    RecordingPathContext crcRun(files);
    AddCrc32Line(crcRun, path);
    EXPECT_EQ(crcRun.Lines, std::vector<std::string>{std::string("CRC32_FCS32：") + crcHex});
    EXPECT_EQ(crcRun.BarSteps, static_cast<int>((size + 65520) / 65521 + 1));
}
