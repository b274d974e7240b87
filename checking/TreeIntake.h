// "添加文件夹及子文件夹": every regular file below the chosen folders, in the order the command
// line's -r walks them, found on a thread of its own so the window stays live. The window takes
// what was found in batches; a stop ends the intake at once and keeps what was taken, even when
// the walk is stuck in a folder that does not answer (that thread is left behind and ends on its
// own, touching nothing of the window's).
#pragma once

#include "checking/Intake.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What the walk could not take: subfolders that could not be read (with the system's reason)
// and special files (FIFOs, sockets, devices), which are never files of a folder.
struct TreeIntakeReport {
    std::vector<IntakeRefusal> Unreadable;
    size_t SpecialFiles = 0;
    bool Stopped = false;

    // The one box at the end; "" when there is nothing to tell. At most kNamedFolders folders
    // are named, the count says how many there were.
    static constexpr size_t kNamedFolders = 20;
    std::string ErrorText() const;
};

// The status text while the walk runs: "正在添加文件…已添加 1234 个".
std::string TreeIntakeStatusText(size_t taken);

class TreeWalk {
public:
    // Called on the walk's thread before each file is visited; for tests that hold the walk
    // at a known place.
    using FileGate = std::function<void(const std::string& path)>;

    // The entries are made on the walk's thread, sizes written with the decimal separator.
    TreeWalk(std::vector<std::string> folders, std::string decimalSeparator, FileGate gate = {});
    // Stops the walk and returns at once.
    ~TreeWalk();
    TreeWalk(const TreeWalk&) = delete;
    TreeWalk& operator=(const TreeWalk&) = delete;

    // More folders, walked after those given so far (a second request while this one runs).
    void Add(std::vector<std::string> folders);
    // Ends the walk: Take then gives what was found before it, and finished.
    void Stop();
    // The entries of the files found since the last call, in walk order, pending; finished
    // once the walk has ended (or was stopped) and everything it found was taken.
    std::vector<CheckEntry> Take(bool& finished);
    // After finished: what could not be taken.
    TreeIntakeReport Report() const;

    struct State;  // shared with the walk's thread

private:
    std::shared_ptr<State> state_;
};
