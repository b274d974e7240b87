// The progress line on standard error while a run hashes: the file being read, how far, the
// speed and the time left, redrawn in place a few times a second by a thread of its own and
// wiped when the run ends.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class HashingRun;
class Messages;

class ProgressLine {
public:
    // nameOf gives the name of the file at an index of the run's list; totalBytes is what the
    // whole run is expected to read (0 when unknown: no time left is shown).
    ProgressLine(Messages& messages, const HashingRun& run, std::function<std::string(size_t)> nameOf,
                 int64_t totalBytes);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

private:
    void Draw(double seconds);

    Messages& messages_;
    const HashingRun& run_;
    std::function<std::string(size_t)> nameOf_;
    int64_t totalBytes_;
    std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    std::thread thread_;
};

// The line itself, for a width in columns: "[3/120] NAME  45%  312.4 MB/s  0:03 left". The name
// is made one line of valid UTF-8 and cut from the left to fit.
std::string ProgressText(size_t filesDone, size_t fileCount, const std::string& name, int64_t fileRead,
                         int64_t fileSize, double bytesPerSecond, double secondsLeft, unsigned columns);
