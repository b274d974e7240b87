// The size column of the check list: a byte count as kilobytes with two decimals at most.
#pragma once

#include <cstdint>
#include <string>

// size / 1024 rounded to hundredths (a tie goes to the even hundredth), written with at most
// 15 significant digits, no trailing zeros and no exponent, then "KB". decimalSeparator stands
// where a full stop would.
std::string SizeText(int64_t size, const std::string& decimalSeparator);
