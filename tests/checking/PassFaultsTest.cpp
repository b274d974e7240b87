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
    checker.Calculate();

    EXPECT_EQ(Lines(0), (std::vector<std::string>{"MD5" + kErrorSuffix, "CRC32_FCS32" + kErrorSuffix, kErrorSuffix}));
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
    files.FailRead(path, 2);
    checker.Calculate();

    EXPECT_EQ(Lines(0), (std::vector<std::string>{"MD5" + kErrorSuffix, kErrorSuffix}));
    EXPECT_EQ(checker.List().At(0).ColourGroup, 0);
}

TEST_F(PassFaults, FileEndingShortOfItsSizeIsAnErrorNotADigestOfPartOfIt)
{
    SelectOnly({HashItem::MD5, HashItem::SHA1, HashItem::SHA256});
    const std::string path = WriteRandom("shrinking.bin", 40000);
    Drop({path});
    files.ShortRead(path, 2, 100);
    checker.Calculate();

    EXPECT_EQ(Lines(0), (std::vector<std::string>{"MD5" + kErrorSuffix, kErrorSuffix}));
}

TEST_F(PassFaults, FileCutBetweenTwoBlocksOfTheEngineBatch)
{
    SelectOnly({HashItem::SHA1, HashItem::MD4});
    const std::string path = WriteRandom("cut.bin", 100000);
    Drop({path});
    // Event run 1 opens the batch, run 2 follows its first block.
    window.OnEvents = [&](int run) {
        if (run == 2) {
            ASSERT_EQ(::truncate(path.c_str(), 20000), 0);
        }
    };
    checker.Calculate();

    EXPECT_EQ(Lines(0), (std::vector<std::string>{kErrorSuffix}));
}

TEST_F(PassFaults, FileCutDuringTheMd5PathIsSeenWholeByTheLaterPaths)
{
    const std::string path = WriteRandom("cut.bin", 100000);
    Drop({path});
    // Runs 1 and 2: the MD5 path's start and its first block; run 3 comes before its second.
    window.OnEvents = [&](int run) {
        if (run == 3) {
            ASSERT_EQ(::truncate(path.c_str(), 20000), 0);
        }
    };
    checker.Calculate();

    const std::string now = ReadWholeFile(path);
    ASSERT_EQ(now.size(), 20000u);
    EXPECT_EQ(Lines(0), (std::vector<std::string>{"MD5" + kErrorSuffix,
                                                  "SHA1：" + Hex(GcryptDigest(GCRY_MD_SHA1, AsBytes(now)))}));
}

TEST_F(PassFaults, FifoFoundAtCalculationTimeCountsAsAFileThatCannotBeOpened)
{
    SelectAll();
    const std::string path = dir.Write("pipe", "was a file");
    Drop({path});
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    // Nothing writes to the FIFO: a path that opened it for reading would wait for ever.
    checker.Calculate();

    EXPECT_EQ(Lines(0), (std::vector<std::string>{"MD5" + kErrorSuffix, "CRC32_FCS32" + kErrorSuffix, kErrorSuffix}));
    EXPECT_EQ(window.StatusText, "计算完毕");
}
