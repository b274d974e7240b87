// A gate that holds the reads of a test's file until the test opens it: a read that does not
// return, as a file of /proc or a hung network share gives. Held by shared ownership, so that a
// read left behind by a stopped pass may pass it after the test's other objects are gone.
#pragma once

#include <condition_variable>
#include <mutex>

// Holds blocked reads until Open() is called.
class ReadGate {
public:
    void Open()
    {
        {
            std::lock_guard<std::mutex> lock(m_);
            open_ = true;
        }
        changed_.notify_all();
    }
    void Pass()
    {
        std::unique_lock<std::mutex> lock(m_);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return open_; });
        --waiting_;
    }
    // Waits until a read sits at the gate.
    void AwaitReader()
    {
        std::unique_lock<std::mutex> lock(m_);
        changed_.wait(lock, [&] { return waiting_ > 0 || open_; });
    }

private:
    std::mutex m_;
    std::condition_variable changed_;
    bool open_ = false;
    int waiting_ = 0;
};
