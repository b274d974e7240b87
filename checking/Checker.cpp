#include "checking/Checker.h"

#include "checking/AlgorithmSelection.h"
#include "checking/CalculationPass.h"
#include "checking/DuplicateColouring.h"
#include "checking/EngineList.h"
#include "checking/FolderAudit.h"
#include "checking/PassGuard.h"
#include "checking/SignatureTexts.h"
#include "checking/SumImportRun.h"
#include "platform/FileAccess.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/TextEncoding.h"
#include "sums/SignedSumFile.h"

#include <filesystem>

struct Checker::Impl {
    Impl(WindowPort& w, FileSystem& f) : window(w), files(f) {}

    Intake MakeIntake() { return Intake(list, files, LocaleDecimalSeparator()); }
    void CloseIntake() { IntakeClosingStep(list, window, !guard.IntakeMayRestoreCommands()); }
    // The guard follows the pass: a pass that has ended (its last file, a stop, a failure) goes.
    void FollowPass()
    {
        if (pass && pass->Ended()) {
            pass.reset();
            guard.End();
            if (!auditedFolder.empty())
                window.SetStatusText(AuditStatusText(JudgeAudit(list, tree, auditedFolder, auditDigests)));
        }
    }

    // The import goes with its guard as a pass does; at its end the rest of the import is done.
    void FollowImport(Checker& checker)
    {
        if (!import || !import->Ended())
            return;
        std::unique_ptr<SumImportPass> ended = std::move(import);
        guard.End();
        if (ended->Stopped() && !ended->ContentsRead())
            return;
        importReport = std::move(ended->Report());
        checker.CloseSumImport(importReport);
        window.SumImportEnded(importReport);
    }

    WindowPort& window;
    FileSystem& files;
    CheckList list;
    ResultTree tree;
    AlgorithmSelection selection;
    EngineList engines;
    PassGuard guard;
    HashingOptions hashing;
    std::unique_ptr<CalculationPass> pass;
    std::unique_ptr<TreeWalk> walk;
    bool walkShown = false;                // the walk began without a pass: the window is the walk's
    std::string lastSumFile;               // imported last; "" after the list was cleared
    std::string auditedFolder;             // the folder 审核文件夹 walked, judged after every pass
    std::optional<AuditNames> auditNames;  // while its walk runs: what is in the list already
    std::unordered_map<std::string, ComputedDigests> auditDigests;  // of the unlisted entries
    std::unique_ptr<SumImportPass> import;
    SumImportReport importReport;
    // The overall bar keeps its range when the list is cleared; only a pass sets it.
    int overallMaximum = 0;
};

Checker::Checker(WindowPort& window, FileSystem& files) : impl_(std::make_unique<Impl>(window, files)) {}

Checker::~Checker() = default;

CheckList& Checker::List() { return impl_->list; }
ResultTree& Checker::Tree() { return impl_->tree; }

void Checker::FillEngineList(const TComponent& owner) { impl_->engines.Fill(owner); }
size_t Checker::EngineCount() const { return impl_->engines.Count(); }
TDCP_hash& Checker::Engine(size_t index) const { return impl_->engines.Engine(index); }
std::string Checker::EngineText(size_t index) const { return impl_->engines.Text(index); }
bool Checker::EngineChecked(size_t index) const { return impl_->engines.Checked(index); }

IntakeReport Checker::AddFiles(const std::vector<std::string>& paths)
{
    IntakeReport report;
    Intake intake = impl_->MakeIntake();
    for (const std::string& path : paths)
        intake.TakeFile(path, report);
    impl_->CloseIntake();
    return report;
}

IntakeReport Checker::AddFolder(const std::string& folder)
{
    if (!folder.empty())
        impl_->MakeIntake().TakeFolder(folder);
    impl_->CloseIntake();
    return {};
}

IntakeReport Checker::AddDropped(const std::vector<std::string>& names)
{
    IntakeReport report;
    Intake intake = impl_->MakeIntake();
    for (const std::string& name : names)
        intake.TakeDropped(name, report);
    impl_->CloseIntake();
    return report;
}

void Checker::BeginTreeIntake(const std::vector<std::string>& folders, TreeWalk::FileGate gate)
{
    if (folders.empty())
        return;
    if (impl_->walk) {
        impl_->walk->Add(folders);
        return;
    }
    impl_->walk = std::make_unique<TreeWalk>(folders, LocaleDecimalSeparator(), std::move(gate));
    impl_->walkShown = !impl_->guard.Running();
    impl_->guard.BeginWalk();
    if (impl_->walkShown) {
        impl_->window.DisableCommands();
        impl_->window.ShowProgressGroup(true);
        impl_->window.SetStatusText(TreeIntakeStatusText(0));
    }
}

std::optional<TreeIntakeReport> Checker::DeliverTreeIntake()
{
    if (!impl_->walk)
        return std::nullopt;
    bool finished = false;
    std::vector<CheckEntry> entries = impl_->walk->Take(finished);
    if (impl_->auditNames) {
        std::erase_if(entries,
                      [&](const CheckEntry& entry) { return !impl_->auditNames->IsNew(entry.Path); });
        for (CheckEntry& entry : entries) {
            impl_->auditNames->Listed(entry.Path);
            entry.Unlisted = true;
        }
    }
    if (!entries.empty())
        impl_->list.AppendAll(std::move(entries));
    if (!finished) {
        if (impl_->walkShown)
            impl_->window.SetStatusText(TreeIntakeStatusText(impl_->list.Count()));
        return std::nullopt;
    }
    TreeIntakeReport report = impl_->walk->Report();
    impl_->walk.reset();
    impl_->auditNames.reset();
    impl_->guard.EndWalk();
    if (impl_->walkShown) {
        impl_->window.ShowProgressGroup(false);
        impl_->window.EnableCommands();
        impl_->walkShown = false;
    }
    impl_->CloseIntake();
    return report;
}

std::optional<TreeIntakeReport> Checker::StopTreeIntake()
{
    if (!impl_->walk)
        return std::nullopt;
    impl_->walk->Stop();
    return DeliverTreeIntake();
}

void Checker::AuditFolder()
{
    if (impl_->lastSumFile.empty() || impl_->walk || !impl_->guard.Allows(PassCommand::ImportSumFile))
        return;
    std::error_code failure;
    const std::string current = std::filesystem::current_path(failure).string();
    impl_->auditNames.emplace(impl_->lastSumFile, failure ? "/" : current);
    for (size_t i = 0; i < impl_->list.Count(); ++i)
        impl_->auditNames->Listed(impl_->list.At(i).Path);
    impl_->auditedFolder = ::AuditFolder(impl_->lastSumFile);
    BeginTreeIntake({impl_->auditedFolder});
}

bool Checker::CanAudit() const { return !impl_->lastSumFile.empty(); }

bool Checker::TreeIntakeRunning() const { return impl_->walk != nullptr; }

bool Checker::TreeIntakeShown() const { return impl_->walk && impl_->walkShown; }

SumImportReport Checker::ImportSumFile(const std::string& sumFile)
{
    SumImportReport refused;
    refused.SumFile = sumFile;
    // Refused while a pass or another import runs: that one is not driven from here.
    if (impl_->import)
        return refused;
    impl_->importReport = refused;
    StartSumImport(sumFile);
    while (impl_->import) {
        impl_->import->AwaitDelivery();
        DeliverPass();
    }
    return impl_->importReport;
}

void Checker::StartSumImport(const std::string& sumFile)
{
    if (sumFile.empty() || !impl_->guard.Allows(PassCommand::ImportSumFile))
        return;
    impl_->guard.Begin();
    try {
        impl_->import = std::make_unique<SumImportPass>(
            SumImportParts{impl_->list, impl_->window, impl_->files, LocaleDecimalSeparator()}, sumFile);
    } catch (...) {
        impl_->guard.End();
        throw;
    }
}

void Checker::CloseSumImport(SumImportReport& report)
{
    if (!report.OpenError.empty())
        return;
    // A sum file whose signature is BAD is not taken in at all: the list stays as it was.
    if (report.Signature.State == SignatureState::Bad) {
        impl_->window.SetStatusText(SignatureReportText(report.Signature));
        return;
    }
    impl_->lastSumFile = report.SumFile;
    if (report.Blake2bBytes)
        impl_->hashing.Blake2bBytes = *report.Blake2bBytes;
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        if (report.Needed.Has(info.Algorithm) && !IsChecked(HashItemOf(info.Algorithm)))
            HashItemClicked(HashItemOf(info.Algorithm), true);
    // Entries that were computed before get their verdict from the next pass too.
    impl_->list.MarkAllPending();
    impl_->list.NoteSumSignature(report.Signature);
    impl_->CloseIntake();
    if (!impl_->list.Empty())
        impl_->window.SetStatusText("待计算的文件总数:" + std::to_string(impl_->list.Count()) + "，" +
                                    SignatureReportText(report.Signature));
}

void Checker::DeleteSelected()
{
    if (!impl_->guard.Allows(PassCommand::DeleteEntry))
        return;
    if (auto selected = impl_->list.Selected()) {
        impl_->list.Remove(*selected);
        impl_->tree.Clear();
    }
    impl_->list.MarkAllPending();
    ColourDuplicates(impl_->list, impl_->tree);
}

void Checker::ClearList()
{
    if (!impl_->guard.Allows(PassCommand::ClearList))
        return;
    impl_->list.Clear();
    impl_->tree.Clear();
    impl_->lastSumFile.clear();
    impl_->hashing.Blake2bBytes = kBlake2bMaxBytes;
    impl_->auditedFolder.clear();
    impl_->auditDigests.clear();
    impl_->window.SetCurrentBar(0);
    impl_->window.SetOverallBar(0, impl_->overallMaximum);
    impl_->window.SetStatusText("准备就绪");
    impl_->window.DisableSaveToolButton();
}

bool Checker::HashItemClicked(HashItem item, bool checked)
{
    if (!impl_->guard.Allows(PassCommand::SelectAlgorithm))
        return false;
    impl_->selection.SetChecked(item, checked);
    const int engineIndex = AlgorithmSelection::Info(item).EngineIndex;
    if (engineIndex >= 0)
        impl_->engines.SetChecked(static_cast<size_t>(engineIndex), checked);
    impl_->list.MarkAllPending();
    return true;
}

bool Checker::IsChecked(HashItem item) const { return impl_->selection.IsChecked(item); }

void Checker::Calculate()
{
    if (!impl_->guard.Allows(PassCommand::Calculate))
        return;
    impl_->overallMaximum = OverallBarMaximum(impl_->list.Count());
    impl_->guard.Begin();
    try {
        impl_->pass = std::make_unique<CalculationPass>(
            PassParts{impl_->list, impl_->tree, impl_->window, impl_->files, impl_->selection},
            impl_->hashing);
    } catch (...) {
        // The window's next Calculate must not be refused for ever.
        impl_->guard.End();
        throw;
    }
    impl_->FollowPass();
}

void Checker::DeliverPass()
{
    if (impl_->import) {
        try {
            impl_->import->Deliver();
        } catch (...) {
            impl_->FollowImport(*this);
            throw;
        }
        impl_->FollowImport(*this);
        return;
    }
    if (!impl_->pass)
        return;
    try {
        impl_->pass->Deliver();
    } catch (...) {
        impl_->FollowPass();
        throw;
    }
    impl_->FollowPass();
}

void Checker::StopPass()
{
    if (impl_->import) {
        impl_->import->Stop();
        impl_->FollowImport(*this);
        return;
    }
    if (!impl_->guard.Allows(PassCommand::Stop) || !impl_->pass)
        return;
    try {
        impl_->pass->Stop();
    } catch (...) {
        impl_->FollowPass();
        throw;
    }
    impl_->FollowPass();
}

bool Checker::PassRunning() const { return impl_->guard.Running(); }

void Checker::SetHashingOptions(const HashingOptions& options) { impl_->hashing = options; }
