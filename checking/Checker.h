// The checking core of one window: the check list, the result tree, the algorithm selection, the
// engine list, and the commands that work on them. The window forwards its handlers here.
#pragma once

#include "checking/CheckList.h"
#include "checking/HashItems.h"
#include "checking/Intake.h"
#include "checking/ResultTree.h"
#include "checking/SumImport.h"
#include "checking/TreeIntake.h"
#include "checking/WindowPort.h"
#include "hashing/HashingEngine.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class FileSystem;
class TComponent;
class TDCP_hash;

// The ten engines in the window's creation order, owned by owner.
void CreateEngineComponents(TComponent& owner);

class Checker {
public:
    Checker(WindowPort& window, FileSystem& files);
    ~Checker();
    Checker(const Checker&) = delete;
    Checker& operator=(const Checker&) = delete;

    CheckList& List();
    ResultTree& Tree();

    // Fills the engine list from the owner's components that are engines, in creation order,
    // and checks entry 0.
    void FillEngineList(const TComponent& owner);
    size_t EngineCount() const;
    TDCP_hash& Engine(size_t index) const;
    std::string EngineText(size_t index) const;
    bool EngineChecked(size_t index) const;

    // Intake commands; each ends with the intake closing step. A file whose size cannot be
    // read is left out and reported; the others are still taken in. Also allowed while a pass
    // runs (a drop): the entries are appended and wait for the next pass (see PassGuard).
    IntakeReport AddFiles(const std::vector<std::string>& paths);  // open-file dialog; {} when cancelled
    IntakeReport AddFolder(const std::string& folder);             // folder dialog; "" adds nothing
    IntakeReport AddDropped(const std::vector<std::string>& names);
    // "添加文件夹及子文件夹" and Sumora --recursive: every regular file below the folders, walked
    // off the window's thread (see TreeIntake.h); the window calls DeliverTreeIntake while
    // TreeIntakeRunning. Without a pass running the walk owns the command set, the status text
    // and the progress group with its stop, as a pass does; during a pass it only appends
    // entries for the next one. A second request while one walks is walked after it.
    void BeginTreeIntake(const std::vector<std::string>& folders, TreeWalk::FileGate gate = {});
    // Appends what was found; once the walk has ended, closes the intake and returns its report.
    std::optional<TreeIntakeReport> DeliverTreeIntake();
    // Esc or 停止 during the walk: ends it at once, keeping what was taken; returns the report.
    std::optional<TreeIntakeReport> StopTreeIntake();
    bool TreeIntakeRunning() const;
    // The walk owns the progress group: the stop is the walk's, not a pass's.
    bool TreeIntakeShown() const;
    // "审核文件夹": walks the folder of the sum file imported last as the tree intake walks, and
    // takes in every file below it that is in no entry yet (the sum file and its signatures
    // excepted); after each pass from then on, JudgeAudit's verdicts and status. Nothing
    // happens without an imported sum file, or while a pass or a walk runs.
    void AuditFolder();
    bool CanAudit() const;
    // "导入校验文件": every file the sum file lists, with what it should give; the algorithms they
    // need are ticked, a selection change, so every entry is pending. "" (cancelled) adds
    // nothing; while a pass runs nothing happens either.
    SumImportReport ImportSumFile(const std::string& sumFile);
    // The same off the window's thread (see SumImportPass): returns at once, the import runs
    // as a pass does (PassRunning, DeliverPass, StopPass) and its end is the end described
    // above, told to the window through SumImportEnded. ImportSumFile is this, then a wait for
    // the end, for a caller without an event loop.
    void StartSumImport(const std::string& sumFile);
    // Both do nothing while a pass runs.
    void DeleteSelected();
    void ClearList();

    // Algorithm menu: the item's check mark has already toggled; checked is its new state.
    // Returns false, changing nothing, while a pass runs; the window then puts its check mark
    // back to IsChecked(item).
    bool HashItemClicked(HashItem item, bool checked);
    bool IsChecked(HashItem item) const;

    // Starts one calculation pass; does nothing while one runs. The files are hashed on the
    // hashing engine's threads; their nodes appear as the window delivers (DeliverPass). A pass
    // with nothing to hash has ended when this returns.
    void Calculate();
    // On the window's thread, each time the window was asked through RequestPassDelivery:
    // applies what is ready and ends the pass after its last file.
    void DeliverPass();
    // The Stop command: ends the running pass at once; finished files keep their nodes, the
    // others stay pending. Nothing while no pass runs.
    void StopPass();
    bool PassRunning() const;
    // The threads and buffers of the passes to come.
    void SetHashingOptions(const HashingOptions& options);

private:
    // The end of an import that read its sum file: the algorithms, the pending marks, the
    // intake closing step and the status text.
    void CloseSumImport(SumImportReport& report);

    struct Impl;
    std::unique_ptr<Impl> impl_;
};
