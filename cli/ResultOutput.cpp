#include "cli/ResultOutput.h"

#include "cli/Messages.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kWriteBytes = 64 * 1024;
constexpr auto kLongestWait = std::chrono::milliseconds(200);

}  // namespace

ResultOutput::ResultOutput(int fd, Messages& messages, char lineEnd)
    : fd_(fd), messages_(messages), lineEnd_(lineEnd), terminal_(::isatty(fd) == 1),
      lastWrite_(std::chrono::steady_clock::now())
{
    pending_.reserve(kWriteBytes * 2);
    messages_.SetBeforeMessage([this] { Flush(); });
}

ResultOutput::~ResultOutput()
{
    messages_.SetBeforeMessage({});
    Flush();
}

void ResultOutput::Add(std::string_view lines)
{
    if (failed_)
        return;
    pending_.append(lines);
    if (terminal_ || pending_.size() >= kWriteBytes ||
        std::chrono::steady_clock::now() - lastWrite_ >= kLongestWait)
        Write();
}

bool ResultOutput::Flush()
{
    if (!failed_ && !pending_.empty())
        Write();
    return !failed_;
}

void ResultOutput::Write()
{
    int error = 0;
    size_t written = 0;
    const auto write = [&] { error = WriteAll(written); };
    if (terminal_)
        messages_.WithProgressHidden(write);
    else
        write();
    if (error != 0) {
        WriteFailed(error, written);
        return;
    }
    pending_.clear();
    lastWrite_ = std::chrono::steady_clock::now();
}

int ResultOutput::WriteAll(size_t& written)
{
    while (written < pending_.size()) {
        const ssize_t n = ::write(fd_, pending_.data() + written, pending_.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        written += static_cast<size_t>(n);
    }
    return 0;
}

void ResultOutput::WriteFailed(int error, size_t writtenOfPending)
{
    failed_ = true;
    // A file on a full disk may have taken part of a line; cut it back to the last whole line,
    // so what is left there reads as complete results only.
    const size_t lastLineEnd = pending_.rfind(lineEnd_, writtenOfPending == 0 ? 0 : writtenOfPending - 1);
    const size_t partial = writtenOfPending == 0              ? 0
                           : lastLineEnd == std::string::npos ? writtenOfPending
                                                              : writtenOfPending - lastLineEnd - 1;
    struct stat st;
    if (partial > 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) {
        const off_t end = ::lseek(fd_, 0, SEEK_CUR);
        if (end >= static_cast<off_t>(partial) && ::ftruncate(fd_, end - static_cast<off_t>(partial)) != 0)
            messages_.Say(std::string("the last line written is cut: ") + std::strerror(errno));
    }
    pending_.clear();
    // The reader has gone away (quorvex ... | head -1): that is its choice, not a fault to
    // report. SIGPIPE ends the program first unless it is ignored.
    if (error != EPIPE)
        messages_.Say(std::string("write error: ") + std::strerror(error));
}

std::optional<HashResult> ResultStream::NextIfReady()
{
    if (ready_.empty())
        for (HashResult& result : run_.TakeResults())
            ready_.push_back(std::move(result));
    if (ready_.empty())
        return std::nullopt;
    HashResult next = std::move(ready_.front());
    ready_.pop_front();
    return next;
}

std::optional<HashResult> ResultStream::Next()
{
    if (std::optional<HashResult> next = NextIfReady())
        return next;
    // What is written so far is shown when the next result is long in coming (a large or slow
    // file), not before every wait: that would be a write per small file.
    if (!run_.AwaitResult(kLongestWait))
        output_.Flush();
    return run_.Wait();
}
