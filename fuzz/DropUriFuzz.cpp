// A drop's text/uri-list from any program: every name taken is an absolute path without NUL,
// and no more names come out than lines went in.
#include "ui/DropNames.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray list(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::vector<std::string> names = LocalFilesOfUriList(list);
    if (names.size() > static_cast<size_t>(list.count('\n')) + 1)
        std::abort();
    for (const std::string& name : names)
        if (name.empty() || name.front() != '/' || name.find('\0') != std::string::npos)
            std::abort();
    return 0;
}
