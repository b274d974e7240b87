#include "checking/CheckList.h"

#include <iterator>
#include <stdexcept>

void CheckList::Append(CheckEntry entry)
{
    if (observer_)
        observer_->EntriesAboutToBeAppended(entries_.size(), 1);
    entries_.push_back(std::move(entry));
    if (observer_)
        observer_->EntriesAppended(entries_.size() - 1, 1);
}

void CheckList::AppendAll(std::vector<CheckEntry> entries)
{
    if (entries.empty())
        return;
    const size_t first = entries_.size();
    if (observer_)
        observer_->EntriesAboutToBeAppended(first, entries.size());
    entries_.insert(entries_.end(), std::make_move_iterator(entries.begin()),
                    std::make_move_iterator(entries.end()));
    if (observer_)
        observer_->EntriesAppended(first, entries_.size() - first);
}

void CheckList::Remove(size_t index)
{
    if (index >= entries_.size())
        throw std::out_of_range("CheckList::Remove");
    if (observer_)
        observer_->EntryAboutToBeRemoved(index);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    if (selected_) {
        if (*selected_ == index)
            selected_.reset();
        else if (*selected_ > index)
            --*selected_;
    }
    if (observer_)
        observer_->EntryRemoved(index);
}

void CheckList::Clear()
{
    if (observer_)
        observer_->ListAboutToBeCleared();
    entries_.clear();
    selected_.reset();
    sumSignature_.reset();
    if (observer_)
        observer_->ListCleared();
}

void CheckList::NoteSumSignature(const SignatureCheck& signature)
{
    if (signature.State == SignatureState::NotSigned)
        return;
    sumSignature_ = sumSignature_ ? WeakerSignature(*sumSignature_, signature) : signature;
}

void CheckList::SetStatus(size_t index, const std::string& status)
{
    CheckEntry& entry = entries_.at(index);
    if (entry.Status == status)
        return;
    entry.Status = status;
    if (observer_)
        observer_->EntriesChanged(index, index);
}

void CheckList::SetColourGroup(size_t index, int group)
{
    CheckEntry& entry = entries_.at(index);
    if (entry.ColourGroup == group)
        return;
    entry.ColourGroup = group;
    if (observer_)
        observer_->EntriesChanged(index, index);
}

void CheckList::SetIcon(size_t index, int icon)
{
    CheckEntry& entry = entries_.at(index);
    if (entry.Icon == icon)
        return;
    entry.Icon = icon;
    if (observer_)
        observer_->EntriesChanged(index, index);
}

void CheckList::MarkAllPending()
{
    for (CheckEntry& entry : entries_)
        entry.Status = kStatusPending;
    if (observer_ && !entries_.empty())
        observer_->EntriesChanged(0, entries_.size() - 1);
}

void CheckList::Select(std::optional<size_t> index)
{
    if (index && *index >= entries_.size())
        index.reset();
    selected_ = index;
}

void CheckList::AddExpected(size_t index, const ExpectedDigest& expected)
{
    CheckEntry& entry = entries_.at(index);
    for (const ExpectedDigest& known : entry.Expected)
        if (known == expected)
            return;
    entry.Expected.push_back(expected);
    if (observer_)
        observer_->EntriesChanged(index, index);
}

void CheckList::SetAuditText(size_t index, const std::string& text)
{
    CheckEntry& entry = entries_.at(index);
    if (entry.AuditText == text)
        return;
    entry.AuditText = text;
    if (observer_)
        observer_->EntriesChanged(index, index);
}

void CheckList::SetVerdict(size_t index, std::optional<SumVerdict> verdict)
{
    CheckEntry& entry = entries_.at(index);
    if (entry.Verdict == verdict)
        return;
    entry.Verdict = verdict;
    if (observer_)
        observer_->EntriesChanged(index, index);
}
