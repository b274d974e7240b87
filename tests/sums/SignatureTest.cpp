// Signatures of sum files against gpg --verify on the same files, in a keyring made by the test:
// every outcome the window and the command line tell apart, in both forms (clear-signed, and a
// detached signature beside the sum file, armoured and binary), and GnuPG that is missing,
// hangs, or has no usable keyring.
#include "sums/SignedSumFile.h"
#include "sums/SumFileReader.h"

#include "platform/PosixFileSystem.h"
#include "tests/support/GnupgHome.h"
#include "tests/support/SumsTesting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include <sys/stat.h>

namespace {

const std::string kListing = "ca978112ca1bbdcafac231b39a23dc4da786eff8147c4e72b9807785afee48bb  a.iso\n"
                             "3e23e8160039594a33894f6564e1b1348bbd7a0088d42c4acb73eeaed59c009d  b.iso\n";
// The keys of every case, made once for the whole suite: key generation is the slow part.
struct Keys : TestKeyrings {
    std::string expiring, dated, revoked;

    Keys()
    {
        expiring = home.MakeKey("Expiring <expiring@example.org>", "1d", "20200101T000000");
        dated = home.MakeKey("Dated <dated@example.org>", "never", "20200101T000000");
        revoked = home.MakeKey("Revoked <revoked@example.org>");
    }
};

class SumSignature : public ::testing::Test {
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
        sums_ = folder_.Write("SHA256SUMS", kListing);
    }

    struct Read {
        SignatureCheck Check;
        std::string Text;  // what the parser was given
        bool Fed = false;
    };
    Read ReadSums(const SignatureSettings& gpg = {}) const
    {
        Read read;
        SignedReadSettings settings;
        settings.Gpg = gpg;
        read.Check = ReadSignedSumFile(
            files_, sums_, settings, [](const SignatureCheck&) { return true; },
            [&](std::string_view text) {
                read.Text.append(text);
                read.Fed = true;
            });
        return read;
    }
    // Our outcome and gpg's on the same files agree.
    SignatureCheck ExpectAgreement(SignatureState expected, const std::string& signature,
                                   const std::string& signedFile = "") const
    {
        EXPECT_EQ(keys_->home.GpgVerdict(signature, signedFile), expected) << "gpg --verify";
        const SignatureCheck check = ReadSums().Check;
        EXPECT_EQ(check.State, expected);
        return check;
    }
    void ClearSignInPlace(const GnupgHome& home, const std::string& key, const std::string& extra = "") const
    {
        home.ClearSign(key, folder_.Write("plain", kListing), sums_, extra);
    }

    static Keys* keys_;
    TempDir folder_;
    std::string sums_;
    mutable PosixFileSystem files_;
};

Keys* SumSignature::keys_ = nullptr;

TEST_F(SumSignature, SumFileTooLargeToHoldIsReadOnWithoutAClaim)
{
    const std::string big = std::string(kMaxSignedSumFileBytes, '\n') + kListing;
    folder_.Write("SHA256SUMS", big);
    Read read = ReadSums();
    EXPECT_EQ(read.Check.State, SignatureState::NotSigned);
    EXPECT_EQ(read.Text.size(), big.size());
    EXPECT_TRUE(read.Text == big);
    // With a signature beside it, the signature is said to be not checked, never good.
    folder_.Write("SHA256SUMS.asc", "any");
    read = ReadSums();
    EXPECT_EQ(read.Check.State, SignatureState::NotChecked);
    EXPECT_EQ(read.Check.Reason, "sum file too large to check its signature");
    EXPECT_TRUE(read.Text == big);
}

TEST_F(SumSignature, UnsignedFileIsParsedWholeAndSaidSo)
{
    const Read read = ReadSums();
    EXPECT_EQ(read.Check.State, SignatureState::NotSigned);
    EXPECT_EQ(read.Text, kListing);
}

TEST_F(SumSignature, GoodClearSignatureNamesTheKeyAndGivesOnlyTheSignedLines)
{
    ClearSignInPlace(keys_->home, keys_->release);
    const std::string signedBytes = ReadWholeFile(sums_);
    folder_.Write("SHA256SUMS", "# before\n" + signedBytes + "ffff  after.iso\n");
    const SignatureCheck check = ExpectAgreement(SignatureState::Good, sums_);
    EXPECT_EQ(check.Fingerprint, keys_->release);
    EXPECT_EQ(check.UserId, kReleaseUser);
    EXPECT_EQ(check.LinesOutside, 2u);
    EXPECT_EQ(check.SignatureFile, "");
    EXPECT_EQ(ReadSums().Text, kListing);
    const SumFileContents parsed = ParseSumText(ReadSums().Text, {});
    ASSERT_EQ(parsed.Listings.size(), 2u);
    EXPECT_EQ(parsed.ProblemCount, 0u);
}

TEST_F(SumSignature, ChangedDigestInsideAClearSignatureIsBad)
{
    ClearSignInPlace(keys_->home, keys_->release);
    std::string bytes = ReadWholeFile(sums_);
    bytes[bytes.find("ca978112")] = 'd';
    folder_.Write("SHA256SUMS", bytes);
    ExpectAgreement(SignatureState::Bad, sums_);
    // A blank added at a line end is not signed and changes nothing the parser sees.
    ClearSignInPlace(keys_->home, keys_->release);
    bytes = ReadWholeFile(sums_);
    bytes.insert(bytes.find("a.iso") + 5, "  ");
    folder_.Write("SHA256SUMS", bytes);
    ExpectAgreement(SignatureState::Good, sums_);
    EXPECT_EQ(ReadSums().Text, kListing);
}

TEST_F(SumSignature, DetachedSignaturesInEveryNameAndForm)
{
    for (const char* suffix : kSignatureSuffixes)
        for (bool armour : {true, false}) {
            SCOPED_TRACE(std::string(suffix) + (armour ? " armoured" : " binary"));
            const std::string signature = sums_ + suffix;
            keys_->home.DetachSign(keys_->release, sums_, signature, armour);
            const SignatureCheck check = ExpectAgreement(SignatureState::Good, signature, sums_);
            EXPECT_EQ(check.SignatureFile, signature);
            EXPECT_EQ(check.UserId, kReleaseUser);
            EXPECT_EQ(ReadSums().Text, kListing);
            std::filesystem::remove(signature);
        }
}

TEST_F(SumSignature, DetachedSignatureOfAnotherFileIsBad)
{
    const std::string other = folder_.Write("other", "other bytes\n");
    for (bool armour : {true, false}) {
        keys_->home.DetachSign(keys_->release, other, sums_ + ".asc", armour);
        ExpectAgreement(SignatureState::Bad, sums_ + ".asc", sums_);
    }
}

TEST_F(SumSignature, KeysTheKeyringDoesNotVouchFor)
{
    ClearSignInPlace(keys_->stranger, keys_->unknown);
    EXPECT_EQ(ExpectAgreement(SignatureState::NoPublicKey, sums_).Fingerprint, keys_->unknown);

    ClearSignInPlace(keys_->stranger, keys_->uncertified);
    const SignatureCheck uncertified = ExpectAgreement(SignatureState::GoodUncertified, sums_);
    EXPECT_EQ(uncertified.UserId, "Uncertified <uncertified@example.org>");

    ClearSignInPlace(keys_->home, keys_->expiring, "--faked-system-time 20200101T120000");
    ExpectAgreement(SignatureState::ExpiredKey, sums_);

    ClearSignInPlace(keys_->home, keys_->dated,
                     "--faked-system-time 20200102T000000 --default-sig-expire 1d");
    ExpectAgreement(SignatureState::ExpiredSignature, sums_);
}

TEST_F(SumSignature, RevokedKey)
{
    // Last in the suite's keyring: the revocation stays in it.
    ClearSignInPlace(keys_->home, keys_->revoked);
    keys_->home.Revoke(keys_->revoked);
    ExpectAgreement(SignatureState::RevokedKey, sums_);
}

TEST_F(SumSignature, SignatureFilesThatHoldNoSignature)
{
    const std::string signature = sums_ + ".sig";
    std::string armour = "-----BEGIN PGP SIGNATURE-----\n\n";
    while (armour.size() < 1024 * 1024)
        armour += "iQIzBAABCAAdFiEEYWJjZGVmZ2hpamtsbW5vcHFyc3R1dnd4eXo0MTIzNDU2Nzg5\n";
    armour += "=abcd\n-----END PGP SIGNATURE-----\n";
    for (const std::string& bytes : {std::string(), std::string("garbage, not a signature\n"), armour}) {
        SCOPED_TRACE(bytes.size());
        folder_.Write("SHA256SUMS.sig", bytes);
        EXPECT_NE(keys_->home.GpgVerdict(signature, sums_), SignatureState::Good);
        const Read read = ReadSums();
        EXPECT_EQ(read.Check.State, SignatureState::NotChecked);
        EXPECT_FALSE(read.Check.Reason.empty());
        EXPECT_EQ(read.Text, kListing);
    }
    folder_.Write("SHA256SUMS.sig", std::string(kMaxSignatureFileBytes + 1, 'x'));
    EXPECT_EQ(ReadSums().Check.Reason, "signature file too large");
}

TEST_F(SumSignature, ClearAndDetachedTogetherGiveTheWeakerOutcome)
{
    ClearSignInPlace(keys_->home, keys_->release);
    keys_->home.DetachSign(keys_->release, sums_, sums_ + ".asc", true);
    EXPECT_EQ(keys_->home.GpgVerdict(sums_), SignatureState::Good);
    EXPECT_EQ(keys_->home.GpgVerdict(sums_ + ".asc", sums_), SignatureState::Good);
    Read read = ReadSums();
    EXPECT_EQ(read.Check.State, SignatureState::Good);
    EXPECT_EQ(read.Text, kListing);

    // The detached one made by a stranger: the clear signature alone does not vouch for it all.
    keys_->stranger.DetachSign(keys_->unknown, sums_, sums_ + ".asc", true);
    EXPECT_EQ(keys_->home.GpgVerdict(sums_ + ".asc", sums_), SignatureState::NoPublicKey);
    EXPECT_EQ(ReadSums().Check.State, SignatureState::NoPublicKey);

    // A detached signature of other bytes spoils the good clear signature.
    keys_->home.DetachSign(keys_->release, folder_.Write("other", "x\n"), sums_ + ".asc", true);
    EXPECT_EQ(ReadSums().Check.State, SignatureState::Bad);
}

TEST_F(SumSignature, GnupgMissingHangingOrWithoutAKeyring)
{
    ClearSignInPlace(keys_->home, keys_->release);
    SignatureSettings missing;
    missing.GpgProgram = folder_ / "no-such-gpg";
    const Read notThere = ReadSums(missing);
    EXPECT_EQ(notThere.Check.State, SignatureState::NotChecked);
    EXPECT_FALSE(notThere.Check.Reason.empty());
    // The signed text is still what the parser gets; the caller decides what to do with it.
    EXPECT_EQ(notThere.Text, kListing);

    // A gpg that tells its version and then never answers.
    const std::string hanging = folder_.Write("hanging-gpg", "#!/bin/sh\n"
                                                             "case \"$*\" in *--version*)\n"
                                                             "  echo 'gpg (GnuPG) 2.2.40'; exit 0;;\n"
                                                             "esac\n"
                                                             "exec sleep 5\n");
    ::chmod(hanging.c_str(), 0755);
    SignatureSettings slow;
    slow.GpgProgram = hanging;
    slow.TimeoutSeconds = 1;
    const Read gaveUp = ReadSums(slow);
    EXPECT_EQ(gaveUp.Check.State, SignatureState::NotChecked);
    EXPECT_EQ(gaveUp.Check.Reason, "gpg gave no answer in time");

    // GNUPGHOME naming a file: no keyring at all.
    const std::string notAFolder = folder_.Write("not-a-folder", "x");
    ::setenv("GNUPGHOME", notAFolder.c_str(), 1);
    const SignatureCheck noKeyring = ReadSums().Check;
    ::setenv("GNUPGHOME", keys_->home.Path().c_str(), 1);
    EXPECT_FALSE(SignatureIsGood(noKeyring.State));
    EXPECT_NE(noKeyring.State, SignatureState::Bad);
}

TEST_F(SumSignature, VerificationStartsNoAgent)
{
    GnupgHome fresh;
    fresh.ImportPublicKey(keys_->home, keys_->release);
    ClearSignInPlace(keys_->home, keys_->release);
    ::setenv("GNUPGHOME", fresh.Path().c_str(), 1);
    EXPECT_EQ(ReadSums().Check.State, SignatureState::GoodUncertified);
    ::setenv("GNUPGHOME", keys_->home.Path().c_str(), 1);
    const std::string socketFile = folder_ / "socket";
    RunShell("GNUPGHOME=" + ShellWord(fresh.Path()) + " gpgconf --list-dirs agent-socket > " +
             ShellWord(socketFile));
    std::string socket = ReadWholeFile(socketFile);
    while (!socket.empty() && socket.back() == '\n')
        socket.pop_back();
    ASSERT_FALSE(socket.empty());
    EXPECT_FALSE(std::filesystem::exists(socket)) << socket;
}

TEST(SignatureWords, FingerprintGroupsAndTheWeakerOutcome)
{
    EXPECT_EQ(GroupedFingerprint("1A2B3C4D5E6F7A8B"), "1A2B 3C4D 5E6F 7A8B");
    EXPECT_EQ(GroupedFingerprint("1A2B3C"), "1A2B 3C");
    SignatureCheck good, bad, missing;
    good.State = SignatureState::Good;
    bad.State = SignatureState::Bad;
    missing.State = SignatureState::NoPublicKey;
    EXPECT_EQ(WeakerSignature(good, bad).State, SignatureState::Bad);
    EXPECT_EQ(WeakerSignature(bad, missing).State, SignatureState::Bad);
    EXPECT_EQ(WeakerSignature(good, missing).State, SignatureState::NoPublicKey);
    EXPECT_TRUE(SignatureIsGood(SignatureState::GoodUncertified));
    EXPECT_FALSE(SignatureIsGood(SignatureState::ExpiredKey));
}

}  // namespace
