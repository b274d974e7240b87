// Holds a tree walk at its Nth file until the test lets it go, so that a stop comes while the
// walk's thread cannot move. What the gate waits on is shared with the walk's own copy of the
// gate: a walk left behind after a stop never touches a test that has ended.
#pragma once

#include "checking/TreeIntake.h"

#include <condition_variable>
#include <memory>
#include <mutex>

class WalkGate {
public:
    explicit WalkGate(int holdAt) : state_(std::make_shared<State>()) { state_->HoldAt = holdAt; }
    // Releases a walk still held, so that its thread can end.
    ~WalkGate() { Release(); }
    WalkGate(const WalkGate&) = delete;
    WalkGate& operator=(const WalkGate&) = delete;

    TreeWalk::FileGate Gate() const
    {
        return [state = state_](const std::string&) {
            std::unique_lock lock(state->Mutex);
            if (++state->Visited == state->HoldAt) {
                state->Changed.notify_all();
                state->Changed.wait(lock, [&] { return state->Released; });
            }
        };
    }
    void AwaitHeld()
    {
        std::unique_lock lock(state_->Mutex);
        state_->Changed.wait(lock, [&] { return state_->Visited >= state_->HoldAt; });
    }
    void Release()
    {
        {
            const std::lock_guard lock(state_->Mutex);
            state_->Released = true;
        }
        state_->Changed.notify_all();
    }

private:
    struct State {
        std::mutex Mutex;
        std::condition_variable Changed;
        int Visited = 0;
        int HoldAt = 0;
        bool Released = false;
    };
    std::shared_ptr<State> state_;
};
