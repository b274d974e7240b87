#include "checking/EngineList.h"

#include "engines/DCPcrypt2.h"

void EngineList::Fill(const TComponent& owner)
{
    entries_.clear();
    for (TComponent* component : owner.Components())
        if (auto* engine = dynamic_cast<TDCP_hash*>(component))
            entries_.push_back(Entry{engine, engine->Algorithm(), false});
    if (!entries_.empty())
        entries_[0].Checked = true;
}

void EngineList::SetChecked(size_t index, bool checked)
{
    if (index < entries_.size())
        entries_[index].Checked = checked;
}
