#include "checking/Intake.h"

#include "checking/SizeText.h"
#include "platform/FileSystem.h"

#include <utility>

std::string IntakeReport::ErrorText() const
{
    std::string text;
    for (const IntakeRefusal& refusal : Refused) {
        if (!text.empty())
            text += "\n";
        text += "Cannot open file \"" + refusal.Path + "\". " + refusal.Reason;
    }
    return text;
}

std::string CaptionFromPath(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderItemPath(const std::string& folder, const std::string& name)
{
    std::string base = folder;
    if (!base.empty() && base.back() == '/')
        base.pop_back();
    return base + "/" + name;
}

Intake::Intake(CheckList& list, FileSystem& files, std::string decimalSeparator)
    : list_(list), files_(files), decimalSeparator_(std::move(decimalSeparator))
{
}

void Intake::TakeFile(const std::string& path, IntakeReport& report)
{
    int64_t size = 0;
    try {
        size = files_.ProbeSize(path);
    } catch (const FileError& error) {
        report.Refused.push_back({path, error.what()});
        return;
    }
    CheckEntry entry{CaptionFromPath(path), kStatusPending, SizeText(size, decimalSeparator_), path};
    entry.SizeBytes = size;
    list_.Append(std::move(entry));
}

void Intake::TakeFolder(const std::string& folder)
{
    std::vector<FolderItem> items = files_.ScanFolder(folder);
    std::vector<CheckEntry> entries;
    entries.reserve(items.size());
    for (FolderItem& item : items) {
        std::string path = FolderItemPath(folder, item.Name);
        entries.push_back(CheckEntry{std::move(item.Name), kStatusPending,
                                     SizeText(item.Size, decimalSeparator_), std::move(path)});
        entries.back().SizeBytes = item.Size;
    }
    list_.AppendAll(std::move(entries));
}

void Intake::TakeDropped(const std::string& name, IntakeReport& report)
{
    if (files_.FolderExists(name))
        TakeFolder(name);
    else
        TakeFile(name, report);
}

void IntakeClosingStep(const CheckList& list, WindowPort& window, bool passRunning)
{
    if (list.Empty())
        return;
    if (!passRunning)
        window.EnableCommands();
    window.RefreshEntryIcons();
    if (!passRunning)
        window.SetStatusText("待计算的文件总数:" + std::to_string(list.Count()));
}
