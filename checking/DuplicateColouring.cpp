#include "checking/DuplicateColouring.h"

#include <string>
#include <vector>

// A first, direct version: every pair of entries is compared.
void ColourDuplicates(CheckList& list, const ResultTree& tree)
{
    const size_t n = list.Count();
    std::vector<std::string> keys(n);
    for (const ResultRoot& root : tree.Roots())
        if (root.Entry < n)
            keys[root.Entry] = root.Lines.empty() ? std::string() : root.Lines.back();
    std::vector<int> group(n, -1);
    int next = 1;
    for (size_t i = 0; i + 1 < n; ++i) {
        if (keys[i].empty())
            continue;
        for (size_t j = i + 1; j < n; ++j)
            if (keys[j] == keys[i] && group[j] == -1)
                group[i] = group[j] = next;
        for (int k = 1; k <= 8; ++k)
            for (size_t m = 0; m < n; ++m)
                if (group[m] == k) {
                    next = k + 1;
                    break;
                }
    }
    const std::string error = "错误";
    for (size_t i = 0; i < n; ++i)
        if (keys[i].size() >= error.size() && keys[i].compare(keys[i].size() - error.size(), error.size(), error) == 0)
            group[i] = 0;
    for (size_t i = 0; i < n; ++i)
        list.SetColourGroup(i, group[i]);
}
