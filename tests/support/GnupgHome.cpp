#include "tests/support/GnupgHome.h"

#include "tests/support/SumsTesting.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <sys/stat.h>

GnupgHome::GnupgHome()
{
    ::chmod(home_.Path().c_str(), 0700);
    if (const char* previous = std::getenv("GNUPGHOME"))
        previous_ = previous;
    ::setenv("GNUPGHOME", home_.Path().c_str(), 1);
}

GnupgHome::~GnupgHome()
{
    RunShell("GNUPGHOME=" + ShellWord(Path()) + " gpgconf --kill all >/dev/null 2>&1");
    if (previous_)
        ::setenv("GNUPGHOME", previous_->c_str(), 1);
    else
        ::unsetenv("GNUPGHOME");
}

bool GnupgHome::Gpg(const std::string& arguments) const
{
    return RunShell("GNUPGHOME=" + ShellWord(Path()) +
                    " gpg --batch --yes --quiet --no-tty --pinentry-mode loopback --passphrase '' " +
                    arguments + " >/dev/null 2>&1") == 0;
}

std::string GnupgHome::MakeKey(const std::string& userId, const std::string& expiry,
                               const std::string& faked) const
{
    const std::string time = faked.empty() ? "" : "--faked-system-time " + faked + " ";
    if (!Gpg(time + "--quick-gen-key " + ShellWord(userId) + " ed25519 sign " + expiry))
        throw std::runtime_error("gpg could not make a key for " + userId);
    const std::string listing = home_ / "fingerprint";
    RunShell("GNUPGHOME=" + ShellWord(Path()) + " gpg --batch --with-colons --list-keys " +
             ShellWord(userId) + " 2>/dev/null | awk -F: '$1 == \"fpr\" { print $10; exit }' > " +
             ShellWord(listing));
    std::string fingerprint = ReadWholeFile(listing);
    while (!fingerprint.empty() && fingerprint.back() == '\n')
        fingerprint.pop_back();
    if (fingerprint.size() != 40)
        throw std::runtime_error("no fingerprint for " + userId);
    return fingerprint;
}

void GnupgHome::ImportPublicKey(const GnupgHome& from, const std::string& fingerprint) const
{
    const std::string exported = home_ / (fingerprint + ".pub");
    // No agent: a fresh home must stay without one for the test that looks for it.
    if (!from.Gpg("--export --output " + ShellWord(exported) + " " + fingerprint) ||
        !Gpg("--no-autostart --import " + ShellWord(exported)))
        throw std::runtime_error("cannot move the key " + fingerprint);
}

void GnupgHome::Revoke(const std::string& fingerprint) const
{
    // gpg keeps a revocation of each key it makes, guarded by a ":" before its armour line.
    const std::string kept = home_ / ("openpgp-revocs.d/" + fingerprint + ".rev");
    const std::string usable = home_ / "revocation.asc";
    RunShell("sed 's/^:-----BEGIN/-----BEGIN/' " + ShellWord(kept) + " > " + ShellWord(usable));
    if (!Gpg("--import " + ShellWord(usable)))
        throw std::runtime_error("cannot revoke " + fingerprint);
}

void GnupgHome::ClearSign(const std::string& fingerprint, const std::string& in, const std::string& out,
                          const std::string& extra) const
{
    if (!Gpg(extra + " --local-user " + fingerprint + " --output " + ShellWord(out) + " --clearsign " +
             ShellWord(in)))
        throw std::runtime_error("cannot clear-sign " + in);
}

void GnupgHome::DetachSign(const std::string& fingerprint, const std::string& in, const std::string& out,
                           bool armour, const std::string& extra) const
{
    if (!Gpg(extra + " --local-user " + fingerprint + (armour ? " --armor" : "") + " --output " +
             ShellWord(out) + " --detach-sign " + ShellWord(in)))
        throw std::runtime_error("cannot sign " + in);
}

SignatureState GnupgHome::GpgVerdict(const std::string& signature, const std::string& signedFile) const
{
    const std::string status = home_ / "status";
    RunShell("GNUPGHOME=" + ShellWord(Path()) + " gpg --batch --no-tty --status-fd 1 --verify " +
             ShellWord(signature) + (signedFile.empty() ? "" : " " + ShellWord(signedFile)) + " > " +
             ShellWord(status) + " 2>/dev/null");
    std::istringstream lines(ReadWholeFile(status));
    std::string line;
    bool good = false, certified = false;
    std::optional<SignatureState> other;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string prefix, keyword;
        words >> prefix >> keyword;
        if (prefix != "[GNUPG:]")
            continue;
        if (keyword == "BADSIG")
            return SignatureState::Bad;
        if (keyword == "GOODSIG")
            good = true;
        else if (keyword == "TRUST_FULLY" || keyword == "TRUST_ULTIMATE")
            certified = true;
        else if (keyword == "EXPSIG")
            other = SignatureState::ExpiredSignature;
        else if (keyword == "EXPKEYSIG")
            other = SignatureState::ExpiredKey;
        else if (keyword == "REVKEYSIG")
            other = SignatureState::RevokedKey;
        else if (keyword == "NO_PUBKEY" && !other)
            other = SignatureState::NoPublicKey;
    }
    if (other)
        return *other;
    if (good)
        return certified ? SignatureState::Good : SignatureState::GoodUncertified;
    return SignatureState::NotChecked;
}
