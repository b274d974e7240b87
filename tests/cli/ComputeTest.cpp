// Computing digests, compared byte for byte with coreutils and rhash on the same odd names.
#include "tests/cli/OddNames.h"
#include "tests/cli/ProgramRun.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <random>
#include <sstream>

#include <sys/stat.h>

namespace {

uint32_t Seed()
{
    static const uint32_t seed = std::random_device{}();
    return seed;
}

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class ComputeTest : public ::testing::Test {
protected:
    ComputeTest() : folder_(Seed()) {}

    ProgramOutput Ours(const std::vector<std::string>& options, const std::vector<std::string>& names)
    {
        return RunProgram(Concat(Concat(Concat({QuorvexPath()}, options), {"--"}), names), InFolder());
    }
    ProgramOutput Theirs(const std::vector<std::string>& command, const std::vector<std::string>& names)
    {
        return RunProgram(Concat(Concat(command, {"--"}), names), InFolder());
    }
    RunSettings InFolder() const
    {
        RunSettings settings;
        settings.Folder = folder_.Path();
        return settings;
    }

    OddNamesFolder folder_;
};

TEST_F(ComputeTest, OneAlgorithmIsByteForByteWhatCoreutilsWrites)
{
    SCOPED_TRACE("seed " + std::to_string(Seed()));
    for (const std::string algorithm : {"md5", "sha1", "sha256", "sha384", "sha512"}) {
        for (const bool tag : {false, true}) {
            SCOPED_TRACE(algorithm + (tag ? " --tag" : ""));
            std::vector<std::string> ours{"--" + algorithm}, theirs{algorithm + "sum"};
            if (tag) {
                ours.push_back("--tag");
                theirs.push_back("--tag");
            }
            const ProgramOutput expected = Theirs(theirs, folder_.Names());
            const ProgramOutput actual = Ours(ours, folder_.Names());
            ASSERT_EQ(expected.Status, 0) << expected.Err;
            EXPECT_EQ(actual.Out, expected.Out);
            EXPECT_EQ(actual.Err, "");
            EXPECT_EQ(actual.Status, 0);
            // -a names the same algorithm as its flag.
            EXPECT_EQ(Ours(tag ? std::vector<std::string>{"-a", algorithm, "--tag"}
                               : std::vector<std::string>{"-a", algorithm},
                           folder_.Names())
                          .Out,
                      expected.Out);
        }
    }
}

// Each further digest against the tool that publishes it, over the names that tool writes as a
// sum file can hold them: b3sum turns bytes that are not UTF-8 into U+FFFD (we keep the bytes),
// and xxhsum writes line feeds as they stand (where we escape them as coreutils does).
TEST_F(ComputeTest, FurtherDigestsAreByteForByteWhatTheirToolsWrite)
{
    SCOPED_TRACE("seed " + std::to_string(Seed()));
    std::vector<std::string> utf8, noLineEnds;
    for (const std::string& name : folder_.Names()) {
        // A CR at a name's end is escaped in full, where b3sum writes it as it stands for a
        // line end to swallow.
        if (name.find_first_of("\xff\xc4") == std::string::npos && name.back() != '\r')
            utf8.push_back(name);
        if (name.find_first_of("\n\r") == std::string::npos)
            noLineEnds.push_back(name);
    }
    struct Pair {
        std::vector<std::string> Ours, Theirs;
        const std::vector<std::string>* Names;
    };
    const std::vector<Pair> pairs{
        {{"--sha224"}, {"sha224sum"}, &folder_.Names()},
        {{"--sha224", "--tag"}, {"sha224sum", "--tag"}, &folder_.Names()},
        {{"--blake2b"}, {"b2sum"}, &folder_.Names()},
        {{"-a", "blake2b", "--tag"}, {"b2sum", "--tag"}, &folder_.Names()},
        {{"--blake2b", "--tag"}, {"cksum", "-a", "blake2b"}, &folder_.Names()},
        {{"--sm3", "--tag"}, {"cksum", "-a", "sm3"}, &folder_.Names()},
        {{"--sm3"}, {"cksum", "-a", "sm3", "--untagged"}, &folder_.Names()},
        {{"--blake3"}, {"b3sum"}, &utf8},
        {{"--xxh64"}, {"xxhsum", "-H1"}, &noLineEnds},
        {{"--xxh128"}, {"xxhsum", "-H2"}, &noLineEnds},
        {{"--xxh3"}, {"xxhsum", "-H3"}, &noLineEnds},
        {{"-a", "XXH3"}, {"xxhsum", "--tag", "-H3"}, &noLineEnds},
        {{"--sha3-256"}, {"rhash", "--simple", "--sha3-256"}, &noLineEnds},
        {{"--tag", "--sha3-384"}, {"rhash", "--bsd", "--sha3-384"}, &noLineEnds},
    };
    for (const Pair& pair : pairs) {
        SCOPED_TRACE(pair.Theirs[0] + " " + pair.Theirs.back());
        const std::vector<std::string>& names =
            pair.Theirs[0] == "rhash" ? folder_.NamesRhashKeeps() : *pair.Names;
        const ProgramOutput expected = Theirs(pair.Theirs, names);
        ASSERT_EQ(expected.Status, 0) << expected.Err;
        const ProgramOutput actual = Ours(pair.Ours, names);
        EXPECT_EQ(actual.Out, expected.Out);
        EXPECT_EQ(actual.Status, 0) << actual.Err;
    }
}

// --all stays the eleven; --every takes the further digests too, one tagged line each.
TEST_F(ComputeTest, AllIsTheElevenAndEveryIsEveryAlgorithm)
{
    const auto lineCount = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
    EXPECT_EQ(lineCount(Ours({"--all"}, {"plain.txt"}).Out), 11);
    const ProgramOutput every = Ours({"--every"}, {"plain.txt"});
    EXPECT_EQ(lineCount(every.Out), 23);
    EXPECT_NE(every.Out.find("\nBLAKE3 (plain.txt) = "), std::string::npos);
    EXPECT_NE(every.Out.find("\nSM3 (plain.txt) = "), std::string::npos);
    EXPECT_EQ(every.Status, 0);
}

TEST_F(ComputeTest, BinaryTextAndZeroLinesAreCoreutils)
{
    SCOPED_TRACE("seed " + std::to_string(Seed()));
    const std::vector<std::vector<std::string>> optionSets{{"-b"}, {"-t"},  {"-b", "-t"},    {"-t", "-b"},
                                                           {"-z"}, {"-bz"}, {"--tag", "-z"}, {"--tag", "-b"}};
    for (const std::vector<std::string>& options : optionSets) {
        std::string shown;
        for (const std::string& option : options)
            shown += option + " ";
        SCOPED_TRACE(shown);
        const ProgramOutput expected = Theirs(Concat({"sha256sum"}, options), folder_.Names());
        const ProgramOutput actual = Ours(Concat({"--sha256"}, options), folder_.Names());
        ASSERT_EQ(expected.Status, 0) << expected.Err;
        EXPECT_EQ(actual.Out, expected.Out);
        EXPECT_EQ(actual.Status, 0) << actual.Err;
    }
}

TEST_F(ComputeTest, RhashsAlgorithmsGiveRhashsLines)
{
    SCOPED_TRACE("seed " + std::to_string(Seed()));
    const std::vector<std::string> names = folder_.NamesRhashKeeps();
    for (const std::string algorithm : {"md4", "ripemd160", "tiger", "crc32"}) {
        SCOPED_TRACE(algorithm);
        const ProgramOutput simple = Theirs({"rhash", "--simple", "--" + algorithm}, names);
        ASSERT_EQ(simple.Status, 0) << simple.Err;
        EXPECT_EQ(Ours({"--" + algorithm}, names).Out, simple.Out);

        // rhash pads its tags to five letters ("MD4   ("); coreutils' form has one blank.
        std::string bsd;
        for (std::string line : Lines(Theirs({"rhash", "--bsd", "--" + algorithm}, names).Out)) {
            const size_t open = line.find(" (");
            const size_t tagEnd = line.find_last_not_of(' ', open) + 1;
            bsd += line.substr(0, tagEnd) + line.substr(open) + "\n";
        }
        EXPECT_EQ(Ours({"--tag", "--" + algorithm}, names).Out, bsd);
    }
    // SFV: rhash's lines after its comment header.
    std::string sfv;
    for (const std::string& line : Lines(Theirs({"rhash", "--sfv"}, names).Out))
        if (line.empty() || line[0] != ';')
            sfv += line + "\n";
    EXPECT_EQ(Ours({"--sfv"}, names).Out, sfv);
}

TEST_F(ComputeTest, SeveralAlgorithmsGiveEachFilesTaggedLinesInResultLineOrder)
{
    const ProgramOutput md5 = Theirs({"md5sum", "--tag"}, folder_.Names());
    const ProgramOutput sha1 = Theirs({"sha1sum", "--tag"}, folder_.Names());
    const ProgramOutput sha512 = Theirs({"sha512sum", "--tag"}, folder_.Names());
    const std::vector<std::string> a = Lines(md5.Out), b = Lines(sha1.Out), c = Lines(sha512.Out);
    ASSERT_EQ(a.size(), folder_.Names().size());
    std::string startup, chosen;
    for (size_t i = 0; i < a.size(); ++i) {
        startup += a[i] + "\n" + b[i] + "\n";
        chosen += a[i] + "\n" + b[i] + "\n" + c[i] + "\n";
    }
    // Without a choice: the window's start-up selection, MD5 and SHA-1.
    EXPECT_EQ(Ours({}, folder_.Names()).Out, startup);
    // Lines in the window's order whatever the order on the command line; names in any case,
    // also as sum files spell them.
    EXPECT_EQ(Ours({"-a", "sha512,md5", "--sha1"}, folder_.Names()).Out, chosen);
    EXPECT_EQ(Ours({"-a", "SHA-512,Md5,sha1,md5"}, folder_.Names()).Out, chosen);
}

TEST_F(ComputeTest, AllElevenAgreeWithTheSingleAlgorithmRunsWhateverTheThreads)
{
    std::string expected;
    std::vector<std::vector<std::string>> perAlgorithm;
    for (const std::string algorithm : {"md5", "crc32", "sha1", "haval256", "md4", "ripemd128", "ripemd160",
                                        "sha256", "sha384", "sha512", "tiger"})
        perAlgorithm.push_back(Lines(Ours({"--tag", "--" + algorithm, "-j", "1"}, folder_.Names()).Out));
    for (size_t file = 0; file < folder_.Names().size(); ++file)
        for (const std::vector<std::string>& lines : perAlgorithm)
            expected += lines.at(file) + "\n";
    for (const std::string jobs : {"1", "2", "5"}) {
        const ProgramOutput all = Ours({"--all", "-j", jobs}, folder_.Names());
        EXPECT_EQ(all.Out, expected) << "-j " << jobs;
        EXPECT_EQ(all.Status, 0);
    }
}

TEST_F(ComputeTest, CsvHasAHeaderAndOneQuotedRowPerFile)
{
    const ProgramOutput csv = Ours({"--csv", "-a", "md5,sha256"}, {"plain.txt", "it's", "colon:name"});
    const std::string md5 = Lines(Theirs({"md5sum"}, {"plain.txt"}).Out)[0].substr(0, 32);
    const std::string sha256 = Lines(Theirs({"sha256sum"}, {"plain.txt"}).Out)[0].substr(0, 64);
    const std::string size = std::to_string(ReadWholeFile(folder_ / "plain.txt").size());
    ASSERT_EQ(csv.Status, 0) << csv.Err;
    EXPECT_EQ(csv.Out.substr(0, csv.Out.find('\n') + 1), "path,size,md5,sha256\r\n");
    EXPECT_NE(csv.Out.find("\r\nplain.txt," + size + "," + md5 + "," + sha256 + "\r\n"), std::string::npos);

    folder_.Write("comma, \"quoted\"\nname", "x");
    const ProgramOutput quoted = Ours({"--csv", "--md5"}, {"comma, \"quoted\"\nname"});
    EXPECT_EQ(quoted.Out, "path,size,md5\r\n\"comma, \"\"quoted\"\"\nname\",1,"
                          "9dd4e461268c8034f5c8564e155c67a6\r\n");
}

TEST_F(ComputeTest, TreeIsTheWindowsResultFileText)
{
    folder_.Write("一个文件", "abc");
    const ProgramOutput tree = Ours({"--tree", "-a", "md5,crc32,sha1,tiger"}, {"一个文件"});
    ASSERT_EQ(tree.Status, 0) << tree.Err;
    // The window's lines: MD5 in lower case, CRC-32 in at least six upper-case digits, the
    // engines in upper case; a TAB before each, CR LF after every node.
    const std::string expected = "一个文件\r\n"
                                 "\tMD5：900150983cd24fb0d6963f7d28e17f72\r\n"
                                 "\tCRC32_FCS32：352441C2\r\n"
                                 "\tSHA1：A9993E364706816ABA3E25717850C26C9CD0D89D\r\n"
                                 "\tTiger192：2AAB1484E8C158F2BFB8C5FF41B57A525129131C957B5F93\r\n";
    EXPECT_EQ(tree.Out, expected);

    // GB18030 on request: the same text as iconv converts it.
    const ProgramOutput gb =
        Ours({"--tree", "--encoding=gb18030", "-a", "md5,crc32,sha1,tiger"}, {"一个文件"});
    folder_.Write("utf8.txt", expected);
    EXPECT_EQ(gb.Out, RunProgram({"iconv", "-f", "UTF-8", "-t", "GB18030", folder_ / "utf8.txt"}).Out);

    // Files that fail keep their nodes as in the window: the error lines of the paths, none for
    // a missing file; and the reason on standard error.
    ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0644), 0);
    const ProgramOutput failed = Ours({"--tree", "-a", "md5,crc32,sha256"}, {"fifo", "gone", "empty"});
    EXPECT_EQ(failed.Out, "fifo\r\n\tMD5：读取文件错误\r\n\tCRC32_FCS32：读取文件错误\r\n\t：读取文件错误\r\n"
                          "gone\r\n"
                          "empty\r\n\tMD5：d41d8cd98f00b204e9800998ecf8427e\r\n\tCRC32_FCS32：000000\r\n"
                          "\tSHA256：E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852B855\r\n");
    EXPECT_EQ(failed.Err, "quorvex: fifo: Is a FIFO (named pipe), not a regular file\n"
                          "quorvex: gone: No such file or directory\n");
    EXPECT_EQ(failed.Status, 1);

    // A CRC-32 below 0x100000 keeps six digits, as the window shows it.
    std::string content;
    uLong crc = 0;
    for (unsigned i = 0;; ++i) {
        content = "content " + std::to_string(i);
        crc = crc32(0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size()));
        if (crc < 0x100000)
            break;
    }
    folder_.Write("small crc", content);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%06lX", crc);
    EXPECT_EQ(Ours({"--tree", "--crc32"}, {"small crc"}).Out,
              std::string("small crc\r\n\tCRC32_FCS32：") + digits + "\r\n");

    // A BLAKE2b of another length is named by its bits, as b2sum tags it.
    std::string b2 = RunProgram({"b2sum", "-l", "256", folder_ / "一个文件"}).Out.substr(0, 64);
    std::transform(b2.begin(), b2.end(), b2.begin(), [](unsigned char c) { return std::toupper(c); });
    EXPECT_EQ(Ours({"--tree", "--blake2b", "-l", "256"}, {"一个文件"}).Out,
              "一个文件\r\n\tBLAKE2b-256：" + b2 + "\r\n");
}

TEST_F(ComputeTest, StandardInputIsReadForADashOrNoName)
{
    RunSettings settings = InFolder();
    settings.InputFile = folder_ / "large";
    const std::string expected = RunProgram({"sha256sum"}, settings).Out;
    ASSERT_EQ(expected.substr(64), "  -\n");
    EXPECT_EQ(RunProgram({QuorvexPath(), "-a", "sha256"}, settings).Out, expected);
    EXPECT_EQ(RunProgram({QuorvexPath(), "-a", "sha256", "-"}, settings).Out, expected);

    // Through a pipe, between two files, and a second "-" finds it at its end, as in coreutils.
    const ProgramOutput piped = RunShell("cat large | \"$QUORVEX\" --md5 plain.txt - empty -", InFolder());
    const ProgramOutput reference = RunShell("cat large | md5sum plain.txt - empty -", InFolder());
    EXPECT_EQ(piped.Out, reference.Out);
    EXPECT_EQ(piped.Status, 0) << piped.Err;
}

}  // namespace
