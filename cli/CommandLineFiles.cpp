#include "cli/CommandLineFiles.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

class AtItsEnd : public InputFile {
public:
    int64_t Size() const override { return 0; }
    size_t Read(void*, size_t) override { return 0; }
};

class StandardInput : public InputFile {
public:
    int64_t Size() const override { return 0; }

    size_t Read(void* buffer, size_t size) override
    {
        auto* p = static_cast<char*>(buffer);
        size_t done = 0;
        // A pipe delivers what its writer wrote so far; only 0 means the end.
        while (done < size) {
            const ssize_t n = ::read(STDIN_FILENO, p + done, size - done);
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
};

}  // namespace

bool CommandLineFiles::FileExists(const std::string& path)
{
    return path == kStandardInputName || files_.FileExists(path);
}

std::unique_ptr<InputFile> CommandLineFiles::OpenForReading(const std::string& path)
{
    if (path != kStandardInputName)
        return files_.OpenForReading(path);
    if (::fcntl(STDIN_FILENO, F_GETFL) < 0)
        throw FileError(std::strerror(errno));
    if (standardInputTaken_.exchange(true))
        return std::make_unique<AtItsEnd>();
    // Read ahead: standard input is read from start to end like any file.
    ::posix_fadvise(STDIN_FILENO, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::make_unique<StandardInput>();
}
