// What an OpenPGP signature of a sum file proved, checked by GnuPG (through GPGME) on the user's
// own keyring: GNUPGHOME is honoured, no key is ever fetched, imported or trusted here, and the
// agent is not needed. Standard C++ only; the window and the command line put it in words.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class SignatureState {
    NotSigned,         // no clear signature and no signature file beside the sum file
    Good,              // good, by a key the keyring certifies (full or ultimate validity)
    GoodUncertified,   // good, but the key is not certified: gpg's own warning
    ExpiredSignature,  // made correctly, but the signature itself has expired
    ExpiredKey,        // made correctly, by a key that has expired
    RevokedKey,        // made correctly, by a key that has been revoked
    NoPublicKey,       // the key is not in the keyring: the signature could not be checked
    NotChecked,        // GnuPG could not give an answer: Reason says why
    Bad,               // the signed text was changed, or the signature is of another file
};

struct SignatureCheck {
    SignatureState State = SignatureState::NotSigned;
    std::string Fingerprint;  // upper-case hex, no blanks; the key id only when that is all gpg tells
    std::string UserId;       // the key's first user ID, when the keyring has the key
    std::string Reason;       // for NotChecked: a short English text, e.g. "no signature found"
    // The detached signature that was checked ("SHA256SUMS.asc"); "" for a clear signature.
    std::string SignatureFile;
    // Lines around a clear signature that hold text: never used.
    size_t LinesOutside = 0;
};

// A good signature, in either form: the lines may be trusted as far as the key is.
bool SignatureIsGood(SignatureState state);
// The weaker of two outcomes for one sum file (a clear signature and a signature file beside it):
// Bad over everything, then the outcomes that did not prove the text, then the good ones.
SignatureCheck WeakerSignature(const SignatureCheck& a, const SignatureCheck& b);
// "1A2B 3C4D 5E6F …": the fingerprint in groups of four, as gpg prints it.
std::string GroupedFingerprint(std::string_view fingerprint);

struct SignatureSettings {
    // The gpg program; "" for the one GPGME finds itself. Tests put a stand-in here.
    std::string GpgProgram;
    // A gpg that has not answered by then is given up: "signature not checked".
    int TimeoutSeconds = 30;
};

// A clear-signed block, "-----BEGIN PGP SIGNED MESSAGE-----" to "-----END PGP SIGNATURE-----".
SignatureCheck VerifyClearSignedBlock(std::string_view block, const SignatureSettings& settings);
// A detached signature (armoured or binary) of exactly the given bytes.
SignatureCheck VerifyDetachedSignature(std::string_view signature, std::string_view signedBytes,
                                       const SignatureSettings& settings);
