// The result file's encoding: whatever the text, the bytes are GB18030 that glibc's iconv reads
// back, and UTF-8 text without private-use characters reads back unchanged.
#include "platform/TextEncoding.h"

#include <iconv.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool ReadBack(const std::string& gb18030, std::string& utf8)
{
    static iconv_t decoder = iconv_open("UTF-8", "GB18030");
    if (decoder == reinterpret_cast<iconv_t>(-1))
        std::abort();
    iconv(decoder, nullptr, nullptr, nullptr, nullptr);
    std::string in = gb18030;
    utf8.assign(in.size() * 4 + 16, '\0');
    char* from = in.data();
    size_t fromLeft = in.size();
    char* to = utf8.data();
    size_t toLeft = utf8.size();
    if (iconv(decoder, &from, &fromLeft, &to, &toLeft) == static_cast<size_t>(-1))
        return false;
    utf8.resize(utf8.size() - toLeft);
    return true;
}

// Private-use characters (some are written as "\xHH") start with these bytes in UTF-8, along
// with a few others; such inputs are only checked for reading back at all.
bool MayHoldPrivateUse(std::string_view text)
{
    for (unsigned char c : text)
        if (c == 0xEE || c == 0xEF || c == 0xF3 || c == 0xF4)
            return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string bytes = Gb18030FromUtf8(text);
    std::string back;
    if (!ReadBack(bytes, back))
        std::abort();
    if (IsValidUtf8(text) && !MayHoldPrivateUse(text) && back != text)
        std::abort();
    return 0;
}
