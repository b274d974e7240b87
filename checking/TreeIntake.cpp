#include "checking/TreeIntake.h"

#include "checking/SizeText.h"
#include "platform/FolderWalk.h"
#include "platform/TextEncoding.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

std::string TreeIntakeReport::ErrorText() const
{
    std::string text;
    if (!Unreadable.empty()) {
        text = "无法读取的子文件夹共 " + std::to_string(Unreadable.size()) + " 个，其中的文件未添加：";
        for (size_t i = 0; i < Unreadable.size() && i < kNamedFolders; ++i)
            text += "\n" + Utf8FromNative(Unreadable[i].Path) + "：" + Unreadable[i].Reason;
        if (Unreadable.size() > kNamedFolders)
            text += "\n……";
    }
    if (SpecialFiles) {
        if (!text.empty())
            text += "\n";
        text += "已跳过特殊文件（管道、套接字、设备）" + std::to_string(SpecialFiles) + " 个";
    }
    return text;
}

std::string TreeIntakeStatusText(size_t taken)
{
    return "正在添加文件…已添加 " + std::to_string(taken) + " 个";
}

struct TreeWalk::State {
    std::mutex mutex;
    std::deque<std::string> folders;  // still to walk
    std::vector<CheckEntry> found;    // not taken yet
    std::string decimalSeparator;
    TreeIntakeReport report;
    bool walking = true;  // the thread has not ended
    std::atomic<bool> stop{false};
    FileGate gate;
};

namespace {

class Collector : public FolderWalkVisitor {
public:
    explicit Collector(const std::shared_ptr<TreeWalk::State>& state) : state_(state) {}

    void File(const std::string& path, int64_t size) override;
    void Unreadable(const std::string& path, const std::string& reason) override;
    // Nothing is lost: every file below it is taken once already.
    void Loop(const std::string&) override {}
    void Special(const std::string&) override;
    bool Stopped() override;

private:
    std::shared_ptr<TreeWalk::State> state_;
};

}  // namespace

void Collector::File(const std::string& path, int64_t size)
{
    if (state_->gate)
        state_->gate(path);
    if (state_->stop)
        return;
    CheckEntry entry{CaptionFromPath(path), kStatusPending, SizeText(size, state_->decimalSeparator), path};
    entry.SizeBytes = size;
    const std::lock_guard lock(state_->mutex);
    state_->found.push_back(std::move(entry));
}

void Collector::Unreadable(const std::string& path, const std::string& reason)
{
    const std::lock_guard lock(state_->mutex);
    state_->report.Unreadable.push_back({path, reason});
}

void Collector::Special(const std::string&)
{
    const std::lock_guard lock(state_->mutex);
    ++state_->report.SpecialFiles;
}

bool Collector::Stopped() { return state_->stop; }

TreeWalk::TreeWalk(std::vector<std::string> folders, std::string decimalSeparator, FileGate gate)
    : state_(std::make_shared<State>())
{
    state_->decimalSeparator = std::move(decimalSeparator);
    state_->folders.assign(folders.begin(), folders.end());
    state_->gate = std::move(gate);
    // The thread owns a share of the state: left behind in a read that does not return, it
    // still writes only there.
    std::thread([state = state_] {
        Collector collector(state);
        for (;;) {
            std::string folder;
            {
                const std::lock_guard lock(state->mutex);
                if (state->folders.empty() || state->stop) {
                    state->walking = false;
                    return;
                }
                folder = std::move(state->folders.front());
                state->folders.pop_front();
            }
            WalkFolder(folder, true, collector);
        }
    }).detach();
}

TreeWalk::~TreeWalk() { Stop(); }

void TreeWalk::Add(std::vector<std::string> folders)
{
    const std::lock_guard lock(state_->mutex);
    // A walk that has ended takes no more: the caller starts a new one.
    state_->folders.insert(state_->folders.end(), folders.begin(), folders.end());
}

void TreeWalk::Stop()
{
    const std::lock_guard lock(state_->mutex);
    if (!state_->walking)
        return;
    state_->stop = true;
    state_->report.Stopped = true;
}

std::vector<CheckEntry> TreeWalk::Take(bool& finished)
{
    const std::lock_guard lock(state_->mutex);
    std::vector<CheckEntry> taken = std::move(state_->found);
    state_->found.clear();
    finished = !state_->walking || state_->stop;
    return taken;
}

TreeIntakeReport TreeWalk::Report() const
{
    const std::lock_guard lock(state_->mutex);
    return state_->report;
}
