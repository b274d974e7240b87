// The MD5 file path: its line, its bar, its event pump and its failures, on real files.
#include "checksums/Md5FilePath.h"
#include "tests/checksums/ChecksumFileTesting.h"
#include "tests/support/Oracle.h"

#include <gcrypt.h>

#include <algorithm>

namespace {

std::string ExpectedLine(const std::string& content)
{
    std::string hex = Hex(GcryptDigest(GCRY_MD_MD5, AsBytes(content)));
    std::transform(hex.begin(), hex.end(), hex.begin(), [](char c) { return char(std::tolower(c)); });
    return "MD5：" + hex;
}

const std::string ErrorLine = "MD5：读取文件错误";

}  // namespace

using Md5FilePath = ChecksumFileTest;

TEST_F(Md5FilePath, WorkedExamples)
{
    AddMd5Line(context, dir.Write("abc.txt", "abc"));
    AddMd5Line(context, dir.Write("empty", ""));
    EXPECT_EQ(context.Lines, (std::vector<std::string>{"MD5：900150983cd24fb0d6963f7d28e17f72",
                                                       "MD5：d41d8cd98f00b204e9800998ecf8427e"}));
    EXPECT_EQ(context.BarSteps, 0);
    EXPECT_EQ(context.BarPosition, 0);
}

// The loop takes full blocks only while more than one block is left, so 16384 bytes take no
// turn and step nothing, 16385 take one; a turn steps the bar whenever the rounded percentage
// rises, which for 1,000,000 bytes is every one of its 61 turns.
TEST_F(Md5FilePath, BarStepsAndDigestsAroundTheBlockSize)
{
    struct Case {
        size_t size;
        int steps;
    };
    for (Case c : {Case{1, 0}, Case{16383, 0}, Case{16384, 0}, Case{16385, 1}, Case{32768, 1},
                   Case{32769, 2}, Case{1000000, 61}}) {
        RecordingPathContext run(files);
        std::string path = WriteBytes("f" + std::to_string(c.size), c.size);
        AddMd5Line(run, path);
        ASSERT_EQ(run.Lines.size(), 1u);
        EXPECT_EQ(run.Lines[0], ExpectedLine(ReadWholeFile(path))) << "size " << c.size;
        EXPECT_EQ(run.BarSteps, c.steps) << "size " << c.size;
        EXPECT_EQ(run.BarSets, 1) << "size " << c.size;
    }
}

TEST_F(Md5FilePath, EventsRunAtTheStartAndBeforeEveryFullBlock)
{
    std::string path = WriteBytes("million", 1000000);
    std::vector<int> readsBeforeEachRun;
    context.OnEvents = [&](int) { readsBeforeEachRun.push_back(files.Reads(path)); };
    AddMd5Line(context, path);
    std::vector<int> expected{0};
    for (int block = 0; block < 61; ++block)
        expected.push_back(block);
    EXPECT_EQ(readsBeforeEachRun, expected);
    EXPECT_EQ(files.Reads(path), 62);  // 61 blocks and the rest
}

TEST_F(Md5FilePath, NothingOrAFolderAtThePathGivesNoLine)
{
    ::mkdir((dir / "folder").c_str(), 0755);
    AddMd5Line(context, dir / "missing");
    AddMd5Line(context, dir / "folder");
    EXPECT_TRUE(context.Lines.empty());
    EXPECT_EQ(context.BarPosition, -1);
    EXPECT_EQ(context.EventRuns, 2);
}

TEST_F(Md5FilePath, FailuresGiveTheErrorLineAndTheNextFileIsHashedNormally)
{
    std::string unopenable = WriteBytes("locked", 100);
    std::string failing = WriteBytes("failing", 50000);
    std::string shrinking = WriteBytes("shrinking", 50000);
    std::string lastRead = WriteBytes("last", 50000);
    std::string fine = WriteBytes("fine", 50000);
    files.FailOpen(unopenable);
    files.FailRead(failing, 2);
    files.ShortRead(shrinking, 3, 100);
    files.ShortRead(lastRead, 4, 50000 - 3 * 16384 - 1);  // one byte short in the final read
    for (const std::string& path : {unopenable, failing, shrinking, lastRead, fine})
        AddMd5Line(context, path);
    EXPECT_EQ(context.Lines, (std::vector<std::string>{ErrorLine, ErrorLine, ErrorLine, ErrorLine,
                                                       ExpectedLine(ReadWholeFile(fine))}));
}

// A real short read: the file is cut while the path lets events run between two blocks.
TEST_F(Md5FilePath, FileCutBetweenTwoBlocksGivesTheErrorLine)
{
    std::string path = WriteBytes("cut", 3 * 16384 + 100);
    context.OnEvents = [&](int run) {
        if (run == 3) {  // after the first block
            ASSERT_EQ(::truncate(path.c_str(), 20000), 0);
        }
    };
    AddMd5Line(context, path);
    EXPECT_EQ(context.Lines, std::vector<std::string>{ErrorLine});
}

TEST_F(Md5FilePath, SpecialFilesAreRefusedWithoutBlocking)
{
    AddMd5Line(context, Fifo("pipe"));
    AddMd5Line(context, "/dev/zero");
    EXPECT_EQ(context.Lines, (std::vector<std::string>{ErrorLine, ErrorLine}));
}

TEST_F(Md5FilePath, NameThatIsNotUtf8IsHashed)
{
    std::string path = dir.Write("\xC0\xFF name \x80.bin", "abc");
    AddMd5Line(context, path);
    EXPECT_EQ(context.Lines, std::vector<std::string>{"MD5：900150983cd24fb0d6963f7d28e17f72"});
}

// 100 MiB climbs one percentage point per step, so the bar ends exactly at its full scale.
TEST_F(Md5FilePath, SlowHundredMiBStepsTheBarHundredTimes)
{
    const size_t size = 100 << 20;
    AddMd5Line(context, Sparse("hundred", size));
    EXPECT_EQ(context.BarSteps, 100);
    EXPECT_EQ(context.Lines, std::vector<std::string>{ExpectedLine(std::string(size, '\0'))});
}
