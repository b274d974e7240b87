#include "cli/CommandLineFiles.h"

#include <cerrno>
#include <charconv>
#include <cstring>

#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class AtItsEnd : public InputFile {
public:
    int64_t Size() const override { return 0; }
    size_t Read(void*, size_t) override { return 0; }
};

// A descriptor read to its end: standard input (never closed), or a copy of a pipe that the
// program was handed (closed with the object).
class DescriptorInput : public InputFile {
public:
    DescriptorInput(int fd, bool owned) : fd_(fd), owned_(owned) {}
    ~DescriptorInput() override
    {
        if (owned_)
            ::close(fd_);
    }
    DescriptorInput(const DescriptorInput&) = delete;
    DescriptorInput& operator=(const DescriptorInput&) = delete;

    int64_t Size() const override { return 0; }

    size_t Read(void* buffer, size_t size) override
    {
        auto* p = static_cast<char*>(buffer);
        size_t done = 0;
        // A pipe delivers what its writer wrote so far; only 0 means the end.
        while (done < size) {
            const ssize_t n = ::read(fd_, p + done, size - done);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                throw FileError(std::strerror(errno));
            }
            if (n == 0)
                break;
            done += static_cast<size_t>(n);
        }
        return done;
    }

private:
    int fd_;
    bool owned_;
};

// The descriptor a name such as "/dev/fd/63" or "/proc/self/fd/63" stands for (bash's <(...)),
// and "/dev/stdin"; -1 for any other name.
int HeldDescriptor(const std::string& path)
{
    if (path == "/dev/stdin")
        return STDIN_FILENO;
    for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (path.compare(0, prefix.size(), prefix) != 0)
            continue;
        const char* const end = path.data() + path.size();
        int fd = -1;
        const auto [stop, failure] = std::from_chars(path.data() + prefix.size(), end, fd);
        return failure == std::errc() && stop == end && fd >= 0 ? fd : -1;
    }
    return -1;
}

bool IsPipe(int fd)
{
    struct stat st;
    return ::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode);
}

}  // namespace

bool CommandLineFiles::FileExists(const std::string& path)
{
    return path == kStandardInputName || files_.FileExists(path) || IsPipe(HeldDescriptor(path));
}

std::unique_ptr<InputFile> CommandLineFiles::OpenForReading(const std::string& path)
{
    const int held = HeldDescriptor(path);
    if (held == STDIN_FILENO && IsPipe(STDIN_FILENO))
        return OpenForReading(kStandardInputName);
    // A pipe the shell opened for this program has its writer already: it is read like
    // standard input, not refused as a named FIFO without a writer would be.
    if (held > STDIN_FILENO && IsPipe(held)) {
        const int copy = ::fcntl(held, F_DUPFD_CLOEXEC, 0);
        if (copy < 0)
            throw FileError(std::strerror(errno));
        return std::make_unique<DescriptorInput>(copy, true);
    }
    if (path != kStandardInputName)
        return files_.OpenForReading(path);
    if (::fcntl(STDIN_FILENO, F_GETFL) < 0)
        throw FileError(std::strerror(errno));
    if (standardInputTaken_.exchange(true))
        return std::make_unique<AtItsEnd>();
    // Read ahead: standard input is read from start to end like any file.
    ::posix_fadvise(STDIN_FILENO, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::make_unique<DescriptorInput>(STDIN_FILENO, false);
}
