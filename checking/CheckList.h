// The check list: the files the user wants digests of, in the order they came in.
#pragma once

#include "sums/SumSignature.h"
#include "sums/SumVerdict.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline const std::string kStatusPending = "待校验";
inline const std::string kStatusDone = "已校验";

struct CheckEntry {
    std::string Caption;     // the file name without its folder
    std::string Status;      // kStatusPending or kStatusDone
    std::string SizeText;    // for example "1.5KB"
    std::string Path;        // the full path as it came, native bytes
    int Icon = 0;            // index in the window's icon list
    int ColourGroup = -1;    // -1 none, 0 error, 1 to 8 painted, 9 after the eighth group
    int64_t SizeBytes = -1;  // the size the intake found, for a pass's time left; -1 unknown
    // From an imported sum file: what the file should give. Empty for files that came in any
    // other way, which then never get a verdict.
    std::vector<ExpectedDigest> Expected{};
    std::optional<SumVerdict> Verdict{};
    // 审核文件夹: a file below the sum file's folder that the sum file does not list, and the
    // audit's word for the fifth column after a pass, in place of the verdict's ("新文件",
    // "已移动，原为 OLDNAME"; "已移动" on the listed entry it was moved from).
    bool Unlisted = false;
    std::string AuditText{};
};

// Told of every change twice, before the list makes it and after, as Qt's models must tell their
// views; between the two calls the list still reads as before. Changes of fields are told after.
class CheckListObserver {
public:
    virtual ~CheckListObserver() = default;
    virtual void EntriesAboutToBeAppended(size_t first, size_t count) = 0;
    virtual void EntriesAppended(size_t first, size_t count) = 0;
    virtual void EntryAboutToBeRemoved(size_t index) = 0;
    virtual void EntryRemoved(size_t index) = 0;
    virtual void ListAboutToBeCleared() = 0;
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
    void AddExpected(size_t index, const ExpectedDigest& expected);
    void SetVerdict(size_t index, std::optional<SumVerdict> verdict);
    void SetAuditText(size_t index, const std::string& text);
    bool IsDone(size_t index) const { return entries_.at(index).Status == kStatusDone; }
    // Every entry pending again, so the next pass computes them all.
    void MarkAllPending();

    // Single selection, used by Delete.
    std::optional<size_t> Selected() const { return selected_; }
    void Select(std::optional<size_t> index);

    void SetObserver(CheckListObserver* observer) { observer_ = observer; }

    // What the signatures of the sum files imported since the list was last cleared proved: the
    // weakest of them; none when no imported sum file was signed.
    const std::optional<SignatureCheck>& SumSignature() const { return sumSignature_; }
    void NoteSumSignature(const SignatureCheck& signature);

private:
    std::vector<CheckEntry> entries_;
    std::optional<size_t> selected_;
    CheckListObserver* observer_ = nullptr;
    std::optional<SignatureCheck> sumSignature_;
};
