#include "checking/SizeText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

// Fixed notation of value with at most 15 significant digits and no trailing zeros. The
// digits come from to_chars, which does not follow the C locale: the window's toolkit sets
// that from the environment, and the separator must be the one we were given.
std::string GeneralDecimal(double value, const std::string& separator)
{
    char buffer[64];
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    if (error != std::errc())
        return "0";
    // buffer holds d.dddddddddddddde±x: fifteen digits and a decimal exponent.
    std::string text(buffer, end);
    const size_t e = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    const int exponent = std::atoi(text.c_str() + e + 1);

    std::string whole;
    std::string fraction;
    if (exponent < 0) {
        whole = "0";
        fraction = std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else if (static_cast<size_t>(exponent) + 1 >= digits.size()) {
        whole = digits + std::string(static_cast<size_t>(exponent) + 1 - digits.size(), '0');
    } else {
        whole = digits.substr(0, static_cast<size_t>(exponent) + 1);
        fraction = digits.substr(static_cast<size_t>(exponent) + 1);
    }
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    return fraction.empty() ? whole : whole + separator + fraction;
}

}  // namespace

std::string SizeText(int64_t size, const std::string& decimalSeparator)
{
    // The division by 1024 is exact in binary; the extended format keeps the product by 100
    // exact for every size below 2^57, so ties are found where they really are. nearbyint
    // rounds a tie to the even neighbour in the default rounding mode.
    const long double hundredths = std::nearbyint(static_cast<long double>(size) / 1024.0L * 100.0L);
    return GeneralDecimal(static_cast<double>(hundredths / 100.0L), decimalSeparator) + "KB";
}
