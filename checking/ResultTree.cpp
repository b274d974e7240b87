#include "checking/ResultTree.h"

#include <iterator>
#include <stdexcept>
#include <utility>

size_t ResultTree::AppendRoot(const std::string& text, size_t entry, ComputedDigests digests)
{
    std::vector<ResultRoot> one;
    one.push_back(ResultRoot{text, entry, {}, std::move(digests)});
    AppendRoots(std::move(one));
    return roots_.size() - 1;
}

void ResultTree::AppendRoots(std::vector<ResultRoot>&& roots)
{
    if (roots.empty())
        return;
    const size_t first = roots_.size();
    if (observer_)
        observer_->RootsAboutToBeAppended(first, roots.size());
    roots_.insert(roots_.end(), std::make_move_iterator(roots.begin()), std::make_move_iterator(roots.end()));
    if (observer_)
        observer_->RootsAppended(first, roots.size());
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
