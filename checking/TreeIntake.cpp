#include "checking/TreeIntake.h"

#include "checking/SizeText.h"
#include "platform/FolderWalk.h"
#include "platform/TextEncoding.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <iterator>
#include <mutex>
#include <optional>
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
    // The walk lists the folders on one thread and a second thread asks the files' sizes, in walk
    // order: on two cores the sizes cost little more than the listing. A size of -1 is still to
    // be asked (a file the listing called regular); links come with theirs.
    std::deque<std::pair<std::string, int64_t>> listed;
    std::condition_variable listedMore;
    size_t sizing = 0;              // taken from listed, not yet in found
    std::condition_variable sized;  // listed and sizing both empty again
    bool listing = true;            // the listing thread has not ended
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
    // Hands what was listed so far to the sizes' thread.
    void Flush();
    void Unreadable(const std::string& path, const std::string& reason) override;
    // Nothing is lost: every file below it is taken once already.
    void Loop(const std::string&) override {}
    void Special(const std::string&) override;
    bool Stopped() override;

private:
    std::shared_ptr<TreeWalk::State> state_;
    std::vector<std::pair<std::string, int64_t>> batch_;
};

// A few dozen files at a time, so the two threads do not meet at the lock for every file.
constexpr size_t kListedBatch = 64;

// The sizes' thread: asks each listed file's size, in walk order, and makes its entry. A file
// gone since the listing is left out, as the walk leaves out one gone before its stat.
void AskSizes(const std::shared_ptr<TreeWalk::State>& state)
{
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->listedMore.wait(lock,
                               [&] { return !state->listed.empty() || !state->listing || state->stop; });
        if (state->stop || (state->listed.empty() && !state->listing)) {
            state->walking = false;
            return;
        }
        std::deque<std::pair<std::string, int64_t>> listed = std::move(state->listed);
        state->listed.clear();
        state->sizing = listed.size();
        lock.unlock();
        std::vector<CheckEntry> entries;
        entries.reserve(listed.size());
        for (auto& [path, size] : listed) {
            if (size < 0) {
                const std::optional<int64_t> asked = RegularFileSize(path);
                if (!asked)
                    continue;
                size = *asked;
            }
            CheckEntry entry{CaptionFromPath(path), kStatusPending, SizeText(size, state->decimalSeparator),
                             std::move(path)};
            entry.SizeBytes = size;
            entries.push_back(std::move(entry));
        }
        lock.lock();
        // Nothing arrives after a stop: what the window took stays all there is.
        if (state->stop) {
            state->walking = false;
            return;
        }
        if (state->found.empty())
            state->found = std::move(entries);
        else
            std::move(entries.begin(), entries.end(), std::back_inserter(state->found));
        state->sizing = 0;
        if (state->listed.empty())
            state->sized.notify_all();
    }
}

}  // namespace

void Collector::File(const std::string& path, int64_t size)
{
    if (state_->gate) {
        // A test that holds the walk here sees everything before this file taken.
        Flush();
        {
            std::unique_lock lock(state_->mutex);
            state_->sized.wait(
                lock, [&] { return (state_->listed.empty() && state_->sizing == 0) || state_->stop; });
        }
        state_->gate(path);
    }
    if (state_->stop)
        return;
    batch_.emplace_back(path, size);
    if (batch_.size() >= kListedBatch)
        Flush();
}

void Collector::Flush()
{
    if (batch_.empty())
        return;
    {
        const std::lock_guard lock(state_->mutex);
        std::move(batch_.begin(), batch_.end(), std::back_inserter(state_->listed));
    }
    batch_.clear();
    state_->listedMore.notify_one();
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
    std::thread([state = state_] { AskSizes(state); }).detach();
    std::thread([state = state_] {
        Collector collector(state);
        for (;;) {
            std::string folder;
            {
                const std::lock_guard lock(state->mutex);
                if (state->folders.empty() || state->stop) {
                    state->listing = false;
                    break;
                }
                folder = std::move(state->folders.front());
                state->folders.pop_front();
            }
            WalkFolder(folder, true, collector, false);
            collector.Flush();
        }
        state->listedMore.notify_one();
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
    state_->listedMore.notify_one();
    state_->sized.notify_all();
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
