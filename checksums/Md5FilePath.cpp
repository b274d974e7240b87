#include "checksums/Md5FilePath.h"

#include "checksums/md5.h"

#include <cmath>
#include <vector>

namespace {

constexpr int64_t BlockBytes = 16384;
const char* const Md5ErrorLine = "MD5：读取文件错误";

// The path hashes exactly the size taken at the open: a read that brings fewer bytes means the
// file shrank meanwhile, and its digest would describe no state the file was ever in.
void ReadExactly(InputFile& file, uint8_t* buffer, size_t size)
{
    if (file.Read(buffer, size) != size)
        throw FileError("the file became shorter while it was read");
}

// Nearest whole percentage, a tie to the even neighbour, independent of the FPU rounding mode.
int RoundHalfEven(double x)
{
    double whole = std::floor(x);
    double fraction = x - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return static_cast<int>(whole);
}

}  // namespace

void AddMd5Line(PathContext& context, const std::string& path)
{
    std::vector<uint8_t> buffer(BlockBytes);
    context.LetEventsRun();
    if (!context.Files().FileExists(path))
        return;
    try {
        auto file = context.Files().OpenForReading(path);
        const int64_t size = file->Size();
        int64_t toRead = size;
        int64_t fed = 0;
        context.SetCurrentBar(0);
        int lastPercent = 0;
        Md5Context md5;
        Md5Start(md5);
        while (toRead > BlockBytes) {
            context.LetEventsRun();
            ReadExactly(*file, buffer.data(), BlockBytes);
            toRead -= BlockBytes;
            Md5Feed(md5, buffer.data(), BlockBytes);
            fed += BlockBytes;
            const int percent = RoundHalfEven(static_cast<double>(fed * 100) / static_cast<double>(size));
            if (percent > lastPercent) {
                context.StepCurrentBar();
                lastPercent = percent;
            }
        }
        ReadExactly(*file, buffer.data(), static_cast<size_t>(toRead));
        file.reset();
        Md5Feed(md5, buffer.data(), static_cast<uint32_t>(toRead));
        Md5Digest digest;
        Md5Finish(md5, digest);
        context.AppendResultLine("MD5：" + Md5Hex(digest));
    } catch (const std::exception&) {
        context.AppendResultLine(Md5ErrorLine);
    }
}
