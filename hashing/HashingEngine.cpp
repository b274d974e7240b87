#include "hashing/HashingEngine.h"

#include "engines/SelfTestSupport.h"
#include "hashing/DigestStates.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace {

const char* const kShrankReason = "The file became shorter while it was read.";

using Buffer = std::unique_ptr<uint8_t[]>;

// The digests of one file, split into groups that threads feed side by side. A group is fed by
// one thread at a time, block after block in file order.
struct DigestGroup {
    std::vector<size_t> members;  // indices into the file's states
    uint64_t next = 0;            // the next block this group has to take
    bool busy = false;            // a thread is feeding it a block right now
    bool helped = false;          // a helper thread owns it for the rest of the file
};

// A large file being read: the ring of blocks between its reader and the groups that digest
// them. Shared by the reader and its helpers, so a helper may outlive the reader after a stop.
struct LargeFile {
    std::mutex m;
    std::condition_variable changed;
    std::vector<std::unique_ptr<DigestState>> states;
    std::vector<DigestGroup> groups;
    std::vector<uint8_t*> blocks;  // the ring, owned by the run
    std::vector<size_t> sizes;
    size_t blockBytes = 0;
    uint64_t published = 0;  // blocks read so far
    bool ended = false;      // no block will follow: the end, a failure or a stop
    bool failed = false;

    bool HasUnhelpedGroup() const
    {
        for (size_t g = 1; g < groups.size(); ++g)
            if (!groups[g].helped)
                return true;
        return false;
    }
    uint64_t OldestNeeded() const
    {
        uint64_t oldest = published;
        for (const DigestGroup& g : groups)
            oldest = std::min(oldest, g.next);
        return oldest;
    }
    bool AnyBusy() const
    {
        return std::any_of(groups.begin(), groups.end(), [](const DigestGroup& g) { return g.busy; });
    }
    bool AllCaughtUp() const
    {
        return std::all_of(groups.begin(), groups.end(),
                           [&](const DigestGroup& g) { return !g.busy && g.next == published; });
    }
    void Feed(DigestGroup& group, uint64_t block)
    {
        const uint8_t* data = blocks[block % blocks.size()];
        const size_t size = sizes[block % blocks.size()];
        for (size_t member : group.members)
            states[member]->Feed(data, size);
    }
};

// Where a worker stands, for the progress of the file the caller waits for.
struct WorkerSlot {
    std::atomic<size_t> index{SIZE_MAX};
    std::atomic<int64_t> read{0};
    std::atomic<int64_t> size{-1};
};

}  // namespace

struct HashingRun::State {
    State(FileAccess& f, std::vector<std::string> p, DigestSet set, HashingOptions o, std::function<void()> w)
        : files(f), paths(std::move(p)), options(o), wake(std::move(w))
    {
        for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
            if (set.Has(info.Algorithm))
                algorithms.push_back(info.Algorithm);
        threads = options.Threads ? options.Threads : std::max(1u, std::thread::hardware_concurrency());
        options.BlockBytes = std::max<size_t>(options.BlockBytes, 4096);
        // Half of the budget for the ring of the large file, half for the workers' own blocks.
        ringBlocks = std::max<size_t>(4, options.BufferBudget / 2 / options.BlockBytes);
        workerBlockBytes = std::clamp<size_t>(options.BufferBudget / 2 / threads, 4096, options.BlockBytes);
        slots = std::make_unique<WorkerSlot[]>(threads);
    }

    FileAccess& files;
    const std::vector<std::string> paths;
    std::vector<DigestAlgorithm> algorithms;
    HashingOptions options;
    unsigned threads = 1;
    size_t ringBlocks = 4;
    size_t workerBlockBytes = 4096;

    // Wake calls and Stop exclude each other, so that no call comes after Stop has returned.
    std::function<void()> wake;
    std::mutex wakeMutex;
    std::atomic<bool> wakePending{false};
    std::atomic<bool> stopped{false};

    // The schedule and the results.
    mutable std::mutex m;
    std::condition_variable scheduleChanged;  // a file handed out or finished, a large file, a stop
    std::condition_variable resultReady;
    size_t nextFile = 0;
    size_t filesInProgress = 0;
    std::map<size_t, HashResult> finished;
    size_t filesFinished = 0;
    size_t nextToTake = 0;
    size_t stopLimit = SIZE_MAX;  // after a stop: the first file that gets the Stopped result
    bool stopResultTaken = false;
    bool largeBusy = false;
    std::shared_ptr<LargeFile> currentLarge;
    std::vector<Buffer> ring;  // reused by one large file after the other
    unsigned liveWorkers = 0;
    std::condition_variable workersGone;

    std::atomic<int64_t> bytesRead{0};
    std::unique_ptr<WorkerSlot[]> slots;

    bool IsStopped() const { return stopped.load(std::memory_order_acquire); }

    void Wake()
    {
        if (wakePending.exchange(true, std::memory_order_acq_rel))
            return;
        std::lock_guard<std::mutex> lock(wakeMutex);
        if (!IsStopped() && wake)
            wake();
    }

    void CountRead(WorkerSlot& slot, size_t n)
    {
        slot.read.fetch_add(static_cast<int64_t>(n), std::memory_order_relaxed);
        bytesRead.fetch_add(static_cast<int64_t>(n), std::memory_order_relaxed);
        Wake();
    }

    void Publish(HashResult result)
    {
        {
            std::lock_guard<std::mutex> lock(m);
            if (IsStopped())
                return;
            finished.emplace(result.Index, std::move(result));
            ++filesFinished;
        }
        resultReady.notify_all();
        Wake();
    }

    bool NextReady() const  // under m
    {
        if (IsStopped())
            return nextToTake < stopLimit ? finished.count(nextToTake) > 0 : !stopResultTaken && nextToTake < paths.size();
        return finished.count(nextToTake) > 0;
    }
    HashResult TakeNext()  // under m, when NextReady()
    {
        if (IsStopped() && nextToTake >= stopLimit) {
            stopResultTaken = true;
            HashResult result;
            result.Index = nextToTake;
            result.Outcome = HashOutcome::Stopped;
            return result;
        }
        auto it = finished.find(nextToTake);
        HashResult result = std::move(it->second);
        finished.erase(it);
        ++nextToTake;
        return result;
    }
    bool AllTaken() const  // under m
    {
        if (IsStopped())
            return stopResultTaken || (nextToTake >= stopLimit && nextToTake >= paths.size());
        return nextToTake >= paths.size();
    }

    void Work(unsigned slotIndex);
    void HashFile(size_t index, WorkerSlot& slot, Buffer& buffer);
    void HashLarge(InputFile& file, std::vector<std::unique_ptr<DigestState>>& states, HashResult& result,
                   WorkerSlot& slot);
    void Take(LargeFile& large, std::unique_lock<std::mutex>& schedule, size_t group);
    void Participate(LargeFile& large, InputFile* file, size_t ownGroup, HashResult* result, WorkerSlot* slot);
    std::vector<DigestGroup> SplitIntoGroups() const;
};

std::vector<DigestGroup> HashingRun::State::SplitIntoGroups() const
{
    const size_t count = std::min<size_t>(threads, algorithms.size());
    std::vector<DigestGroup> groups(std::max<size_t>(count, 1));
    std::vector<double> load(groups.size(), 0.0);
    std::vector<size_t> order(algorithms.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return DigestCostPerByte(algorithms[a]) > DigestCostPerByte(algorithms[b]);
    });
    // The costliest first, each to the group with the least so far: the slowest group bounds
    // the file.
    for (size_t member : order) {
        const size_t g = static_cast<size_t>(std::min_element(load.begin(), load.end()) - load.begin());
        groups[g].members.push_back(member);
        load[g] += DigestCostPerByte(algorithms[member]);
    }
    // The reader keeps the lightest group: reading is its extra work.
    const size_t lightest = static_cast<size_t>(std::min_element(load.begin(), load.end()) - load.begin());
    std::swap(groups[0], groups[lightest]);
    return groups;
}

void HashingRun::State::Work(unsigned slotIndex)
{
    WorkerSlot& slot = slots[slotIndex];
    Buffer buffer;
    std::unique_lock<std::mutex> lock(m);
    while (!IsStopped()) {
        if (currentLarge && currentLarge->HasUnhelpedGroup()) {
            std::shared_ptr<LargeFile> large = currentLarge;
            for (size_t g = 1; g < large->groups.size(); ++g)
                if (!large->groups[g].helped) {
                    Take(*large, lock, g);
                    break;
                }
            continue;
        }
        if (nextFile < paths.size()) {
            const size_t index = nextFile++;
            ++filesInProgress;
            lock.unlock();
            HashFile(index, slot, buffer);
            lock.lock();
            --filesInProgress;
            scheduleChanged.notify_all();
            continue;
        }
        if (filesInProgress == 0)
            break;
        scheduleChanged.wait(lock);
    }
    --liveWorkers;
    workersGone.notify_all();
}

// Helps the large file with one of its groups until the file is done; m is held on entry and exit.
void HashingRun::State::Take(LargeFile& large, std::unique_lock<std::mutex>& schedule, size_t group)
{
    {
        std::lock_guard<std::mutex> lock(large.m);
        large.groups[group].helped = true;
    }
    std::shared_ptr<LargeFile> keep = currentLarge;
    schedule.unlock();
    Participate(large, nullptr, group, nullptr, nullptr);
    schedule.lock();
}

void HashingRun::State::HashFile(size_t index, WorkerSlot& slot, Buffer& buffer)
{
    slot.read.store(0, std::memory_order_relaxed);
    slot.size.store(-1, std::memory_order_relaxed);
    slot.index.store(index, std::memory_order_release);
    HashResult result;
    result.Index = index;
    const std::string& path = paths[index];
    std::unique_ptr<InputFile> file;
    try {
        if (!files.FileExists(path)) {
            result.Outcome = HashOutcome::Missing;
            Publish(std::move(result));
            return;
        }
        file = files.OpenForReading(path);
    } catch (const std::exception& e) {
        result.Outcome = HashOutcome::CannotOpen;
        result.Reason = e.what();
        Publish(std::move(result));
        return;
    }
    result.SizeAtOpen = file->Size();
    slot.size.store(result.SizeAtOpen, std::memory_order_relaxed);

    std::vector<std::unique_ptr<DigestState>> states;
    for (DigestAlgorithm algorithm : algorithms)
        states.push_back(StartDigest(algorithm));
    try {
        if (result.SizeAtOpen >= options.LargeFileBytes) {
            HashLarge(*file, states, result, slot);
        } else {
            if (!buffer)
                buffer.reset(new uint8_t[workerBlockBytes]);
            // Read to the end, whatever the size said: a file of /proc reports 0 and has content.
            for (;;) {
                if (IsStopped())
                    return;
                const size_t n = file->Read(buffer.get(), workerBlockBytes);
                if (n == 0)
                    break;
                for (auto& state : states)
                    state->Feed(buffer.get(), n);
                result.BytesRead += static_cast<int64_t>(n);
                CountRead(slot, n);
                // A file that turns out long goes on as a large one.
                if (result.BytesRead >= options.LargeFileBytes) {
                    HashLarge(*file, states, result, slot);
                    break;
                }
            }
        }
    } catch (const std::exception& e) {
        result.Outcome = HashOutcome::ReadFailed;
        result.Reason = e.what();
    }
    file.reset();
    if (IsStopped())
        return;
    if (result.Outcome == HashOutcome::Digests && result.BytesRead < result.SizeAtOpen) {
        // A file that ended before its size at the open was cut while it was read: its digests
        // would be of neither the old nor the new content.
        result.Outcome = HashOutcome::Shrank;
        result.Reason = kShrankReason;
    }
    if (result.Outcome == HashOutcome::Digests)
        for (size_t i = 0; i < algorithms.size(); ++i)
            result.Digests[static_cast<size_t>(algorithms[i])] = states[i]->Finish();
    Publish(std::move(result));
}

// Reads a large file into the ring while the groups digest it, this thread and helpers alike.
// On return the states are back in the caller's hands; a read failure is thrown again.
void HashingRun::State::HashLarge(InputFile& file, std::vector<std::unique_ptr<DigestState>>& states,
                                  HashResult& result, WorkerSlot& slot)
{
    auto large = std::make_shared<LargeFile>();
    large->states = std::move(states);
    large->groups = SplitIntoGroups();
    large->blockBytes = options.BlockBytes;
    {
        std::unique_lock<std::mutex> lock(m);
        // One large file at a time; meanwhile this thread helps the one being read.
        while (largeBusy && !IsStopped()) {
            if (currentLarge && currentLarge->HasUnhelpedGroup()) {
                std::shared_ptr<LargeFile> other = currentLarge;
                for (size_t g = 1; g < other->groups.size(); ++g)
                    if (!other->groups[g].helped) {
                        Take(*other, lock, g);
                        break;
                    }
                continue;
            }
            scheduleChanged.wait(lock);
        }
        if (IsStopped())
            return;
        if (ring.empty())
            for (size_t i = 0; i < ringBlocks; ++i)
                ring.emplace_back(new uint8_t[options.BlockBytes]);
        for (Buffer& block : ring)
            large->blocks.push_back(block.get());
        large->sizes.assign(ring.size(), 0);
        largeBusy = true;
        currentLarge = large;
    }
    scheduleChanged.notify_all();

    std::exception_ptr failure;
    try {
        Participate(*large, &file, 0, &result, &slot);
    } catch (...) {
        failure = std::current_exception();
    }
    {
        std::lock_guard<std::mutex> lock(m);
        largeBusy = false;
        currentLarge.reset();
    }
    scheduleChanged.notify_all();
    if (IsStopped())
        return;
    states = std::move(large->states);
    if (failure)
        std::rethrow_exception(failure);
}

// The loop of a thread at a large file. The reader (file given) reads whenever the ring has
// room and otherwise digests with its own group or any group no helper has taken; a helper
// digests with its own group. Blocks are freed once every group has taken them.
void HashingRun::State::Participate(LargeFile& large, InputFile* file, size_t ownGroup, HashResult* result,
                                    WorkerSlot* slot)
{
    const bool reader = file != nullptr;
    std::unique_lock<std::mutex> lock(large.m);
    for (;;) {
        if (IsStopped())
            return;
        if (large.failed) {
            if (!reader)
                return;
            // The ring goes to the next large file only once no helper feeds from it.
            if (!large.AnyBusy())
                throw FileError(result->Reason);
        }
        if (reader && !large.ended && large.published - large.OldestNeeded() < large.blocks.size()) {
            const size_t at = large.published % large.blocks.size();
            lock.unlock();
            size_t n = 0;
            try {
                n = file->Read(large.blocks[at], large.blockBytes);
            } catch (const std::exception& e) {
                lock.lock();
                large.failed = large.ended = true;
                result->Reason = e.what();
                large.changed.notify_all();
                continue;
            }
            lock.lock();
            if (n == 0) {
                large.ended = true;
            } else {
                large.sizes[at] = n;
                ++large.published;
                result->BytesRead += static_cast<int64_t>(n);
                CountRead(*slot, n);
            }
            large.changed.notify_all();
            continue;
        }
        DigestGroup* chosen = nullptr;
        for (size_t g = 0; g < large.groups.size(); ++g) {
            DigestGroup& group = large.groups[g];
            const bool mine = g == ownGroup || (reader && !group.helped);
            if (mine && !group.busy && group.next < large.published) {
                chosen = &group;
                break;
            }
        }
        if (chosen) {
            chosen->busy = true;
            const uint64_t block = chosen->next;
            lock.unlock();
            large.Feed(*chosen, block);
            lock.lock();
            ++chosen->next;
            chosen->busy = false;
            large.changed.notify_all();
            continue;
        }
        if (large.ended && !large.failed) {
            if (reader ? large.AllCaughtUp() : large.groups[ownGroup].next == large.published)
                return;
        }
        large.changed.wait(lock);
    }
}

HashingRun::HashingRun(FileAccess& files, std::vector<std::string> paths, DigestSet algorithms,
                       HashingOptions options, std::function<void()> wake)
    : state_(std::make_shared<State>(files, std::move(paths), algorithms, options, std::move(wake)))
{
    state_->liveWorkers = state_->threads;
    for (unsigned i = 0; i < state_->threads; ++i)
        std::thread([state = state_, i] { state->Work(i); }).detach();
}

HashingRun::~HashingRun()
{
    Stop();
    // The workers that are not stuck notice the stop at once; waiting for them briefly lets a
    // test's files go without a worker still inside them. A stuck one is left behind.
    std::unique_lock<std::mutex> lock(state_->m);
    state_->workersGone.wait_for(lock, std::chrono::milliseconds(50), [&] { return state_->liveWorkers == 0; });
}

std::vector<HashResult> HashingRun::TakeResults(size_t most)
{
    state_->wakePending.store(false, std::memory_order_release);
    std::vector<HashResult> results;
    std::lock_guard<std::mutex> lock(state_->m);
    while (results.size() < most && state_->NextReady())
        results.push_back(state_->TakeNext());
    return results;
}

std::optional<HashResult> HashingRun::Wait()
{
    std::unique_lock<std::mutex> lock(state_->m);
    state_->resultReady.wait(lock, [&] { return state_->NextReady() || state_->AllTaken(); });
    if (!state_->NextReady())
        return std::nullopt;
    return state_->TakeNext();
}

bool HashingRun::Done() const
{
    std::lock_guard<std::mutex> lock(state_->m);
    return state_->AllTaken();
}

void HashingRun::Stop()
{
    State& s = *state_;
    {
        std::lock_guard<std::mutex> wakeLock(s.wakeMutex);
        if (s.stopped.exchange(true))
            return;
    }
    std::shared_ptr<LargeFile> large;
    {
        std::lock_guard<std::mutex> lock(s.m);
        s.stopLimit = s.nextToTake;
        while (s.finished.count(s.stopLimit))
            ++s.stopLimit;
        large = s.currentLarge;
    }
    if (large) {
        std::lock_guard<std::mutex> lock(large->m);
        large->changed.notify_all();
    }
    s.scheduleChanged.notify_all();
    s.resultReady.notify_all();
}

bool HashingRun::Stopped() const { return state_->IsStopped(); }

HashingProgress HashingRun::Progress() const
{
    const State& s = *state_;
    HashingProgress progress;
    progress.BytesRead = s.bytesRead.load(std::memory_order_relaxed);
    {
        std::lock_guard<std::mutex> lock(s.m);
        progress.FilesFinished = s.filesFinished;
        progress.CurrentIndex = s.nextToTake;
    }
    for (unsigned i = 0; i < s.threads; ++i) {
        const WorkerSlot& slot = s.slots[i];
        if (slot.index.load(std::memory_order_acquire) != progress.CurrentIndex)
            continue;
        const int64_t read = slot.read.load(std::memory_order_relaxed);
        const int64_t size = slot.size.load(std::memory_order_relaxed);
        if (slot.index.load(std::memory_order_acquire) == progress.CurrentIndex) {
            progress.CurrentBytesRead = read;
            progress.CurrentSize = size;
        }
        break;
    }
    return progress;
}

size_t HashingRun::FileCount() const { return state_->paths.size(); }
unsigned HashingRun::ThreadCount() const { return state_->threads; }

std::string DigestHex(const std::vector<uint8_t>& digest, bool uppercase)
{
    std::string text = DigestToHex(digest.data(), digest.size());
    if (!uppercase)
        for (char& c : text)
            if (c >= 'A' && c <= 'F')
                c = static_cast<char>(c - 'A' + 'a');
    return text;
}
