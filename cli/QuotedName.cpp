#include "cli/QuotedName.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace {

// What one character of the name asks of the quoting.
enum class Need {
    None,    // stands as it is, also unquoted
    Quotes,  // stands as it is, but only inside quotes
    Escape,  // inside quotes as a $'...' escape
    Quote,   // the single quote itself
};

struct Unit {
    std::string_view Bytes;
    Need What;
    // Also fine inside double quotes without an escape: a name whose only trouble is a
    // single quote is then shown as "it's".
    bool PlainInDoubleQuotes;
};

bool SafeEverywhere(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("%+,-./]_", c);
}

char LetterEscape(char c)
{
    switch (c) {
    case '\a': return 'a';
    case '\b': return 'b';
    case '\f': return 'f';
    case '\n': return 'n';
    case '\r': return 'r';
    case '\t': return 't';
    case '\v': return 'v';
    default: return 0;
    }
}

Unit AsciiUnit(std::string_view name, size_t i)
{
    const char c = name[i];
    const std::string_view bytes = name.substr(i, 1);
    if (SafeEverywhere(c))
        return {bytes, Need::None, true};
    if (c == ':')  // it separates the parts of a message
        return {bytes, Need::Quotes, true};
    if (c == ' ')
        return {bytes, Need::Quotes, true};
    if (c == '\'')
        return {bytes, Need::Quote, true};
    if (c == '#' || c == '~')  // special at the start of a word only
        return {bytes, i == 0 ? Need::Quotes : Need::None, i == 0};
    if (c == '{' || c == '}')  // special when alone
        return {bytes, name.size() == 1 ? Need::Quotes : Need::None, name.size() == 1};
    if (std::strchr("!\"$&()*;<=>?[\\^`|", c))
        return {bytes, Need::Quotes, false};
    if (LetterEscape(c) || !std::isprint(static_cast<unsigned char>(c)))
        return {bytes, Need::Escape, false};
    return {bytes, Need::None, true};  // '@'
}

// A character of more than one byte, or a byte that starts none, in the current locale.
Unit WideUnit(std::string_view name, size_t i)
{
    if (MB_CUR_MAX == 1) {
        const bool printable = std::isprint(static_cast<unsigned char>(name[i]));
        return {name.substr(i, 1), printable ? Need::None : Need::Escape, printable};
    }
    std::mbstate_t state{};
    wchar_t wide = 0;
    const size_t length = std::mbrtowc(&wide, name.data() + i, name.size() - i, &state);
    if (length == static_cast<size_t>(-1))
        return {name.substr(i, 1), Need::Escape, false};
    if (length == static_cast<size_t>(-2))  // cut off by the end of the name
        return {name.substr(i), Need::Escape, false};
    const bool printable = std::iswprint(static_cast<wint_t>(wide));
    return {name.substr(i, length), printable ? Need::None : Need::Escape, printable};
}

std::vector<Unit> Units(std::string_view name)
{
    std::vector<Unit> units;
    for (size_t i = 0; i < name.size(); i += units.back().Bytes.size())
        units.push_back(static_cast<unsigned char>(name[i]) < 0x80 ? AsciiUnit(name, i) : WideUnit(name, i));
    return units;
}

void AppendEscape(std::string& out, std::string_view bytes)
{
    for (const char c : bytes) {
        out += '\\';
        if (const char letter = LetterEscape(c)) {
            out += letter;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        out += static_cast<char>('0' + (byte >> 6));
        out += static_cast<char>('0' + ((byte >> 3) & 7));
        out += static_cast<char>('0' + (byte & 7));
    }
}

// The name in single quotes, the troublesome characters as $'...' pieces. inEscape is the state
// to start in, and the state at the end.
std::string QuotedInSingleQuotes(const std::vector<Unit>& units, bool& inEscape)
{
    std::string out = "'";
    for (const Unit& unit : units) {
        switch (unit.What) {
        case Need::Escape:
            if (!inEscape)
                out += "'$'";
            inEscape = true;
            AppendEscape(out, unit.Bytes);
            break;
        case Need::Quote:
            // Closes the quotes (or the $'...' piece), an escaped quote, and opens them again.
            out += "'\\''";
            inEscape = false;
            break;
        case Need::None:
        case Need::Quotes:
            if (inEscape)
                out += "''";
            inEscape = false;
            out += unit.Bytes;
            break;
        }
    }
    out += "'";
    return out;
}

}  // namespace

std::string QuotedName(std::string_view name)
{
    const std::vector<Unit> units = Units(name);
    bool needsQuotes = name.empty(), hasQuote = false, doubleQuotesDo = true;
    for (const Unit& unit : units) {
        needsQuotes = needsQuotes || unit.What != Need::None;
        hasQuote = hasQuote || unit.What == Need::Quote;
        doubleQuotesDo = doubleQuotesDo && unit.PlainInDoubleQuotes;
    }
    if (!needsQuotes)
        return std::string(name);
    if (hasQuote && doubleQuotesDo)
        return "\"" + std::string(name) + "\"";

    // coreutils (gnulib's quotearg) reads a name with a single quote twice, and the second
    // reading starts in the state the first one ended in: inside a $'...' piece when the name
    // ends with an escape. Its messages are matched to the byte, that quirk included.
    bool inEscape = false;
    std::string out = QuotedInSingleQuotes(units, inEscape);
    if (hasQuote)
        out = QuotedInSingleQuotes(units, inEscape);
    return out;
}
