#include "engines/DCPcrypt2.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner) : owner_(owner)
{
    if (owner_)
        owner_->components_.push_back(this);
}

TComponent::~TComponent()
{
    // Last created goes first, so no component outlives one it was made after.
    while (!components_.empty()) {
        TComponent* last = components_.back();
        components_.pop_back();
        last->owner_ = nullptr;
        last->BeforeDestruction();
        delete last;
    }
    if (owner_)
        owner_->Remove(this);
}

void TComponent::Remove(TComponent* component)
{
    components_.erase(std::remove(components_.begin(), components_.end(), component), components_.end());
}

void TDCP_hash::BeforeDestruction()
{
    if (IsInitialized)
        Burn();
}

void TDCP_hash::RaiseNotInitialized() { throw EDCP_hash("Hash not initialized"); }
