#include "sums/SumLine.h"

#include "sums/HexDigest.h"

#include <algorithm>
#include <optional>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameLetters(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view TrimRight(std::string_view text)
{
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Undoes coreutils' escapes of a name on a line that starts with "\": "\\", "\n", "\r".
// Any other backslash makes the line unreadable, as it does for coreutils.
bool Unescape(std::string_view escaped, std::string& name)
{
    name.clear();
    name.reserve(escaped.size());
    for (size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '\\') {
            name += escaped[i];
            continue;
        }
        if (++i == escaped.size())
            return false;
        switch (escaped[i]) {
        case '\\': name += '\\'; break;
        case 'n': name += '\n'; break;
        case 'r': name += '\r'; break;
        default: return false;
        }
    }
    return true;
}

bool TakeName(std::string_view raw, bool escaped, std::string& name, std::string& reason)
{
    if (raw.empty()) {
        reason = "no file name";
        return false;
    }
    if (!escaped) {
        name.assign(raw);
        return true;
    }
    if (!Unescape(raw, name)) {
        reason = "invalid escape in file name";
        return false;
    }
    return true;
}

// The candidates for a GNU digest of this length: the hint's algorithms that have it, or every
// algorithm that has it when the hint tells nothing.
DigestSet GnuCandidates(size_t hexDigits, const SumFileHint& hint)
{
    DigestSet byLength = AlgorithmsOfHexLength(hexDigits);
    if (hint.Algorithms.Empty())
        return byLength;
    // b2sum -l writes shorter BLAKE2b digests in its GNU lines; only the sum file's name (or the
    // command line's choice) tells them from others.
    if (hexDigits % 2 == 0 && hexDigits > 0 && hexDigits <= kBlake2bMaxBytes * 2)
        byLength.Add(DigestAlgorithm::Blake2b);
    DigestSet both;
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        if (byLength.Has(info.Algorithm) && hint.Algorithms.Has(info.Algorithm))
            both.Add(info.Algorithm);
    return both;
}

// The bits of a "BLAKE2b-N" tag, as b2sum writes it for a length other than 512; 0 for a number
// that is not one.
std::optional<size_t> Blake2bTagBits(std::string_view tag)
{
    constexpr std::string_view kPrefix = "BLAKE2b-";
    if (tag.size() <= kPrefix.size() || !SameLetters(tag.substr(0, kPrefix.size()), kPrefix))
        return std::nullopt;
    size_t bits = 0;
    for (char c : tag.substr(kPrefix.size())) {
        if (c < '0' || c > '9' || bits > 100000)
            return size_t{0};
        bits = bits * 10 + static_cast<size_t>(c - '0');
    }
    return bits;
}

enum class Attempt {
    Read,
    NotThisForm,
    Unreadable
};

// "TAG (NAME) = DIGEST"; the name runs to the last ") = ", so a name may hold ") = " itself.
Attempt ReadTagged(std::string_view text, bool escaped, SumLine& line, std::string& reason)
{
    size_t tagEnd = 0;
    while (tagEnd < text.size() && !IsBlank(text[tagEnd]) && text[tagEnd] != '(')
        ++tagEnd;
    if (tagEnd == 0)
        return Attempt::NotThisForm;
    size_t open = tagEnd;
    while (open < text.size() && IsBlank(text[open]))
        ++open;
    if (open >= text.size() || text[open] != '(')
        return Attempt::NotThisForm;
    const size_t close = text.rfind(") = ");
    if (close == std::string_view::npos || close < open)
        return Attempt::NotThisForm;
    const std::string_view digest = TrimRight(text.substr(close + 4));
    if (!IsHexDigits(digest))
        return Attempt::NotThisForm;
    const std::string_view tag = text.substr(0, tagEnd);
    DigestAlgorithm algorithm;
    size_t digits = 0;
    if (const std::optional<size_t> bits = Blake2bTagBits(tag)) {
        if (*bits == 0 || *bits % 8 != 0 || *bits > kBlake2bMaxBytes * 8) {
            reason = "BLAKE2b length does not fit " + std::string(tag);
            return Attempt::Unreadable;
        }
        algorithm = DigestAlgorithm::Blake2b;
        digits = *bits / 4;
    } else if (AlgorithmFromTag(tag, algorithm)) {
        digits = Info(algorithm).DigestBytes * 2;
    } else {
        reason = "unknown algorithm " + std::string(tag);
        return Attempt::Unreadable;
    }
    if (digest.size() != digits) {
        reason = "digest length does not fit " + std::string(tag);
        return Attempt::Unreadable;
    }
    if (!TakeName(text.substr(open + 1, close - open - 1), escaped, line.Name, reason))
        return Attempt::Unreadable;
    line.Form = SumLineForm::Tagged;
    line.Digest = LowerHex(digest);
    line.Candidates = DigestSet();
    line.Candidates.Add(algorithm);
    line.Binary = false;
    return Attempt::Read;
}

// "DIGEST  NAME" or "DIGEST *NAME", or "DIGEST NAME" where the file's first GNU line had it.
Attempt ReadGnu(std::string_view text, bool escaped, const SumFileHint& hint, SumLine& line,
                std::string& reason, GnuSeparator* separator)
{
    size_t digits = 0;
    while (digits < text.size() && !IsBlank(text[digits]))
        ++digits;
    const std::string_view digest = text.substr(0, digits);
    if (!IsHexDigits(digest) || digits + 2 > text.size() || text[digits] != ' ')
        return Attempt::NotThisForm;
    size_t nameStart = digits + 1;
    bool binary = false;
    const char flag = text[nameStart];
    if (text.size() - nameStart == 1 || (flag != ' ' && flag != '*')) {
        // One blank, as coreutils tells it: never after a standard line of the same file.
        if (!separator || *separator == GnuSeparator::Standard)
            return Attempt::NotThisForm;
        *separator = GnuSeparator::OneBlank;
    } else if (!separator || *separator != GnuSeparator::OneBlank) {
        if (separator)
            *separator = GnuSeparator::Standard;
        binary = flag == '*';
        ++nameStart;
    }
    const DigestSet candidates = GnuCandidates(digest.size(), hint);
    if (candidates.Empty()) {
        reason = AlgorithmsOfHexLength(digest.size()).Empty()
                     ? "digest length fits no algorithm"
                     : "digest length does not fit the sum file's algorithm";
        return Attempt::Unreadable;
    }
    if (!TakeName(text.substr(nameStart), escaped, line.Name, reason))
        return Attempt::Unreadable;
    line.Form = SumLineForm::Gnu;
    line.Digest = LowerHex(digest);
    line.Candidates = candidates;
    line.Binary = binary;
    return Attempt::Read;
}

// "NAME CRC32": the checksum is the last word; SFV knows no escapes.
Attempt ReadSfv(std::string_view text, SumLine& line)
{
    const std::string_view trimmed = TrimRight(text);
    const size_t blank = trimmed.find_last_of(" \t");
    if (blank == std::string_view::npos)
        return Attempt::NotThisForm;
    const std::string_view crc = trimmed.substr(blank + 1);
    const std::string_view name = TrimRight(trimmed.substr(0, blank));
    if (crc.size() != 8 || !IsHexDigits(crc) || name.empty())
        return Attempt::NotThisForm;
    line.Form = SumLineForm::Sfv;
    line.Name.assign(name);
    line.Digest = LowerHex(crc);
    line.Candidates = DigestSet();
    line.Candidates.Add(DigestAlgorithm::CRC32);
    line.Binary = false;
    return Attempt::Read;
}

std::string LowerText(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = Lower(c);
    return lower;
}

bool AlgorithmFromWord(std::string_view word, DigestSet& set)
{
    if (word.size() > 4 && word.substr(word.size() - 4) == "sums")
        word.remove_suffix(4);
    else if (word.size() > 3 && word.substr(word.size() - 3) == "sum")
        word.remove_suffix(3);
    DigestAlgorithm algorithm;
    if (word == "crc")
        algorithm = DigestAlgorithm::CRC32;
    else if (!AlgorithmFromTag(word, algorithm)) {
        // Words that tell a family: "b2sums", "x.xxh", "sha3sums".
        for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
            ForEachWord(info.FileWords, [&](std::string_view fileWord) {
                if (SameLetters(word, fileWord))
                    set.Add(info.Algorithm);
            });
        return !set.Empty();
    }
    set.Add(algorithm);
    return true;
}

}  // namespace

bool AlgorithmFromTag(std::string_view tag, DigestAlgorithm& algorithm)
{
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        if (SameLetters(tag, info.BsdTag) || SameLetters(tag, info.Option) ||
            SameLetters(tag, info.LineName)) {
            algorithm = info.Algorithm;
            return true;
        }
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms) {
        bool named = false;
        ForEachWord(info.Aliases, [&](std::string_view alias) { named = named || SameLetters(tag, alias); });
        if (named) {
            algorithm = info.Algorithm;
            return true;
        }
    }
    return false;
}

SumFileHint HintFromSumFileName(std::string_view sumFilePath)
{
    const size_t slash = sumFilePath.rfind('/');
    const std::string name =
        LowerText(slash == std::string_view::npos ? sumFilePath : sumFilePath.substr(slash + 1));
    SumFileHint hint;
    const size_t dot = name.rfind('.');
    const std::string_view extension =
        dot == std::string::npos ? std::string_view() : std::string_view(name).substr(dot + 1);
    if (extension == "sfv") {
        hint.Sfv = true;
        return hint;
    }
    if (!extension.empty() && AlgorithmFromWord(extension, hint.Algorithms))
        return hint;
    // "SHA256SUMS", "md5sums.txt", "sha1sum.asc": the name before its first dot.
    const size_t firstDot = name.find('.');
    AlgorithmFromWord(std::string_view(name).substr(0, firstDot), hint.Algorithms);
    return hint;
}

SumLineKind ParseSumLine(std::string_view text, const SumFileHint& hint, SumLine& line, std::string& reason,
                         GnuSeparator* separator)
{
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    if (text.empty())
        return SumLineKind::Ignorable;
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '#')
        return SumLineKind::Ignorable;
    if (TrimRight(text).empty() || text.front() == ';')
        return hint.Sfv ? SumLineKind::Ignorable : SumLineKind::Remark;

    const bool escaped = text.front() == '\\';
    const std::string_view body = escaped ? text.substr(1) : text;
    reason.clear();
    Attempt attempt = Attempt::NotThisForm;
    if (hint.Sfv)
        attempt = ReadSfv(text, line);
    if (attempt == Attempt::NotThisForm)
        attempt = ReadTagged(body, escaped, line, reason);
    if (attempt == Attempt::NotThisForm)
        attempt = ReadGnu(body, escaped, hint, line, reason, separator);
    // "NAME 8HEX" in a file whose name says another algorithm is a broken line, not SFV.
    if (attempt == Attempt::NotThisForm && !hint.Sfv &&
        (hint.Algorithms.Empty() || hint.Algorithms.Has(DigestAlgorithm::CRC32)))
        attempt = ReadSfv(text, line);
    if (attempt == Attempt::Read)
        return SumLineKind::Listing;
    if (reason.empty())
        reason = "improperly formatted checksum line";
    return SumLineKind::Unreadable;
}

bool NameLeavesSumFolder(std::string_view name)
{
    if (!name.empty() && name.front() == '/')
        return true;
    size_t depth = 0;
    while (!name.empty()) {
        const size_t slash = name.find('/');
        const std::string_view part = name.substr(0, slash);
        if (part == "..") {
            if (depth == 0)
                return true;
            --depth;
        } else if (!part.empty() && part != ".") {
            ++depth;
        }
        name = slash == std::string_view::npos ? std::string_view() : name.substr(slash + 1);
    }
    return false;
}

std::string ListedPath(std::string_view sumFilePath, std::string_view name)
{
    if (!name.empty() && name.front() == '/')
        return std::string(name);
    const size_t slash = sumFilePath.rfind('/');
    if (slash == std::string_view::npos)
        return std::string(name);
    std::string path(sumFilePath.substr(0, slash + 1));
    path += name;
    return path;
}
