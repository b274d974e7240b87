// A WindowPort that keeps every call in order, and the state the calls leave behind, so a test
// can check what a pass or a command showed. It also plays the window's event loop for a pass:
// LetEventsRun stands for the user's events between two deliveries (the hook runs there, so a
// test can act in the middle of a pass), and the delivery requests of the hashing engine's
// threads are counted for AwaitDeliveryRequest.
#pragma once

#include "checking/WindowPort.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

class RecordingWindow : public WindowPort {
public:
    // The user's events between two deliveries of a pass.
    void LetEventsRun()
    {
        ++EventRuns;
        Record("Events");
        if (OnEvents)
            OnEvents(EventRuns);
    }

    void RequestPassDelivery() override
    {
        {
            std::lock_guard<std::mutex> lock(requestMutex_);
            ++requests_;
        }
        requested_.notify_all();
    }
    // Waits a little for a delivery request that came after the last wait; the wait is
    // bounded, since one request may stand for several.
    void AwaitDeliveryRequest()
    {
        std::unique_lock<std::mutex> lock(requestMutex_);
        requested_.wait_for(lock, std::chrono::milliseconds(20), [&] { return requests_ != seenRequests_; });
        seenRequests_ = requests_;
    }
    int DeliveryRequests()
    {
        std::lock_guard<std::mutex> lock(requestMutex_);
        return requests_;
    }

    void SetCurrentBar(int position) override
    {
        CurrentBar = position;
        Record("CurrentBar " + std::to_string(position));
    }
    void StepCurrentBar() override
    {
        ++CurrentBarSteps;
        // The platform's bar starts over from its minimum when a step passes the maximum.
        CurrentBar = CurrentBar >= 100 ? 0 : CurrentBar + 1;
        Record("StepCurrentBar");
    }
    void SetOverallBar(int position, int maximum) override
    {
        OverallBar = position;
        OverallMaximum = maximum;
        Record("OverallBar " + std::to_string(position) + "/" + std::to_string(maximum));
    }
    void StepOverallBar() override
    {
        OverallBar = OverallBar >= OverallMaximum ? 0 : OverallBar + 1;
        Record("StepOverallBar");
    }

    void SetStatusText(const std::string& text) override
    {
        StatusText = text;
        Record("Status " + text);
    }
    void SetBusyCursor(bool busy) override
    {
        BusyCursor = busy;
        Record(busy ? "Cursor busy" : "Cursor default");
    }
    void ShowProgressGroup(bool shown) override
    {
        ProgressGroupShown = shown;
        Record(shown ? "ShowProgressGroup" : "HideProgressGroup");
    }

    // Not in Calls: how often the rate changes depends on the clock.
    void SetPassRate(const std::string& speed, const std::string& timeLeft) override
    {
        SpeedText = speed;
        TimeLeftText = timeLeft;
        ++RateChanges;
    }

    void DisableCommands() override
    {
        CommandsEnabled = false;
        Record("DisableCommands");
    }
    void EnableCommands() override
    {
        CommandsEnabled = true;
        Record("EnableCommands");
    }
    void HoldCommands() override
    {
        HeldCommandsEnabled = CommandsEnabled;
        CommandsEnabled = false;
        Record("HoldCommands");
    }
    void ReleaseCommands() override
    {
        CommandsEnabled = HeldCommandsEnabled;
        Record("ReleaseCommands");
    }
    std::string ShownStatusText() const override { return StatusText; }
    void SumImportEnded(const SumImportReport&) override
    {
        ++ImportsEnded;
        Record("SumImportEnded");
    }
    void EnableSaveCommands() override
    {
        SaveMenuEnabled = SaveToolButtonEnabled = true;
        Record("EnableSaveCommands");
    }
    void DisableSaveToolButton() override
    {
        SaveToolButtonEnabled = false;
        Record("DisableSaveToolButton");
    }

    void RefreshEntryIcons() override
    {
        ++IconRefreshes;
        Record("RefreshEntryIcons");
    }

    // The calls without the events between deliveries and without the current-file bar's moves
    // while the pass runs, which follow the reading as the clock lets it.
    std::vector<std::string> CallsWithoutProgress() const
    {
        std::vector<std::string> calls;
        bool running = false;
        for (const std::string& call : Calls) {
            if (call == "Status 正在计算，请稍候。")
                running = true;
            if (call == "Cursor default")
                running = false;
            if (call == "Events" || (running && call.rfind("CurrentBar ", 0) == 0))
                continue;
            calls.push_back(call);
        }
        return calls;
    }
    size_t CountOf(const std::string& call) const
    {
        return static_cast<size_t>(std::count(Calls.begin(), Calls.end(), call));
    }
    void Forget() { Calls.clear(); }

    std::vector<std::string> Calls;
    std::function<void(int eventRun)> OnEvents;
    // Runs at every recorded call, so a test can make the window fail in the middle of a pass.
    std::function<void(const std::string& call)> OnCall;

    // Where the window stands after the calls; the start values are those of a new window
    // (its command set partly disabled counts as disabled here).
    int EventRuns = 0;
    int CurrentBar = 0;
    int CurrentBarSteps = 0;
    int OverallBar = 0;
    int OverallMaximum = 0;
    std::string StatusText = "准备就绪";
    bool BusyCursor = false;
    bool ProgressGroupShown = false;
    bool CommandsEnabled = false;
    bool HeldCommandsEnabled = false;
    int ImportsEnded = 0;
    bool SaveMenuEnabled = false;
    bool SaveToolButtonEnabled = false;
    int IconRefreshes = 0;
    std::string SpeedText;
    std::string TimeLeftText;
    int RateChanges = 0;

private:
    void Record(std::string call)
    {
        Calls.push_back(call);
        if (OnCall)
            OnCall(call);
    }

    std::mutex requestMutex_;
    std::condition_variable requested_;
    int requests_ = 0;
    int seenRequests_ = 0;
};
