#include "cli/CheckAudit.h"

#include "cli/CommandLineFiles.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/ProgressLine.h"
#include "cli/ResultOutput.h"
#include "hashing/HashingEngine.h"
#include "platform/FolderWalk.h"
#include "sums/SumWriter.h"

#include <cerrno>
#include <memory>
#include <utility>

#include <unistd.h>

namespace {

// Names as -c prints them before their verdict: escaped only when one holds a line feed, and
// then the line starts with a backslash, as coreutils marks an escaped line.
bool NeedsEscape(const std::string& name) { return name.find('\n') != std::string::npos; }

std::string Shown(const std::string& name, bool escaped) { return escaped ? EscapedSumName(name) : name; }

std::string CheckedLine(const std::string& name, const std::string& verdict)
{
    const bool escaped = NeedsEscape(name);
    return (escaped ? "\\" : "") + Shown(name, escaped) + ": " + verdict + "\n";
}

class NewFileCollector : public FolderWalkVisitor {
public:
    NewFileCollector(const AuditNames& names, Messages& messages, std::vector<std::string>& found,
                     int64_t& bytes, bool& failed)
        : names_(names), messages_(messages), found_(found), bytes_(bytes), failed_(failed)
    {
    }

    void File(const std::string& path, int64_t size) override
    {
        std::string shown = AuditShownPath(path);
        if (!names_.IsNew(shown))
            return;
        found_.push_back(std::move(shown));
        bytes_ += size;
    }
    void Unreadable(const std::string& path, const std::string& reason) override
    {
        // What lies below it cannot be told new or not: the audit is not complete.
        messages_.FileProblem(AuditShownPath(path), reason);
        failed_ = true;
    }
    void Loop(const std::string& path) override
    {
        messages_.FileProblem(AuditShownPath(path), "not followed: it leads back to a folder being walked");
    }

private:
    const AuditNames& names_;
    Messages& messages_;
    std::vector<std::string>& found_;
    int64_t& bytes_;
    bool& failed_;
};

}  // namespace

std::string CurrentFolder()
{
    std::vector<char> buffer(4096);
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()))
            return buffer.data();
        if (errno != ERANGE)
            return "/";
        buffer.resize(buffer.size() * 2);
    }
}

CheckAudit::CheckAudit(CommandContext& context, const std::string& sumFile)
    : context_(context), folder_(sumFile == kStandardInputName ? "." : AuditFolder(sumFile)),
      names_(sumFile == kStandardInputName ? "" : sumFile, CurrentFolder())
{
}

void CheckAudit::Listed(const std::string& name) { names_.Listed(name); }

void CheckAudit::Missing(const SumLine& line, const std::string& reason)
{
    const auto [at, added] = missingIndex_.emplace(line.Name, missing_.size());
    if (added)
        missing_.push_back({{line.Name, {}}, reason});
    missing_[at->second].File.Expected.push_back({line.Digest, line.Candidates});
}

std::vector<std::string> CheckAudit::Walk()
{
    std::vector<std::string> found;
    int64_t bytes = 0;
    NewFileCollector collector(names_, context_.Errors, found, bytes, walkFailed_);
    WalkFolder(folder_, true, collector);
    return found;
}

size_t CheckAudit::Finish()
{
    const CommandLine& options = context_.Options;
    const std::vector<std::string> found = Walk();

    std::vector<AuditMissing> missing;
    missing.reserve(missing_.size());
    for (const WaitingMissing& waiting : missing_)
        missing.push_back(waiting.File);
    const DigestSet algorithms = MoveAlgorithms(missing);

    // Only a missing file can have been moved: with none, the new files are not read at all.
    std::vector<ComputedDigests> digests(found.size());
    if (!found.empty() && !algorithms.Empty()) {
        HashingOptions hashing;
        hashing.Threads = options.Jobs;
        hashing.Blake2bBytes = options.Blake2bBytes;
        HashingRun run(context_.Files, found, algorithms, hashing);
        std::unique_ptr<ProgressLine> progress;
        if (context_.ShowProgress)
            progress = std::make_unique<ProgressLine>(
                context_.Errors, run, [&](size_t index) { return found[index]; }, 0);
        ResultStream stream(run, context_.Output);
        for (size_t i = 0; i < found.size(); ++i) {
            const std::optional<HashResult> result = stream.Next();
            if (!result || result->Outcome == HashOutcome::Stopped)
                break;
            ComputedDigests& computed = digests[i];
            if (result->Outcome != HashOutcome::Digests) {
                // Gone or unreadable since the walk: it can be no move, and says why.
                bool noSuchFile = false;
                context_.Errors.FileProblem(found[i], FailureReason(found[i], *result, noSuchFile));
                computed.FileMissing = true;
                continue;
            }
            for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
                if (algorithms.Has(info.Algorithm))
                    computed.Set(info.Algorithm, DigestHex(result->Digest(info.Algorithm), false));
        }
    } else {
        for (ComputedDigests& computed : digests)
            computed.FileMissing = true;  // not read: matches nothing
    }
    const std::vector<std::optional<size_t>> moves = MatchMoves(missing, digests);

    std::vector<std::optional<size_t>> movedTo(missing.size());
    for (size_t n = 0; n < moves.size(); ++n)
        if (moves[n])
            movedTo[*moves[n]] = n;

    size_t failures = 0;
    for (size_t m = 0; m < missing.size(); ++m) {
        const std::string& name = missing[m].Name;
        if (movedTo[m]) {
            ++movedCount_;
            if (options.Status)
                continue;
            const std::string& to = found[*movedTo[m]];
            const bool escaped = NeedsEscape(name) || NeedsEscape(to);
            context_.Output.Add(std::string(escaped ? "\\" : "") + Shown(name, escaped) + ": MOVED to " +
                                Shown(to, escaped) + "\n");
            continue;
        }
        if (options.IgnoreMissing)
            continue;
        ++failures;
        context_.Errors.FileProblem(name, missing_[m].Reason);
        if (!options.Status)
            context_.Output.Add(CheckedLine(name, "FAILED open or read"));
    }
    for (size_t n = 0; n < found.size(); ++n) {
        if (moves[n])
            continue;
        ++newCount_;
        if (!options.Status)
            context_.Output.Add(CheckedLine(found[n], "NEW"));
    }
    return failures;
}

void CheckAudit::Warnings() const
{
    Messages& errors = context_.Errors;
    if (newCount_)
        errors.Say("WARNING: " + std::to_string(newCount_) +
                   (newCount_ == 1 ? " file is not listed" : " files are not listed"));
    if (movedCount_)
        errors.Say("WARNING: " + std::to_string(movedCount_) +
                   (movedCount_ == 1 ? " listed file was moved" : " listed files were moved"));
}
