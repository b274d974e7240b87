// The duplicate colouring written the direct way, pair by pair, step for step: the reference
// that ColourDuplicates must agree with on every list. Far too slow for long lists.
#pragma once

#include "checking/CheckList.h"
#include "checking/ResultTree.h"

#include <algorithm>
#include <string>
#include <vector>

inline std::vector<int> QuadraticColourGroups(const std::vector<std::string>& keys)
{
    const size_t n = keys.size();
    std::vector<int> group(n, -1);
    int next = 1;
    for (size_t i = 0; i + 1 < n; ++i) {
        if (keys[i].empty())
            continue;
        for (size_t j = i + 1; j < n; ++j)
            if (keys[j] == keys[i] && group[j] == -1)
                group[i] = group[j] = next;
        for (int k = 1; k <= 8; ++k)
            if (std::find(group.begin(), group.end(), k) != group.end())
                next = k + 1;
    }
    const std::string error = "错误";
    for (size_t i = 0; i < n; ++i)
        if (keys[i].ends_with(error))
            group[i] = 0;
    return group;
}

// The same on a list and its tree: each entry's key is the last line under its own root.
inline void QuadraticColourDuplicates(CheckList& list, const ResultTree& tree)
{
    std::vector<std::string> keys(list.Count());
    for (const ResultRoot& root : tree.Roots())
        if (root.Entry < keys.size() && !root.Lines.empty())
            keys[root.Entry] = root.Lines.back();
    const std::vector<int> groups = QuadraticColourGroups(keys);
    for (size_t i = 0; i < groups.size(); ++i)
        list.SetColourGroup(i, groups[i]);
}
