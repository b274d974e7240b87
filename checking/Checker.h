// The checking core of one window: the check list, the result tree, the algorithm selection, the
// engine list, and the commands that work on them. The window forwards its handlers here.
#pragma once

#include "checking/CheckList.h"
#include "checking/HashItems.h"
#include "checking/ResultTree.h"
#include "checking/WindowPort.h"

#include <string>
#include <vector>

class FileSystem;
class TComponent;
class TDCP_hash;

// Files that an intake could not take in, with the system's reason for each.
struct IntakeRefusal {
    std::string Path;
    std::string Reason;
};
struct IntakeReport {
    std::vector<IntakeRefusal> Refused;
    // The message box text: one "Cannot open file "%s". %s" line per refused file.
    std::string ErrorText() const;
};

// The ten engines in the window's creation order, owned by owner.
void CreateEngineComponents(TComponent& owner);

class Checker {
public:
    Checker(WindowPort& window, FileSystem& files);
    ~Checker();

    CheckList& List();
    ResultTree& Tree();

    // Fills the engine list from the owner's components that are engines, in creation order,
    // and checks entry 0.
    void FillEngineList(const TComponent& owner);
    size_t EngineCount() const;
    TDCP_hash& Engine(size_t index) const;
    std::string EngineText(size_t index) const;
    bool EngineChecked(size_t index) const;

    // Intake commands; each ends with the intake closing step.
    IntakeReport AddFiles(const std::vector<std::string>& paths);  // open-file dialog
    IntakeReport AddFolder(const std::string& folder);            // folder dialog; "" adds nothing
    IntakeReport AddDropped(const std::vector<std::string>& names);
    void DeleteSelected();
    void ClearList();

    // Algorithm menu: the item's check mark has already toggled to checked.
    void HashItemClicked(HashItem item, bool checked);
    bool IsChecked(HashItem item) const;

    // Runs one calculation pass; does nothing while one runs.
    void Calculate();
    bool PassRunning() const;

private:
    struct Impl;
    Impl* impl_;
};
