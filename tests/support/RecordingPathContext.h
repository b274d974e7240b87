// A PathContext that records what an algorithm path did: its result lines, the bar and the
// event pump. The hook runs inside LetEventsRun, where a window would run a user's commands, so
// a test can change the file between two blocks.
#pragma once

#include "checksums/AlgorithmPath.h"

#include <functional>
#include <string>
#include <vector>

class RecordingPathContext : public PathContext {
public:
    explicit RecordingPathContext(FileAccess& files) : files_(files) {}

    FileAccess& Files() override { return files_; }
    void LetEventsRun() override
    {
        ++EventRuns;
        if (OnEvents)
            OnEvents(EventRuns);
    }
    void SetCurrentBar(int position) override
    {
        ++BarSets;
        BarPosition = position;
    }
    void StepCurrentBar() override
    {
        ++BarSteps;
        ++BarPosition;
    }
    void AppendResultLine(const std::string& text) override { Lines.push_back(text); }

    std::vector<std::string> Lines;
    int EventRuns = 0;
    int BarSets = 0;
    int BarSteps = 0;
    int BarPosition = -1;  // -1: never set
    std::function<void(int eventRun)> OnEvents;

private:
    FileAccess& files_;
};
