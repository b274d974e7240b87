#include "tests/support/FaultyFileSystem.h"

#include <algorithm>

namespace {

class FaultyFile : public InputFile {
public:
    FaultyFile(std::unique_ptr<InputFile> real, FaultyFileSystem::Faults& faults)
        : real_(std::move(real)), faults_(faults)
    {
    }

    int64_t Size() const override { return real_->Size(); }

    size_t Read(void* buffer, size_t size) override
    {
        ++faults_.reads;
        ++reads_;
        if (ended_)
            return 0;
        if (reads_ == faults_.failingRead)
            throw FileError(faults_.readFailure);
        if (reads_ == faults_.shortRead) {
            ended_ = true;
            return real_->Read(buffer, std::min(size, faults_.shortBytes));
        }
        return real_->Read(buffer, size);
    }

private:
    std::unique_ptr<InputFile> real_;
    FaultyFileSystem::Faults& faults_;
    int reads_ = 0;
    bool ended_ = false;
};

}  // namespace

void FaultyFileSystem::FailOpen(const std::string& path, const std::string& reason)
{
    faults_[path].openFailure = reason;
}

void FaultyFileSystem::FailRead(const std::string& path, int nth, const std::string& reason)
{
    faults_[path].failingRead = nth;
    faults_[path].readFailure = reason;
}

void FaultyFileSystem::ShortRead(const std::string& path, int nth, size_t bytes)
{
    faults_[path].shortRead = nth;
    faults_[path].shortBytes = bytes;
}

int FaultyFileSystem::Opens(const std::string& path) const
{
    auto it = faults_.find(path);
    return it == faults_.end() ? 0 : it->second.opens;
}

int FaultyFileSystem::Reads(const std::string& path) const
{
    auto it = faults_.find(path);
    return it == faults_.end() ? 0 : it->second.reads;
}

std::unique_ptr<InputFile> FaultyFileSystem::OpenForReading(const std::string& path)
{
    Faults& faults = faults_[path];
    ++faults.opens;
    if (!faults.openFailure.empty())
        throw FileError(faults.openFailure);
    return std::make_unique<FaultyFile>(real_.OpenForReading(path), faults);
}

int64_t FaultyFileSystem::ProbeSize(const std::string& path)
{
    auto it = faults_.find(path);
    if (it != faults_.end() && !it->second.openFailure.empty())
        throw FileError(it->second.openFailure);
    return real_.ProbeSize(path);
}
