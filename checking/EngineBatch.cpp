#include "checking/EngineBatch.h"

#include "checking/EngineList.h"
#include "engines/DCPcrypt2.h"
#include "common/Hex.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

std::string EngineDisplayName(const std::string& algorithm)
{
    if (algorithm == "Haval (256bit, 5 passes)")
        return "Haval256";
    if (algorithm == "Tiger")
        return "Tiger192";
    return algorithm;
}

void RunEngineBatch(PathContext& context, const EngineList& engines, const std::string& path)
{
    context.LetEventsRun();
    if (!context.Files().FileExists(path))
        return;
    context.SetCurrentBar(0);

    // Every checked engine is started before the file is opened, in list order.
    std::vector<TDCP_hash*> marked;
    for (size_t i = 0; i < engines.Count(); ++i)
        if (engines.Checked(i)) {
            marked.push_back(&engines.Engine(i));
            marked.back()->Init();
        }

    // The error line carries the name of the last engine whose line was made: none, unless
    // a Final fails after some lines were already written.
    std::string displayName;
    try {
        std::unique_ptr<InputFile> file = context.Files().OpenForReading(path);
        std::vector<uint8_t> block(kEngineBatchBlock);
        int64_t total = 0;
        for (;;) {
            const size_t n = file->Read(block.data(), block.size());
            // The last, short read goes to every engine too, even when it brought nothing.
            for (TDCP_hash* engine : marked)
                engine->Update(block.data(), static_cast<uint32_t>(n));
            total += static_cast<int64_t>(n);
            if (n != block.size())
                break;
            // Between blocks the window may repaint; it limits how often this costs anything.
            context.LetEventsRun();
        }
        // A file that ended before the size it had when it was opened was cut while it was
        // read: the digests would be of neither the old nor the new content.
        if (total < file->Size())
            throw FileError("The file became shorter while it was read.");
        file.reset();

        for (TDCP_hash* engine : marked) {
            std::vector<uint8_t> digest(static_cast<size_t>(engine->HashSize()) / 8);
            engine->Final(digest.data());
            const std::string hex = DigestToHex(digest.data(), digest.size());
            displayName = EngineDisplayName(engine->Algorithm());
            context.AppendResultLine(displayName + "：" + hex);
        }
    } catch (const std::exception&) {
        context.AppendResultLine(displayName + "：读取文件错误");
    }
}
