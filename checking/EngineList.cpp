#include "checking/EngineList.h"

#include "checking/HashItems.h"
#include "engines/DCPcrypt2.h"

void EngineList::Fill(const TComponent& owner)
{
    entries_.clear();
    for (TComponent* component : owner.Components())
        if (auto* engine = dynamic_cast<TDCP_hash*>(component))
            entries_.push_back(Entry{engine, engine->Algorithm(), false});
    // The engines whose menu items start checked (SHA1) start checked too.
    for (const HashItemInfo& info : kHashItems)
        if (info.CheckedAtStart && info.EngineIndex >= 0)
            SetChecked(static_cast<size_t>(info.EngineIndex), true);
}

void EngineList::SetChecked(size_t index, bool checked)
{
    if (index < entries_.size())
        entries_[index].Checked = checked;
}
