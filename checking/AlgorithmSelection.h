// The check marks of the algorithm menu: which paths and engines a calculation pass runs.
#pragma once

#include "checking/HashItems.h"

#include <array>

class AlgorithmSelection {
public:
    // MD5 and SHA1, as the menu starts.
    AlgorithmSelection();

    bool IsChecked(HashItem item) const { return checked_[Slot(item)]; }
    void SetChecked(HashItem item, bool checked) { checked_[Slot(item)] = checked; }
    // The digests the checked items mark, for the hashing engine.
    DigestSet Digests() const;

    static const HashItemInfo& Info(HashItem item) { return kHashItems[Slot(item)]; }

private:
    static size_t Slot(HashItem item) { return static_cast<size_t>(item); }

    std::array<bool, kHashItems.size()> checked_{};
};
