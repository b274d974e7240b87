#include "platform/FileSystem.h"

#include <algorithm>
#include <langinfo.h>
#include <locale.h>

// The user's numeric locale, from the environment as setlocale(LC_NUMERIC, "") would choose
// it, but through a locale object of our own: the global locale of the process stays "C", so
// nothing else (number parsing, the result file) starts using a decimal comma.
std::string LocaleDecimalSeparator()
{
    locale_t numeric = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (numeric == static_cast<locale_t>(0))
        return ".";
    std::string separator = ::nl_langinfo_l(RADIXCHAR, numeric);
    const std::string codeset = ::nl_langinfo_l(CODESET, numeric);
    ::freelocale(numeric);
    // Texts inside the program are UTF-8; a non-ASCII separator of a locale in another
    // encoding would be bytes of that encoding.
    const bool ascii = std::all_of(separator.begin(), separator.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (separator.empty() || (!ascii && codeset != "UTF-8"))
        return ".";
    return separator;
}
