#include "sums/HexDigest.h"

namespace {

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

bool IsHexDigits(std::string_view text)
{
    for (char c : text)
        if (!IsHexDigit(c))
            return false;
    return !text.empty();
}

void AppendLowerHex(std::string& out, std::string_view text)
{
    const size_t at = out.size();
    out += text;
    for (size_t i = at; i < out.size(); ++i)
        if (out[i] >= 'A' && out[i] <= 'F')
            out[i] = static_cast<char>(out[i] - 'A' + 'a');
}

std::string LowerHex(std::string_view text)
{
    std::string lower;
    AppendLowerHex(lower, text);
    return lower;
}

std::string NormalisePastedDigest(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (!IsHexDigits(text))
        return {};
    // The window's own CRC-32 lines drop leading zeros down to six digits: a copy of one of
    // them is a CRC-32 all the same.
    if (text.size() == 6 || text.size() == 7)
        return std::string(8 - text.size(), '0') + LowerHex(text);
    if (AlgorithmsOfHexLength(text.size()).Empty())
        return {};
    return LowerHex(text);
}

DigestSet AlgorithmsOfHexLength(size_t hexDigits)
{
    DigestSet set;
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        if (info.DigestBytes * 2 == hexDigits)
            set.Add(info.Algorithm);
    return set;
}
