#include "checking/CalculationPass.h"

#include "checking/DuplicateColouring.h"
#include "checking/EngineBatch.h"
#include "checking/PassContext.h"
#include "checking/Verdicts.h"
#include "checksums/Crc32FilePath.h"
#include "checksums/Md5FilePath.h"

#include <climits>
#include <string>

namespace {

void ProcessEntry(const PassParts& parts, PassContext& context, size_t index)
{
    // Copies: a drop while the paths let events run appends to the list and may move entries.
    const std::string caption = parts.List.At(index).Caption;
    const std::string path = parts.List.At(index).Path;

    parts.Tree.AppendRoot(caption, index);
    if (parts.Selection.IsChecked(HashItem::MD5))
        AddMd5Line(context, path);
    if (parts.Selection.IsChecked(HashItem::CRC32_FCS32))
        AddCrc32Line(context, path);
    if (parts.Selection.AnyEngineChecked())
        RunEngineBatch(context, parts.Engines, path);
    parts.List.SetStatus(index, kStatusDone);
}

}  // namespace

int OverallBarMaximum(size_t entries)
{
    return entries > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(entries);
}

void RunCalculationPass(const PassParts& parts)
{
    WindowPort& window = parts.Window;
    const size_t count = parts.List.Count();
    const int maximum = OverallBarMaximum(count);

    window.ShowProgressGroup(true);
    window.DisableCommands();
    window.SetCurrentBar(0);
    window.SetOverallBar(0, maximum);
    window.SetBusyCursor(true);
    window.SetStatusText("正在计算，请稍候。");
    parts.Tree.Clear();

    PassContext context(window, parts.Tree, parts.Files);
    try {
        for (size_t i = 0; i < count; ++i) {
            if (parts.List.IsDone(i))
                continue;
            ProcessEntry(parts, context, i);
            window.StepOverallBar();
        }
    } catch (...) {
        // The paths keep their own failures; whatever still gets here goes to the window's
        // error box, which must not find the window busy with every command switched off.
        window.SetBusyCursor(false);
        window.EnableCommands();
        window.ShowProgressGroup(false);
        throw;
    }

    window.SetBusyCursor(false);
    window.SetCurrentBar(100);
    window.SetOverallBar(maximum, maximum);
    window.SetStatusText("计算完毕");
    window.EnableCommands();
    window.EnableSaveCommands();
    window.ShowProgressGroup(false);
    ColourDuplicates(parts.List, parts.Tree);
    JudgeEntries(parts.List, parts.Tree, parts.Files, parts.Window, "计算完毕");
}
