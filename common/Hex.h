// Hexadecimal digits, the program's one table of them: the digest texts and the "\xHH" shown
// for bytes that are not text. Header-only and below every layer, so the engines and the file
// layer both use it without knowing each other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum class HexLetters {
    Upper,
    Lower,
};

// The sixteen uppercase digits, then the sixteen lowercase ones.
inline constexpr char kHexDigits[] = "0123456789ABCDEF0123456789abcdef";

inline void AppendHexByte(std::string& out, uint8_t byte, HexLetters letters = HexLetters::Upper)
{
    const char* digits = kHexDigits + (letters == HexLetters::Lower ? 16 : 0);
    out += digits[byte >> 4];
    out += digits[byte & 15];
}

// Two digits per byte in the order given, without separators: uppercase as every engine's
// result line shows it, lowercase for the MD5 path's.
inline std::string DigestToHex(const uint8_t* digest, size_t size, HexLetters letters = HexLetters::Upper)
{
    // Written in place: a pass over many small files makes two of these per file.
    const char* digits = kHexDigits + (letters == HexLetters::Lower ? 16 : 0);
    std::string text(2 * size, '\0');
    for (size_t i = 0; i < size; ++i) {
        text[2 * i] = digits[digest[i] >> 4];
        text[2 * i + 1] = digits[digest[i] & 15];
    }
    return text;
}
