#include "checking/DuplicateColouring.h"

#include <string_view>
#include <unordered_map>
#include <vector>

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

    struct KeyGroup {
        size_t entries = 0;
        int number = -1;
    };
    std::unordered_map<std::string_view, KeyGroup> groups;
    groups.reserve(n);
    for (std::string_view key : keys)
        if (!key.empty())
            ++groups[key].entries;

    constexpr int kLastNumber = 9;  // shared by every group after the eighth, never painted
    int next = 1;
    const std::string_view error = "错误";
    for (size_t i = 0; i < n; ++i) {
        const std::string_view key = keys[i];
        int group = -1;
        if (!key.empty()) {
            KeyGroup& equal = groups.find(key)->second;
            if (equal.entries > 1) {
                if (equal.number < 0) {
                    equal.number = next;
                    if (next < kLastNumber)
                        ++next;
                }
                group = equal.number;
            }
            if (key.ends_with(error))
                group = 0;
        }
        // The list repaints every row whose group is set, so leave unchanged rows alone.
        if (list.At(i).ColourGroup != group)
            list.SetColourGroup(i, group);
    }
}
