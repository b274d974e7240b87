// The check list: the files the user wants digests of, in the order they came in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline const std::string kStatusPending = "待校验";
inline const std::string kStatusDone = "已校验";

struct CheckEntry {
    std::string Caption;   // the file name without its folder
    std::string Status;    // kStatusPending or kStatusDone
    std::string SizeText;  // for example "1.5KB"
    std::string Path;      // the full path as it came, native bytes
    int Icon = 0;          // index in the window's icon list
    int ColourGroup = -1;  // -1 none, 0 error, 1 to 8 painted, 9 after the eighth group
    int64_t SizeBytes = -1;  // the size the intake found, for a pass's time left; -1 unknown
};

// Told of every change, so a view can follow the list without rereading it whole.
class CheckListObserver {
public:
    virtual ~CheckListObserver() = default;
    virtual void EntriesAppended(size_t first, size_t count) = 0;
    virtual void EntryRemoved(size_t index) = 0;
    virtual void ListCleared() = 0;
    // Some field of the entries first to last (inclusive) changed.
    virtual void EntriesChanged(size_t first, size_t last) = 0;
};

class CheckList {
public:
    size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    const CheckEntry& At(size_t index) const { return entries_.at(index); }

    void Append(CheckEntry entry);
    // Many entries with one notice, so a view of a large folder inserts its rows at once.
    void AppendAll(std::vector<CheckEntry> entries);
    void Remove(size_t index);
    void Clear();

    void SetStatus(size_t index, const std::string& status);
    void SetColourGroup(size_t index, int group);
    void SetIcon(size_t index, int icon);
    bool IsDone(size_t index) const { return entries_.at(index).Status == kStatusDone; }
    // Every entry pending again, so the next pass computes them all.
    void MarkAllPending();

    // Single selection, used by Delete.
    std::optional<size_t> Selected() const { return selected_; }
    void Select(std::optional<size_t> index);

    void SetObserver(CheckListObserver* observer) { observer_ = observer; }

private:
    std::vector<CheckEntry> entries_;
    std::optional<size_t> selected_;
    CheckListObserver* observer_ = nullptr;
};
