// A window that shows nothing, for measuring the core alone. Its event pump counts the calls
// and does what the real window does between its time checks: nothing.
#pragma once

#include "checking/WindowPort.h"

class QuietWindow : public WindowPort {
public:
    void LetEventsRun() override { ++EventRuns; }
    void SetCurrentBar(int) override {}
    void StepCurrentBar() override {}
    void SetOverallBar(int, int) override {}
    void StepOverallBar() override {}
    void SetStatusText(const std::string&) override {}
    void SetBusyCursor(bool) override {}
    void ShowProgressGroup(bool) override {}
    void DisableCommands() override {}
    void EnableCommands() override {}
    void EnableSaveCommands() override {}
    void DisableSaveToolButton() override {}
    void RefreshEntryIcons() override {}

    long EventRuns = 0;
};
