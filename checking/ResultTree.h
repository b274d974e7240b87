// The result tree: one root node per file that the latest pass processed, named after the file,
// and under it one result line per algorithm. Read in pre-order: a root, its lines, the next root.
// Beside its lines a root keeps what the engine found, for everything that reads digests: the
// lines are the window's text only and are never read back.
#pragma once

#include "sums/SumVerdict.h"

#include <cstddef>
#include <string>
#include <vector>

struct ResultRoot {
    std::string Text;  // the entry's caption
    size_t Entry;      // index in the check list of the entry this node was made for
    std::vector<std::string> Lines;
    // Full lower-case hex made from the digest bytes, the algorithms whose read failed, and
    // whether the engine found no file. Nothing for a root made from lines alone.
    ComputedDigests Digests;
};

// Told of every change twice, before the tree makes it and after, as Qt's models must tell their
// views; between the two calls the tree still reads as before.
class ResultTreeObserver {
public:
    virtual ~ResultTreeObserver() = default;
    // Roots first .. first + count - 1, each with its lines already under it.
    virtual void RootsAboutToBeAppended(size_t first, size_t count) = 0;
    virtual void RootsAppended(size_t first, size_t count) = 0;
    virtual void LineAboutToBeAppended(size_t root, size_t line) = 0;
    virtual void LineAppended(size_t root, size_t line) = 0;
    virtual void TreeAboutToBeCleared() = 0;
    virtual void TreeCleared() = 0;
};

class ResultTree {
public:
    size_t RootCount() const { return roots_.size(); }
    const ResultRoot& Root(size_t index) const { return roots_.at(index); }
    const std::vector<ResultRoot>& Roots() const { return roots_; }
    bool Empty() const { return roots_.empty(); }

    // Appends a root for an entry; it becomes the current result node.
    size_t AppendRoot(const std::string& text, size_t entry, ComputedDigests digests = {});
    // Appends a result line under the current result node (the last root).
    void AppendLine(const std::string& text);
    // Appends whole roots, their lines with them, as one change: a pass's results come in
    // batches, and a view told once per batch keeps up with thousands of files a second.
    void AppendRoots(std::vector<ResultRoot>&& roots);
    void Reserve(size_t roots) { roots_.reserve(roots); }
    void Clear();

    // Visits every node in pre-order with its level: 0 for a root, 1 for a result line.
    template <class Visit>
    void ForEachNode(Visit&& visit) const
    {
        for (const ResultRoot& root : roots_) {
            visit(root.Text, 0);
            for (const std::string& line : root.Lines)
                visit(line, 1);
        }
    }

    void SetObserver(ResultTreeObserver* observer) { observer_ = observer; }

private:
    std::vector<ResultRoot> roots_;
    ResultTreeObserver* observer_ = nullptr;
};
