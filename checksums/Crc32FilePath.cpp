#include "checksums/Crc32FilePath.h"

#include "checksums/CRC32_FCS32.h"

#include <cstdio>
#include <vector>

namespace {

// 65521 (not 65536) bytes per read: the bar steps once per read, so this fixes its positions.
constexpr size_t ReadBytes = 65521;
const char* const Crc32ErrorLine = "CRC32_FCS32：读取文件错误";

}  // namespace

uint32_t ComputeFileCrc32(PathContext& context, const std::string& path)
{
    uint32_t reg = 0xFFFFFFFF;
    std::vector<uint8_t> buffer(ReadBytes);
    auto file = context.Files().OpenForReading(path);
    int64_t total = 0;
    for (;;) {
        // A long file would otherwise freeze the window for as long as it takes to read.
        context.LetEventsRun();
        const size_t n = file->Read(buffer.data(), ReadBytes);
        reg = Crc32Update(reg, buffer.data(), n);
        total += static_cast<int64_t>(n);
        context.StepCurrentBar();
        if (n == 0)
            break;
    }
    // A file that ended before the size it had when it was opened was cut while it was read:
    // its checksum would be of neither the old nor the new content.
    if (total < file->Size())
        throw FileError("The file became shorter while it was read.");
    return reg ^ 0xFFFFFFFF;
}

void AddCrc32Line(PathContext& context, const std::string& path)
{
    context.LetEventsRun();
    if (!context.Files().FileExists(path))
        return;
    context.SetCurrentBar(0);
    try {
        // 0 is a checksum like any other (an empty file has it), so it gets its line.
        const uint32_t crc = ComputeFileCrc32(context, path);
        char digits[9];
        std::snprintf(digits, sizeof digits, "%06X", static_cast<unsigned>(crc));
        context.AppendResultLine(std::string("CRC32_FCS32：") + digits);
    } catch (const std::exception&) {
        context.AppendResultLine(Crc32ErrorLine);
    }
}
