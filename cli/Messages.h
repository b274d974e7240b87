// Standard error: messages in coreutils' form ("quorvex: NAME: reason") and, when asked for, the
// progress line, which stands in place and is wiped before any message so the two never mix.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

class Messages {
public:
    explicit Messages(int fd);

    // Called before each message, so that results written earlier come first also when both
    // outputs go to one file (2>&1), as coreutils flushes its standard output before a message.
    // Called on the thread that says the message, outside any lock.
    void SetBeforeMessage(std::function<void()> beforeMessage) { beforeMessage_ = std::move(beforeMessage); }

    // "quorvex: NAME: reason", the name quoted as coreutils quotes it.
    void FileProblem(std::string_view name, std::string_view reason);
    // "quorvex: text".
    void Say(std::string_view text);

    // Replaces the progress line; the text must hold no line end.
    void ShowProgress(std::string_view line);
    void ClearProgress();
    // Runs write (results going to the same terminal) with the progress line wiped first, so
    // that a result never lands at the end of the progress line; the next draw brings it back.
    void WithProgressHidden(const std::function<void()>& write);

private:
    void WriteAll(std::string_view text);
    void ClearProgressLocked();

    int fd_;
    std::function<void()> beforeMessage_;
    std::mutex mutex_;
    bool progressShown_ = false;
};
