// Sum files written by coreutils and rhash over awkward names, one file changed and one removed
// after the sums were made: every listing read, with the verdict libgcrypt's digests give.
#include "platform/PosixFileSystem.h"
#include "sums/SumFileReader.h"
#include "sums/SumVerdict.h"
#include "tests/support/SumsTesting.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <ostream>

namespace {

struct Tool {
    std::string Command;  // run in the parent of the "data" folder, names follow
    std::string SumName;
    bool Coreutils;  // rhash is given plainer names
};

void PrintTo(const Tool& tool, std::ostream* out) { *out << tool.Command << " > " << tool.SumName; }

class RealToolSums : public ::testing::TestWithParam<Tool> {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(dir_ / "data");
        std::filesystem::create_directory(dir_ / "data/sub folder");
        names_ = AwkwardNames(GetParam().Coreutils);
        names_.push_back("sub folder/inner");
        names_.push_back("changed");
        names_.push_back("removed");
        int i = 0;
        for (const std::string& name : names_)
            dir_.Write("data/" + name, "content " + std::to_string(i++) + " of " + name);
    }

    // Runs the tool over every name, then changes one file and removes another.
    std::string MakeSums()
    {
        std::string command = "cd " + ShellWord(dir_.Path()) + " && " + GetParam().Command;
        for (const std::string& name : names_)
            command += " " + ShellWord("data/" + name);
        command += " > " + ShellWord(GetParam().SumName) + " 2>/dev/null";
        EXPECT_EQ(RunShell(command), 0) << command;
        dir_.Write("data/changed", "changed afterwards");
        std::filesystem::remove(dir_ / "data/removed");
        return dir_ / GetParam().SumName;
    }

    TempDir dir_;
    std::vector<std::string> names_;
};

TEST_P(RealToolSums, EveryListingIsReadWithItsVerdict)
{
    const std::string sumFile = MakeSums();
    PosixFileSystem files;
    const SumFileContents contents = ReadSumFile(files, sumFile);
    EXPECT_EQ(contents.ProblemCount, 0u) << (contents.Problems.empty() ? "" : contents.Problems[0].Reason);

    std::map<std::string, SumVerdict> verdicts;
    std::map<std::string, DigestSet> candidates;
    for (const SumListing& listing : contents.Listings) {
        candidates[listing.Line.Name] = listing.Line.Candidates;
        const std::string path = ListedPath(sumFile, listing.Line.Name);
        verdicts[listing.Line.Name] =
            Judge(listing.Line.Digest, listing.Line.Candidates, OracleDigests(path, listing.Line.Candidates));
        EXPECT_FALSE(listing.Line.Candidates.Empty());
    }
    // rhash --bsd lists each file once per algorithm; the others once.
    for (const std::string& name : names_) {
        const std::string listed = "data/" + name;
        ASSERT_TRUE(verdicts.count(listed)) << listed;
        // No library computes HAVAL: a length HAVAL shares is not proven different without it.
        const SumVerdict changed =
            candidates[listed].Has(DigestAlgorithm::Haval256) ? SumVerdict::NotComputed : SumVerdict::Differs;
        const SumVerdict expected = name == "changed"   ? changed
                                    : name == "removed" ? SumVerdict::Missing
                                                        : SumVerdict::Matches;
        EXPECT_EQ(verdicts[listed], expected) << listed;
    }
    EXPECT_EQ(verdicts.size(), names_.size());
}

INSTANTIATE_TEST_SUITE_P(
    Tools, RealToolSums,
    ::testing::Values(Tool{"md5sum", "MD5SUMS", true}, Tool{"sha1sum", "data.sha1", true},
                      Tool{"sha256sum", "SHA256SUMS", true}, Tool{"sha384sum", "sums.sha384", true},
                      Tool{"sha512sum", "sums.txt", true}, Tool{"md5sum --tag", "tagged", true},
                      Tool{"sha1sum --tag", "tagged", true}, Tool{"sha256sum --tag", "tagged", true},
                      Tool{"sha384sum --tag", "tagged", true}, Tool{"sha512sum --tag", "tagged", true},
                      Tool{"md5sum -b", "binary.md5", true}, Tool{"rhash --sfv", "check.sfv", false},
                      Tool{"rhash --crc32 --simple", "crc.txt", false},
                      Tool{"rhash --bsd --md4 --md5 --sha1 --ripemd160 --tiger --crc32 --sha256 --sha512",
                           "rhash.bsd", false},
                      // The further digests' tools; names that tell nothing leave the length to decide.
                      Tool{"sha224sum", "SHA224SUMS", true}, Tool{"b2sum", "b2sums.txt", true},
                      Tool{"b2sum", "list", true}, Tool{"b2sum --tag", "tagged", true},
                      Tool{"cksum -a blake2b", "x.cksum", true}, Tool{"cksum -a sm3", "x.cksum", true},
                      Tool{"cksum -a sm3 --untagged", "list", true}, Tool{"xxhsum -H2", "a.xxh128", false},
                      Tool{"xxhsum -H2", "list", false}, Tool{"xxhsum -H1", "list", false},
                      Tool{"xxhsum -H3", "list", false},
                      Tool{"rhash --bsd --sha3-224 --sha3-256 --sha3-384 --sha3-512", "rhash.bsd", false},
                      Tool{"rhash --sha3-512", "list", false}),
    [](const auto& tool) { return "Tool" + std::to_string(tool.index); });

// A sum file without a line break at its end, with CR LF, a BOM, comments and blank lines, as
// people edit them on other systems.
TEST(RealToolSumsEdited, ByteOrderMarkLineEndsAndCommentsAreTolerated)
{
    TempDir dir;
    dir.Write("x", "x");
    ASSERT_EQ(RunShell("cd " + ShellWord(dir.Path()) + " && sha256sum x > raw"), 0);
    const std::string line = ReadWholeFile(dir / "raw");
    std::string upper = line;
    for (size_t i = 0; i < 64; ++i)
        upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper[i])));
    upper.pop_back();
    dir.Write("SHA256SUMS", "\xEF\xBB\xBF# made by hand\r\n\r\n; a comment\r\n" + upper + "\r\n" + upper);
    PosixFileSystem files;
    const SumFileContents contents = ReadSumFile(files, dir / "SHA256SUMS");
    ASSERT_EQ(contents.Listings.size(), 2u);
    EXPECT_EQ(contents.ProblemCount, 0u);
    for (const SumListing& listing : contents.Listings) {
        EXPECT_EQ(listing.Line.Name, "x");
        EXPECT_EQ(listing.Line.Digest, line.substr(0, 64));
        EXPECT_EQ(Judge(listing.Line.Digest, listing.Line.Candidates,
                        OracleDigests(dir / "x", listing.Line.Candidates)),
                  SumVerdict::Matches);
    }
    EXPECT_EQ(contents.Listings[0].LineNumber, 4u);
    EXPECT_EQ(contents.Listings[1].LineNumber, 5u);
}

}  // namespace
