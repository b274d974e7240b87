#include "platform/TextEncoding.h"

#include "common/Hex.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <system_error>

namespace {

// Length of the UTF-8 character at p, or 0 when the bytes there are not one (overlong forms,
// surrogates and code points past U+10FFFF are not).
size_t Utf8CharLength(const unsigned char* p, size_t left)
{
    const unsigned char lead = p[0];
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (left < length || p[1] < low || p[1] > high)
        return 0;
    for (size_t k = 2; k < length; ++k)
        if ((p[k] & 0xC0) != 0x80)
            return 0;
    return length;
}

// Result texts are mostly ASCII, which can be passed eight bytes at a time.
bool EightAscii(const unsigned char* p)
{
    uint64_t eight;
    std::memcpy(&eight, p, sizeof eight);
    return (eight & 0x8080808080808080u) == 0;
}

void AppendEscapedByte(std::string& out, unsigned char byte)
{
    out += "\\x";
    AppendHexByte(out, byte);
}

void AppendUtf8(std::string& out, uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw TextEncodingError(std::string("No text converter from ") + from + " to " + to + ": " +
                                    std::system_category().message(errno));
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // One iconv step; returns false with errno set where it stopped early.
    bool Step(const char*& in, size_t& inLeft, char*& out, size_t& outLeft)
    {
        char* input = const_cast<char*>(in);  // iconv's signature; it does not write the input
        const size_t result = iconv(cd_, &input, &inLeft, &out, &outLeft);
        in = input;
        return result != static_cast<size_t>(-1);
    }

private:
    iconv_t cd_;
};

// Reads one GB18030 character at p (two or four bytes); returns how many bytes it took, or 0.
size_t DecodeLegacyChar(Converter& legacy, const char* p, size_t left, std::string& out)
{
    // Room for exactly one UTF-32 code point, so iconv stops after the first character.
    unsigned char unit[4];
    char* target = reinterpret_cast<char*>(unit);
    size_t targetLeft = sizeof unit;
    const char* in = p;
    size_t inLeft = std::min<size_t>(left, 4);
    const size_t offered = inLeft;
    legacy.Step(in, inLeft, target, targetLeft);
    if (targetLeft != 0)
        return 0;
    AppendUtf8(out, uint32_t(unit[0]) | uint32_t(unit[1]) << 8 | uint32_t(unit[2]) << 16 |
                        uint32_t(unit[3]) << 24);
    return offered - inLeft;
}

std::optional<Converter> LegacyDecoder()
{
    try {
        return std::optional<Converter>(std::in_place, "UTF-32LE", "GB18030");
    } catch (const TextEncodingError&) {
        return std::nullopt;  // without it, foreign bytes are still shown as \xHH
    }
}

}  // namespace

bool IsValidUtf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t at = 0;
    while (at < text.size()) {
        if (text.size() - at >= 8 && EightAscii(p + at)) {
            at += 8;
            continue;
        }
        const size_t length = Utf8CharLength(p + at, text.size() - at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

std::string Utf8FromNative(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    std::optional<Converter> legacy = LegacyDecoder();
    std::string out;
    out.reserve(bytes.size() + 16);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t left = bytes.size() - at;
        size_t length = Utf8CharLength(p + at, left);
        if (length != 0) {
            out.append(bytes.data() + at, length);
        } else {
            length = legacy ? DecodeLegacyChar(*legacy, bytes.data() + at, left, out) : 0;
            if (length == 0) {
                AppendEscapedByte(out, p[at]);
                length = 1;
            }
        }
        at += length;
    }
    return out;
}

std::string Gb18030FromUtf8(std::string_view text)
{
    std::string repaired;
    if (!IsValidUtf8(text)) {
        repaired = Utf8FromNative(text);
        text = repaired;
    }
    Converter toGb("GB18030", "UTF-8");
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    char buffer[65536];
    const char* in = text.data();
    size_t inLeft = text.size();
    while (inLeft > 0) {
        char* target = buffer;
        size_t targetLeft = sizeof buffer;
        const bool complete = toGb.Step(in, inLeft, target, targetLeft);
        out.append(buffer, static_cast<size_t>(target - buffer));
        if (complete || errno == E2BIG)
            continue;
        // A valid character without a GB18030 form in this converter: keep it visible.
        const auto* bad = reinterpret_cast<const unsigned char*>(in);
        const size_t length = std::max<size_t>(1, Utf8CharLength(bad, inLeft));
        for (size_t k = 0; k < length; ++k)
            AppendEscapedByte(out, bad[k]);
        in += length;
        inLeft -= length;
    }
    return out;
}
