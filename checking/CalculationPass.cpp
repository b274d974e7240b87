#include "checking/CalculationPass.h"

#include "checking/DuplicateColouring.h"
#include "checking/ResultLines.h"
#include "checking/Verdicts.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace {

// The speed and the time left change too fast to be read when shown on every block.
constexpr std::chrono::milliseconds kRateInterval{250};
// A delivery applies results in batches for this long at most and then asks for another, so
// that ten thousand small files finishing at once do not hold up the window's other events.
constexpr std::chrono::milliseconds kDeliverySlice{8};
constexpr size_t kResultsPerBatch = 16;
// Finished files reach the tree, and their entries "已校验", at most this often while the pass
// runs: a tree view lays out all its roots anew after each insertion, so insertions 25 times a
// second cost it little however many small files finish between them.
constexpr std::chrono::milliseconds kFinishedInterval{40};

}  // namespace

int OverallBarMaximum(size_t entries)
{
    return entries > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(entries);
}

std::string SpeedText(double bytesPerSecond)
{
    char text[64];
    std::snprintf(text, sizeof text, "速度：%.1f MB/s", std::max(0.0, bytesPerSecond) / 1e6);
    return text;
}

std::string TimeLeftText(double seconds)
{
    // A rate that has barely started can promise centuries (or infinity): the display stops at
    // 9999 hours rather than overflow.
    constexpr double kLongest = 9999.0 * 3600 + 3599;
    const long long whole = seconds > 0 ? static_cast<long long>(std::min(seconds, kLongest) + 0.5) : 0;
    char text[64];
    std::snprintf(text, sizeof text, "剩余时间：%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                  whole % 60);
    return text;
}

CalculationPass::CalculationPass(const PassParts& parts, HashingOptions options)
    : parts_(parts), chosen_(parts.Selection.Digests()), maximum_(OverallBarMaximum(parts.List.Count()))
{
    WindowPort& window = parts_.Window;
    window.ShowProgressGroup(true);
    window.DisableCommands();
    window.SetCurrentBar(0);
    window.SetOverallBar(0, maximum_);
    window.SetBusyCursor(true);
    window.SetStatusText(kStatusCalculating);
    window.SetPassRate("", "");
    parts_.Tree.Clear();

    // Copies: a drop while the pass runs appends to the list and may move its entries.
    std::vector<std::string> paths;
    for (size_t i = 0; i < parts_.List.Count(); ++i) {
        if (parts_.List.IsDone(i))
            continue;
        const CheckEntry& entry = parts_.List.At(i);
        entries_.push_back(i);
        captions_.push_back(entry.Caption);
        paths.push_back(entry.Path);
        bytesToRead_ += std::max<int64_t>(entry.SizeBytes, 0);
    }
    if (entries_.empty()) {
        End(kStatusFinished);
        return;
    }
    parts_.Tree.Reserve(entries_.size());
    started_ = rateShown_ = std::chrono::steady_clock::now();
    finishedShown_ = started_ - kFinishedInterval;
    try {
        run_ = std::make_unique<HashingRun>(parts_.Files, std::move(paths), chosen_, options,
                                            [&window] { window.RequestPassDelivery(); });
    } catch (...) {
        Abandon();  // no threads to be had: the window is not left busy
        throw;
    }
}

CalculationPass::~CalculationPass() = default;

void CalculationPass::Deliver() { Deliver(true); }

void CalculationPass::Deliver(bool sliced)
{
    if (ended_)
        return;
    try {
        const auto sliceEnd = std::chrono::steady_clock::now() + kDeliverySlice;
        for (;;) {
            const std::vector<HashResult> batch = run_->TakeResults(kResultsPerBatch);
            Apply(batch);
            if (batch.size() < kResultsPerBatch)
                break;
            if (sliced && std::chrono::steady_clock::now() >= sliceEnd) {
                parts_.Window.RequestPassDelivery();
                break;
            }
        }
        if (run_->Done()) {
            End(applied_ < entries_.size() ? kStatusStopped : kStatusFinished);
            return;
        }
        if (!finished_.empty()) {
            if (std::chrono::steady_clock::now() - finishedShown_ >= kFinishedInterval)
                ShowFinished();
            else
                parts_.Window.RequestPassDelivery();  // to show them in time, more results or none
        }
        ShowProgress();
    } catch (...) {
        Abandon();
        throw;
    }
}

int CurrentFilePercent(int64_t bytesRead, int64_t size)
{
    if (size <= 0 || bytesRead <= 0)
        return 0;
    if (bytesRead >= size)
        return 100;
    // Truncated: a file read to 0.5 % still shows 0. Sizes up to 92 PB fit the multiplication.
    return static_cast<int>(bytesRead * 100 / size);
}

void CalculationPass::Stop()
{
    if (ended_)
        return;
    run_->Stop();
    // What was finished before the stop is applied now, however much it is: the pass ends here.
    Deliver(false);
}

void CalculationPass::Apply(const std::vector<HashResult>& batch)
{
    for (const HashResult& result : batch)
        if (result.Outcome != HashOutcome::Stopped) {
            finished_.push_back(
                ResultNode(captions_[result.Index], entries_.at(result.Index), result, chosen_));
            ++applied_;
        }
}

void CalculationPass::ShowFinished()
{
    finishedShown_ = std::chrono::steady_clock::now();
    if (finished_.empty())
        return;
    for (const ResultRoot& node : finished_) {
        parts_.List.SetStatus(node.Entry, kStatusDone);
        parts_.Window.StepOverallBar();
    }
    std::vector<ResultRoot> nodes;
    nodes.swap(finished_);
    parts_.Tree.AppendRoots(std::move(nodes));
}

void CalculationPass::ShowProgress()
{
    const HashingProgress progress = run_->Progress();
    int percent = 0;
    if (progress.CurrentIndex < entries_.size()) {
        int64_t size = progress.CurrentSize;
        if (size < 0)
            size = parts_.List.At(entries_[progress.CurrentIndex]).SizeBytes;
        percent = CurrentFilePercent(progress.CurrentBytesRead, size);
    }
    if (percent != shownPercent_) {
        shownPercent_ = percent;
        parts_.Window.SetCurrentBar(percent);
    }

    const auto now = std::chrono::steady_clock::now();
    if (now - rateShown_ < kRateInterval)
        return;
    rateShown_ = now;
    const double seconds = std::chrono::duration<double>(now - started_).count();
    const double speed = seconds > 0 ? static_cast<double>(progress.BytesRead) / seconds : 0.0;
    const double left = static_cast<double>(std::max<int64_t>(0, bytesToRead_ - progress.BytesRead));
    parts_.Window.SetPassRate(SpeedText(speed), speed > 0 ? TimeLeftText(left / speed) : "");
}

void CalculationPass::End(const std::string& status)
{
    ended_ = true;
    run_.reset();
    ShowFinished();
    WindowPort& window = parts_.Window;
    window.SetBusyCursor(false);
    window.SetCurrentBar(100);
    window.SetOverallBar(maximum_, maximum_);
    window.SetStatusText(status);
    window.EnableCommands();
    window.EnableSaveCommands();
    window.ShowProgressGroup(false);
    ColourDuplicates(parts_.List, parts_.Tree);
    JudgeEntries(parts_.List, parts_.Tree, parts_.Window, status);
}

// What escapes a delivery goes to the window's error box, which must not find the window busy
// with every command switched off.
void CalculationPass::Abandon()
{
    ended_ = true;
    if (run_)
        run_->Stop();
    WindowPort& window = parts_.Window;
    window.SetBusyCursor(false);
    window.EnableCommands();
    window.ShowProgressGroup(false);
}
