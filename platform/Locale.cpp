#include "platform/Locale.h"

#include <algorithm>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace {

// The user's numeric locale, from the environment as setlocale(LC_NUMERIC, "") would choose
// it, but through a locale object of our own: the global locale of the process stays "C", so
// nothing else (number parsing, the result file) starts using a decimal comma.
std::string ReadDecimalSeparator()
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

std::string EnvironmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) + '\1' : std::string();
}

}  // namespace

// Every size text asks for the separator, so it is read once per setting of the variables
// that choose it: a list of 100,000 files does not load the locale 100,000 times (and glibc's
// newlocale loses a little memory on each call while LOCPATH is set).
std::string LocaleDecimalSeparator()
{
    thread_local std::string cachedFor;
    thread_local std::string cached;
    std::string key = EnvironmentValue("LC_ALL") + '\0' + EnvironmentValue("LC_NUMERIC") + '\0' +
                      EnvironmentValue("LANG") + '\0' + EnvironmentValue("LOCPATH");
    if (cached.empty() || key != cachedFor) {
        cached = ReadDecimalSeparator();
        cachedFor = std::move(key);
    }
    return cached;
}
