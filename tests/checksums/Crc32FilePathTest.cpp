// The CRC-32 file path: its line, its bar and its failures, on real files.
#include "checksums/Crc32FilePath.h"
#include "tests/checksums/ChecksumFileTesting.h"

#include <zlib.h>

#include <cstdio>

namespace {

std::string ExpectedLine(const std::string& content)
{
    uLong crc = crc32_z(0, reinterpret_cast<const Bytef*>(content.data()), content.size());
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06lX", crc);
    return std::string("CRC32_FCS32：") + digits;
}

const std::string ErrorLine = "CRC32_FCS32：读取文件错误";

}  // namespace

using Crc32FilePath = ChecksumFileTest;

TEST_F(Crc32FilePath, WorkedExamples)
{
    for (const char* content : {"123456789", "abc", "&", " c"})
        AddCrc32Line(context, dir.Write("example", content));
    EXPECT_EQ(context.Lines, (std::vector<std::string>{"CRC32_FCS32：CBF43926", "CRC32_FCS32：352441C2",
                                                       "CRC32_FCS32：0F6A70", "CRC32_FCS32：E606BF"}));
}

// 0 is a checksum like any other: the empty file and a file whose CRC-32 is 0 get their line.
TEST_F(Crc32FilePath, ZeroChecksumIsShownWithSixDigits)
{
    AddCrc32Line(context, dir.Write("zero", std::string("\x9D\x0A\xD9\x6D", 4)));
    AddCrc32Line(context, dir.Write("empty", ""));
    EXPECT_EQ(context.Lines, (std::vector<std::string>{"CRC32_FCS32：000000", "CRC32_FCS32：000000"}));
}

// One step per read, the read that finds the end included.
TEST_F(Crc32FilePath, BarStepsOncePerRead)
{
    struct Case {
        size_t size;
        int steps;
    };
    for (Case c : {Case{0, 1}, Case{1, 2}, Case{65520, 2}, Case{65521, 2}, Case{65522, 3},
                   Case{3 * 65521, 4}, Case{1000000, 17}}) {
        RecordingPathContext run(files);
        std::string path = WriteBytes("f" + std::to_string(c.size), c.size);
        AddCrc32Line(run, path);
        EXPECT_EQ(run.BarSteps, c.steps) << "size " << c.size;
        EXPECT_EQ(run.BarSets, 1);
        EXPECT_EQ(run.Lines, std::vector<std::string>{ExpectedLine(ReadWholeFile(path))}) << "size " << c.size;
    }
}

TEST_F(Crc32FilePath, NothingOrAFolderAtThePathGivesNoLine)
{
    ::mkdir((dir / "folder").c_str(), 0755);
    AddCrc32Line(context, dir / "missing");
    AddCrc32Line(context, dir / "folder");
    EXPECT_TRUE(context.Lines.empty());
    EXPECT_EQ(context.BarPosition, -1);
}

// A file that exists but cannot be opened gets the error line like on the other paths, and
// does not disturb the checksum of the file after it.
TEST_F(Crc32FilePath, FailuresGiveTheErrorLineAndTheNextFileIsChecksummed)
{
    std::string unopenable = WriteBytes("locked", 100);
    std::string failing = WriteBytes("failing", 200000);
    std::string fine = WriteBytes("fine", 200000);
    files.FailOpen(unopenable);
    files.FailRead(failing, 3);
    for (const std::string& path : {unopenable, failing, fine})
        AddCrc32Line(context, path);
    EXPECT_EQ(context.Lines, (std::vector<std::string>{ErrorLine, ErrorLine, ExpectedLine(ReadWholeFile(fine))}));
    EXPECT_EQ(files.Reads(failing), 3);  // the checksum stops at the failed read
}

TEST_F(Crc32FilePath, SpecialFilesAreRefusedWithoutBlocking)
{
    AddCrc32Line(context, Fifo("pipe"));
    AddCrc32Line(context, "/dev/zero");
    EXPECT_EQ(context.Lines, (std::vector<std::string>{ErrorLine, ErrorLine}));
}

// A file cut while events run between two reads would give the checksum of a content that
// never existed whole: it is an error like the other paths give.
TEST_F(Crc32FilePath, FileCutBetweenTwoReadsGivesTheErrorLine)
{
    std::string path = WriteBytes("cut", 200000);
    context.OnEvents = [&](int run) {
        if (run == 3) {  // after the first read
            ASSERT_EQ(::truncate(path.c_str(), 70000), 0);
        }
    };
    AddCrc32Line(context, path);
    EXPECT_EQ(context.Lines, std::vector<std::string>{ErrorLine});
    EXPECT_EQ(context.BarSteps, 3);
}

TEST_F(Crc32FilePath, NameThatIsNotUtf8IsChecksummed)
{
    AddCrc32Line(context, dir.Write("\xC0\xFF name \x80.bin", "123456789"));
    EXPECT_EQ(context.Lines, std::vector<std::string>{"CRC32_FCS32：CBF43926"});
}
