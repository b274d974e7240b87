#include "cli/InputNames.h"

#include "cli/CommandLineFiles.h"
#include "cli/Messages.h"
#include "platform/FileSystem.h"
#include "platform/FolderWalk.h"

#include <algorithm>

namespace {

class Collector : public FolderWalkVisitor {
public:
    Collector(InputList& list, Messages& messages, const std::function<bool(const InputList&)>& found)
        : list_(list), messages_(messages), found_(found)
    {
    }

    void File(const std::string& path, int64_t size) override
    {
        list_.Items.push_back({path, size});
        list_.KnownBytes += std::max<int64_t>(size, 0);
        if (found_ && list_.Items.size() % kFoundBatch == 0 && !found_(list_))
            stopped_ = true;
    }
    bool Stopped() override { return stopped_; }
    void Unreadable(const std::string& path, const std::string& reason) override
    {
        messages_.FileProblem(path, reason);
        list_.Failed = true;
    }
    void Loop(const std::string& path) override
    {
        // Nothing is lost: every file below it is listed once already.
        messages_.FileProblem(path, "not followed: it leads back to a folder being walked");
    }

private:
    static constexpr size_t kFoundBatch = 256;
    InputList& list_;
    Messages& messages_;
    const std::function<bool(const InputList&)>& found_;
    bool stopped_ = false;
};

}  // namespace

InputList ExpandNames(const std::vector<std::string>& names, bool recursive, bool sizesOfNamedFiles,
                      FileSystem& files, Messages& messages,
                      const std::function<bool(const InputList&)>& found)
{
    InputList list;
    Collector collector(list, messages, found);
    for (const std::string& name : names) {
        if (collector.Stopped())
            break;
        if (name != kStandardInputName && files.FolderExists(name)) {
            WalkFolder(name, recursive, collector, sizesOfNamedFiles);
            continue;
        }
        InputItem item{name, -1};
        if (sizesOfNamedFiles && name != kStandardInputName) {
            try {
                item.Size = files.ProbeSize(name);
                list.KnownBytes += item.Size;
            } catch (const FileError&) {
                // Said in its place in the list, when the engine meets it.
            }
        }
        list.Items.push_back(std::move(item));
    }
    return list;
}
