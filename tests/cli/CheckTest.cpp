// --check against sha256sum -c on the same sum files: standard output, standard error (with the
// program's name swapped) and exit status identical; and sum files passed between us and the
// other tools in both directions.
#include "tests/cli/OddNames.h"
#include "tests/cli/ProgramRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

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

class CheckTest : public ::testing::Test {
protected:
    CheckTest() : folder_(Seed()) {}

    RunSettings InFolder() const
    {
        RunSettings settings;
        settings.Folder = folder_.Path();
        return settings;
    }
    ProgramOutput InFolderRun(const std::vector<std::string>& argv) const
    {
        return RunProgram(argv, InFolder());
    }
    // A sum file written by a tool in the folder, under a name of our choice.
    void Sums(const std::string& sumFile, const std::vector<std::string>& command,
              const std::vector<std::string>& names)
    {
        const ProgramOutput made = InFolderRun(Concat(Concat(command, {"--"}), names));
        ASSERT_EQ(made.Status, 0) << made.Err;
        folder_.Write(sumFile, made.Out);
    }
    void AppendTo(const std::string& sumFile, const std::string& lines)
    {
        folder_.Write(sumFile, ReadWholeFile(folder_ / sumFile) + lines);
    }
    // Every combination of the check options gives what sha256sum -c gives.
    void ExpectSameAsSha256sum(const std::vector<std::string>& sumFiles)
    {
        const std::vector<std::vector<std::string>> optionSets{{},
                                                               {"--quiet"},
                                                               {"--status"},
                                                               {"-w"},
                                                               {"--strict"},
                                                               {"--ignore-missing"},
                                                               {"--status", "--warn"},
                                                               {"--warn", "--quiet"},
                                                               {"--ignore-missing", "--quiet"},
                                                               {"--strict", "--status"},
                                                               {"--warn", "--strict", "--ignore-missing"}};
        for (const std::vector<std::string>& options : optionSets) {
            std::string shown;
            for (const std::string& option : options)
                shown += option + " ";
            SCOPED_TRACE(shown);
            const ProgramOutput expected =
                InFolderRun(Concat(Concat({"sha256sum", "-c"}, options), sumFiles));
            const ProgramOutput actual =
                InFolderRun(Concat(Concat({QuorvexPath(), "-c"}, options), sumFiles));
            EXPECT_EQ(actual.Out, expected.Out);
            EXPECT_EQ(AsProgram(actual.Err, "sha256sum"), expected.Err);
            EXPECT_EQ(actual.Status, expected.Status);
        }
    }

    OddNamesFolder folder_;
};

TEST_F(CheckTest, GoodChangedMissingAndMalformedSetsGiveSha256sumsOutputAndStatus)
{
    SCOPED_TRACE("seed " + std::to_string(Seed()));
    Sums("good.sha256", {"sha256sum"}, folder_.Names());
    ExpectSameAsSha256sum({"good.sha256"});

    // One file changed and one gone after the sums were made.
    Sums("changed.sha256", {"sha256sum"}, folder_.Names());
    folder_.Write("with blank", "changed content");
    ASSERT_EQ(::unlink((folder_ / "line\nfeed").c_str()), 0);
    ExpectSameAsSha256sum({"changed.sha256"});

    // Lines that cannot be read among good ones: words, a digest of the wrong length, a bad
    // escape, a lone digest, a name without digest, blanks alone, an SFV comment, a name with a
    // CRC-32; empty and "#" lines are passed over.
    folder_.Write("malformed.sha256", ReadWholeFile(folder_ / "good.sha256"));
    AppendTo("malformed.sha256", "not a checksum line\n\n# a comment\n0123456789abcdef  short\n"
                                 "   \n; rhash\nreadme deadbeef\n"
                                 "\\" +
                                     std::string(64, 'a') + "  bad\\escape\n" + std::string(64, 'b') +
                                     "\n  plain.txt\n");
    ExpectSameAsSha256sum({"malformed.sha256"});
    // A malformed line as the only problem: --strict alone decides the exit status.
    Sums("one-bad-line.sha256", {"sha256sum"}, {"plain.txt"});
    AppendTo("one-bad-line.sha256", "not a checksum line\n");
    ExpectSameAsSha256sum({"one-bad-line.sha256"});

    // Only missing files: what --ignore-missing says then; nothing readable at all; and every
    // set at once, with a sum file that does not exist among them.
    folder_.Write("only-missing.sha256",
                  std::string(64, 'c') + "  gone\n" + std::string(64, 'd') + "  gone too\n");
    folder_.Write("garbage.sha256", "garbage\nmore garbage\n");
    folder_.Write("empty.sha256", "");
    ExpectSameAsSha256sum({"only-missing.sha256"});
    ExpectSameAsSha256sum({"garbage.sha256"});
    ExpectSameAsSha256sum({"empty.sha256"});
    ExpectSameAsSha256sum({"good.sha256", "no such sums", "changed.sha256", "malformed.sha256",
                           "only-missing.sha256", "garbage.sha256"});

    // Both outputs into one file, as a log of a script has them: the same order of lines, since
    // results come out before each message.
    const std::string both = " -c --warn changed.sha256 malformed.sha256 'no such sums' > both 2>&1";
    ASSERT_EQ(RunShell("sha256sum" + both + "; mv both theirs", InFolder()).Status, 0);
    ASSERT_EQ(RunShell("\"$QUORVEX\"" + both + "; mv both ours", InFolder()).Status, 0);
    EXPECT_EQ(AsProgram(ReadWholeFile(folder_ / "ours"), "sha256sum"), ReadWholeFile(folder_ / "theirs"));
}

TEST_F(CheckTest, SumFileOnStandardInput)
{
    Sums("good.sha256", {"sha256sum"}, folder_.Names());
    folder_.Write("with blank", "changed");
    RunSettings settings = InFolder();
    settings.InputFile = folder_ / "good.sha256";
    for (const std::vector<std::string>& names :
         {std::vector<std::string>{}, std::vector<std::string>{"-"}}) {
        const ProgramOutput expected = RunProgram(Concat({"sha256sum", "-c"}, names), settings);
        const ProgramOutput actual = RunProgram(Concat({QuorvexPath(), "-c"}, names), settings);
        EXPECT_EQ(actual.Out, expected.Out);
        EXPECT_EQ(AsProgram(actual.Err, "sha256sum"), expected.Err);
        EXPECT_EQ(actual.Status, expected.Status);
    }
    settings.InputFile = "/dev/null";
    const ProgramOutput nothing = RunProgram({QuorvexPath(), "-c"}, settings);
    EXPECT_EQ(nothing.Err, "quorvex: 'standard input': no properly formatted checksum lines found\n");
    EXPECT_EQ(nothing.Status, 1);
}

TEST_F(CheckTest, PipesTheShellHandsOverAreReadAsSha256sumReadsThem)
{
    Sums("good.sha256", {"sha256sum"}, folder_.Names());
    folder_.Write("with blank", "changed");
    // bash's <(...) and a pipe on /dev/stdin name pipes that have their writer; a named FIFO
    // without one is refused rather than waited for.
    for (const std::string& use :
         {std::string(" -c <(cat good.sha256)"), std::string(" -c /dev/stdin < <(cat good.sha256)"),
          std::string(" <(printf abc) /dev/fd/0 < <(printf def)")}) {
        SCOPED_TRACE(use);
        const ProgramOutput expected = RunShell("sha256sum" + use, InFolder());
        const ProgramOutput actual = RunShell("\"$QUORVEX\" -a sha256" + use, InFolder());
        EXPECT_EQ(actual.Out, expected.Out);
        EXPECT_EQ(AsProgram(actual.Err, "sha256sum"), expected.Err);
        EXPECT_EQ(actual.Status, expected.Status);
    }
    ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0600), 0);
    const ProgramOutput fifo = RunShell("\"$QUORVEX\" -c fifo", InFolder());
    EXPECT_EQ(fifo.Err, "quorvex: fifo: Is a FIFO (named pipe), not a regular file\n");
    EXPECT_EQ(fifo.Status, 1);
}

TEST_F(CheckTest, SumFilesOfTheOtherToolsAreAccepted)
{
    const std::vector<std::string> all = folder_.Names();
    const std::vector<std::string> rhashNames = folder_.NamesRhashKeeps();
    struct Maker {
        std::string SumFile;
        std::vector<std::string> Command;
        enum {
            AllNames,
            RhashNames,
            SfvNames,
            Utf8Names,      // b3sum writes bytes that are not UTF-8 as U+FFFD
            NoLineEndNames  // xxhsum writes every name as it stands
        } Names;
        // Its own check prints the lines that coreutils prints.
        bool CompareWithOwnCheck = false;
    };
    const std::vector<Maker> makers{
        {"MD5SUMS", {"md5sum"}, Maker::AllNames},
        {"sums.sha1", {"sha1sum"}, Maker::AllNames},
        {"SHA256SUMS", {"sha256sum"}, Maker::AllNames},
        {"x.sha384", {"sha384sum"}, Maker::AllNames},
        {"x.sha512", {"sha512sum"}, Maker::AllNames},
        // The tag names the algorithm; the sum file's name tells nothing.
        {"md5 tagged", {"md5sum", "--tag"}, Maker::AllNames},
        {"sha1 tagged", {"sha1sum", "--tag"}, Maker::AllNames},
        {"sha256 tagged", {"sha256sum", "--tag"}, Maker::AllNames},
        {"sha384 tagged", {"sha384sum", "--tag"}, Maker::AllNames},
        {"sha512 tagged", {"sha512sum", "--tag"}, Maker::AllNames},
        {"rhash.sfv", {"rhash", "--sfv"}, Maker::SfvNames},
        {"rhash bsd",
         {"rhash", "--bsd", "--md4", "--ripemd160", "--tiger", "--crc32", "--md5", "--sha1"},
         Maker::RhashNames},
        // 32 hex digits fit MD5, MD4 and RIPEMD-128: without a hint every one is tried.
        {"md4 without hint", {"rhash", "--simple", "--md4"}, Maker::RhashNames},
        {"x.md4", {"rhash", "--simple", "--md4"}, Maker::RhashNames},
        {"x.tiger", {"rhash", "--simple", "--tiger"}, Maker::RhashNames},
        {"ripemd160 without hint", {"rhash", "--simple", "--ripemd160"}, Maker::RhashNames},
        // The further digests' tools, with and without names that tell the algorithm: 128 hex
        // digits fit SHA-512, SHA3-512 and BLAKE2b, 64 six algorithms, 32 XXH128 as well as MD5.
        {"SHA224SUMS", {"sha224sum"}, Maker::AllNames, true},
        {"b2sums.txt", {"b2sum"}, Maker::AllNames, true},
        {"blake2b without hint", {"b2sum"}, Maker::AllNames, true},
        {"b2 tagged", {"b2sum", "--tag"}, Maker::AllNames, true},
        // b2sum -l writes the lengths of SHA-256, SHA-1 and MD5 too: an intact file is never FAILED.
        {"blake2b-256 without hint", {"b2sum", "-l", "256"}, Maker::AllNames, true},
        {"blake2b-160 without hint", {"b2sum", "-l", "160"}, Maker::AllNames, true},
        {"blake2b-128 without hint", {"b2sum", "-l", "128"}, Maker::AllNames, true},
        {"x.cksum", {"cksum", "-a", "blake2b"}, Maker::AllNames},
        {"sm3 tagged", {"cksum", "-a", "sm3"}, Maker::AllNames},
        {"sm3 without hint", {"cksum", "-a", "sm3", "--untagged"}, Maker::AllNames},
        {"a.b3", {"b3sum"}, Maker::Utf8Names},
        {"blake3 without hint", {"b3sum"}, Maker::Utf8Names},
        {"a.xxh128", {"xxhsum", "-H2"}, Maker::NoLineEndNames},
        {"xxh128 without hint", {"xxhsum", "-H2"}, Maker::NoLineEndNames},
        {"xxh64 without hint", {"xxhsum", "-H1"}, Maker::NoLineEndNames},
        {"xxh3 list", {"xxhsum", "-H3"}, Maker::NoLineEndNames},
        {"xxh tagged", {"xxhsum", "--tag", "-H1"}, Maker::NoLineEndNames},
        {"sha3 bsd",
         {"rhash", "--bsd", "--sha3-224", "--sha3-256", "--sha3-384", "--sha3-512"},
         Maker::RhashNames},
        {"sha3-256 without hint", {"rhash", "--simple", "--sha3-256"}, Maker::RhashNames},
    };
    const auto keep = [&all](auto wanted) {
        std::vector<std::string> kept;
        std::copy_if(all.begin(), all.end(), std::back_inserter(kept), wanted);
        return kept;
    };
    // b3sum writes a carriage return as it stands, which a sum file's line end swallows at a name's end.
    const std::vector<std::string> utf8Names =
        keep([](const std::string& name) { return name.find_first_of("\xff\xc4\r") == std::string::npos; });
    const std::vector<std::string> noLineEndNames =
        keep([](const std::string& name) { return name.find_first_of("\n\r") == std::string::npos; });
    for (const Maker& maker : makers) {
        SCOPED_TRACE(maker.SumFile);
        const std::vector<std::string> names = maker.Names == Maker::AllNames     ? all
                                               : maker.Names == Maker::RhashNames ? rhashNames
                                               : maker.Names == Maker::Utf8Names  ? utf8Names
                                               : maker.Names == Maker::NoLineEndNames
                                                   ? noLineEndNames
                                                   : folder_.NamesSfvKeeps();
        Sums(maker.SumFile, maker.Command, names);
        const ProgramOutput checked = InFolderRun({QuorvexPath(), "-c", maker.SumFile});
        EXPECT_EQ(checked.Status, 0) << checked.Err;
        EXPECT_EQ(checked.Err, "");
        // b3sum's check escapes every name with a backslash; rhash, cksum -a and xxhsum have words of their own.
        const bool coreutils = maker.Command[0] != "rhash" && maker.Command[0] != "cksum" &&
                               maker.Command[0] != "xxhsum" && maker.Command[0] != "b3sum";
        if (coreutils || maker.CompareWithOwnCheck) {
            // coreutils' own check prints the same lines.
            EXPECT_EQ(checked.Out, InFolderRun({maker.Command[0], "-c", maker.SumFile}).Out);
        } else {
            const size_t lines =
                static_cast<size_t>(std::count(checked.Out.begin(), checked.Out.end(), '\n'));
            const size_t perFile =
                maker.Command[0] == "rhash" && maker.Command.size() > 3 ? maker.Command.size() - 2 : 1;
            EXPECT_EQ(lines, names.size() * perFile);
            EXPECT_EQ(checked.Out.find("FAILED"), std::string::npos);
        }
    }
}

TEST_F(CheckTest, OurSumFilesAreAcceptedByTheOtherTools)
{
    for (const std::string algorithm : {"md5", "sha1", "sha256", "sha384", "sha512"})
        for (const bool tag : {false, true}) {
            SCOPED_TRACE(algorithm + (tag ? " --tag" : ""));
            std::vector<std::string> command{QuorvexPath(), "--" + algorithm};
            if (tag)
                command.push_back("--tag");
            Sums("ours", command, folder_.Names());
            const ProgramOutput theirs = InFolderRun({algorithm + "sum", "-c", "--strict", "ours"});
            EXPECT_EQ(theirs.Status, 0) << theirs.Err;
            // And back: our check reads them too.
            EXPECT_EQ(InFolderRun({QuorvexPath(), "-c", "--strict", "ours"}).Status, 0);
        }
    Sums("ours.bsd", {QuorvexPath(), "--tag", "--md4", "--ripemd160", "--tiger", "--crc32", "--sha256"},
         folder_.NamesSfvKeeps());
    const ProgramOutput bsd = InFolderRun({"rhash", "-c", "ours.bsd"});
    EXPECT_EQ(bsd.Status, 0) << bsd.Out << bsd.Err;
    Sums("ours.sfv", {QuorvexPath(), "--sfv"}, folder_.NamesSfvKeeps());
    const ProgramOutput sfv = InFolderRun({"rhash", "-c", "ours.sfv"});
    EXPECT_EQ(sfv.Status, 0) << sfv.Out << sfv.Err;
    // Several algorithms without --tag are tagged lines, which rhash checks as well.
    Sums("default", {QuorvexPath()}, folder_.NamesSfvKeeps());
    EXPECT_EQ(InFolderRun({"rhash", "-c", "default"}).Status, 0);
}

TEST_F(CheckTest, AmbiguousLengthsAndAChosenAlgorithm)
{
    // 64 hex digits fit SHA-256 and HAVAL-256: a HAVAL list without a telling name still matches.
    Sums("list.txt", {QuorvexPath(), "--haval256"}, {"plain.txt", "large"});
    ProgramOutput checked = InFolderRun({QuorvexPath(), "-c", "list.txt"});
    EXPECT_EQ(checked.Out, "plain.txt: OK\nlarge: OK\n");
    EXPECT_EQ(checked.Status, 0);
    // With -a the lines are read as that algorithm only, as sha256sum reads them.
    checked = InFolderRun({QuorvexPath(), "-c", "-a", "sha256", "--warn", "list.txt"});
    EXPECT_EQ(checked.Out, "plain.txt: FAILED\nlarge: FAILED\n");
    EXPECT_EQ(checked.Err, "quorvex: WARNING: 2 computed checksums did NOT match\n");
    EXPECT_EQ(checked.Status, 1);

    // A tagged line of another algorithm does not count under -a.
    Sums("tagged", {QuorvexPath(), "-a", "md5,sha256"}, {"plain.txt"});
    checked = InFolderRun({QuorvexPath(), "-c", "-a", "sha256", "-w", "tagged"});
    EXPECT_EQ(checked.Out, "plain.txt: OK\n");
    EXPECT_EQ(checked.Err, "quorvex: tagged: 1: improperly formatted SHA256 checksum line\n"
                           "quorvex: WARNING: 1 line is improperly formatted\n");
    EXPECT_EQ(checked.Status, 0);

    // BLAKE2b lines of several lengths among SHA-256 lines in a file whose name tells nothing:
    // each BLAKE2b at its own length, as b2sum -c takes it, then a changed file fails in each.
    ASSERT_EQ(RunShell("b2sum -l 256 plain.txt > mixed && b2sum large >> mixed && "
                       "b2sum -l 128 plain.txt >> mixed && sha256sum large plain.txt >> mixed",
                       InFolder())
                  .Status,
              0);
    checked = InFolderRun({QuorvexPath(), "-c", "mixed"});
    EXPECT_EQ(checked.Out, "plain.txt: OK\nlarge: OK\nplain.txt: OK\nlarge: OK\nplain.txt: OK\n");
    EXPECT_EQ(checked.Status, 0) << checked.Err;
    folder_.Write("plain.txt", "changed");
    checked = InFolderRun({QuorvexPath(), "-c", "mixed"});
    EXPECT_EQ(checked.Out, "plain.txt: FAILED\nlarge: OK\nplain.txt: FAILED\nlarge: OK\nplain.txt: FAILED\n");
    EXPECT_EQ(checked.Status, 1);
}

TEST_F(CheckTest, BadSumFilesAndListedSpecialFilesGetAClearOutcome)
{
    // A folder, binary garbage with NUL bytes and a megabyte line: a message, status 1, no hang.
    ASSERT_EQ(::mkdir((folder_ / "folder").c_str(), 0755), 0);
    folder_.Write("binary", RandomBytes(Seed(), 1 << 20) + std::string(1 << 20, 'x'));
    ProgramOutput checked = InFolderRun({QuorvexPath(), "-c", "folder", "binary"});
    EXPECT_EQ(checked.Err, "quorvex: folder: Is a directory\n"
                           "quorvex: binary: no properly formatted checksum lines found\n");
    EXPECT_EQ(checked.Status, 1);

    // A FIFO would block sha256sum forever; it is refused like any special file.
    ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0644), 0);
    folder_.Write("special", std::string(64, 'e') + "  fifo\n" + std::string(64, 'f') + "  /dev/null\n");
    checked = InFolderRun({QuorvexPath(), "-c", "special"});
    EXPECT_EQ(checked.Out, "fifo: FAILED open or read\n/dev/null: FAILED open or read\n");
    EXPECT_EQ(checked.Err, "quorvex: fifo: Is a FIFO (named pipe), not a regular file\n"
                           "quorvex: /dev/null: Is a device, not a regular file\n"
                           "quorvex: WARNING: 2 listed files could not be read\n");
    EXPECT_EQ(checked.Status, 1);
}

}  // namespace

namespace {

// "DIGEST NAME" with one blank, as BSD's md5 -r writes it: the first line decides, as md5sum -c
// decides; the outputs, messages and statuses are md5sum's (with -a md5, whose messages name MD5
// as md5sum's do).
TEST_F(CheckTest, OneBlankLinesAreReadAsMd5sumReadsThem)
{
    Sums("standard", {"md5sum"}, {"plain.txt", "with blank", "  two leading blanks"});
    std::string oneBlank, mixedOneFirst, mixedStandardFirst;
    const std::string standard = ReadWholeFile(folder_ / "standard");
    std::vector<std::string> lines;
    for (size_t start = 0; start < standard.size();) {
        const size_t end = standard.find('\n', start);
        lines.push_back(standard.substr(start, end - start));
        start = end + 1;
    }
    for (const std::string& line : lines)
        oneBlank += line.substr(0, 32) + " " + line.substr(34) + "\n";
    folder_.Write("one blank", oneBlank);
    folder_.Write("one then two", oneBlank + standard);
    folder_.Write("two then one", standard + oneBlank);
    for (const std::string sumFile : {"one blank", "one then two", "two then one"}) {
        SCOPED_TRACE(sumFile);
        for (const std::vector<std::string>& options : {std::vector<std::string>{}, {"-w"}, {"--strict"}}) {
            const ProgramOutput expected = InFolderRun(Concat(Concat({"md5sum", "-c"}, options), {sumFile}));
            const ProgramOutput actual =
                InFolderRun(Concat(Concat({QuorvexPath(), "-c", "-a", "md5"}, options), {sumFile}));
            EXPECT_EQ(actual.Out, expected.Out);
            EXPECT_EQ(AsProgram(actual.Err, "md5sum"), expected.Err);
            EXPECT_EQ(actual.Status, expected.Status);
        }
    }
}

}  // namespace
