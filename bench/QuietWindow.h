// A window that shows nothing, for measuring the core alone. It plays the window's event loop
// for a pass: it waits for the hashing engine's delivery requests and delivers, a millisecond
// after each, as the window's single-shot delivery timer does.
#pragma once

#include "checking/Checker.h"
#include "checking/WindowPort.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class QuietWindow : public WindowPort {
public:
    void RequestPassDelivery() override
    {
        {
            std::lock_guard<std::mutex> lock(m_);
            ++requests_;
        }
        requested_.notify_all();
    }
    void SetCurrentBar(int) override {}
    void StepCurrentBar() override {}
    void SetOverallBar(int, int) override {}
    void StepOverallBar() override {}
    void SetStatusText(const std::string&) override {}
    void SetBusyCursor(bool) override {}
    void ShowProgressGroup(bool) override {}
    void SetPassRate(const std::string&, const std::string&) override {}
    void DisableCommands() override {}
    void EnableCommands() override {}
    void EnableSaveCommands() override {}
    void DisableSaveToolButton() override {}
    void RefreshEntryIcons() override {}

    // Starts a pass and delivers until it has ended.
    void RunPass(Checker& checker)
    {
        checker.Calculate();
        while (checker.PassRunning()) {
            {
                std::unique_lock<std::mutex> lock(m_);
                requested_.wait_for(lock, std::chrono::milliseconds(20), [&] { return requests_ != seen_; });
                seen_ = requests_;
            }
            // As the window's delivery timer does: a request is served a millisecond later, with
            // whatever has become ready meanwhile.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ++Deliveries;
            checker.DeliverPass();
        }
    }

    long Deliveries = 0;

private:
    std::mutex m_;
    std::condition_variable requested_;
    long requests_ = 0;
    long seen_ = 0;
};
