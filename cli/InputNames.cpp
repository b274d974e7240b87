#include "cli/InputNames.h"

#include "cli/CommandLineFiles.h"
#include "cli/Messages.h"
#include "platform/FileSystem.h"
#include "platform/FolderWalk.h"

#include <algorithm>

namespace {

class Collector : public FolderWalkVisitor {
public:
    Collector(InputList& list, Messages& messages) : list_(list), messages_(messages) {}

    void File(const std::string& path, int64_t size) override
    {
        list_.Items.push_back({path, size});
        list_.KnownBytes += std::max<int64_t>(size, 0);
    }
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
    InputList& list_;
    Messages& messages_;
};

}  // namespace

InputList ExpandNames(const std::vector<std::string>& names, bool recursive, bool sizesOfNamedFiles,
                      FileSystem& files, Messages& messages)
{
    InputList list;
    Collector collector(list, messages);
    for (const std::string& name : names) {
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
