// Checking files against sum files through the core: the import, the verdicts a pass leaves,
// the sum files written from a pass and read back by the real tools and by the import.
#include "checking/AlgorithmSelection.h"
#include "checking/ResultDigests.h"
#include "checking/ResultLines.h"
#include "checking/SumExport.h"
#include "checking/Verdicts.h"
#include "sums/HexDigest.h"
#include "sums/SumWriter.h"
#include "tests/checking/CheckerTestBed.h"
#include "tests/support/SumsTesting.h"

#include <sys/stat.h>
#include <zlib.h>

#include <filesystem>
#include <map>
#include <random>

namespace {

class SumCheck : public CheckerTestBed {
protected:
    // Every awkward name in dir/data, plus "changed" and "removed".
    void MakeData(bool forCoreutils = true)
    {
        std::filesystem::create_directory(dir / "data");
        names = AwkwardNames(forCoreutils);
        names.push_back("changed");
        names.push_back("removed");
        for (size_t i = 0; i < names.size(); ++i)
            dir.Write("data/" + names[i], std::string(i * 311, 'd') + names[i]);
    }

    void RunInDir(const std::string& command)
    {
        std::string line = "cd " + ShellWord(dir.Path()) + " && " + command;
        ASSERT_EQ(RunShell(line), 0) << line;
    }

    std::string AllData() const
    {
        std::string words;
        for (const std::string& name : names)
            words += " " + ShellWord("data/" + name);
        return words;
    }

    // The verdict of every entry, by its name relative to dir.
    std::map<std::string, std::optional<SumVerdict>> VerdictsByName()
    {
        std::map<std::string, std::optional<SumVerdict>> verdicts;
        for (size_t i = 0; i < checker.List().Count(); ++i)
            verdicts[checker.List().At(i).Path.substr(dir.Path().size() + 1)] = checker.List().At(i).Verdict;
        return verdicts;
    }

    std::vector<std::string> names;
};

TEST_F(SumCheck, ImportedSha256SumsGiveEveryVerdictAfterAPass)
{
    MakeData();
    RunInDir("sha256sum" + AllData() + " > SHA256SUMS");
    dir.Write("data/changed", "changed afterwards");
    std::filesystem::remove(dir / "data/removed");

    SelectOnly({HashItem::MD5});
    const SumImportReport report = checker.ImportSumFile(dir / "SHA256SUMS");
    EXPECT_EQ(report.ErrorText(), "");
    EXPECT_EQ(report.Listed, names.size());
    EXPECT_EQ(report.Missing, 1u);
    ASSERT_EQ(checker.List().Count(), names.size());
    // The missing file is shown as missing at once; the others wait for the pass.
    EXPECT_EQ(VerdictsByName()["data/removed"], SumVerdict::Missing);
    EXPECT_EQ(VerdictsByName()["data/plain"], std::nullopt);
    // The sum file's name tells SHA-256: it is ticked, nothing else is added.
    EXPECT_TRUE(checker.IsChecked(HashItem::SHA256));
    EXPECT_FALSE(checker.IsChecked(HashItem::Haval256));
    EXPECT_TRUE(checker.IsChecked(HashItem::MD5));

    Calculate();
    for (const auto& [name, verdict] : VerdictsByName()) {
        const SumVerdict expected = name == "data/changed"   ? SumVerdict::Differs
                                    : name == "data/removed" ? SumVerdict::Missing
                                                             : SumVerdict::Matches;
        EXPECT_EQ(verdict, expected) << name;
    }
    VerdictTotals totals;
    totals.Matches = names.size() - 2;
    totals.Differs = 1;
    totals.Missing = 1;
    EXPECT_EQ(window.StatusText, VerdictStatusText("计算完毕", totals));
    EXPECT_EQ(window.StatusText.rfind("计算完毕，匹配 ", 0), 0u);
}

// b2sum's and b3sum's files under names that tell nothing: the lengths fit SHA-512 and SHA-256
// too, yet intact files match and only the changed one differs, once every candidate is ticked;
// with one candidate unticked afterwards no difference can be proven. A shorter BLAKE2b is
// another digest, computed at the length the lines have; in GNU lines only a name tells it.
TEST_F(SumCheck, FurtherDigestsToolsFilesWithoutAHintMatch)
{
    MakeData(false);
    struct Case {
        std::string command, sumFile;
        DigestAlgorithm ticked, otherCandidate;
        std::string lineName;
    };
    const Case cases[] = {
        {"b2sum", "list", DigestAlgorithm::Blake2b, DigestAlgorithm::SHA3_512, "BLAKE2b-512"},
        {"b2sum -l 256", "B2SUMS", DigestAlgorithm::Blake2b, DigestAlgorithm::Blake2b, "BLAKE2b-256"},
        {"b2sum -l 160 --tag", "list", DigestAlgorithm::Blake2b, DigestAlgorithm::Blake2b, "BLAKE2b-160"},
        {"b3sum", "list", DigestAlgorithm::Blake3, DigestAlgorithm::SM3, "BLAKE3"},
    };
    for (const Case& one : cases) {
        SCOPED_TRACE(one.command);
        const bool b3sum = one.command == "b3sum";
        RunInDir(one.command + AllData() + " > " + one.sumFile);
        dir.Write("data/changed", "changed by " + one.command);
        SelectOnly({});
        checker.ClearList();
        checker.ImportSumFile(dir / one.sumFile);
        EXPECT_TRUE(checker.IsChecked(HashItemOf(one.ticked)));
        Calculate();
        // b3sum writes bytes that are not UTF-8 as U+FFFD: that listing names no file.
        for (const auto& [name, verdict] : VerdictsByName())
            EXPECT_EQ(verdict, name == "data/changed" ? SumVerdict::Differs
                               : b3sum && name.find("\xEF\xBF\xBD") != std::string::npos
                                   ? SumVerdict::Missing
                                   : SumVerdict::Matches)
                << name;
        const std::vector<std::string> lines = ResultLines(checker.Tree().Roots().front().Digests);
        EXPECT_NE(
            std::find_if(lines.begin(), lines.end(),
                         [&](const std::string& line) { return line.rfind(one.lineName + "：", 0) == 0; }),
            lines.end());

        if (one.otherCandidate == one.ticked)
            continue;  // a tag or a name leaves one candidate
        checker.HashItemClicked(HashItemOf(one.otherCandidate), false);
        Calculate();
        EXPECT_EQ(VerdictsByName()["data/changed"], SumVerdict::NotComputed);
        EXPECT_EQ(VerdictsByName()["data/plain"], SumVerdict::Matches);
    }
}

TEST_F(SumCheck, AmbiguousLengthsTickEveryCandidateAndMatchAny)
{
    MakeData();
    names.pop_back();  // nothing removed here
    // 32 digits from three tools, 40 from two, without a name that tells the algorithm.
    std::string sums;
    size_t i = 0;
    for (const std::string& name : names) {
        const std::string path = dir / ("data/" + name);
        const DigestAlgorithm which[] = {DigestAlgorithm::MD4, DigestAlgorithm::RipeMD128,
                                         DigestAlgorithm::RipeMD160, DigestAlgorithm::MD5,
                                         DigestAlgorithm::SHA1};
        const DigestAlgorithm algorithm = which[i++ % 5];
        sums += GnuSumLine(OracleFileHex(algorithm, path), "data/" + name);
    }
    dir.Write("checksums.txt", sums);
    SelectOnly({});
    checker.ImportSumFile(dir / "checksums.txt");
    for (HashItem item :
         {HashItem::MD5, HashItem::MD4, HashItem::RipeMD128, HashItem::SHA1, HashItem::RipeMD160})
        EXPECT_TRUE(checker.IsChecked(item)) << AlgorithmSelection::Info(item).Caption;
    EXPECT_FALSE(checker.IsChecked(HashItem::SHA256));
    Calculate();
    for (const auto& [name, verdict] : VerdictsByName())
        EXPECT_EQ(verdict, SumVerdict::Matches) << name;
}

// Every one of our algorithms exported, checked by the tool that knows it, and imported back.
TEST_F(SumCheck, ExportsAreCheckedByTheRealToolsAndImportBackAsMatches)
{
    MakeData();
    names.pop_back();
    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back(dir / ("data/" + name));
    SelectEvery();
    Drop(paths);
    Calculate();

    const std::pair<DigestAlgorithm, const char*> coreutils[] = {
        {DigestAlgorithm::MD5, "md5sum"},       {DigestAlgorithm::SHA1, "sha1sum"},
        {DigestAlgorithm::SHA256, "sha256sum"}, {DigestAlgorithm::SHA384, "sha384sum"},
        {DigestAlgorithm::SHA512, "sha512sum"}, {DigestAlgorithm::SHA224, "sha224sum"},
        {DigestAlgorithm::Blake2b, "b2sum"},
    };
    for (const auto& [algorithm, tool] : coreutils) {
        const std::string file = dir / (std::string(tool) + ".txt");
        SaveSumFile(checker.Tree(), checker.List(), SumExportKind::Gnu, algorithm, file);
        // Relative names: the files lie below the sum file's folder.
        EXPECT_EQ(ReadWholeFile(file).find(dir.Path()), std::string::npos);
        RunInDir(std::string(tool) + " --strict --quiet -c " + ShellWord(file));
    }
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        SaveSumFile(checker.Tree(), checker.List(), SumExportKind::Gnu, info.Algorithm,
                    dir / ("sums." + std::string(info.Option)));
    SaveSumFile(checker.Tree(), checker.List(), SumExportKind::Tagged, DigestAlgorithm::MD5, dir / "all.bsd");
    const std::string tagged = ReadWholeFile(dir / "all.bsd");
    EXPECT_EQ(static_cast<size_t>(std::count(tagged.begin(), tagged.end(), '\n')),
              kDigestAlgorithms.size() * names.size());

    // Back through the import of a fresh core: every file matches, for every algorithm.
    std::vector<std::string> imported;
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        imported.push_back(dir / ("sums." + std::string(info.Option)));
    imported.push_back(dir / "all.bsd");
    for (const std::string& sumFile : imported) {
        SCOPED_TRACE(sumFile);
        RecordingWindow otherWindow;
        Checker other(otherWindow, files);
        other.FillEngineList(owner);
        const SumImportReport report = other.ImportSumFile(sumFile);
        EXPECT_EQ(report.ErrorText(), "");
        ASSERT_EQ(other.List().Count(), names.size());
        RunPass(other, otherWindow);
        for (size_t i = 0; i < other.List().Count(); ++i)
            EXPECT_EQ(other.List().At(i).Verdict, SumVerdict::Matches) << other.List().At(i).Path;
    }
}

TEST_F(SumCheck, RhashChecksOurTaggedFileOfTheAlgorithmsItKnows)
{
    MakeData(false);
    names.pop_back();
    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back(dir / ("data/" + name));
    SelectAll();
    // rhash knows neither HAVAL nor RIPEMD-128.
    checker.HashItemClicked(HashItem::Haval256, false);
    checker.HashItemClicked(HashItem::RipeMD128, false);
    Drop(paths);
    Calculate();
    SaveSumFile(checker.Tree(), checker.List(), SumExportKind::Tagged, DigestAlgorithm::MD5, dir / "all.bsd");
    RunInDir("rhash --skip-ok -c all.bsd > /dev/null");
    RunInDir("rhash --skip-ok --sfv" + AllData() + " > all.sfv");
    // And rhash's SFV comes back as matches.
    checker.ClearList();
    checker.ImportSumFile(dir / "all.sfv");
    Calculate();
    ASSERT_EQ(checker.List().Count(), names.size());
    for (size_t i = 0; i < checker.List().Count(); ++i)
        EXPECT_EQ(checker.List().At(i).Verdict, SumVerdict::Matches) << checker.List().At(i).Path;
}

// The CRC-32 line drops leading zeros ("%06X"): the full eight digits are compared and written.
TEST_F(SumCheck, ShortCrc32LinesAreReadInFull)
{
    std::string content = "seed";
    uLong crc = 0;
    for (unsigned i = 0;; ++i) {
        content = "seed" + std::to_string(i);
        crc = crc32(0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size()));
        if (crc < 0x00100000)
            break;
    }
    const std::string path = dir.Write("small crc", content);
    SelectOnly({HashItem::CRC32_FCS32});
    Drop({path});
    Calculate();
    ASSERT_EQ(Lines(0).size(), 1u);
    EXPECT_LT(Lines(0)[0].size(), std::string("CRC32_FCS32：").size() + 8);
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08lx", crc);
    EXPECT_EQ(checker.Tree().Root(0).Digests.Get(DigestAlgorithm::CRC32), std::string(digits));
    EXPECT_EQ(GnuSumFileText(checker.Tree(), checker.List(), DigestAlgorithm::CRC32, dir.Path()),
              std::string(digits) + "  small crc\n");
    EXPECT_EQ(TaggedSumFileText(checker.Tree(), checker.List(), dir.Path()),
              TaggedSumLine(DigestAlgorithm::CRC32, digits, "small crc"));
    EXPECT_EQ(CsvFileText(checker.Tree(), checker.List()),
              CsvHeaderRow({DigestAlgorithm::CRC32}) + CsvRow(path, content.size(), {std::string(digits)}));
    EXPECT_EQ(FindDigest(checker.Tree(), digits).size(), 1u);
    dir.Write("check.sfv", "small crc " + std::string(digits) + "\n");
    checker.ImportSumFile(dir / "check.sfv");
    Calculate();
    EXPECT_EQ(checker.List().At(0).Verdict, SumVerdict::Matches);
    EXPECT_EQ(checker.List().Count(), 1u);  // the path was in the list already
}

// A read that fails part way: every chosen algorithm keeps the failure, under the one nameless
// line the engines share, while the readable file of the same pass keeps its digests.
TEST_F(SumCheck, AReadFailureAmongSeveralAlgorithmsIsKeptForEachOfThem)
{
    const std::string good = dir.Write("good", std::string(5000, 'g'));
    const std::string bad = dir.Write("bad", std::string(300000, 'b'));
    dir.Write("SHA256SUMS", GnuSumLine(OracleFileHex(DigestAlgorithm::SHA256, good), "good") +
                                GnuSumLine(OracleFileHex(DigestAlgorithm::SHA256, bad), "bad"));
    SelectOnly({HashItem::MD5, HashItem::CRC32_FCS32, HashItem::SHA1});
    checker.ImportSumFile(dir / "SHA256SUMS");
    files.FailRead(bad, 2);
    Calculate();

    const std::vector<DigestAlgorithm> chosen{DigestAlgorithm::MD5, DigestAlgorithm::CRC32,
                                              DigestAlgorithm::SHA1, DigestAlgorithm::SHA256};
    DigestSet chosenSet;
    for (DigestAlgorithm algorithm : chosen)
        chosenSet.Add(algorithm);
    ASSERT_EQ(checker.Tree().RootCount(), 2u);
    EXPECT_EQ(Lines(1),
              (std::vector<std::string>{"MD5" + kErrorSuffix, "CRC32_FCS32" + kErrorSuffix, kErrorSuffix}));
    const ComputedDigests& failed = checker.Tree().Root(1).Digests;
    EXPECT_EQ(failed.ReadFailed, chosenSet);
    EXPECT_FALSE(failed.FileMissing);
    for (const std::optional<std::string>& hex : failed.Hex)
        EXPECT_FALSE(hex);
    EXPECT_EQ(checker.List().At(0).Verdict, SumVerdict::Matches);
    EXPECT_EQ(checker.List().At(1).Verdict, SumVerdict::Unreadable);

    EXPECT_EQ(AlgorithmsInTree(checker.Tree()), chosen);
    std::string tagged;
    std::vector<std::optional<std::string>> row;
    for (DigestAlgorithm algorithm : chosen) {
        tagged += TaggedSumLine(algorithm, OracleFileHex(algorithm, good), "good");
        row.push_back(OracleFileHex(algorithm, good));
    }
    EXPECT_EQ(TaggedSumFileText(checker.Tree(), checker.List(), dir.Path()), tagged);
    EXPECT_EQ(CsvFileText(checker.Tree(), checker.List()),
              CsvHeaderRow(chosen) + CsvRow(good, 5000, row) +
                  CsvRow(bad, 300000, std::vector<std::optional<std::string>>(chosen.size())));
    // After the failed file's lines, the readable one's SHA-256 is still its fourth line.
    const std::vector<DigestMatch> found =
        FindDigest(checker.Tree(), OracleFileHex(DigestAlgorithm::SHA256, good));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Root, 0u);
    EXPECT_EQ(found[0].Line, 3u);
}

TEST_F(SumCheck, BadSumFilesAndListingsGetClearReports)
{
    std::filesystem::create_directory(dir / "folder.md5");
    EXPECT_NE(checker.ImportSumFile(dir / "folder.md5").ErrorText().find("Is a directory"),
              std::string::npos);
    EXPECT_NE(checker.ImportSumFile(dir / "nothing.md5").ErrorText().find("Cannot open file"),
              std::string::npos);
    dir.Write("empty.md5", "");
    EXPECT_NE(checker.ImportSumFile(dir / "empty.md5").ErrorText().find("没有可识别的校验行"),
              std::string::npos);

    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "sub");
    dir.Write("x", "x");
    const std::string md5x = OracleFileHex(DigestAlgorithm::MD5, dir / "x");
    dir.Write("sub/list.md5", "garbage\n" + md5x + "  ../x\n" + md5x + "  ../x\n" + md5x + "  ../fifo\n" +
                                  md5x + "  " + dir.Path() + "/sub\n" + md5x + "  " + dir.Path() + "/x\n");
    const SumImportReport report = checker.ImportSumFile(dir / "sub/list.md5");
    const std::string text = report.ErrorText();
    EXPECT_NE(text.find("有 1 行无法识别"), std::string::npos) << text;
    EXPECT_NE(text.find("第 1 行："), std::string::npos) << text;
    EXPECT_NE(text.find("fifo\". Is a FIFO"), std::string::npos) << text;
    EXPECT_NE(text.find("sub\". Is a directory"), std::string::npos) << text;
    // Outside the sum file's folder: each path once, checked all the same.
    EXPECT_NE(text.find("4 个文件位于校验文件所在文件夹之外：\n" + dir / "sub/../x\n" +
                        dir / "sub/../fifo\n" + dir / "sub\n" + dir / "x\n"),
              std::string::npos)
        << text;
    // "../x" twice and "x" by its absolute path: two entries, the same bytes lexically differ.
    ASSERT_EQ(checker.List().Count(), 2u);
    EXPECT_EQ(checker.List().At(0).Path, dir / "sub/../x");
    EXPECT_EQ(checker.List().At(0).Expected.size(), 1u);
    Calculate();
    EXPECT_EQ(checker.List().At(0).Verdict, SumVerdict::Matches);
    EXPECT_EQ(checker.List().At(1).Verdict, SumVerdict::Matches);
}

TEST_F(SumCheck, AListWithoutExpectedDigestsEndsAsBefore)
{
    Drop({dir.Write("a", "a")});
    Calculate();
    EXPECT_EQ(window.StatusText, "计算完毕");
    EXPECT_FALSE(checker.List().At(0).Verdict);
}

TEST_F(SumCheck, UnreadableFilesAreJudgedSo)
{
    const std::string path = dir.Write("locked", "content");
    dir.Write("SHA1SUMS", GnuSumLine(OracleFileHex(DigestAlgorithm::SHA1, path), "locked"));
    SelectOnly({});
    checker.ImportSumFile(dir / "SHA1SUMS");
    files.FailOpen(path);
    Calculate();
    EXPECT_EQ(checker.List().At(0).Verdict, SumVerdict::Unreadable);
}

TEST_F(SumCheck, ComparingWithOneDigestFindsItInAnyAlgorithm)
{
    const std::string a = dir.Write("a", "a"), b = dir.Write("b", "b");
    SelectAll();
    Drop({a, b});
    Calculate();
    const std::string sha256OfB = OracleFileHex(DigestAlgorithm::SHA256, b);
    const std::vector<DigestMatch> found =
        FindDigest(checker.Tree(), NormalisePastedDigest(" " + sha256OfB + "\n"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Root, 1u);
    EXPECT_EQ(found[0].Algorithm, DigestAlgorithm::SHA256);
    const std::string md5OfA = OracleFileHex(DigestAlgorithm::MD5, a);
    std::string upper = md5OfA;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    ASSERT_EQ(FindDigest(checker.Tree(), NormalisePastedDigest(upper)).size(), 1u);
    EXPECT_EQ(FindDigest(checker.Tree(), NormalisePastedDigest(upper))[0].Algorithm, DigestAlgorithm::MD5);
    EXPECT_TRUE(FindDigest(checker.Tree(), NormalisePastedDigest(std::string(64, '0'))).empty());
}

TEST_F(SumCheck, ACrcCopiedFromItsShortResultLineIsFoundAgain)
{
    // One CRC-32 in sixteen starts with a zero digit, which its result line leaves out.
    std::vector<std::string> paths;
    for (int i = 0; i < 64; ++i)
        paths.push_back(dir.Write("c" + std::to_string(i), "content " + std::to_string(i)));
    checker.HashItemClicked(HashItem::CRC32_FCS32, true);
    Drop(paths);
    Calculate();
    const std::string prefix = "CRC32_FCS32：";
    size_t found = 0;
    for (size_t r = 0; r < checker.Tree().RootCount(); ++r)
        for (const std::string& line : checker.Tree().Root(r).Lines) {
            if (line.rfind(prefix, 0) != 0 || line.size() - prefix.size() == 8)
                continue;
            const std::vector<DigestMatch> matches =
                FindDigest(checker.Tree(), NormalisePastedDigest(line.substr(prefix.size())));
            ASSERT_FALSE(matches.empty()) << line;
            EXPECT_EQ(matches[0].Root, r);
            EXPECT_EQ(matches[0].Algorithm, DigestAlgorithm::CRC32);
            ++found;
        }
    EXPECT_GT(found, 0u);
}

// Every digest a pass kept agrees with the independent programs and is found under its own
// algorithm and line, also where others have digests of its length (MD5, MD4, RIPEMD-128,
// XXH128 all have 32 digits).
TEST_F(SumCheck, EveryKeptDigestIsFoundUnderItsOwnAlgorithmAndLine)
{
    std::mt19937_64 rng(20260412);
    std::vector<std::string> paths;
    for (int i = 0; i < 3; ++i)
        paths.push_back(dir.Write("random-" + std::to_string(i), RandomBytes(rng, rng() % 70000)));
    SelectEvery();
    Drop(paths);
    Calculate();

    DigestSet every;
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        every.Add(info.Algorithm);
    size_t againstOracle = 0;
    ASSERT_EQ(checker.Tree().RootCount(), paths.size());
    for (size_t r = 0; r < paths.size(); ++r) {
        const ComputedDigests& kept = checker.Tree().Root(r).Digests;
        const ComputedDigests oracle = OracleDigests(paths[r], every);
        for (const DigestAlgorithmInfo& info : kDigestAlgorithms) {
            SCOPED_TRACE(std::string(info.LineName) + " of " + paths[r]);
            const std::optional<std::string>& hex = kept.Get(info.Algorithm);
            ASSERT_TRUE(hex);
            if (oracle.Get(info.Algorithm)) {
                EXPECT_EQ(*hex, *oracle.Get(info.Algorithm));
                ++againstOracle;
            }
            const std::vector<DigestMatch> found = FindDigest(checker.Tree(), *hex);
            ASSERT_EQ(found.size(), 1u);
            EXPECT_EQ(found[0].Root, r);
            EXPECT_EQ(found[0].Algorithm, info.Algorithm);
            const std::string prefix = std::string(info.LineName) + "：";
            const std::string& line = Lines(r).at(found[0].Line);
            ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
            const std::string shown = Lower(line.substr(prefix.size()));
            EXPECT_EQ(std::string(hex->size() - shown.size(), '0') + shown, *hex) << line;
            EXPECT_EQ(DigestMatchText(checker.Tree(), found),
                      "摘要与“random-" + std::to_string(r) + "”的 " + std::string(info.LineName) + " 相同");
        }
    }
    EXPECT_GE(againstOracle, paths.size() * 15);
}

}  // namespace

namespace {

TEST(VerdictStatus, CountsOfZeroAreLeftOutButTheMatches)
{
    VerdictTotals totals;
    EXPECT_EQ(VerdictStatusText("计算完毕", totals), "计算完毕，匹配 0 个");
    EXPECT_EQ(VerdictStatusText("计算已停止", totals), "计算已停止，匹配 0 个");
    totals.Matches = 10000;
    totals.Unreadable = 2;
    EXPECT_EQ(VerdictStatusText("计算完毕", totals), "计算完毕，匹配 10000 个，无法读取 2 个");
    totals.Differs = totals.Missing = totals.NotComputed = 1;
    EXPECT_EQ(VerdictStatusText("计算完毕", totals),
              "计算完毕，匹配 10000 个，不匹配 1 个，文件不存在 1 个，无法读取 2 个，未计算 1 个");
}

}  // namespace
