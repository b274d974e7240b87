// One calculation pass: the pending entries of the list go to the hashing engine, which reads
// them on its own threads; on the window's thread, whenever the window delivers, the finished
// files get their root node and result lines in list order, the bars and the speed follow, and
// after the last file (or a stop) the window is restored and duplicates are coloured.
#pragma once

#include "checking/AlgorithmSelection.h"
#include "checking/CheckList.h"
#include "checking/ResultTree.h"
#include "checking/WindowPort.h"
#include "hashing/HashingEngine.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

struct PassParts {
    CheckList& List;
    ResultTree& Tree;
    WindowPort& Window;
    FileAccess& Files;
    const AlgorithmSelection& Selection;
};

inline const std::string kStatusCalculating = "正在计算，请稍候。";
inline const std::string kStatusFinished = "计算完毕";
inline const std::string kStatusStopped = "计算已停止";

// The overall bar counts one step per entry; a list too long for the bar's range fills it.
int OverallBarMaximum(size_t entries);

// The current-file bar's position: the whole percents of the file read so far, 0 to 100. It
// only counts up to a percent once it is reached, so a bar never shows more than was read.
int CurrentFilePercent(int64_t bytesRead, int64_t size);

// "12.3 MB/s" (10^6 bytes), and a time left as "剩余时间：" with hours, minutes and seconds.
std::string SpeedText(double bytesPerSecond);
std::string TimeLeftText(double seconds);

class CalculationPass {
public:
    // Shows the pass in the window, clears the tree and starts hashing the entries that the list
    // holds now and that are pending; entries appended later wait for the next pass. A pass with
    // nothing to hash has ended when this returns.
    CalculationPass(const PassParts& parts, HashingOptions options);
    // A pass destroyed while it runs stops its hashing without waiting for it.
    ~CalculationPass();
    CalculationPass(const CalculationPass&) = delete;
    CalculationPass& operator=(const CalculationPass&) = delete;

    bool Ended() const { return ended_; }
    // Applies the results that are ready, moves the bars and the rate, and ends the pass after
    // its last file. A failure that escapes (a view that throws) ends it too, with the window
    // restored, and goes on to the caller.
    void Deliver();
    // Stops the hashing: the files finished so far keep their nodes, the others stay pending;
    // then the pass ends as a finished one does, with the status "计算已停止".
    void Stop();

private:
    void Deliver(bool sliced);
    void Apply(const std::vector<HashResult>& batch);
    void ShowFinished();
    void ShowProgress();
    void End(const std::string& status);
    void Abandon();

    PassParts parts_;
    const DigestSet chosen_;
    const int maximum_;
    std::vector<size_t> entries_;  // the list index of each file given to the engine
    std::vector<std::string> captions_;
    int64_t bytesToRead_ = 0;
    std::unique_ptr<HashingRun> run_;
    bool ended_ = false;
    size_t applied_ = 0;
    std::vector<ResultRoot> finished_;  // nodes not yet in the tree
    int shownPercent_ = 0;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point rateShown_;
    std::chrono::steady_clock::time_point finishedShown_;
};
