// A keyring of the test's own: a temporary GNUPGHOME with keys made by gpg itself, signatures
// made with gpg --clearsign and --detach-sign, and gpg --verify as the oracle of what a
// signature proves. GNUPGHOME is set for the test process (the verification under test reads
// it) and put back at the end, and every GnuPG daemon started in the folder is ended then.
#pragma once

#include "sums/SumSignature.h"
#include "tests/support/TestFiles.h"

#include <optional>
#include <string>

class GnupgHome {
public:
    GnupgHome();
    ~GnupgHome();
    GnupgHome(const GnupgHome&) = delete;
    GnupgHome& operator=(const GnupgHome&) = delete;

    const std::string& Path() const { return home_.Path(); }
    // Runs gpg in this home (batch, no passphrase) with the arguments, which are a shell text;
    // true when gpg exited with 0.
    bool Gpg(const std::string& arguments) const;
    // Makes a signing key, ultimately trusted as gpg trusts the keys it makes, and returns its
    // fingerprint. faked: a "--faked-system-time" value, expiry: gpg's, e.g. "1d" or "never".
    std::string MakeKey(const std::string& userId, const std::string& expiry = "never",
                        const std::string& faked = "") const;
    // Takes another home's public key in without certifying it.
    void ImportPublicKey(const GnupgHome& from, const std::string& fingerprint) const;
    void Revoke(const std::string& fingerprint) const;
    // Signatures by the key; extra goes before the file, e.g. "--faked-system-time ...".
    void ClearSign(const std::string& fingerprint, const std::string& in, const std::string& out,
                   const std::string& extra = "") const;
    void DetachSign(const std::string& fingerprint, const std::string& in, const std::string& out,
                    bool armour, const std::string& extra = "") const;

    // What gpg --verify says, in our terms, from its status lines. signedFile "" for a clear signature.
    SignatureState GpgVerdict(const std::string& signature, const std::string& signedFile = "") const;

private:
    TempDir home_;
    std::optional<std::string> previous_;
};

inline const std::string kReleaseUser = "Example Release Key <release@example.org>";

// The keyrings of most signature tests, made once per suite (key generation is the slow part):
// the user's own, which holds the release key and an uncertified key of a stranger's, and the
// stranger's, whose other key the user does not have.
struct TestKeyrings {
    GnupgHome stranger;  // first, so that the user's home below is the one in force
    GnupgHome home;
    std::string release, unknown, uncertified;

    TestKeyrings()
    {
        unknown = stranger.MakeKey("Stranger <stranger@example.org>");
        uncertified = stranger.MakeKey("Uncertified <uncertified@example.org>");
        release = home.MakeKey(kReleaseUser);
        home.ImportPublicKey(stranger, uncertified);
    }
};
