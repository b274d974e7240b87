#include "sums/SumWriter.h"

#include "platform/TextEncoding.h"
#include "sums/HexDigest.h"

namespace {

bool NeedsEscape(std::string_view name) { return name.find_first_of("\\\n\r") != std::string_view::npos; }

void AppendName(std::string& line, std::string_view name, bool escape)
{
    if (escape)
        line += EscapedSumName(name);
    else
        line += name;
}

}  // namespace

std::string EscapedSumName(std::string_view name, bool escapeCarriageReturn)
{
    std::string escaped;
    escaped.reserve(name.size() + 8);
    for (char c : name) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\n': escaped += "\\n"; break;
        case '\r': escaped += escapeCarriageReturn ? "\\r" : "\r"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::string GnuSumLine(std::string_view hexDigest, std::string_view name, SumLineStyle style)
{
    const bool escape = !style.Zero && NeedsEscape(name);
    std::string line;
    line.reserve(hexDigest.size() + name.size() + 4);
    if (escape)
        line += '\\';
    AppendLowerHex(line, hexDigest);
    line += style.Binary ? " *" : "  ";
    AppendName(line, name, escape);
    line += style.Zero ? '\0' : '\n';
    return line;
}

std::string TaggedSumLine(DigestAlgorithm algorithm, std::string_view hexDigest, std::string_view name,
                          SumLineStyle style)
{
    const bool escape = !style.Zero && NeedsEscape(name);
    std::string line;
    line.reserve(hexDigest.size() + name.size() + 24);
    if (escape)
        line += '\\';
    // b2sum names a BLAKE2b of another length by its bits: "BLAKE2b-256".
    if (hexDigest.size() == Info(algorithm).DigestBytes * 2)
        line += Info(algorithm).BsdTag;
    else
        line += LineNameOfLength(algorithm, hexDigest.size() / 2);
    line += " (";
    AppendName(line, name, escape);
    line += ") = ";
    AppendLowerHex(line, hexDigest);
    line += style.Zero ? '\0' : '\n';
    return line;
}

std::string PublishedSumLine(DigestAlgorithm algorithm, std::string_view hexDigest, std::string_view name,
                             SumLineStyle style)
{
    const SumLineSpelling spelling = Info(algorithm).Spelling;
    if (spelling == SumLineSpelling::Coreutils)
        return GnuSumLine(hexDigest, name, style);
    if (spelling == SumLineSpelling::B3sum && !style.Zero && !name.empty() && name.back() != '\r') {
        // b3sum escapes "\\" and LF only. A CR at a name's end would pass for the line's own CR
        // LF end, so such a name is escaped in full, as coreutils does.
        const bool escape = name.find_first_of("\\\n") != std::string_view::npos;
        return (escape ? "\\" : "") + LowerHex(hexDigest) + (style.Binary ? " *" : "  ") +
               (escape ? EscapedSumName(name, false) : std::string(name)) + "\n";
    }
    if (spelling == SumLineSpelling::B3sum)
        return GnuSumLine(hexDigest, name, style);
    // xxhsum writes every name as it stands; one with a line end would break its line.
    const bool asItStands = style.Zero || name.find_first_of("\n\r") == std::string_view::npos;
    SumLineStyle unescaped = style;
    unescaped.Zero = asItStands;
    std::string line = spelling == SumLineSpelling::XxhsumTagged
                           ? TaggedSumLine(algorithm, hexDigest, name, unescaped)
                           : GnuSumLine(hexDigest, name, unescaped);
    if (asItStands && !style.Zero)
        line.back() = '\n';
    return line;
}

std::optional<std::string> SfvLine(std::string_view name, std::string_view crc32Hex)
{
    if (name.find_first_of("\n\r") != std::string_view::npos)
        return std::nullopt;
    std::string line(name);
    line += ' ';
    for (char c : crc32Hex)
        line += (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
    line += '\n';
    return line;
}

std::string CsvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string field = "\"";
    for (char c : text) {
        if (c == '"')
            field += '"';
        field += c;
    }
    field += '"';
    return field;
}

std::string CsvHeaderRow(const std::vector<DigestAlgorithm>& columns)
{
    std::string row = "path,size";
    for (DigestAlgorithm algorithm : columns) {
        row += ',';
        row += Info(algorithm).Option;
    }
    row += "\r\n";
    return row;
}

std::string CsvRow(std::string_view path, uint64_t size,
                   const std::vector<std::optional<std::string>>& digests)
{
    std::string row = CsvField(Utf8FromNative(path));
    row += ',';
    row += std::to_string(size);
    for (const std::optional<std::string>& digest : digests) {
        row += ',';
        if (digest)
            AppendLowerHex(row, *digest);
    }
    row += "\r\n";
    return row;
}

std::string FolderOfPath(std::string_view path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return {};
    if (slash == 0)
        return "/";
    return std::string(path.substr(0, slash));
}

std::string NameInSumFile(std::string_view sumFolder, std::string_view path)
{
    if (sumFolder.empty())
        return std::string(path);
    std::string prefix(sumFolder);
    if (prefix.back() != '/')
        prefix += '/';
    if (path.size() > prefix.size() && path.substr(0, prefix.size()) == prefix)
        return std::string(path.substr(prefix.size()));
    return std::string(path);
}
