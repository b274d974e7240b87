// quorvex -c on signed sum files, in a keyring made by the test: the line that says what the
// signature proved, the files checked only when they may be, the options that require or skip
// a signature, and on the signed lines the very output of sha256sum -c.
#include "tests/cli/ProgramRun.h"
#include "tests/support/GnupgHome.h"
#include "tests/support/SumsTesting.h"

#include <gtest/gtest.h>

namespace {

using Keys = TestKeyrings;

class SignedSumCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite() { keys_ = new Keys; }
    static void TearDownTestSuite()
    {
        delete keys_;
        keys_ = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(keys_);
        folder_.Write("a.iso", "first download\n");
        folder_.Write("b.iso", "second download\n");
        const ProgramOutput made = Run({"sha256sum", "a.iso", "b.iso"});
        ASSERT_EQ(made.Status, 0);
        plain_ = made.Out;
        folder_.Write("plain", plain_);
    }

    ProgramOutput Run(const std::vector<std::string>& argv) const
    {
        RunSettings settings;
        settings.Folder = folder_.Path();
        return RunProgram(argv, settings);
    }
    ProgramOutput Check(std::vector<std::string> options, const std::string& sumFile = "SHA256SUMS") const
    {
        std::vector<std::string> argv{QuorvexPath(), "-c"};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back(sumFile);
        return Run(argv);
    }
    void ClearSign(const GnupgHome& by, const std::string& key) const
    {
        by.ClearSign(key, folder_ / "plain", folder_ / "SHA256SUMS");
    }
    static std::string Grouped(const std::string& fingerprint) { return GroupedFingerprint(fingerprint); }

    static Keys* keys_;
    TempDir folder_;
    std::string plain_;
};

Keys* SignedSumCheck::keys_ = nullptr;

TEST_F(SignedSumCheck, GoodSignatureLineThenWhatSha256sumSaysOfTheSignedLines)
{
    ClearSign(keys_->home, keys_->release);
    const ProgramOutput expected = Run({"sha256sum", "-c", "plain"});
    const ProgramOutput actual = Check({});
    EXPECT_EQ(actual.Out, expected.Out);
    EXPECT_EQ(actual.Err, "quorvex: SHA256SUMS: good signature from \"" + kReleaseUser + "\" (" +
                              Grouped(keys_->release) + ")\n");
    EXPECT_EQ(actual.Status, 0);
    // The same from standard input.
    RunSettings piped;
    piped.Folder = folder_.Path();
    piped.InputFile = folder_ / "SHA256SUMS";
    const ProgramOutput fromInput = RunProgram({QuorvexPath(), "-c"}, piped);
    EXPECT_EQ(fromInput.Out, expected.Out);
    EXPECT_EQ(fromInput.Err, "quorvex: 'standard input': good signature from \"" + kReleaseUser + "\" (" +
                                 Grouped(keys_->release) + ")\n");

    // --status: nothing written, the files and the signature both counted.
    const ProgramOutput silent = Check({"--status"});
    EXPECT_EQ(silent.Out + silent.Err, "");
    EXPECT_EQ(silent.Status, 0);
    folder_.Write("b.iso", "changed\n");
    EXPECT_EQ(Check({"--status"}).Status, 1);
    EXPECT_EQ(Check({"--require-signature", "--quiet"}).Out, "b.iso: FAILED\n");
}

TEST_F(SignedSumCheck, LinesAroundTheSignatureAreIgnoredAndSaidToBe)
{
    ClearSign(keys_->home, keys_->release);
    const std::string extra = std::string(64, 'a') + "  c.iso\n";
    folder_.Write("SHA256SUMS", extra + ReadWholeFile(folder_ / "SHA256SUMS") + extra + extra);
    const ProgramOutput actual = Check({});
    EXPECT_EQ(actual.Out, "a.iso: OK\nb.iso: OK\n");
    EXPECT_NE(actual.Err.find("quorvex: SHA256SUMS: 3 lines outside the signed text were ignored\n"),
              std::string::npos)
        << actual.Err;
    EXPECT_EQ(actual.Status, 0);
}

TEST_F(SignedSumCheck, BadSignatureChecksNoFile)
{
    ClearSign(keys_->home, keys_->release);
    std::string bytes = ReadWholeFile(folder_ / "SHA256SUMS");
    const size_t digest = bytes.find(plain_.substr(0, 8));
    bytes.replace(digest, 1, bytes[digest] == '0' ? "1" : "0");
    folder_.Write("SHA256SUMS", bytes);
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{}, std::vector<std::string>{"--status"}}) {
        const ProgramOutput actual = Check(options);
        EXPECT_EQ(actual.Out, "");
        EXPECT_EQ(actual.Err, options.empty() ? "quorvex: SHA256SUMS: BAD signature\n" : "");
        EXPECT_EQ(actual.Status, 1);
    }
    // --no-signature reads the file as sha256sum does, armour and all.
    const ProgramOutput unchecked = Check({"--no-signature"});
    const ProgramOutput expected = Run({"sha256sum", "-c", "SHA256SUMS"});
    EXPECT_EQ(unchecked.Out, expected.Out);
    EXPECT_EQ(AsProgram(unchecked.Err, "sha256sum"), expected.Err);
    EXPECT_EQ(unchecked.Status, expected.Status);

    // A detached signature of another file beside an unsigned sum file.
    folder_.Write("SHA256SUMS", plain_);
    keys_->home.DetachSign(keys_->release, folder_ / "a.iso", folder_ / "SHA256SUMS.sig", false);
    EXPECT_EQ(Check({}).Err, "quorvex: SHA256SUMS: BAD signature\n");
    EXPECT_EQ(Check({}).Status, 1);
}

TEST_F(SignedSumCheck, UnprovedSignaturesCheckTheFilesUnlessASignatureIsRequired)
{
    ClearSign(keys_->stranger, keys_->unknown);
    ProgramOutput actual = Check({});
    EXPECT_EQ(actual.Err,
              "quorvex: SHA256SUMS: signature not checked: no public key " + keys_->unknown + "\n");
    EXPECT_EQ(actual.Out, "a.iso: OK\nb.iso: OK\n");
    EXPECT_EQ(actual.Status, 0);
    actual = Check({"--require-signature"});
    EXPECT_EQ(actual.Out, "");
    EXPECT_EQ(actual.Status, 1);

    ClearSign(keys_->stranger, keys_->uncertified);
    actual = Check({});
    EXPECT_EQ(actual.Err,
              "quorvex: SHA256SUMS: good signature from \"Uncertified <uncertified@example.org>\" (" +
                  Grouped(keys_->uncertified) + "), but the key is not certified with a trusted signature\n");
    EXPECT_EQ(actual.Status, 0);
    actual = Check({"--require-signature"});
    EXPECT_EQ(actual.Out, "");
    EXPECT_EQ(actual.Status, 1);
    EXPECT_EQ(Check({"--require-signature", "--status"}).Status, 1);
}

TEST_F(SignedSumCheck, UnsignedFilesAreSilentUnlessASignatureIsRequired)
{
    const ProgramOutput expected = Run({"sha256sum", "-c", "plain"});
    ProgramOutput actual = Check({}, "plain");
    EXPECT_EQ(actual.Out, expected.Out);
    EXPECT_EQ(actual.Err, "");
    actual = Check({"--require-signature"}, "plain");
    EXPECT_EQ(actual.Err, "quorvex: plain: not signed\n");
    EXPECT_EQ(actual.Out, "");
    EXPECT_EQ(actual.Status, 1);
    // An armoured detached signature makes it signed.
    keys_->home.DetachSign(keys_->release, folder_ / "plain", folder_ / "plain.asc", true);
    actual = Check({"--require-signature"}, "plain");
    EXPECT_EQ(actual.Out, expected.Out);
    EXPECT_EQ(actual.Status, 0);
    EXPECT_EQ(Check({"--no-signature"}, "plain").Err, "");

    const ProgramOutput both = Check({"--require-signature", "--no-signature"}, "plain");
    EXPECT_EQ(both.Status, 2);
    EXPECT_EQ(both.Err.substr(0, both.Err.find('\n')),
              "quorvex: choose only one of --require-signature and --no-signature");
    EXPECT_EQ(Run({QuorvexPath(), "--require-signature", "plain"}).Status, 2);
}

}  // namespace
