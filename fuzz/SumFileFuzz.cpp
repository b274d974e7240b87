// The sum-file parser on arbitrary bytes: no crash, no hang, and the same listings whether the
// bytes come whole or in two pieces. The first byte picks the hint the sum file's name would give.
#include "sums/SumFileReader.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

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
    return 0;
}
