#include "checking/ResultTree.h"

#include <stdexcept>
#include <utility>

size_t ResultTree::AppendRoot(const std::string& text, size_t entry, ComputedDigests digests)
{
    if (observer_)
        observer_->RootAboutToBeAppended(roots_.size());
    roots_.push_back(ResultRoot{text, entry, {}, std::move(digests)});
    if (observer_)
        observer_->RootAppended(roots_.size() - 1);
    return roots_.size() - 1;
}

void ResultTree::AppendLine(const std::string& text)
{
    if (roots_.empty())
        throw std::logic_error("a result line needs a current result node");
    if (observer_)
        observer_->LineAboutToBeAppended(roots_.size() - 1, roots_.back().Lines.size());
    roots_.back().Lines.push_back(text);
    if (observer_)
        observer_->LineAppended(roots_.size() - 1, roots_.back().Lines.size() - 1);
}

void ResultTree::Clear()
{
    if (observer_)
        observer_->TreeAboutToBeCleared();
    roots_.clear();
    if (observer_)
        observer_->TreeCleared();
}
