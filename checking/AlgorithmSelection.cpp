#include "checking/AlgorithmSelection.h"

// kHashItems is indexed by the enum; keep the two in step.
static_assert([] {
    for (size_t i = 0; i < kHashItems.size(); ++i)
        if (static_cast<size_t>(kHashItems[i].Item) != i)
            return false;
    return true;
}());

AlgorithmSelection::AlgorithmSelection()
{
    for (const HashItemInfo& info : kHashItems)
        checked_[Slot(info.Item)] = info.CheckedAtStart;
}

DigestSet AlgorithmSelection::Digests() const
{
    DigestSet set;
    for (const HashItemInfo& info : kHashItems)
        if (checked_[Slot(info.Item)])
            set.Add(info.Algorithm);
    return set;
}
