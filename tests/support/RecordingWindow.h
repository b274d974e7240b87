// A WindowPort that keeps every call in order, and the state the calls leave behind, so a test
// can check what a pass or a command showed. The hook runs inside LetEventsRun, where the real
// window would run the user's commands and drops, so a test can act in the middle of a pass.
#pragma once

#include "checking/WindowPort.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

class RecordingWindow : public WindowPort {
public:
    void LetEventsRun() override
    {
        ++EventRuns;
        Record("Events");
        if (OnEvents)
            OnEvents(EventRuns);
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

    // The calls without the event pump, which runs as often as the file has blocks.
    std::vector<std::string> CallsWithoutEvents() const
    {
        std::vector<std::string> calls;
        std::copy_if(Calls.begin(), Calls.end(), std::back_inserter(calls),
                     [](const std::string& call) { return call != "Events"; });
        return calls;
    }
    size_t CountOf(const std::string& call) const
    {
        return static_cast<size_t>(std::count(Calls.begin(), Calls.end(), call));
    }
    void Forget() { Calls.clear(); }

    std::vector<std::string> Calls;
    std::function<void(int eventRun)> OnEvents;

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
    bool SaveMenuEnabled = false;
    bool SaveToolButtonEnabled = false;
    int IconRefreshes = 0;

private:
    void Record(std::string call) { Calls.push_back(std::move(call)); }
};
