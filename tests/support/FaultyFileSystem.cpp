#include "tests/support/FaultyFileSystem.h"

#include <algorithm>

namespace {

class FaultyFile : public InputFile {
public:
    FaultyFile(std::unique_ptr<InputFile> real, FaultyFileSystem::Faults faults)
        : real_(std::move(real)), faults_(std::move(faults))
    {
    }

    int64_t Size() const override { return real_->Size(); }

    size_t Read(void* buffer, size_t size) override
    {
        ++*faults_.reads;
        ++reads_;
        if (reads_ == faults_.heldRead && faults_.gate)
            faults_.gate->Pass();
        if (ended_)
            return 0;
        if (reads_ == faults_.failingRead)
            throw FileError(faults_.readFailure);
        size_t n = 0;
        if (reads_ == faults_.shortRead) {
            ended_ = true;
            n = real_->Read(buffer, std::min(size, faults_.shortBytes));
        } else {
            n = real_->Read(buffer, size);
        }
        if (reads_ == faults_.hookedRead && faults_.hook)
            faults_.hook();
        return n;
    }

private:
    std::unique_ptr<InputFile> real_;
    FaultyFileSystem::Faults faults_;
    int reads_ = 0;
    bool ended_ = false;
};

}  // namespace

FaultyFileSystem::Faults& FaultyFileSystem::FaultsOf(const std::string& path) { return faults_[path]; }

void FaultyFileSystem::FailOpen(const std::string& path, const std::string& reason)
{
    std::lock_guard<std::mutex> lock(m_);
    FaultsOf(path).openFailure = reason;
}

void FaultyFileSystem::FailRead(const std::string& path, int nth, const std::string& reason)
{
    std::lock_guard<std::mutex> lock(m_);
    FaultsOf(path).failingRead = nth;
    FaultsOf(path).readFailure = reason;
}

void FaultyFileSystem::ShortRead(const std::string& path, int nth, size_t bytes)
{
    std::lock_guard<std::mutex> lock(m_);
    FaultsOf(path).shortRead = nth;
    FaultsOf(path).shortBytes = bytes;
}

void FaultyFileSystem::HoldRead(const std::string& path, int nth, std::shared_ptr<ReadGate> gate)
{
    std::lock_guard<std::mutex> lock(m_);
    FaultsOf(path).heldRead = nth;
    FaultsOf(path).gate = std::move(gate);
}

void FaultyFileSystem::AfterRead(const std::string& path, int nth, std::function<void()> hook)
{
    std::lock_guard<std::mutex> lock(m_);
    FaultsOf(path).hookedRead = nth;
    FaultsOf(path).hook = std::move(hook);
}

int FaultyFileSystem::Opens(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(m_);
    auto it = faults_.find(path);
    return it == faults_.end() ? 0 : it->second.opens->load();
}

int FaultyFileSystem::Reads(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(m_);
    auto it = faults_.find(path);
    return it == faults_.end() ? 0 : it->second.reads->load();
}

std::unique_ptr<InputFile> FaultyFileSystem::OpenForReading(const std::string& path)
{
    Faults faults;
    {
        std::lock_guard<std::mutex> lock(m_);
        faults = FaultsOf(path);
    }
    ++*faults.opens;
    if (!faults.openFailure.empty())
        throw FileError(faults.openFailure);
    return std::make_unique<FaultyFile>(real_.OpenForReading(path), std::move(faults));
}

int64_t FaultyFileSystem::ProbeSize(const std::string& path)
{
    std::shared_ptr<ReadGate> gate;
    {
        std::lock_guard<std::mutex> lock(m_);
        auto it = faults_.find(path);
        if (it != faults_.end() && !it->second.openFailure.empty())
            throw FileError(it->second.openFailure);
        if (it != faults_.end())
            gate = it->second.probeGate;
    }
    // Outside the lock: the other paths go on while this probe waits.
    if (gate)
        gate->Pass();
    return real_.ProbeSize(path);
}

void FaultyFileSystem::HoldProbe(const std::string& path, std::shared_ptr<ReadGate> gate)
{
    std::lock_guard<std::mutex> lock(m_);
    FaultsOf(path).probeGate = std::move(gate);
}
