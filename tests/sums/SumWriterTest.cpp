// Our lines against the real tools: byte for byte what coreutils writes, and accepted by the
// tools' own checking (-c) over awkward names.
#include "sums/SumWriter.h"
#include "sums/SumFileReader.h"
#include "sums/SumVerdict.h"
#include "tests/support/SumsTesting.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct CoreutilsTool {
    const char* Command;
    DigestAlgorithm Algorithm;
};

constexpr CoreutilsTool kCoreutilsTools[] = {
    {"md5sum", DigestAlgorithm::MD5},       {"sha1sum", DigestAlgorithm::SHA1},
    {"sha256sum", DigestAlgorithm::SHA256}, {"sha384sum", DigestAlgorithm::SHA384},
    {"sha512sum", DigestAlgorithm::SHA512},
};

class WrittenSums : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(dir_ / "data");
        names_ = AwkwardNames(true);
        int i = 0;
        for (const std::string& name : names_) {
            dir_.Write("data/" + name,
                       std::string(static_cast<size_t>(i) * 97, 'q') + name + std::to_string(i));
            ++i;
        }
    }

    std::string ToolOutput(const std::string& command)
    {
        std::string line = "cd " + ShellWord(dir_.Path()) + " && " + command;
        for (const std::string& name : names_)
            line += " " + ShellWord("data/" + name);
        EXPECT_EQ(RunShell(line + " > out"), 0);
        return ReadWholeFile(dir_ / "out");
    }

    TempDir dir_;
    std::vector<std::string> names_;
};

TEST_F(WrittenSums, GnuAndTaggedLinesAreCoreutilsBytes)
{
    for (const CoreutilsTool& tool : kCoreutilsTools) {
        std::string gnu, tagged;
        for (const std::string& name : names_) {
            // Written with the oracle's digest in upper case: the writer must lower it.
            std::string hex = OracleFileHex(tool.Algorithm, dir_ / ("data/" + name));
            for (char& c : hex)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            gnu += GnuSumLine(hex, "data/" + name);
            tagged += TaggedSumLine(tool.Algorithm, hex, "data/" + name);
        }
        EXPECT_EQ(gnu, ToolOutput(tool.Command)) << tool.Command;
        EXPECT_EQ(tagged, ToolOutput(std::string(tool.Command) + " --tag")) << tool.Command;
    }
}

TEST_F(WrittenSums, ToolsCheckOurFilesAndWeReadThemBack)
{
    for (const CoreutilsTool& tool : kCoreutilsTools) {
        std::string gnu;
        for (const std::string& name : names_)
            gnu += GnuSumLine(OracleFileHex(tool.Algorithm, dir_ / ("data/" + name)), "data/" + name);
        dir_.Write("ours.gnu", gnu);
        EXPECT_EQ(RunShell("cd " + ShellWord(dir_.Path()) + " && " + tool.Command +
                           " --strict -c ours.gnu >/dev/null"),
                  0)
            << tool.Command;
        const SumFileContents back = ParseSumText(gnu, {});
        ASSERT_EQ(back.Listings.size(), names_.size());
        for (size_t i = 0; i < names_.size(); ++i)
            EXPECT_EQ(
                Judge(back.Listings[i].Line.Digest, back.Listings[i].Line.Candidates,
                      OracleDigests(dir_ / back.Listings[i].Line.Name, back.Listings[i].Line.Candidates)),
                SumVerdict::Matches);
    }
}

TEST_F(WrittenSums, RhashChecksOurTaggedFile)
{
    std::string tagged;
    const DigestAlgorithm rhashKnows[] = {
        DigestAlgorithm::MD5,    DigestAlgorithm::CRC32,     DigestAlgorithm::SHA1,
        DigestAlgorithm::MD4,    DigestAlgorithm::RipeMD160, DigestAlgorithm::SHA256,
        DigestAlgorithm::SHA384, DigestAlgorithm::SHA512,    DigestAlgorithm::Tiger192};
    // rhash reads "\" as a folder separator and has no escapes: the plainer names.
    for (const std::string& name : AwkwardNames(false))
        for (DigestAlgorithm algorithm : rhashKnows)
            tagged +=
                TaggedSumLine(algorithm, OracleFileHex(algorithm, dir_ / ("data/" + name)), "data/" + name);
    dir_.Write("ours.bsd", tagged);
    EXPECT_EQ(RunShell("cd " + ShellWord(dir_.Path()) + " && rhash --skip-ok -c ours.bsd >/dev/null 2>&1"),
              0);
    // A changed byte must make rhash fail, or the test above proves nothing.
    std::string broken = tagged;
    broken[broken.find(") = ") + 4] ^= 1;
    dir_.Write("broken.bsd", broken);
    EXPECT_NE(RunShell("cd " + ShellWord(dir_.Path()) + " && rhash -c broken.bsd >/dev/null 2>&1"), 0);
}

TEST_F(WrittenSums, RhashChecksOurSfvFile)
{
    std::string sfv;
    for (const std::string& name : AwkwardNames(false))
        sfv += *SfvLine("data/" + name, OracleFileHex(DigestAlgorithm::CRC32, dir_ / ("data/" + name)));
    dir_.Write("ours.sfv", sfv);
    EXPECT_EQ(RunShell("cd " + ShellWord(dir_.Path()) + " && rhash -c ours.sfv >/dev/null 2>&1"), 0);
    EXPECT_FALSE(SfvLine("line\nfeed", "00000000"));
    EXPECT_EQ(*SfvLine("x", "e8b7be43"), "x E8B7BE43\n");
}

TEST(EscapedNames, CoreutilsFormOfOddNames)
{
    EXPECT_EQ(EscapedSumName("a\\b\nc\rd"), "a\\\\b\\nc\\rd");
    EXPECT_EQ(EscapedSumName("a b\xff"), "a b\xff");
}

TEST(CsvRows, QuotedAsRfc4180Says)
{
    EXPECT_EQ(CsvHeaderRow({DigestAlgorithm::MD5, DigestAlgorithm::SHA256}), "path,size,md5,sha256\r\n");
    EXPECT_EQ(CsvRow("/a/plain", 12, {std::string("AB"), std::nullopt}), "/a/plain,12,ab,\r\n");
    EXPECT_EQ(CsvRow("/a/b,\"c\"\nd", 0, {}), "\"/a/b,\"\"c\"\"\nd\",0\r\n");
    // Not UTF-8: replaced so the file stays UTF-8, as the result file does.
    const std::string row = CsvRow("/bad\xff", 1, {});
    EXPECT_EQ(row.find('\xff'), std::string::npos);
    EXPECT_EQ(row.rfind(",1\r\n"), row.size() - 4);
}

TEST(SumFileNames, BelowTheFolderRelativeElseAbsolute)
{
    EXPECT_EQ(NameInSumFile("/d/e", "/d/e/f/g"), "f/g");
    EXPECT_EQ(NameInSumFile("/d/e/", "/d/e/f"), "f");
    EXPECT_EQ(NameInSumFile("/d/e", "/d/ef"), "/d/ef");
    EXPECT_EQ(NameInSumFile("/d/e", "/x/y"), "/x/y");
    EXPECT_EQ(NameInSumFile("/", "/x/y"), "x/y");
    EXPECT_EQ(FolderOfPath("/d/e/SUMS"), "/d/e");
    EXPECT_EQ(FolderOfPath("/SUMS"), "/");
    EXPECT_EQ(FolderOfPath("SUMS"), "");
}

}  // namespace
