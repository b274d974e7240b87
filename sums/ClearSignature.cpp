#include "sums/ClearSignature.h"

namespace {

constexpr std::string_view kBeginSigned = "-----BEGIN PGP SIGNED MESSAGE-----";
constexpr std::string_view kBeginSignature = "-----BEGIN PGP SIGNATURE-----";
constexpr std::string_view kEndSignature = "-----END PGP SIGNATURE-----";

// Walks the bytes line by line; a line is given without its LF, and its end is the offset just
// past the LF (or the end of the bytes).
class Lines {
public:
    explicit Lines(std::string_view bytes) : bytes_(bytes) {}

    bool Next(std::string_view& line, size_t& end)
    {
        if (at_ >= bytes_.size())
            return false;
        const size_t lf = bytes_.find('\n', at_);
        const size_t stop = lf == std::string_view::npos ? bytes_.size() : lf;
        line = bytes_.substr(at_, stop - at_);
        at_ = lf == std::string_view::npos ? bytes_.size() : lf + 1;
        end = at_;
        return true;
    }
    size_t Offset() const { return at_; }

private:
    std::string_view bytes_;
    size_t at_ = 0;
};

std::string_view WithoutTrailingBlanks(std::string_view line)
{
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

// gpg takes an armour line with blanks after it as that line.
bool IsArmourLine(std::string_view line, std::string_view armour)
{
    return WithoutTrailingBlanks(line) == armour;
}

bool HoldsText(std::string_view line) { return !WithoutTrailingBlanks(line).empty(); }

}  // namespace

ClearSignedParts SplitClearSigned(std::string_view bytes)
{
    ClearSignedParts parts;
    Lines lines(bytes);
    std::string_view line;
    size_t end = 0;
    size_t outsideBefore = 0;
    size_t blockStart = 0;
    for (;;) {
        blockStart = lines.Offset();
        if (!lines.Next(line, end))
            return ClearSignedParts{};
        if (IsArmourLine(line, kBeginSigned))
            break;
        if (HoldsText(line))
            ++outsideBefore;
    }
    parts.Found = true;
    parts.LinesOutside = outsideBefore;

    // The armour headers ("Hash: SHA512") run to the first empty line.
    bool inHeaders = true;
    bool inSignature = false;
    size_t blockEnd = bytes.size();
    while (lines.Next(line, end)) {
        if (inHeaders) {
            if (!HoldsText(line))
                inHeaders = false;
            continue;
        }
        if (!inSignature) {
            if (IsArmourLine(line, kBeginSignature)) {
                inSignature = true;
                continue;
            }
            if (line.substr(0, 2) == "- ")
                line.remove_prefix(2);
            parts.SignedText.append(WithoutTrailingBlanks(line));
            parts.SignedText.push_back('\n');
            continue;
        }
        if (IsArmourLine(line, kEndSignature)) {
            blockEnd = end;
            break;
        }
    }
    parts.Block = bytes.substr(blockStart, blockEnd - blockStart);
    while (lines.Next(line, end))
        if (HoldsText(line))
            ++parts.LinesOutside;
    return parts;
}
