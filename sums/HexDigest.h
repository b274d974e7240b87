// Digests as hex text: the forms the tools write them in, reduced to one for comparing.
#pragma once

#include "hashing/DigestAlgorithm.h"

#include <string>
#include <string_view>

bool IsHexDigits(std::string_view text);
// Lower-case copy of hex text (other bytes unchanged).
std::string LowerHex(std::string_view text);
// The same, appended to out: a sum line is made without a copy of its digest on the way.
void AppendLowerHex(std::string& out, std::string_view text);
// A digest typed or pasted by a person: surrounding blanks (also CR, LF, TAB) dropped, hex in
// lower case; "" when what is left is not hex of the length of one of our algorithms. Six or
// seven digits are a CRC-32 as the window's result lines show it, filled up to eight.
std::string NormalisePastedDigest(std::string_view text);
// Every algorithm whose digest has this many hex digits.
DigestSet AlgorithmsOfHexLength(size_t hexDigits);
