#include "checking/DuplicateColouring.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace {

// Sorts keys into classes of equal keys, numbered 0, 1, ... in the order they first come.
// The table holds each key's hash beside its class in one block of memory and looks at a
// key's bytes only when the hashes agree: the lines of a long list lie scattered over the
// heap, and chasing them on every probe (as a node-based map does) made 100,000 entries
// several times slower per entry than 10,000.
class KeyClasses {
public:
    explicit KeyClasses(size_t keys)
    {
        size_t size = 16;
        while (size < 2 * keys)  // at most half full, so probe runs stay short
            size *= 2;
        slots_.resize(size);
        mask_ = size - 1;
        firstKeys_.reserve(keys);
    }

    size_t ClassOf(std::string_view key)
    {
        const size_t hash = std::hash<std::string_view>{}(key);
        for (size_t at = hash & mask_;; at = (at + 1) & mask_) {
            Slot& slot = slots_[at];
            if (slot.keyClass == kFree) {
                slot = Slot{hash, firstKeys_.size()};
                firstKeys_.push_back(key);
                return slot.keyClass;
            }
            if (slot.hash == hash && firstKeys_[slot.keyClass] == key)
                return slot.keyClass;
        }
    }

    size_t Count() const { return firstKeys_.size(); }

private:
    static constexpr size_t kFree = SIZE_MAX;
    struct Slot {
        size_t hash = 0;
        size_t keyClass = kFree;
    };
    std::vector<Slot> slots_;
    size_t mask_ = 0;
    std::vector<std::string_view> firstKeys_;
};

constexpr size_t kNoKey = SIZE_MAX;

}  // namespace

// Equal keys form one group, numbered in the order of the group's first entry: 1 to 8, then 9
// for every later group. Errors end with 0, but their group still takes its number, so the
// groups after it keep the numbers (and colours) they would have had. Counting first and
// numbering second gives these numbers in one walk each, however the groups interleave.
void ColourDuplicates(CheckList& list, const ResultTree& tree)
{
    const size_t n = list.Count();
    std::vector<std::string_view> keys(n);  // empty: no root for the entry, or no line under it
    for (const ResultRoot& root : tree.Roots())
        if (root.Entry < n)
            keys[root.Entry] = root.Lines.empty() ? std::string_view() : root.Lines.back();

    size_t withKey = 0;
    for (std::string_view key : keys)
        withKey += key.empty() ? 0 : 1;
    KeyClasses classes(withKey);
    std::vector<size_t> classOf(n, kNoKey);
    for (size_t i = 0; i < n; ++i)
        if (!keys[i].empty())
            classOf[i] = classes.ClassOf(keys[i]);
    std::vector<uint32_t> members(classes.Count(), 0);
    for (size_t keyClass : classOf)
        if (keyClass != kNoKey)
            ++members[keyClass];

    constexpr int kLastNumber = 9;  // shared by every group after the eighth, never painted
    std::vector<int> numbers(classes.Count(), -1);
    int next = 1;
    const std::string_view error = "错误";
    for (size_t i = 0; i < n; ++i) {
        int group = -1;
        if (classOf[i] != kNoKey) {
            if (members[classOf[i]] > 1) {
                int& number = numbers[classOf[i]];
                if (number < 0) {
                    number = next;
                    if (next < kLastNumber)
                        ++next;
                }
                group = number;
            }
            if (keys[i].ends_with(error))
                group = 0;
        }
        // The list repaints every row whose group is set, so leave unchanged rows alone.
        if (list.At(i).ColourGroup != group)
            list.SetColourGroup(i, group);
    }
}
