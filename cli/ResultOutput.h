// Standard output, where the results go and nothing else. Text is added in whole lines and
// written in large pieces; a failed write is reported once ("quorvex: write error: No space left
// on device") and ends the output, so a result is never presented cut short.
#pragma once

#include "hashing/HashingEngine.h"

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

class Messages;

class ResultOutput {
public:
    // lineEnd ends each line: a line feed, or NUL for --zero.
    ResultOutput(int fd, Messages& messages, char lineEnd = '\n');
    ~ResultOutput();
    ResultOutput(const ResultOutput&) = delete;
    ResultOutput& operator=(const ResultOutput&) = delete;

    // One or more complete lines. Written at once on a terminal, and otherwise when enough has
    // gathered or when the last write is a while ago, so a reader at the other end of a pipe
    // sees results as they come.
    void Add(std::string_view lines);
    // Writes what is waiting; false when the output has failed (now or before).
    bool Flush();
    // A write failed: nothing more is written, and the program ends with status 1.
    bool Failed() const { return failed_; }

private:
    void Write();
    // Writes pending_ from written on; the system's error number when a write fails, else 0.
    int WriteAll(size_t& written);
    void WriteFailed(int error, size_t writtenOfPending);

    int fd_;
    Messages& messages_;
    char lineEnd_;
    bool terminal_;
    bool failed_ = false;
    std::string pending_;
    std::chrono::steady_clock::time_point lastWrite_;
};

// A run's results in list order, for writing them out as they come.
class ResultStream {
public:
    ResultStream(HashingRun& run, ResultOutput& output) : run_(run), output_(output) {}

    // The next result; nullopt after the last. Whatever is ready is taken at once, so a run of
    // small files does not wake this thread once per file; when nothing is, the output waiting
    // goes out first, so a reader at the other end of a pipe sees every finished result while
    // a long file is hashed.
    std::optional<HashResult> Next();
    // The next result if it is ready; nothing otherwise, at once.
    std::optional<HashResult> NextIfReady();

private:
    HashingRun& run_;
    ResultOutput& output_;
    std::deque<HashResult> ready_;
};
