// What the algorithm paths see of a running pass: the window's event pump and current-file
// bar, the current result node of the result tree, and the files.
#pragma once

#include "checking/ResultTree.h"
#include "checking/WindowPort.h"
#include "checksums/AlgorithmPath.h"

class PassContext : public PathContext {
public:
    PassContext(WindowPort& window, ResultTree& tree, FileAccess& files)
        : window_(window), tree_(tree), files_(files)
    {
    }

    FileAccess& Files() override { return files_; }
    void LetEventsRun() override { window_.LetEventsRun(); }
    void SetCurrentBar(int position) override { window_.SetCurrentBar(position); }
    void StepCurrentBar() override { window_.StepCurrentBar(); }
    // The current result node is the last root: only the pass adds roots while it runs.
    void AppendResultLine(const std::string& text) override { tree_.AppendLine(text); }

private:
    WindowPort& window_;
    ResultTree& tree_;
    FileAccess& files_;
};
