// A limit on a test's time for the tests with files whose reads never return.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

// Ends the test program when the test has not finished in time: a window or a dialog that reads
// a file whose read never returns fails instead of hanging the run.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit)
        : thread_([this, limit] {
              std::unique_lock lock(mutex_);
              if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
                  std::fprintf(stderr, "the test hung: a file whose reads never return was read\n");
                  std::_Exit(EXIT_FAILURE);
              }
          })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};
