#include "platform/TextEncoding.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <optional>

namespace {

// glibc's own converter, one whole text at a time: the reference for ours.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() { iconv_close(cd_); }

    std::optional<std::string> operator()(const std::string& text) const
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(text.size() * 4 + 16, '\0');
        char* in = const_cast<char*>(text.data());
        size_t inLeft = text.size();
        char* target = out.data();
        size_t targetLeft = out.size();
        if (iconv(cd_, &in, &inLeft, &target, &targetLeft) == static_cast<size_t>(-1))
            return std::nullopt;
        out.resize(out.size() - targetLeft);
        return out;
    }

private:
    iconv_t cd_;
};

std::string Utf8(uint32_t c)
{
    static const Iconv fromUtf32("UTF-8", "UTF-32LE");
    const char unit[] = {char(c), char(c >> 8), char(c >> 16), char(c >> 24)};
    return fromUtf32(std::string(unit, 4)).value();
}

std::string Escaped(const std::string& bytes)
{
    std::string out;
    for (unsigned char b : bytes) {
        char hex[5];
        snprintf(hex, sizeof hex, "\\x%02X", b);
        out += hex;
    }
    return out;
}

}  // namespace

TEST(TextEncoding, EveryGbkCharacterGivesItsGbkBytes)
{
    const Iconv toGbk("GBK", "UTF-8");
    std::string text, expected;
    for (uint32_t c = 0; c < 0x10000; ++c) {
        if ((c >= 0xD800 && c < 0xE000) || c == 0x20AC)
            continue;
        const std::optional<std::string> gbk = toGbk(Utf8(c));
        if (gbk && !gbk->empty()) {
            text += Utf8(c);
            expected += *gbk;
        }
    }
    ASSERT_GT(expected.size(), 40000u);
    EXPECT_EQ(Gb18030FromUtf8(text), expected);
    // The euro sign has no GBK code of its own (0x80 is code page 936's); GB18030 gives A2 E3.
    EXPECT_EQ(Gb18030FromUtf8("€"), "\xA2\xE3");
}

TEST(TextEncoding, EveryCharacterSurvivesTheRoundTrip)
{
    // All of Unicode in one text, so the conversion also runs across its internal blocks.
    const Iconv toGb("GB18030", "UTF-8"), fromGb("UTF-8", "GB18030");
    std::string text, expected;
    for (uint32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        text += Utf8(c);
        // A handful of private-use characters have no GB18030 form in glibc: shown, not lost.
        expected += toGb(Utf8(c)) ? Utf8(c) : Escaped(Utf8(c));
    }
    EXPECT_EQ(fromGb(Gb18030FromUtf8(text)), expected);
    EXPECT_EQ(Gb18030FromUtf8("한국어.txt"), "\x83\x36\x84\x33\x82\x37\xF4\x30\x83\x32\xEB\x35.txt");
}

TEST(TextEncoding, ValidUtf8IsRecognised)
{
    for (const char* valid : {"", "abc", "测试.txt", "\xF4\x8F\xBF\xBF", "\xED\x9F\xBF", "\xC2\x80"})
        EXPECT_TRUE(IsValidUtf8(valid)) << Escaped(valid);
    // Overlong forms, surrogates, past U+10FFFF, cut short, stray continuation bytes.
    for (const char* invalid : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE6\xB5",
                                "a\x80", "\xFF", "\xF8\x88\x80\x80\x80"})
        EXPECT_FALSE(IsValidUtf8(invalid)) << Escaped(invalid);
}

TEST(TextEncoding, ForeignFileNamesStayRecognisable)
{
    const struct {
        std::string native, utf8, gb18030;
    } cases[] = {
        {"测试.txt", "测试.txt", "\xB2\xE2\xCA\xD4.txt"},
        // A name written by a GBK system: read as GBK, and written out as the very same bytes.
        {"\xB2\xE2\xCA\xD4.txt", "测试.txt", "\xB2\xE2\xCA\xD4.txt"},
        {"\x83\x36\x84\x33", "한", "\x83\x36\x84\x33"},
        // Latin-1 and other stray bytes that are no GB18030 character either.
        {"caf\xE9.txt", "caf\\xE9.txt", "caf\\xE9.txt"},
        {"a\x80z\xFF", "a\\x80z\\xFF", "a\\x80z\\xFF"},
        {"name\xB2", "name\\xB2", "name\\xB2"},
        {"\xB2\t", "\\xB2\t", "\\xB2\t"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8FromNative(c.native), c.utf8) << Escaped(c.native);
        EXPECT_TRUE(IsValidUtf8(Utf8FromNative(c.native)));
        EXPECT_EQ(Gb18030FromUtf8(c.native), c.gb18030) << Escaped(c.native);
    }
}
