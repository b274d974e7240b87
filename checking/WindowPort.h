// What the checking core asks of the window. The Qt window implements it; tests use a
// recording implementation. Nothing here knows about widgets.
#pragma once

#include <string>

struct SumImportReport;

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
    // Switches the command set off as DisableCommands does, keeping the state of each command;
    // ReleaseCommands puts every one back as it was. A sum-file import holds the set.
    virtual void HoldCommands() { DisableCommands(); }
    virtual void ReleaseCommands() { EnableCommands(); }
    // The text panel 0 shows now: an import puts it back when it has taken nothing in.
    virtual std::string ShownStatusText() const { return {}; }
    // SaveMenu and SaveToolBtn; clearing the list disables the tool button only.
    virtual void EnableSaveCommands() = 0;
    virtual void DisableSaveToolButton() = 0;

    // Gives every entry of the check list its icon; part of the intake closing step.
    virtual void RefreshEntryIcons() = 0;

    // A pass has ended and its verdicts are in the list: the window may look at the new results
    // once more (the comparison with one digest does). Nothing by default.
    virtual void PassEnded() {}
    // An import begun with Checker::StartSumImport has ended and its entries are in the list:
    // the window shows what the report tells. Not called for an import stopped before its sum
    // file was read. Nothing by default.
    virtual void SumImportEnded(const SumImportReport& report) { (void)report; }
};
