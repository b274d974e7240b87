#include "hashing/HashingEngine.h"

#include "common/Hex.h"
#include "hashing/DigestStates.h"
#include "platform/MappedReads.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace {

const char* const kShrankReason = "The file became shorter while it was read.";

// A large file cut shorter while its views were read: the page of a view that no longer has a
// byte of the file behind it cannot be read.
struct ShrankUnderViews {};

// Blocks start at a page, as the page cache's pages do. The allocator puts a large block 16 bytes
// into a page; every 64-byte vector load of a digest then straddles two cache lines, and XXH3
// took twice as long over such a block.
struct FreeBlock {
    void operator()(uint8_t* block) const { std::free(block); }
};
using Buffer = std::unique_ptr<uint8_t[], FreeBlock>;
constexpr size_t kPageBytes = 4096;

Buffer NewBlock(size_t bytes)
{
    void* block = std::aligned_alloc(kPageBytes, (bytes + kPageBytes - 1) / kPageBytes * kPageBytes);
    if (!block)
        throw std::bad_alloc();
    return Buffer(static_cast<uint8_t*>(block));
}

// One digest of a large file, which takes the blocks in file order: fed by one thread at a time,
// but by whichever thread is free, so that the slowest digest never waits for a thread that is
// busy with the others. A digest in parts (BLAKE3) also has blocks hashed apart by several
// threads at once, each thread a block of its own; they are taken in, in order, as soon as the
// blocks before them are.
struct DigestLane {
    uint64_t next = 0;             // the next block this digest has to take
    uint64_t handedOut = 0;        // the blocks given to threads so far, from next on at work
    DigestParts* parts = nullptr;  // for a digest in parts
    std::vector<char> apartDone;   // by ring slot: the block was hashed apart and waits to be taken
};

// A large file being read: the ring of blocks between its reader and the digests. Shared by the
// reader and its helpers, so a helper may outlive the reader after a stop.
struct LargeFile {
    std::mutex m;
    std::condition_variable changed;
    std::vector<std::unique_ptr<DigestState>> states;
    std::vector<DigestLane> lanes;       // one per state
    std::vector<uint8_t*> buffers;       // the ring, owned by the run
    std::vector<const uint8_t*> blocks;  // by ring slot: its buffer, or a view of the file
    std::vector<size_t> sizes;
    std::vector<std::shared_ptr<const void>> viewsKept;  // by slot: for helpers that outlive a stop
    // A view's page without a file behind it (the file was cut shorter): the file is read no
    // further, and it shrank.
    void LoseViews() { viewsFailed = failed = ended = true; }
    bool viewsEnded = false;   // the file has no view from here on: it is read
    bool viewsFailed = false;  // a view could not be read: the file was cut shorter
    size_t blockBytes = 0;
    uint64_t startOffset = 0;  // the bytes the states took before the first block
    uint64_t published = 0;    // blocks read so far
    bool ended = false;        // no block will follow: the end or a failure
    bool failed = false;
    unsigned helpers = 0;
    unsigned helpersWanted = 0;

    // Asked by a worker that holds the run's lock, not this one's.
    bool WantsHelp()
    {
        std::lock_guard<std::mutex> lock(m);
        return helpers < helpersWanted && !ended;
    }
    uint64_t OldestNeeded() const
    {
        uint64_t oldest = published;
        for (const DigestLane& lane : lanes)
            oldest = std::min(oldest, lane.next);
        return oldest;
    }
    bool AnyBusy() const
    {
        return std::any_of(lanes.begin(), lanes.end(),
                           [](const DigestLane& l) { return l.handedOut > l.next; });
    }
    bool AllCaughtUp() const
    {
        return std::all_of(lanes.begin(), lanes.end(),
                           [&](const DigestLane& l) { return l.next == published; });
    }
    size_t Slot(uint64_t block) const { return static_cast<size_t>(block % blocks.size()); }
    // Whether the lane's next block to hand out goes apart from the blocks before it.
    bool GoesApart(const DigestLane& lane) const
    {
        const uint64_t block = lane.handedOut;
        return lane.parts && lane.parts->Apart(startOffset + block * blockBytes, sizes[Slot(block)]);
    }
    // Whether a thread can take the lane's next block now: one fed in order waits until every block
    // before it is in.
    bool HasWork(const DigestLane& lane) const
    {
        return lane.handedOut < published && (lane.handedOut == lane.next || GoesApart(lane));
    }
    // The digest furthest behind that has work: the slowest one is fed whenever a thread can.
    DigestLane* MostBehind()
    {
        DigestLane* chosen = nullptr;
        for (DigestLane& lane : lanes)
            if (HasWork(lane) && (!chosen || lane.handedOut < chosen->handedOut))
                chosen = &lane;
        return chosen;
    }
    DigestState& StateOf(const DigestLane& lane)
    {
        return *states[static_cast<size_t>(&lane - lanes.data())];
    }
    // Does the lane's work on the block: feeds it, or hashes it apart. Without the lock. False
    // where the block is a view of which a page had lost its file; the lane's digest is then of
    // no content.
    bool Work(DigestLane& lane, uint64_t block, bool apart)
    {
        const size_t at = Slot(block);
        const auto work = [&] {
            if (apart)
                lane.parts->HashApart(at, blocks[at], startOffset + block * blockBytes, sizes[at]);
            else
                StateOf(lane).Feed(blocks[at], sizes[at]);
        };
        if (blocks[at] == buffers[at]) {
            work();
            return true;
        }
        return ReadMapped(work);
    }
    // After that work, under the lock: the blocks hashed apart that are next in order are taken
    // in, a few compressions each.
    void Finished(DigestLane& lane, uint64_t block, bool apart)
    {
        if (apart)
            lane.apartDone[Slot(block)] = 1;
        else
            ++lane.next;
        while (lane.next < lane.handedOut && lane.apartDone[Slot(lane.next)]) {
            lane.apartDone[Slot(lane.next)] = 0;
            // After a failure the parts may be of no content (a view that lost its file), and
            // the digest is given up anyway: only the count goes on.
            if (!failed)
                lane.parts->Take(Slot(lane.next));
            ++lane.next;
        }
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
        : files(f), paths(std::make_move_iterator(p.begin()), std::make_move_iterator(p.end())), options(o),
          wake(std::move(w))
    {
        for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
            if (set.Has(info.Algorithm))
                algorithms.push_back(info.Algorithm);
        threads = options.Threads ? options.Threads : std::max(1u, std::thread::hardware_concurrency());
        options.BlockBytes = std::max<size_t>(options.BlockBytes, 4096);
        // The ring of the large file: a few blocks keep the digests busy and are still in the
        // processor's cache when the digests take them (a fast digest, xxHash or BLAKE3, is
        // bound by memory otherwise). The rest of the budget is the workers' own blocks.
        ringBlocks = 4;
        // Whole pages, so that a file that turns out large goes on from a BLAKE3 chunk's start.
        workerBlockBytes = std::clamp<size_t>(options.BufferBudget / 2 / threads / kPageBytes * kPageBytes,
                                              kPageBytes, options.BlockBytes);
        slots = std::make_unique<WorkerSlot[]>(threads);
    }

    FileAccess& files;
    // The list: whole from the start, or growing through AddPaths until EndOfPaths. A deque, so
    // that a path a worker reads without m stays where it is while more are added under m.
    std::deque<std::string> paths;
    bool pathsComplete = true;
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
    // Results are handed to a caller waiting in Wait in batches, not one wake per file: a waiter
    // is woken once kResultBatch results are ready in order, at the last one, or once it has
    // waited kBatchDelay; until then it sleeps that long by itself. Ten thousand tiny files then
    // cost a few hundred wakes instead of ten thousand.
    static constexpr size_t kResultBatch = 64;
    static constexpr size_t kFilesPerTurn = 32;       // the most files a worker takes at once
    static constexpr int64_t kTurnBytes = 256 << 10;  // read in a turn before its results go out
    static constexpr std::chrono::milliseconds kBatchDelay{2};
    std::optional<std::chrono::steady_clock::time_point> waitingSince;  // the caller in Wait
    size_t readyEnd = 0;  // the first file from nextToTake on that is not finished
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
    static constexpr int64_t kProgressWakeInterval =
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::milliseconds(2)).count();
    std::atomic<int64_t> lastProgressWake{0};
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

    // The progress of reading is news for the caller's bars, which need no more than a few
    // updates in a frame: a read wakes the caller only when the last such wake is a while ago,
    // so ten thousand small files do not cost ten thousand wakes.
    void CountRead(WorkerSlot& slot, size_t n)
    {
        slot.read.fetch_add(static_cast<int64_t>(n), std::memory_order_relaxed);
        bytesRead.fetch_add(static_cast<int64_t>(n), std::memory_order_relaxed);
        const int64_t now = std::chrono::steady_clock::now().time_since_epoch().count();
        int64_t last = lastProgressWake.load(std::memory_order_relaxed);
        if (now - last >= kProgressWakeInterval &&
            lastProgressWake.compare_exchange_strong(last, now, std::memory_order_relaxed))
            Wake();
    }

    // A result is news only when it is the next in list order: the ones after it wait for it
    // anyway, and are taken with it.
    // Takes in a finished file's result, under m; says who is to hear of it (see Announce).
    struct Notice {
        bool waiter = false;  // the caller in Wait
        bool wake = false;    // the wake callback: the result is the next in list order
    };
    Notice PublishLocked(HashResult result)
    {
        if (IsStopped())
            return {};
        const size_t index = result.Index;
        Notice notice;
        notice.wake = index == nextToTake;
        finished.emplace(index, std::move(result));
        ++filesFinished;
        if (index == readyEnd)
            while (finished.count(readyEnd))
                ++readyEnd;
        const size_t ready = readyEnd - nextToTake;
        notice.waiter = waitingSince && ready > 0 &&
                        (ready >= kResultBatch || (readyEnd == paths.size() && pathsComplete) ||
                         std::chrono::steady_clock::now() - *waitingSince >= kBatchDelay);
        return notice;
    }
    // May be called under m: the wake callback only posts, and nothing takes m under wakeMutex.
    void Announce(Notice notice)
    {
        if (notice.waiter)
            resultReady.notify_all();
        if (notice.wake)
            Wake();
    }

    // Waits under m until a result can be taken or every one has been (true), or until the
    // deadline (false).
    bool AwaitReady(std::unique_lock<std::mutex>& lock,
                    std::optional<std::chrono::steady_clock::time_point> deadline)
    {
        using Clock = std::chrono::steady_clock;
        while (!NextReady() && !AllTaken()) {
            const Clock::time_point now = Clock::now();
            if (deadline && now >= *deadline) {
                waitingSince.reset();
                return false;
            }
            if (!waitingSince)
                waitingSince = now;
            // Within the batch delay the waiter wakes by itself; after it, a result wakes it.
            std::optional<Clock::time_point> until = *waitingSince + kBatchDelay;
            if (*until <= now)
                until = deadline;
            else if (deadline && *deadline < *until)
                until = deadline;
            if (until)
                resultReady.wait_until(lock, *until);
            else
                resultReady.wait(lock);
        }
        waitingSince.reset();
        return true;
    }

    // The result of a file whose hashing failed outside a read: out of memory for a digest or a
    // result. Nothing when not even that can be had: the run stops then, so that the caller is
    // not left waiting for a result that never comes.
    std::optional<HashResult> FailureResult(size_t index, const char* reason) noexcept
    {
        try {
            HashResult result;
            result.Index = index;
            result.Outcome = HashOutcome::ReadFailed;
            result.Reason = reason;
            return result;
        } catch (...) {
            StopRun();
            return std::nullopt;
        }
    }

    // After a stop, the results come in list order as before: the unbroken run of finished files
    // up to stopLimit, the Stopped result for the first unfinished one, and then every file
    // finished beyond it, so that no finished work is thrown away.
    bool NextReady() const  // under m
    {
        if (IsStopped() && nextToTake >= stopLimit && !stopResultTaken && stopLimit < paths.size())
            return true;
        if (IsStopped() && nextToTake >= stopLimit)
            return !finished.empty();
        return finished.count(nextToTake) > 0;
    }
    HashResult TakeNext()  // under m, when NextReady()
    {
        if (IsStopped() && nextToTake >= stopLimit && !stopResultTaken && stopLimit < paths.size()) {
            stopResultTaken = true;
            HashResult result;
            result.Index = stopLimit;
            result.Outcome = HashOutcome::Stopped;
            return result;
        }
        // Before a stop this is the file at nextToTake; after it, the next finished one.
        auto it = IsStopped() ? finished.begin() : finished.find(nextToTake);
        HashResult result = std::move(it->second);
        finished.erase(it);
        nextToTake = result.Index + 1;
        return result;
    }
    bool AllTaken() const  // under m
    {
        if (IsStopped())
            return nextToTake >= stopLimit && (stopResultTaken || stopLimit >= paths.size()) &&
                   finished.empty();
        return nextToTake >= paths.size() && pathsComplete;
    }

    void StopRun();
    void Work(unsigned slotIndex);
    // The file's result; nothing after a stop.
    // spare: the worker's states of its last file, started over where they can be.
    std::optional<HashResult> HashFile(size_t index, const std::string& path, WorkerSlot& slot,
                                       Buffer& buffer, std::vector<std::unique_ptr<DigestState>>& spare);
    void HashLarge(InputFile& file, std::vector<std::unique_ptr<DigestState>>& states, HashResult& result,
                   WorkerSlot& slot);
    void Help(std::shared_ptr<LargeFile> large, std::unique_lock<std::mutex>& schedule);
    void Participate(LargeFile& large, InputFile* file, HashResult* result, WorkerSlot* slot);
};

void HashingRun::State::Work(unsigned slotIndex)
{
    WorkerSlot& slot = slots[slotIndex];
    Buffer buffer;
    std::vector<std::unique_ptr<DigestState>> spare;
    std::unique_lock<std::mutex> lock(m);
    while (!IsStopped()) {
        if (currentLarge && currentLarge->WantsHelp()) {
            Help(currentLarge, lock);
            continue;
        }
        if (nextFile < paths.size()) {
            // A few files at a time while many are left, so that the threads do not take turns
            // at m for every small file; one at a time towards the end, so that no thread is left
            // with a queue while the others have nothing.
            const size_t left = paths.size() - nextFile;
            const size_t first = nextFile;
            const size_t count = std::clamp<size_t>(left / (8 * threads), 1, kFilesPerTurn);
            std::array<const std::string*, kFilesPerTurn> turn;
            for (size_t i = 0; i < count; ++i)
                turn[i] = &paths[first + i];
            nextFile += count;
            ++filesInProgress;
            lock.unlock();
            std::array<std::optional<HashResult>, kFilesPerTurn> results;
            const auto publish = [&](size_t from, size_t to) {  // under m
                Notice notice;
                for (size_t i = from; i < to; ++i)
                    if (results[i]) {
                        const Notice one = PublishLocked(std::move(*results[i]));
                        notice.waiter = notice.waiter || one.waiter;
                        notice.wake = notice.wake || one.wake;
                    }
                Announce(notice);
            };
            size_t published = 0;
            int64_t unpublishedBytes = 0;
            for (size_t i = 0; i < count && !IsStopped(); ++i) {
                const size_t index = first + i;
                try {
                    results[i] = HashFile(index, *turn[i], slot, buffer, spare);
                } catch (const std::exception& e) {
                    // Out of memory for a digest or a result: the file fails, the pass goes on,
                    // and a thread of its own never ends the program.
                    results[i] = FailureResult(index, e.what());
                }
                // Files that are not tiny after all go out at once: a turn of larger files
                // would hold back results and the bars for long.
                unpublishedBytes += results[i] ? results[i]->BytesRead : 0;
                if (unpublishedBytes >= kTurnBytes && i + 1 < count) {
                    lock.lock();
                    publish(published, i + 1);
                    lock.unlock();
                    published = i + 1;
                    unpublishedBytes = 0;
                }
            }
            // The results go in under the same hold of m as the next files come out.
            lock.lock();
            publish(published, count);
            --filesInProgress;
            scheduleChanged.notify_all();
            continue;
        }
        if (filesInProgress == 0 && pathsComplete)
            break;
        scheduleChanged.wait(lock);
    }
    --liveWorkers;
    workersGone.notify_all();
}

// Helps digest the large file until it is done; m is held on entry and on return.
void HashingRun::State::Help(std::shared_ptr<LargeFile> large, std::unique_lock<std::mutex>& schedule)
{
    {
        // Under m as well, so that WantsHelp seen under m stays true until this counts.
        std::lock_guard<std::mutex> lock(large->m);
        ++large->helpers;
    }
    schedule.unlock();
    Participate(*large, nullptr, nullptr, nullptr);
    schedule.lock();
}

std::optional<HashResult> HashingRun::State::HashFile(size_t index, const std::string& path, WorkerSlot& slot,
                                                      Buffer& buffer,
                                                      std::vector<std::unique_ptr<DigestState>>& spare)
{
    slot.read.store(0, std::memory_order_relaxed);
    slot.size.store(-1, std::memory_order_relaxed);
    slot.index.store(index, std::memory_order_release);
    HashResult result;
    result.Index = index;
    std::unique_ptr<InputFile> file;
    try {
        file = files.OpenForReading(path);
    } catch (const std::exception& e) {
        // After a stop the file layer is not the run's to call any more (an open that hung may
        // return long after the program let go of it).
        if (IsStopped())
            return std::nullopt;
        // Only now is it asked whether anything is there at all: most files open, and for ten
        // thousand small ones the question would cost a tenth of the time.
        bool exists = true;
        try {
            exists = files.FileExists(path);
        } catch (const std::exception&) {
        }
        result.Outcome = exists ? HashOutcome::CannotOpen : HashOutcome::Missing;
        if (exists)
            result.Reason = e.what();
        return result;
    }
    result.SizeAtOpen = file->Size();
    slot.size.store(result.SizeAtOpen, std::memory_order_relaxed);

    std::vector<std::unique_ptr<DigestState>> states;
    try {
        if (spare.size() == algorithms.size() &&
            std::all_of(spare.begin(), spare.end(), [](auto& state) { return state->Restart(); }))
            states = std::move(spare);
        spare.clear();
        for (size_t i = states.size(); i < algorithms.size(); ++i)
            states.push_back(StartDigest(algorithms[i], options.Blake2bBytes));
        if (result.SizeAtOpen >= options.LargeFileBytes) {
            HashLarge(*file, states, result, slot);
        } else {
            if (!buffer)
                buffer = NewBlock(workerBlockBytes);
            // Read to the end, whatever the size said: a file of /proc reports 0 and has content.
            for (;;) {
                if (IsStopped())
                    return std::nullopt;
                const size_t n = file->Read(buffer.get(), workerBlockBytes);
                for (auto& state : states)
                    state->Feed(buffer.get(), n);
                result.BytesRead += static_cast<int64_t>(n);
                CountRead(slot, n);
                // Fewer bytes than asked: the file layer found the end.
                if (n < workerBlockBytes)
                    break;
                // A file that turns out long goes on as a large one.
                if (result.BytesRead >= options.LargeFileBytes) {
                    HashLarge(*file, states, result, slot);
                    break;
                }
            }
        }
    } catch (const ShrankUnderViews&) {
        result.Outcome = HashOutcome::Shrank;
        result.Reason = kShrankReason;
    } catch (const std::exception& e) {
        result.Outcome = HashOutcome::ReadFailed;
        result.Reason = e.what();
    }
    file.reset();
    if (IsStopped())
        return std::nullopt;
    if (result.Outcome == HashOutcome::Digests && result.BytesRead < result.SizeAtOpen) {
        // A file that ended before its size at the open was cut while it was read: its digests
        // would be of neither the old nor the new content.
        result.Outcome = HashOutcome::Shrank;
        result.Reason = kShrankReason;
    }
    if (result.Outcome == HashOutcome::Digests) {
        for (DigestAlgorithm algorithm : algorithms)
            result.Digests.resize(std::max(result.Digests.size(), static_cast<size_t>(algorithm) + 1));
        for (size_t i = 0; i < algorithms.size(); ++i)
            result.Digests[static_cast<size_t>(algorithms[i])] = states[i]->Finish();
    }
    // A large file's states are the helpers' after a stop, and none come back then.
    if (states.size() == algorithms.size())
        spare = std::move(states);
    return result;
}

namespace {

// Fills the ring's slot with the file's next block: a view of it where the file has views, a read
// into the slot's buffer otherwise. Returns the block's size, short of a whole one only at the end.
// By the reader, without the lock: nobody else looks at a slot before it is published.
size_t ReadBlock(LargeFile& large, InputFile& file, size_t at)
{
    uint8_t* const buffer = large.buffers[at];
    if (!large.viewsEnded) {
        if (std::optional<FileView> view = file.View(large.blockBytes)) {
            large.viewsKept[at] = view->Keep;
            if (view->Size == large.blockBytes) {
                large.blocks[at] = view->Data;
                return view->Size;
            }
            // The views end short of a block, at the size the file had at its open: whatever the
            // file has gained since is read after them, as if there had been no views.
            large.viewsEnded = true;
            large.blocks[at] = buffer;
            if (!ReadMapped([&] { std::memcpy(buffer, view->Data, view->Size); }))
                throw ShrankUnderViews{};
            return view->Size + file.Read(buffer + view->Size, large.blockBytes - view->Size);
        }
        large.viewsEnded = true;
    }
    large.blocks[at] = buffer;
    return file.Read(buffer, large.blockBytes);
}

}  // namespace

// Reads a large file into the ring while the digests take its blocks, on this thread and on the
// helpers alike.
// On return the states are back in the caller's hands; a read failure is thrown again.
void HashingRun::State::HashLarge(InputFile& file, std::vector<std::unique_ptr<DigestState>>& states,
                                  HashResult& result, WorkerSlot& slot)
{
    auto large = std::make_shared<LargeFile>();
    large->states = std::move(states);
    large->lanes.resize(large->states.size());
    // With threads to spare, a digest in parts hashes blocks apart on all of them; one thread
    // feeds every digest in order.
    bool inParts = false;
    if (threads > 1)
        for (size_t i = 0; i < large->lanes.size(); ++i)
            if (DigestParts* parts = large->states[i]->Parts()) {
                parts->MakeSlots(ringBlocks);
                large->lanes[i].parts = parts;
                large->lanes[i].apartDone.assign(ringBlocks, 0);
                inParts = true;
            }
    large->helpersWanted = static_cast<unsigned>(
        inParts ? threads - 1 : std::min<size_t>(threads - 1, std::max<size_t>(large->lanes.size(), 1) - 1));
    large->blockBytes = options.BlockBytes;
    large->startOffset = static_cast<uint64_t>(result.BytesRead);
    {
        std::unique_lock<std::mutex> lock(m);
        // One large file at a time; meanwhile this thread helps the one being read.
        while (largeBusy && !IsStopped()) {
            if (currentLarge && currentLarge->WantsHelp()) {
                Help(currentLarge, lock);
                continue;
            }
            scheduleChanged.wait(lock);
        }
        if (IsStopped())
            return;
        if (ring.empty())
            for (size_t i = 0; i < ringBlocks; ++i)
                ring.push_back(NewBlock(options.BlockBytes));
        for (Buffer& block : ring)
            large->buffers.push_back(block.get());
        large->blocks.assign(large->buffers.begin(), large->buffers.end());
        large->viewsKept.resize(ring.size());
        large->sizes.assign(ring.size(), 0);
        largeBusy = true;
        currentLarge = large;
    }
    scheduleChanged.notify_all();

    std::exception_ptr failure;
    try {
        Participate(*large, &file, &result, &slot);
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
// room; otherwise it digests like its helpers: the free digest furthest behind takes its next
// block. A block is free again once every digest has taken it.
void HashingRun::State::Participate(LargeFile& large, InputFile* file, HashResult* result, WorkerSlot* slot)
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
            if (!large.AnyBusy()) {
                if (large.viewsFailed)
                    throw ShrankUnderViews{};
                throw FileError(result->Reason);
            }
        }
        if (reader && !large.ended && large.published - large.OldestNeeded() < large.blocks.size()) {
            const size_t at = static_cast<size_t>(large.published % large.blocks.size());
            lock.unlock();
            size_t n = 0;
            try {
                n = ReadBlock(large, *file, at);
            } catch (const ShrankUnderViews&) {
                lock.lock();
                large.LoseViews();
                large.changed.notify_all();
                continue;
            } catch (const std::exception& e) {
                lock.lock();
                large.failed = large.ended = true;
                result->Reason = e.what();
                large.changed.notify_all();
                continue;
            }
            lock.lock();
            if (n > 0) {
                large.sizes[at] = n;
                ++large.published;
                result->BytesRead += static_cast<int64_t>(n);
                CountRead(*slot, n);
            }
            // Fewer bytes than asked: the file layer found the end.
            large.ended = n < large.blockBytes;
            large.changed.notify_all();
            continue;
        }
        if (DigestLane* lane = large.MostBehind()) {
            const bool apart = large.GoesApart(*lane);
            const uint64_t block = lane->handedOut++;
            lock.unlock();
            const bool worked = large.Work(*lane, block, apart);
            lock.lock();
            if (!worked)
                large.LoseViews();
            large.Finished(*lane, block, apart);
            large.changed.notify_all();
            continue;
        }
        if (large.ended && !large.failed && large.AllCaughtUp())
            return;
        large.changed.wait(lock);
    }
}

HashingRun::HashingRun(FileAccess& files, std::vector<std::string> paths, DigestSet algorithms,
                       HashingOptions options, std::function<void()> wake)
    : state_(std::make_shared<State>(files, std::move(paths), algorithms, options, std::move(wake)))
{
    StartWorkers();
}

HashingRun::HashingRun(FileAccess& files, DigestSet algorithms, HashingOptions options)
    : state_(std::make_shared<State>(files, std::vector<std::string>{}, algorithms, options,
                                     std::function<void()>{}))
{
    // Before any worker looks: one that found an empty, complete list would end at once.
    state_->pathsComplete = false;
    StartWorkers();
}

void HashingRun::StartWorkers()
{
    for (unsigned i = 0; i < state_->threads; ++i) {
        try {
            {
                std::lock_guard<std::mutex> lock(state_->m);
                ++state_->liveWorkers;
            }
            std::thread([state = state_, i] { state->Work(i); }).detach();
        } catch (...) {
            // No thread to be had: the ones started must not go on with a run nobody holds.
            {
                std::lock_guard<std::mutex> lock(state_->m);
                --state_->liveWorkers;
            }
            Stop();
            throw;
        }
    }
}

HashingRun::~HashingRun()
{
    Stop();
    // The workers that are not stuck notice the stop at once; waiting for them briefly lets a
    // test's files go without a worker still inside them. A stuck one is left behind.
    std::unique_lock<std::mutex> lock(state_->m);
    state_->workersGone.wait_for(lock, std::chrono::milliseconds(20),
                                 [&] { return state_->liveWorkers == 0; });
}

std::vector<HashResult> HashingRun::TakeResults(size_t most)
{
    state_->wakePending.store(false, std::memory_order_release);
    std::vector<HashResult> results;
    std::lock_guard<std::mutex> lock(state_->m);
    results.reserve(std::min(most, state_->finished.size()));
    while (results.size() < most && state_->NextReady())
        results.push_back(state_->TakeNext());
    return results;
}

std::optional<HashResult> HashingRun::Wait()
{
    std::unique_lock<std::mutex> lock(state_->m);
    state_->AwaitReady(lock, std::nullopt);
    if (!state_->NextReady())
        return std::nullopt;
    return state_->TakeNext();
}

bool HashingRun::AwaitResult(std::chrono::milliseconds most)
{
    std::unique_lock<std::mutex> lock(state_->m);
    return state_->AwaitReady(lock, std::chrono::steady_clock::now() + most);
}

bool HashingRun::Done() const
{
    std::lock_guard<std::mutex> lock(state_->m);
    return state_->AllTaken();
}

void HashingRun::State::StopRun()
{
    {
        std::lock_guard<std::mutex> wakeLock(wakeMutex);
        if (stopped.exchange(true))
            return;
    }
    std::shared_ptr<LargeFile> large;
    {
        std::lock_guard<std::mutex> lock(m);
        stopLimit = nextToTake;
        while (finished.count(stopLimit))
            ++stopLimit;
        large = currentLarge;
    }
    if (large) {
        std::lock_guard<std::mutex> lock(large->m);
        large->changed.notify_all();
    }
    scheduleChanged.notify_all();
    resultReady.notify_all();
}

void HashingRun::Stop() { state_->StopRun(); }

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

size_t HashingRun::FileCount() const
{
    std::lock_guard<std::mutex> lock(state_->m);
    return state_->paths.size();
}

void HashingRun::AddPaths(std::vector<std::string> more)
{
    {
        std::lock_guard<std::mutex> lock(state_->m);
        if (state_->pathsComplete || state_->IsStopped())
            return;
        for (std::string& path : more)
            state_->paths.push_back(std::move(path));
    }
    state_->scheduleChanged.notify_all();
}

void HashingRun::EndOfPaths()
{
    {
        std::lock_guard<std::mutex> lock(state_->m);
        state_->pathsComplete = true;
    }
    state_->scheduleChanged.notify_all();
    // A waiter that has every result of the list so far now knows that it has them all.
    state_->resultReady.notify_all();
}
unsigned HashingRun::ThreadCount() const { return state_->threads; }

std::string DigestHex(const std::vector<uint8_t>& digest, bool uppercase)
{
    return DigestToHex(digest.data(), digest.size(), uppercase ? HexLetters::Upper : HexLetters::Lower);
}
