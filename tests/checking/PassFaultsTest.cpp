// Files that cannot be opened or read, or change while a pass reads them.
#include "tests/checking/CheckerTestBed.h"

#include <gcrypt.h>

#include <filesystem>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class PassFaults : public CheckerTestBed {
protected:
    std::string WriteRandom(const std::string& name, size_t size)
    {
        std::mt19937_64 rng(size);
        return dir.Write(name, RandomBytes(rng, size));
    }
};

}  // namespace

TEST_F(PassFaults, FileThatCannotBeOpenedGivesOneErrorLinePerPathAndTheNextFileIsHashed)
{
    SelectAll();
    const std::string locked = dir.Write("locked.txt", "abc");
    const std::string fine = dir.Write("fine.txt", "abc");
    Drop({locked, fine});
    files.FailOpen(locked);
    Calculate();

    EXPECT_EQ(Lines(0),
              (std::vector<std::string>{"MD5" + kErrorSuffix, "CRC32_FCS32" + kErrorSuffix, kErrorSuffix}));
    EXPECT_EQ(Lines(1).size(), 11u);
    EXPECT_EQ(Lines(1).back(), "Tiger192：2AAB1484E8C158F2BFB8C5FF41B57A525129131C957B5F93");
    EXPECT_TRUE(checker.List().IsDone(0));
    EXPECT_EQ(checker.List().At(0).ColourGroup, 0);
}

TEST_F(PassFaults, FailingReadGivesTheErrorLineAndNoDigestLine)
{
    SelectOnly({HashItem::MD5, HashItem::SHA1, HashItem::SHA512});
    const std::string path = WriteRandom("bad-sector.bin", 40000);
    Drop({path});
    files.FailRead(path, 1);  // a block holds the whole file: its one read fails
    Calculate();

    EXPECT_EQ(Lines(0), (std::vector<std::string>{"MD5" + kErrorSuffix, kErrorSuffix}));
    EXPECT_EQ(checker.List().At(0).ColourGroup, 0);
}

TEST_F(PassFaults, FileEndingShortOfItsSizeIsAnErrorNotADigestOfPartOfIt)
{
    SelectOnly({HashItem::MD5, HashItem::SHA1, HashItem::SHA256});
    const std::string path = WriteRandom("shrinking.bin", 40000);
    Drop({path});
    files.ShortRead(path, 1, 100);  // the file ends after 100 bytes
    Calculate();

    EXPECT_EQ(Lines(0), (std::vector<std::string>{"MD5" + kErrorSuffix, kErrorSuffix}));
}

// The file is read once for all paths: cut between two reads, it gives every path's error line
// (a file that comes out shorter than its size at the open shrank while it was read).
TEST_F(PassFaults, FileCutBetweenTwoReadsGivesEveryChosenPathsErrorLine)
{
    SelectOnly({HashItem::MD5, HashItem::CRC32_FCS32, HashItem::SHA1, HashItem::MD4});
    const std::string path = WriteRandom("cut.bin", 100000);
    const std::string next = WriteRandom("next.bin", 10);
    Drop({path, next});
    HashingOptions options;
    options.BlockBytes = 16384;
    checker.SetHashingOptions(options);
    files.AfterRead(path, 1, [&] { ASSERT_EQ(::truncate(path.c_str(), 20000), 0); });
    Calculate();

    EXPECT_EQ(Lines(0),
              (std::vector<std::string>{"MD5" + kErrorSuffix, "CRC32_FCS32" + kErrorSuffix, kErrorSuffix}));
    EXPECT_EQ(Lines(1).size(), 4u);
    EXPECT_EQ(files.Opens(path), 1) << "one open for every path";
}

// /proc reports a size of 0 for files with content: every path reads to the end, so the MD5
// line is of the same content as the others.
TEST_F(PassFaults, FileWhoseSizeSaysZeroIsHashedToItsEndByEveryPath)
{
    SelectOnly({HashItem::MD5, HashItem::SHA1});
    const std::string path = "/proc/version";
    ASSERT_EQ(std::filesystem::file_size(path), 0u);
    const Bytes content = AsBytes(ReadWholeFile(path));
    ASSERT_FALSE(content.empty());
    Drop({path});
    Calculate();
    EXPECT_EQ(Lines(0), (std::vector<std::string>{"MD5：" + Lower(Hex(GcryptDigest(GCRY_MD_MD5, content))),
                                                  "SHA1：" + Hex(GcryptDigest(GCRY_MD_SHA1, content))}));
}

TEST_F(PassFaults, FifoFoundAtCalculationTimeCountsAsAFileThatCannotBeOpened)
{
    SelectAll();
    const std::string path = dir.Write("pipe", "was a file");
    Drop({path});
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    // Nothing writes to the FIFO: a path that opened it for reading would wait for ever.
    Calculate();

    EXPECT_EQ(Lines(0),
              (std::vector<std::string>{"MD5" + kErrorSuffix, "CRC32_FCS32" + kErrorSuffix, kErrorSuffix}));
    EXPECT_EQ(window.StatusText, "计算完毕");
}
