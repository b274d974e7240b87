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

bool AlgorithmSelection::AnyEngineChecked() const
{
    for (const HashItemInfo& info : kHashItems)
        if (info.EngineIndex >= 0 && checked_[Slot(info.Item)])
            return true;
    return false;
}
