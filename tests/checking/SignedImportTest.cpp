// Importing signed sum files into the check list: what the status and the box say of the
// signature, that a BAD signature takes nothing in and lines outside the signed text are left
// out, and that the totals after a pass end with the signature's state.
#include "checking/SignatureTexts.h"
#include "tests/checking/CheckerTestBed.h"
#include "tests/support/GnupgHome.h"
#include "tests/support/SumsTesting.h"

namespace {

using Keys = TestKeyrings;

class SignedImport : public CheckerTestBed {
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
        dir.Write("a.iso", "first download\n");
        dir.Write("b.iso", "second download\n");
        ASSERT_EQ(RunShell("cd " + ShellWord(dir.Path()) + " && sha256sum a.iso b.iso > plain"), 0);
        SelectOnly({HashItem::SHA256});
    }
    void ClearSign(const GnupgHome& by, const std::string& key, const std::string& around = "")
    {
        by.ClearSign(key, dir / "plain", dir / "SHA256SUMS");
        dir.Write("SHA256SUMS", around + ReadWholeFile(dir / "SHA256SUMS") + around);
    }
    std::string Fingerprint(const std::string& key) const
    {
        return "（指纹 " + GroupedFingerprint(key) + "）";
    }

    static Keys* keys_;
};

Keys* SignedImport::keys_ = nullptr;

TEST_F(SignedImport, GoodSignatureInTheStatusAndAtTheEndOfTheTotals)
{
    ClearSign(keys_->home, keys_->release);
    const SumImportReport report = checker.ImportSumFile(dir / "SHA256SUMS");
    EXPECT_EQ(report.Signature.State, SignatureState::Good);
    EXPECT_EQ(report.ErrorText(), "");
    EXPECT_EQ(SignatureBoxText(report), "");
    ASSERT_EQ(checker.List().Count(), 2u);
    EXPECT_EQ(window.StatusText,
              "待计算的文件总数:2，签名有效：" + kReleaseUser + Fingerprint(keys_->release));
    Calculate();
    EXPECT_EQ(window.StatusText, "计算完毕，匹配 2 个，签名有效：" + kReleaseUser);

    // Cleared, the list forgets the signature; an unsigned file is said to be so, and its
    // totals are the ones of before.
    checker.ClearList();
    checker.ImportSumFile(dir / "plain");
    EXPECT_EQ(window.StatusText, "待计算的文件总数:2，校验文件未签名");
    Calculate();
    EXPECT_EQ(window.StatusText, "计算完毕，匹配 2 个");
}

TEST_F(SignedImport, BadSignatureTakesNothingIn)
{
    Drop({dir / "a.iso"});
    ClearSign(keys_->home, keys_->release);
    std::string bytes = ReadWholeFile(dir / "SHA256SUMS");
    bytes.replace(bytes.find("b.iso"), 5, "c.iso");
    dir.Write("SHA256SUMS", bytes);
    const SumImportReport report = checker.ImportSumFile(dir / "SHA256SUMS");
    EXPECT_EQ(report.Signature.State, SignatureState::Bad);
    EXPECT_EQ(report.Listed, 0u);
    ASSERT_EQ(checker.List().Count(), 1u);
    EXPECT_TRUE(checker.List().At(0).Expected.empty());
    EXPECT_EQ(window.StatusText, "签名无效");
    EXPECT_EQ(SignatureBoxText(report),
              "校验文件“" + dir / "SHA256SUMS" + "”的签名无效，其中的校验值未导入。");
}

TEST_F(SignedImport, UnprovedSignaturesImportTheDigestsAndSaySo)
{
    const std::string outside = std::string(64, 'c') + "  c.iso\n";
    ClearSign(keys_->stranger, keys_->uncertified, outside);
    SumImportReport report = checker.ImportSumFile(dir / "SHA256SUMS");
    // The lines around the signature are not taken in.
    ASSERT_EQ(checker.List().Count(), 2u);
    const std::string said = "签名有效，但签名密钥未经认证：Uncertified <uncertified@example.org>" +
                             Fingerprint(keys_->uncertified);
    EXPECT_EQ(window.StatusText, "待计算的文件总数:2，" + said);
    EXPECT_EQ(SignatureBoxText(report), "校验文件“" + dir / "SHA256SUMS" + "”：" + said +
                                            "。校验值已导入，但未经签名证实。\n签名之外的 2 行未使用。");
    Calculate();
    EXPECT_EQ(window.StatusText, "计算完毕，匹配 2 个，签名密钥未经认证");

    checker.ClearList();
    ClearSign(keys_->stranger, keys_->unknown);
    report = checker.ImportSumFile(dir / "SHA256SUMS");
    EXPECT_EQ(checker.List().Count(), 2u);
    EXPECT_EQ(window.StatusText, "待计算的文件总数:2，找不到签名所用的公钥" + Fingerprint(keys_->unknown));
    EXPECT_EQ(SignatureBoxText(report), "校验文件“" + dir / "SHA256SUMS" +
                                            "”的签名未能检查：找不到签名所用的公钥" +
                                            Fingerprint(keys_->unknown) + "。校验值已导入，但未经签名证实。");
    // A good one imported after it does not hide it: the totals say the weakest.
    ClearSign(keys_->home, keys_->release);
    checker.ImportSumFile(dir / "SHA256SUMS");
    Calculate();
    EXPECT_EQ(window.StatusText, "计算完毕，匹配 2 个，签名未能检查");
}

TEST(SignatureTexts, TheBoxGivesTheReasonWhenGnupgGaveNoAnswer)
{
    SumImportReport report;
    report.SumFile = "/d/SHA256SUMS";
    report.Signature.State = SignatureState::NotChecked;
    report.Signature.Reason = "gpg gave no answer in time";
    EXPECT_EQ(
        SignatureBoxText(report),
        "校验文件“/d/SHA256SUMS”的签名未能检查：gpg gave no answer in time。校验值已导入，但未经签名证实。");
    EXPECT_EQ(SignatureTotalsSuffix(report.Signature), "，签名未能检查");
}

}  // namespace
