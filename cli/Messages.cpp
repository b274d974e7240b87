#include "cli/Messages.h"

#include "cli/CommandLine.h"
#include "cli/QuotedName.h"

#include <cerrno>

#include <unistd.h>

Messages::Messages(int fd) : fd_(fd) {}

void Messages::FileProblem(std::string_view name, std::string_view reason)
{
    Say(QuotedName(name) + ": " + std::string(reason));
}

void Messages::Say(std::string_view text)
{
    if (beforeMessage_)
        beforeMessage_();
    std::lock_guard lock(mutex_);
    ClearProgressLocked();
    std::string line = std::string(kProgramName) + ": ";
    line += text;
    line += '\n';
    WriteAll(line);
}

void Messages::ShowProgress(std::string_view line)
{
    std::lock_guard lock(mutex_);
    // Back to the start of the line, the new text, and the rest of the old one erased.
    std::string text = "\r";
    text += line;
    text += "\x1b[K";
    WriteAll(text);
    progressShown_ = true;
}

void Messages::ClearProgress()
{
    std::lock_guard lock(mutex_);
    ClearProgressLocked();
}

void Messages::WithProgressHidden(const std::function<void()>& write)
{
    std::lock_guard lock(mutex_);
    ClearProgressLocked();
    write();
}

void Messages::ClearProgressLocked()
{
    if (!progressShown_)
        return;
    WriteAll("\r\x1b[K");
    progressShown_ = false;
}

void Messages::WriteAll(std::string_view text)
{
    // Nothing can be done about a standard error that takes nothing; the exit status still tells.
    while (!text.empty()) {
        const ssize_t n = ::write(fd_, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        text.remove_prefix(static_cast<size_t>(n));
    }
}
