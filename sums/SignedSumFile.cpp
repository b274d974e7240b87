#include "sums/SignedSumFile.h"

#include "platform/FileAccess.h"
#include "sums/ClearSignature.h"

#include <memory>
#include <optional>

namespace {

constexpr size_t kBlock = 64 * 1024;

// Reads until size bytes are held or the file ends; true when it ended.
bool ReadUpTo(InputFile& file, std::string& bytes, size_t size)
{
    while (bytes.size() < size) {
        const size_t before = bytes.size();
        bytes.resize(std::min(size, before + kBlock));
        const size_t n = file.Read(bytes.data() + before, bytes.size() - before);
        bytes.resize(before + n);
        if (n == 0)
            return true;
    }
    return false;
}

// The first signature file beside the sum file; empty path when there is none.
SignatureCheck CheckBeside(FileAccess& files, const std::string& sumFilePath, std::string_view bytes,
                           const SignatureSettings& gpg, bool& found)
{
    found = false;
    for (const char* suffix : kSignatureSuffixes) {
        const std::string path = sumFilePath + suffix;
        if (!files.FileExists(path))
            continue;
        found = true;
        SignatureCheck check;
        std::string signature;
        try {
            std::unique_ptr<InputFile> file = files.OpenForReading(path);
            if (!ReadUpTo(*file, signature, kMaxSignatureFileBytes + 1) ||
                signature.size() > kMaxSignatureFileBytes) {
                check.State = SignatureState::NotChecked;
                check.Reason = "signature file too large";
            } else if (signature.empty()) {
                check.State = SignatureState::NotChecked;
                check.Reason = "signature file is empty";
            } else {
                check = VerifyDetachedSignature(signature, bytes, gpg);
            }
        } catch (const FileError& error) {
            check.State = SignatureState::NotChecked;
            check.Reason = std::string("cannot read the signature file: ") + error.what();
        }
        check.SignatureFile = path;
        return check;
    }
    return {};
}

}  // namespace

SignatureCheck CheckSignedSumBytes(FileAccess& files, const std::string& sumFilePath, std::string_view bytes,
                                   const SignedReadSettings& settings, std::optional<std::string>& signedText)
{
    ClearSignedParts clear = SplitClearSigned(bytes);
    SignatureCheck outcome;
    if (clear.Found) {
        outcome = VerifyClearSignedBlock(clear.Block, settings.Gpg);
        outcome.LinesOutside = clear.LinesOutside;
        signedText = std::move(clear.SignedText);
    } else {
        signedText.reset();
    }
    bool beside = false;
    if (settings.LookBeside) {
        SignatureCheck detached = CheckBeside(files, sumFilePath, bytes, settings.Gpg, beside);
        if (beside) {
            detached.LinesOutside = outcome.LinesOutside;
            outcome = clear.Found ? WeakerSignature(outcome, detached) : detached;
            outcome.SignatureFile = detached.SignatureFile;
        }
    }
    return outcome;
}

SignatureCheck ReadSignedSumFile(FileAccess& files, const std::string& sumFilePath,
                                 const SignedReadSettings& settings,
                                 const std::function<bool(const SignatureCheck&)>& decided,
                                 const std::function<void(std::string_view)>& feed)
{
    std::unique_ptr<InputFile> file = files.OpenForReading(sumFilePath);
    std::string bytes;
    if (!settings.CheckSignature) {
        const SignatureCheck none;
        if (!decided(none))
            return none;
        std::string block(kBlock, '\0');
        while (const size_t n = file->Read(block.data(), block.size()))
            feed(std::string_view(block.data(), n));
        return none;
    }
    if (ReadUpTo(*file, bytes, kMaxSignedSumFileBytes + 1)) {
        std::optional<std::string> signedText;
        const SignatureCheck outcome = CheckSignedSumBytes(files, sumFilePath, bytes, settings, signedText);
        if (decided(outcome))
            feed(signedText ? std::string_view(*signedText) : std::string_view(bytes));
        return outcome;
    }
    // Too large to hold: read on as a stream. Signed or not, nothing is proved; a sum file that
    // shows a signature is said to be not checked rather than taken as unsigned.
    SignatureCheck outcome;
    bool signatureBeside = false;
    if (settings.LookBeside)
        for (const char* suffix : kSignatureSuffixes)
            signatureBeside = signatureBeside || files.FileExists(sumFilePath + suffix);
    if (signatureBeside || SplitClearSigned(bytes).Found) {
        outcome.State = SignatureState::NotChecked;
        outcome.Reason = "sum file too large to check its signature";
    }
    if (!decided(outcome))
        return outcome;
    feed(bytes);
    std::string().swap(bytes);
    std::string block(kBlock, '\0');
    while (const size_t n = file->Read(block.data(), block.size()))
        feed(std::string_view(block.data(), n));
    return outcome;
}

SumFileContents ReadSignedSumContents(FileAccess& files, const std::string& sumFilePath,
                                      const SignedReadSettings& settings, SignatureCheck& signature)
{
    SumFileContents contents;
    SumFileParser parser(
        HintFromSumFileName(sumFilePath),
        [&contents](const SumListing& listing) { contents.Listings.push_back(listing); },
        [&contents](const SumLineProblem& problem) {
            ++contents.ProblemCount;
            if (contents.Problems.size() < SumFileContents::kKeptProblems)
                contents.Problems.push_back(problem);
        });
    bool parsed = false;
    signature = ReadSignedSumFile(
        files, sumFilePath, settings,
        [&parsed](const SignatureCheck& check) { return parsed = check.State != SignatureState::Bad; },
        [&parser](std::string_view bytes) { parser.Feed(bytes); });
    if (parsed)
        parser.Finish();
    return contents;
}
