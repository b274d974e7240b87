#include "checking/SumImportRun.h"

#include "checking/Intake.h"
#include "checking/SizeText.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "sums/SignedSumFile.h"
#include "sums/SumLine.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace {

// As many files outside the sum file's folder are named as ImportSumListings names.
constexpr size_t kOutsideShown = 10;
// A delivery adds listings for this long at most and then asks for another, so that the
// window's own events take turns with a long list.
constexpr std::chrono::milliseconds kDeliverySlice{8};
constexpr size_t kListingsPerBatch = 256;

// The thread's view of the caller's file layer, cut off by a stop: the thread may be deep in the
// signature check or the parse when it is stopped, and the caller's layer may be gone by the
// time it comes back, so every later call fails here instead of reaching it.
class ReleasableFiles : public FileSystem {
public:
    explicit ReleasableFiles(FileSystem& real) : real_(real) {}
    void Release() { released_ = true; }

    bool FileExists(const std::string& path) override { return Real().FileExists(path); }
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override
    {
        return Real().OpenForReading(path);
    }
    bool FolderExists(const std::string& path) override { return Real().FolderExists(path); }
    std::vector<FolderItem> ScanFolder(const std::string& folder) override
    {
        return Real().ScanFolder(folder);
    }
    int64_t ProbeSize(const std::string& path) override { return Real().ProbeSize(path); }
    int64_t ProbeListedSize(const std::string& path) override { return Real().ProbeListedSize(path); }

private:
    FileSystem& Real()
    {
        if (released_)
            throw FileError("Operation canceled");
        return real_;
    }

    FileSystem& real_;
    std::atomic<bool> released_{false};
};

}  // namespace

struct SumImportRun::State {
    explicit State(FileSystem& real) : files(real) {}

    ReleasableFiles files;
    mutable std::mutex m;
    mutable std::condition_variable changed;
    bool stopped = false;
    bool finished = false;  // the thread has handed over its last listing
    bool woken = false;     // a wake since the last Take
    std::function<void()> wake;

    bool contentsRead = false;
    bool headerTaken = false;
    SumImportReport header;  // OpenError, Listed, ProblemCount, Problems, Signature
    std::vector<ProbedListing> ready;
    size_t readyTaken = 0;
    size_t probed = 0;

    // Under m: wakes the caller once until its next Take, never after a stop; what comes in
    // meanwhile waits for that Take, one wake per batch. A waiter (Await) is woken for a whole
    // batch or the end only: woken per listing it would cost a switch of threads per line.
    void Wake()
    {
        if (finished || ready.size() - readyTaken >= kListingsPerBatch)
            changed.notify_all();
        if (woken)
            return;
        woken = true;
        if (!stopped && wake)
            wake();
    }
};

namespace {

ProbedListing ProbeListing(FileSystem& files, const std::string& path)
{
    ProbedListing probed;
    probed.Path = path;
    try {
        probed.Size = files.ProbeListedSize(path);
        probed.Found = ProbedListing::Probe::Found;
    } catch (const FileError& error) {
        // Only a refusal costs a second look, to tell a missing file from one that cannot be taken.
        if (!files.FileExists(path) && !files.FolderExists(path)) {
            probed.Found = ProbedListing::Probe::Missing;
        } else {
            probed.Found = ProbedListing::Probe::Refused;
            probed.Reason = error.what();
        }
    }
    return probed;
}

}  // namespace

// The thread holds the state by shared ownership and, once stopped, only returns: nothing of the
// caller's but files is touched, and files no more after the stop.
void SumImportRun::Run(const std::shared_ptr<State>& state, const std::string& sumFile,
                       std::unordered_set<std::string> known)
{
    FileSystem& files = state->files;
    SumImportReport header;
    SumFileContents contents;
    try {
        contents = ReadSignedSumContents(files, sumFile, {}, header.Signature);
    } catch (const FileError& error) {
        header.OpenError = "Cannot open file \"" + Utf8FromNative(sumFile) + "\". " + error.what();
    } catch (const std::exception& error) {
        header.OpenError = "Cannot open file \"" + Utf8FromNative(sumFile) + "\". " + error.what();
    }
    header.Listed = contents.Listings.size();
    header.ProblemCount = contents.ProblemCount;
    header.Problems = contents.Problems;
    // A sum file whose signature is BAD is not taken in at all.
    const bool takeIn = header.OpenError.empty() && header.Signature.State != SignatureState::Bad;
    {
        std::lock_guard<std::mutex> lock(state->m);
        if (state->stopped)
            return;
        state->header = std::move(header);
        state->contentsRead = true;
        state->changed.notify_all();
        if (!takeIn)
            state->finished = true;
        state->Wake();
    }
    if (!takeIn)
        return;

    // Each listing is handed over as soon as it is probed, so that a probe that hangs holds back
    // nothing before it; the window takes what has gathered in batches, one wake per batch.
    for (const SumListing& listing : contents.Listings) {
        const std::string path = ListedPath(sumFile, listing.Line.Name);
        ProbedListing probed;
        if (known.insert(path).second) {
            // No look at the stop first: after one the file layer refuses every call, and the
            // listing is dropped below.
            probed = ProbeListing(files, path);
        } else {
            probed.Path = path;
        }
        probed.Expected = ExpectedDigest{listing.Line.Digest, listing.Line.Candidates};
        probed.Outside = NameLeavesSumFolder(listing.Line.Name);
        std::lock_guard<std::mutex> lock(state->m);
        if (state->stopped)
            return;
        state->ready.push_back(std::move(probed));
        ++state->probed;
        state->Wake();
    }
    std::lock_guard<std::mutex> lock(state->m);
    state->finished = true;
    state->Wake();
}

SumImportRun::SumImportRun(FileSystem& files, std::string sumFile, std::unordered_set<std::string> knownPaths,
                           std::function<void()> wake)
    : state_(std::make_shared<State>(files))
{
    state_->wake = std::move(wake);
    // Detached: a thread stuck in a read is left behind by a stop and ends on its own.
    std::thread(Run, state_, std::move(sumFile), std::move(knownPaths)).detach();
}

SumImportRun::~SumImportRun() { Stop(); }

SumImportBatch SumImportRun::Take(SumImportReport& report, size_t most)
{
    std::lock_guard<std::mutex> lock(state_->m);
    state_->woken = false;
    SumImportBatch batch;
    batch.ContentsRead = state_->contentsRead;
    if (state_->contentsRead && !state_->headerTaken) {
        state_->headerTaken = true;
        const SumImportReport& header = state_->header;
        report.OpenError = header.OpenError;
        report.Listed = header.Listed;
        report.ProblemCount = header.ProblemCount;
        report.Problems = header.Problems;
        report.Signature = header.Signature;
    }
    std::vector<ProbedListing>& ready = state_->ready;
    while (state_->readyTaken < ready.size() && batch.Listings.size() < most)
        batch.Listings.push_back(std::move(ready[state_->readyTaken++]));
    if (state_->readyTaken == ready.size()) {
        ready.clear();
        state_->readyTaken = 0;
    }
    return batch;
}

bool SumImportRun::Done() const
{
    std::lock_guard<std::mutex> lock(state_->m);
    return state_->stopped || (state_->finished && state_->headerTaken && state_->ready.empty());
}

void SumImportRun::Await(int milliseconds) const
{
    std::unique_lock<std::mutex> lock(state_->m);
    // A whole batch, or the end: a waiter woken for every listing would cost a switch of
    // threads per line. A probe that hangs lets the time run out, and what is there is taken.
    state_->changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] {
        return state_->stopped || state_->finished ||
               state_->ready.size() - state_->readyTaken >= kListingsPerBatch ||
               (state_->contentsRead && !state_->headerTaken);
    });
}

void SumImportRun::Stop()
{
    std::lock_guard<std::mutex> lock(state_->m);
    state_->stopped = true;
    state_->wake = nullptr;
    state_->files.Release();
    state_->changed.notify_all();
}

bool SumImportRun::Stopped() const
{
    std::lock_guard<std::mutex> lock(state_->m);
    return state_->stopped;
}

size_t SumImportRun::Probed() const
{
    std::lock_guard<std::mutex> lock(state_->m);
    return state_->probed;
}

SumListingIntake::SumListingIntake(CheckList& list, std::string decimalSeparator)
    : list_(list), decimalSeparator_(std::move(decimalSeparator))
{
    CatchUp();
}

void SumListingIntake::CatchUp()
{
    for (; seen_ < list_.Count(); ++seen_)
        entryOfPath_.emplace(list_.At(seen_).Path, seen_);
}

void SumListingIntake::Take(const ProbedListing& listing, SumImportReport& report)
{
    CatchUp();
    const std::string& path = listing.Path;
    report.NoteNeeds(listing.Expected);
    if (auto known = entryOfPath_.find(path); known != entryOfPath_.end()) {
        list_.AddExpected(known->second, listing.Expected);
        return;
    }
    if (refused_.count(path))
        return;
    if (listing.Outside && ++report.OutsideCount <= kOutsideShown)
        report.Outside.push_back(path);
    const size_t before = list_.Count();
    switch (listing.Found) {
    case ProbedListing::Probe::Found: {
        CheckEntry entry{CaptionFromPath(path), kStatusPending, SizeText(listing.Size, decimalSeparator_),
                         path};
        entry.SizeBytes = listing.Size;
        list_.Append(std::move(entry));
        break;
    }
    case ProbedListing::Probe::Missing:
        // Kept, so the user sees it: a pass finds no file and judges it missing again.
        list_.Append(CheckEntry{CaptionFromPath(path), kStatusPending, "", path});
        list_.SetVerdict(before, SumVerdict::Missing);
        ++report.Missing;
        break;
    case ProbedListing::Probe::Refused:
        report.Refused.Refused.push_back({path, listing.Reason});
        [[fallthrough]];
    case ProbedListing::Probe::Known:
        // Known to the thread but not here: an earlier listing of the path was refused.
        refused_.insert(path);
        return;
    }
    CatchUp();
    ++report.Taken;
    list_.AddExpected(before, listing.Expected);
}

std::string SumImportStatusText(size_t listingsRead)
{
    std::string text = "正在导入校验文件…";
    if (listingsRead > 0)
        text += "（已读取 " + std::to_string(listingsRead) + " 行）";
    return text;
}

SumImportPass::SumImportPass(const SumImportParts& parts, const std::string& sumFile)
    : parts_(parts), intake_(parts.List, parts.DecimalSeparator)
{
    report_.SumFile = sumFile;
    WindowPort& window = parts_.Window;
    statusBefore_ = window.ShownStatusText();
    window.ShowProgressGroup(true);
    window.HoldCommands();
    window.SetBusyCursor(true);
    window.SetPassRate("", "");
    window.SetStatusText(SumImportStatusText(0));
    std::unordered_set<std::string> known;
    for (size_t i = 0; i < parts_.List.Count(); ++i)
        known.insert(parts_.List.At(i).Path);
    try {
        run_ = std::make_unique<SumImportRun>(parts_.Files, sumFile, std::move(known),
                                              [&window] { window.RequestPassDelivery(); });
    } catch (...) {
        End();  // no thread to be had: the window is not left busy
        throw;
    }
}

SumImportPass::~SumImportPass() = default;

void SumImportPass::Deliver()
{
    if (ended_)
        return;
    try {
        const auto sliceEnd = std::chrono::steady_clock::now() + kDeliverySlice;
        for (;;) {
            const SumImportBatch batch = run_->Take(report_, kListingsPerBatch);
            contentsRead_ = batch.ContentsRead;
            for (const ProbedListing& listing : batch.Listings)
                intake_.Take(listing, report_);
            taken_ += batch.Listings.size();
            if (batch.Listings.size() < kListingsPerBatch)
                break;
            if (std::chrono::steady_clock::now() >= sliceEnd) {
                parts_.Window.RequestPassDelivery();
                break;
            }
        }
        if (run_->Done()) {
            End();
            return;
        }
        if (taken_ != shownCount_) {
            shownCount_ = taken_;
            parts_.Window.SetStatusText(SumImportStatusText(taken_));
        }
    } catch (...) {
        End();
        throw;
    }
}

void SumImportPass::Stop()
{
    if (ended_)
        return;
    run_->Stop();
    stopped_ = true;
    End();
}

void SumImportPass::AwaitDelivery() const
{
    if (!ended_)
        run_->Await(20);
}

void SumImportPass::End()
{
    ended_ = true;
    if (run_)
        run_->Stop();
    WindowPort& window = parts_.Window;
    window.SetBusyCursor(false);
    window.ShowProgressGroup(false);
    window.ReleaseCommands();
    window.SetStatusText(statusBefore_);
}
