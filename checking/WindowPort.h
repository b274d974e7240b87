// What the checking core asks of the window. The Qt window implements it; tests use a
// recording implementation. Nothing here knows about widgets.
#pragma once

#include <string>

class WindowPort {
public:
    virtual ~WindowPort() = default;

    // Called from the hashing engine's threads, never from the window's own: asks the window's
    // thread to call Checker::DeliverPass soon. Must be thread-safe and return at once; requests
    // that come before the delivery may be merged into one.
    virtual void RequestPassDelivery() = 0;

    // CurrentProgressBar: range 0 to 100, step 1. Stepping past the maximum starts the bar
    // over from its minimum, as the platform's bar does.
    virtual void SetCurrentBar(int position) = 0;
    virtual void StepCurrentBar() = 0;
    // AllProgressBar: range 0 to maximum, step 1.
    virtual void SetOverallBar(int position, int maximum) = 0;
    virtual void StepOverallBar() = 0;

    // Panel 0 of the status bar.
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    // CheckGroupBox.
    virtual void ShowProgressGroup(bool shown) = 0;
    // The speed of the running pass and the time its remaining files will take, inside the
    // progress group; empty texts while nothing is known yet.
    virtual void SetPassRate(const std::string& speed, const std::string& timeLeft) = 0;

    // The command set, switched as a whole.
    virtual void DisableCommands() = 0;
    virtual void EnableCommands() = 0;
    // SaveMenu and SaveToolBtn; clearing the list disables the tool button only.
    virtual void EnableSaveCommands() = 0;
    virtual void DisableSaveToolButton() = 0;

    // Gives every entry of the check list its icon; part of the intake closing step.
    virtual void RefreshEntryIcons() = 0;
};
