// Any bytes of a file name become valid UTF-8 for display, and a name that is UTF-8 already is
// shown exactly as it is.
#include "platform/TextEncoding.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    const std::string shown = Utf8FromNative(name);
    if (!IsValidUtf8(shown))
        std::abort();
    if (IsValidUtf8(name) && shown != name)
        std::abort();
    if (Utf8FromNative(shown) != shown)
        std::abort();
    return 0;
}
