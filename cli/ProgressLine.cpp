#include "cli/ProgressLine.h"

#include "checking/ResultExport.h"
#include "cli/Messages.h"
#include "hashing/HashingEngine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <utility>
#include <vector>

#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr auto kRedraw = std::chrono::milliseconds(250);
// The first draw waits a little, so a run that ends at once leaves no trace.
constexpr auto kFirstDraw = std::chrono::milliseconds(500);

unsigned TerminalColumns()
{
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

// Columns a UTF-8 character takes, as far as the locale knows it; 1 where it does not.
int Columns(std::string_view utf8, size_t at, size_t& length)
{
    std::mbstate_t state{};
    wchar_t wide = 0;
    const size_t n = std::mbrtowc(&wide, utf8.data() + at, utf8.size() - at, &state);
    if (n == 0 || n > utf8.size() - at) {
        length = 1;
        return 1;
    }
    length = n;
    const int width = ::wcwidth(wide);
    return width < 0 ? 1 : width;
}

// The end of the name that fits in the columns, with "..." in front when it was cut.
std::string FittedName(const std::string& name, unsigned columns)
{
    std::vector<std::pair<size_t, int>> characters;  // offset, columns
    int total = 0;
    for (size_t at = 0, length = 0; at < name.size(); at += length) {
        const int width = Columns(name, at, length);
        characters.emplace_back(at, width);
        total += width;
    }
    if (total <= static_cast<int>(columns))
        return name;
    if (columns <= 3)
        return std::string(columns, '.');
    int kept = 0;
    size_t from = name.size();
    for (auto it = characters.rbegin(); it != characters.rend(); ++it) {
        if (kept + it->second > static_cast<int>(columns) - 3)
            break;
        kept += it->second;
        from = it->first;
    }
    return "..." + name.substr(from);
}

std::string Duration(double seconds)
{
    const long total = static_cast<long>(seconds + 0.5);
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

}  // namespace

std::string ProgressText(size_t filesDone, size_t fileCount, const std::string& name, int64_t fileRead,
                         int64_t fileSize, double bytesPerSecond, double secondsLeft, unsigned columns)
{
    char counts[48];
    std::snprintf(counts, sizeof counts, "[%zu/%zu] ", filesDone, fileCount);
    std::string tail;
    if (fileSize > 0) {
        char percent[16];
        std::snprintf(percent, sizeof percent, "  %3d%%",
                      static_cast<int>(std::min<int64_t>(100, fileRead * 100 / fileSize)));
        tail += percent;
    }
    char speed[32];
    std::snprintf(speed, sizeof speed, "  %.1f MB/s", bytesPerSecond / 1e6);
    tail += speed;
    if (secondsLeft >= 0)
        tail += "  " + Duration(secondsLeft) + " left";

    const std::string oneLine = OneLineNodeText(name);
    const size_t fixed = std::string_view(counts).size() + tail.size();
    // One column to spare: a line that fills the terminal exactly wraps on some of them.
    const unsigned room = columns > fixed + 1 ? columns - static_cast<unsigned>(fixed) - 1 : 0;
    return counts + FittedName(oneLine, room) + tail;
}

ProgressLine::ProgressLine(Messages& messages, const HashingRun& run,
                           std::function<std::string(size_t)> nameOf, int64_t totalBytes)
    : messages_(messages), run_(run), nameOf_(std::move(nameOf)), totalBytes_(totalBytes)
{
    thread_ = std::thread([this] {
        const auto start = std::chrono::steady_clock::now();
        std::unique_lock lock(mutex_);
        if (stop_.wait_for(lock, kFirstDraw, [this] { return stopping_; }))
            return;
        do {
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            Draw(elapsed.count());
        } while (!stop_.wait_for(lock, kRedraw, [this] { return stopping_; }));
    });
}

ProgressLine::~ProgressLine()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_all();
    thread_.join();
    messages_.ClearProgress();
}

void ProgressLine::Draw(double seconds)
{
    const HashingProgress progress = run_.Progress();
    const size_t count = run_.FileCount();
    if (progress.CurrentIndex >= count)
        return;
    const double speed = seconds > 0 ? static_cast<double>(progress.BytesRead) / seconds : 0;
    double left = -1;
    if (totalBytes_ > 0 && speed > 0)
        left = static_cast<double>(std::max<int64_t>(0, totalBytes_ - progress.BytesRead)) / speed;
    messages_.ShowProgress(ProgressText(progress.FilesFinished, count, nameOf_(progress.CurrentIndex),
                                        progress.CurrentBytesRead, progress.CurrentSize, speed, left,
                                        TerminalColumns()));
}
