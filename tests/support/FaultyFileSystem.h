// A file layer that passes everything to a real one, except the faults a test asks for: an open
// that fails, a read that fails, a read that comes up short (as if the file had shrunk), a read
// that waits at a gate, a size probe that waits at a gate, and a hook after a read. Safe to use
// from the hashing engine's threads.
#pragma once

#include "platform/FileSystem.h"
#include "tests/support/ReadGate.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

class FaultyFileSystem : public FileSystem {
public:
    explicit FaultyFileSystem(FileSystem& real) : real_(real) {}

    // Every open of the path (and its size probe) fails with the reason; the file still exists.
    void FailOpen(const std::string& path, const std::string& reason = "Permission denied");
    // The nth read (from 1) of every opening of the path throws with the reason.
    void FailRead(const std::string& path, int nth, const std::string& reason = "Input/output error");
    // The nth read of every opening of the path delivers at most bytes; the file ends there.
    void ShortRead(const std::string& path, int nth, size_t bytes);
    // The nth read of every opening of the path waits until the gate opens.
    void HoldRead(const std::string& path, int nth, std::shared_ptr<ReadGate> gate);
    // Every size probe of the path waits until the gate opens, as an open on a hung share does.
    void HoldProbe(const std::string& path, std::shared_ptr<ReadGate> gate);
    // Runs after the nth read of every opening of the path, on the thread that read.
    void AfterRead(const std::string& path, int nth, std::function<void()> hook);

    // How often the path was opened, and read over all its openings.
    int Opens(const std::string& path) const;
    int Reads(const std::string& path) const;

    bool FileExists(const std::string& path) override { return real_.FileExists(path); }
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override;
    bool FolderExists(const std::string& path) override { return real_.FolderExists(path); }
    std::vector<FolderItem> ScanFolder(const std::string& folder) override
    {
        return real_.ScanFolder(folder);
    }
    int64_t ProbeSize(const std::string& path) override;

    // What an opened file keeps of its path's faults: a copy, so that a read left behind by a
    // stopped pass touches nothing of the file layer; the counters are shared.
    struct Faults {
        std::string openFailure;  // empty: the open succeeds
        int failingRead = 0;      // 0: none
        std::string readFailure;
        int shortRead = 0;  // 0: none
        size_t shortBytes = 0;
        int heldRead = 0;
        std::shared_ptr<ReadGate> gate;
        int hookedRead = 0;
        std::function<void()> hook;
        std::shared_ptr<ReadGate> probeGate;
        std::shared_ptr<std::atomic<int>> opens = std::make_shared<std::atomic<int>>(0);
        std::shared_ptr<std::atomic<int>> reads = std::make_shared<std::atomic<int>>(0);
    };

private:
    Faults& FaultsOf(const std::string& path);  // under m_

    FileSystem& real_;
    mutable std::mutex m_;
    std::map<std::string, Faults> faults_;
};
