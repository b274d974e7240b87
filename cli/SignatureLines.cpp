#include "cli/SignatureLines.h"

namespace {

std::string Signer(const SignatureCheck& check)
{
    std::string text = check.UserId.empty() ? "an unnamed key" : "\"" + check.UserId + "\"";
    if (!check.Fingerprint.empty())
        text += " (" + GroupedFingerprint(check.Fingerprint) + ")";
    return text;
}

}  // namespace

std::string SignatureLineText(const SignatureCheck& check)
{
    switch (check.State) {
    case SignatureState::NotSigned: return "not signed";
    case SignatureState::Good: return "good signature from " + Signer(check);
    case SignatureState::GoodUncertified:
        return "good signature from " + Signer(check) +
               ", but the key is not certified with a trusted signature";
    case SignatureState::ExpiredSignature: return "expired signature from " + Signer(check);
    case SignatureState::ExpiredKey:
        return "good signature from " + Signer(check) + ", but the key has expired";
    case SignatureState::RevokedKey:
        return "good signature from " + Signer(check) + ", but the key has been revoked";
    case SignatureState::NoPublicKey: return "signature not checked: no public key " + check.Fingerprint;
    case SignatureState::NotChecked: return "signature not checked: " + check.Reason;
    case SignatureState::Bad: return "BAD signature";
    }
    return "signature not checked";
}

std::string LinesOutsideText(const SignatureCheck& check)
{
    if (check.LinesOutside == 0)
        return {};
    if (check.LinesOutside == 1)
        return "1 line outside the signed text was ignored";
    return std::to_string(check.LinesOutside) + " lines outside the signed text were ignored";
}

bool FilesAreChecked(const SignatureCheck& check, bool requireSignature)
{
    if (check.State == SignatureState::Bad)
        return false;
    return !requireSignature || check.State == SignatureState::Good;
}

bool SignatureLineShown(const SignatureCheck& check, bool requireSignature)
{
    return check.State != SignatureState::NotSigned || requireSignature;
}
