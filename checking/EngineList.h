// The engines the window owns, in the order it created them, each with a check mark that
// follows its algorithm menu item. The engine batch feeds the checked ones in this order.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class TComponent;
class TDCP_hash;

class EngineList {
public:
    // Every component of the owner that is an engine, in creation order, under its Algorithm
    // text; checked are the engines whose menu items start checked (SHA1, entry 0).
    void Fill(const TComponent& owner);

    size_t Count() const { return entries_.size(); }
    TDCP_hash& Engine(size_t index) const { return *entries_.at(index).Engine; }
    const std::string& Text(size_t index) const { return entries_.at(index).Text; }
    bool Checked(size_t index) const { return entries_.at(index).Checked; }
    // An index past the end is ignored: a menu item whose engine the window does not own.
    void SetChecked(size_t index, bool checked);

private:
    struct Entry {
        TDCP_hash* Engine;
        std::string Text;
        bool Checked;
    };
    std::vector<Entry> entries_;
};
