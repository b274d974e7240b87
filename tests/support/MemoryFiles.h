// A file layer held in memory, for the hashing engine's tests: files with any content and any
// reported size, reads that fail, reads that block until the test lets them go, and files that
// never end. Blocked reads share their gate with the test, so a read left behind by a stopped run
// may wake after the test's objects are gone.
#pragma once

#include "platform/FileAccess.h"
#include "tests/support/ReadGate.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Counts the reads in progress at the same time over the files that share it.
struct ReadMeter {
    std::atomic<int> now{0};
    std::atomic<int> most{0};
};

struct MemoryFile {
    std::vector<uint8_t> content;
    int64_t reportedSize = -1;  // -1: the content's size
    bool exists = true;
    std::string openFailure;  // non-empty: the open throws it
    int failingRead = 0;      // the nth read (from 1) throws "Input/output error"
    int blockingRead = 0;     // the nth read waits at the gate first
    std::shared_ptr<ReadGate> gate;
    bool endless = false;      // after the content, every read brings more bytes
    bool outOfMemory = false;  // the size asked after the open throws std::bad_alloc
    std::shared_ptr<ReadMeter> meter;
    size_t viewedBytes = 0;  // the content up to here comes as views, as a mapped file's does
};

class MemoryFiles : public FileAccess {
public:
    MemoryFile& Add(const std::string& path, std::vector<uint8_t> content)
    {
        std::lock_guard<std::mutex> lock(m_);
        MemoryFile& file = files_[path];
        file.content = std::move(content);
        return file;
    }
    bool FileExists(const std::string& path) override
    {
        std::lock_guard<std::mutex> lock(m_);
        auto it = files_.find(path);
        return it != files_.end() && it->second.exists;
    }
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override
    {
        std::lock_guard<std::mutex> lock(m_);
        auto it = files_.find(path);
        if (it == files_.end() || !it->second.exists)
            throw FileError("No such file or directory");
        if (!it->second.openFailure.empty())
            throw FileError(it->second.openFailure);
        ++opens_;
        return std::make_unique<File>(it->second);
    }
    int Opens() const { return opens_.load(); }

private:
    class File : public InputFile {
    public:
        explicit File(const MemoryFile& file)
            : file_(file),
              viewed_(std::make_shared<std::vector<uint8_t>>(
                  file.content.begin(), file.content.begin() + static_cast<ptrdiff_t>(std::min(
                                                                   file.viewedBytes, file.content.size()))))
        {
        }
        int64_t Size() const override
        {
            if (file_.outOfMemory)
                throw std::bad_alloc();
            return file_.reportedSize >= 0 ? file_.reportedSize : static_cast<int64_t>(file_.content.size());
        }
        size_t Read(void* buffer, size_t size) override
        {
            ++reads_;
            if (file_.meter) {
                const int now = ++file_.meter->now;
                int most = file_.meter->most.load();
                while (now > most && !file_.meter->most.compare_exchange_weak(most, now)) {
                }
            }
            struct Leave {
                ReadMeter* meter;
                ~Leave()
                {
                    if (meter)
                        --meter->now;
                }
            } leave{file_.meter.get()};
            if (file_.meter)  // long enough for a second reader to show up if one may
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            if (reads_ == file_.blockingRead && file_.gate)
                file_.gate->Pass();
            if (reads_ == file_.failingRead)
                throw FileError("Input/output error");
            if (file_.endless) {
                std::memset(buffer, static_cast<int>(reads_ & 0xFF), size);
                return size;
            }
            const size_t n = std::min(size, file_.content.size() - at_);
            if (n > 0)  // an empty file's content may have no storage at all
                std::memcpy(buffer, file_.content.data() + at_, n);
            at_ += n;
            return n;
        }

        std::optional<FileView> View(size_t size) override
        {
            if (at_ >= viewed_->size())
                return std::nullopt;
            const size_t n = std::min(size, viewed_->size() - at_);
            FileView view{viewed_->data() + at_, n, viewed_};
            at_ += n;
            return view;
        }

    private:
        MemoryFile file_;  // a copy: a read left behind outlives the test's file layer
        std::shared_ptr<std::vector<uint8_t>> viewed_;  // kept by the views, which may outlive the file
        size_t at_ = 0;
        int reads_ = 0;
    };

    std::mutex m_;
    std::map<std::string, MemoryFile> files_;
    std::atomic<int> opens_{0};
};
