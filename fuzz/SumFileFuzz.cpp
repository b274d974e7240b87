// The sum-file parser on arbitrary bytes: no crash, no hang, and the same listings whether the
// bytes come whole or in two pieces. The first byte picks the hint the sum file's name would give.
// The same bytes are split as a clear-signed file: the block lies inside the bytes and starts
// with its armour line, the signed text has no blanks at line ends (they are not signed), and a
// block that ends with its armour line splits alone into the same signed text.
#include "sums/ClearSignature.h"
#include "sums/SumFileReader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void CheckClearSignatureSplit(std::string_view bytes, const SumFileHint& hint)
{
    const ClearSignedParts parts = SplitClearSigned(bytes);
    if (!parts.Found) {
        if (!parts.Block.empty() || !parts.SignedText.empty() || parts.LinesOutside != 0)
            std::abort();
        return;
    }
    if (parts.Block.data() < bytes.data() ||
        parts.Block.data() + parts.Block.size() > bytes.data() + bytes.size())
        std::abort();
    if (parts.Block.substr(0, 34) != "-----BEGIN PGP SIGNED MESSAGE-----")
        std::abort();
    if (parts.SignedText.size() > parts.Block.size())
        std::abort();
    if (!parts.SignedText.empty() && parts.SignedText.back() != '\n')
        std::abort();
    for (size_t lf = parts.SignedText.find('\n'); lf != std::string::npos;
         lf = parts.SignedText.find('\n', lf + 1))
        if (lf > 0 && (parts.SignedText[lf - 1] == ' ' || parts.SignedText[lf - 1] == '\t' ||
                       parts.SignedText[lf - 1] == '\r'))
            std::abort();
    const std::string_view end = "-----END PGP SIGNATURE-----";
    std::string_view last = parts.Block;
    while (!last.empty() &&
           (last.back() == '\n' || last.back() == '\r' || last.back() == ' ' || last.back() == '\t'))
        last.remove_suffix(1);
    if (last.size() >= end.size() && last.substr(last.size() - end.size()) == end &&
        (last.size() == end.size() || last[last.size() - end.size() - 1] == '\n') &&
        parts.Block.back() == '\n') {
        const ClearSignedParts alone = SplitClearSigned(parts.Block);
        if (!alone.Found || alone.SignedText != parts.SignedText || alone.LinesOutside != 0)
            std::abort();
    }
    ParseSumText(parts.SignedText, hint);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const char* const kNames[] = {"sums",  "MD5SUMS",  "x.sha256", "x.sfv",
                                         "x.md4", "SHA1SUMS", "x.tiger"};
    const SumFileHint hint = HintFromSumFileName(kNames[data[0] % 7]);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    const SumFileContents whole = ParseSumText(bytes, hint);
    size_t listings = 0, problems = 0;
    SumFileParser pieces(
        hint,
        [&](const SumListing& listing) {
            if (listing.Line.Candidates.Empty() || listing.Line.Name.empty())
                std::abort();
            if (listings >= whole.Listings.size() ||
                whole.Listings[listings].Line.Name != listing.Line.Name ||
                whole.Listings[listings].Line.Digest != listing.Line.Digest)
                std::abort();
            ++listings;
        },
        [&](const SumLineProblem&) { ++problems; });
    const size_t cut = bytes.size() / 3;
    pieces.Feed(bytes.substr(0, cut));
    pieces.Feed(bytes.substr(cut));
    pieces.Finish();
    if (listings != whole.Listings.size() || problems != whole.ProblemCount)
        std::abort();
    CheckClearSignatureSplit(bytes, hint);
    return 0;
}
