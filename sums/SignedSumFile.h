// Reading a sum file together with its signature: the file is opened and read once, the bytes
// that were read are the bytes verified and the bytes parsed, so no second open can be raced by
// a swap of the file. Only the signed text of a clear signature reaches the parser.
#pragma once

#include "sums/SumFileReader.h"
#include "sums/SumSignature.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class FileAccess;

// A sum file up to this size is held whole so its signature can be checked. A larger one is
// read on as a stream, as an unsigned one is, and its signature is said to be not checked.
inline constexpr size_t kMaxSignedSumFileBytes = 64 * 1024 * 1024;
// A signature file beside the sum file is read up to this size; a larger one is not a signature.
inline constexpr size_t kMaxSignatureFileBytes = 1024 * 1024 + 64 * 1024;

// The names a detached signature of the sum file may have, in the order they are looked for:
// the sum file's path with ".asc", ".gpg", ".sig" or ".sign" after it.
inline constexpr const char* kSignatureSuffixes[] = {".asc", ".gpg", ".sig", ".sign"};

struct SignedReadSettings {
    bool CheckSignature = true;  // false: read as before, NotSigned, nothing looked for
    bool LookBeside = true;      // false for standard input, which has no file beside it
    SignatureSettings Gpg;
};

// Reads sumFilePath once through the file layer. Before any text goes to feed, decided is told
// what the signature proved; when it returns false nothing is fed. Returns that outcome. Throws
// FileError when the sum file cannot be opened or read.
SignatureCheck ReadSignedSumFile(FileAccess& files, const std::string& sumFilePath,
                                 const SignedReadSettings& settings,
                                 const std::function<bool(const SignatureCheck&)>& decided,
                                 const std::function<void(std::string_view)>& feed);

// The outcome over bytes already read whole, with the signature file (if any) beside the sum
// file. signedText gets the signed text of a clear signature, the part to parse; it is left
// empty when all the bytes are to be parsed, so that they are not copied.
SignatureCheck CheckSignedSumBytes(FileAccess& files, const std::string& sumFilePath, std::string_view bytes,
                                   const SignedReadSettings& settings,
                                   std::optional<std::string>& signedText);

// The sum file as ReadSumFile reads it, but only its signed text when it is clear-signed, and
// nothing at all after a BAD signature; signature gets the outcome. Throws as ReadSumFile.
SumFileContents ReadSignedSumContents(FileAccess& files, const std::string& sumFilePath,
                                      const SignedReadSettings& settings, SignatureCheck& signature);
