// quorvex -c SUMFILE...: every listed file against its digest, with coreutils' words, its
// order of messages and its exit status. The sum file is read as a stream and checked in
// batches, so a sum file of any size is checked in bounded memory and results come as they go.
#include "cli/CheckAudit.h"
#include "cli/CommandLineFiles.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/ProgressLine.h"
#include "cli/ResultOutput.h"
#include "cli/SignatureLines.h"
#include "hashing/HashingEngine.h"
#include "platform/FileSystem.h"
#include "sums/SignedSumFile.h"
#include "sums/SumFileReader.h"
#include "sums/SumVerdict.h"
#include "sums/SumWriter.h"

#include <map>
#include <memory>
#include <optional>
#include <variant>

namespace {

// Listings hashed in one run of the engine; their lines are printed before the next batch is read.
constexpr size_t kBatchListings = 4096;
// Unreadable lines waiting for their turn on standard error, at most; then they go out at once.
constexpr size_t kBatchProblems = 65536;

struct Totals {
    size_t Listings = 0;  // properly formatted lines
    size_t Misformatted = 0;
    size_t OpenOrReadFailures = 0;
    size_t Mismatches = 0;
    size_t Matches = 0;
};

// A line of the sum file, as it waits for its turn: a file to check, or the number of a line
// that could not be read.
using PendingLine = std::variant<SumListing, size_t>;

// A checked name as coreutils prints it before ": OK": escaped only when it holds a line feed.
std::string CheckedName(const std::string& name)
{
    if (name.find('\n') == std::string::npos)
        return name;
    return "\\" + EscapedSumName(name);
}

class SumFileCheck {
public:
    SumFileCheck(CommandContext& context, const std::string& sumFile)
        : context_(context), options_(context.Options), sumFile_(sumFile),
          shownName_(sumFile == kStandardInputName ? "standard input" : sumFile)
    {
        if (options_.AlgorithmsChosen)
            hint_.Algorithms = options_.Algorithms;
        else
            hint_ = HintFromSumFileName(sumFile == kStandardInputName ? "" : sumFile);
        if (options_.Audit)
            audit_ = std::make_unique<CheckAudit>(context, sumFile);
    }

    // True when every listed file was read and matched (coreutils' rule, --strict included), and
    // the signature, if there is one, was not BAD.
    bool Run()
    {
        SumFileParser parser(
            hint_, [this](const SumListing& listing) { Listed(listing); },
            [this](const SumLineProblem& problem) { Unreadable(problem.LineNumber); });
        parser.CountRemarksAsProblems();
        SignedReadSettings settings;
        settings.CheckSignature = !options_.NoSignature;
        settings.LookBeside = sumFile_ != kStandardInputName;
        bool filesChecked = false;
        try {
            ReadSignedSumFile(
                context_.Files, sumFile_, settings,
                [&](const SignatureCheck& check) { return filesChecked = SignatureDecided(check); },
                [&](std::string_view bytes) {
                    if (!context_.Output.Failed())
                        parser.Feed(bytes);
                });
            if (!filesChecked || context_.Output.Failed())
                return false;
            parser.Finish();
        } catch (const FileError& error) {
            CheckBatch();
            context_.Errors.FileProblem(shownName_, error.what());
            return false;
        }
        CheckBatch();
        if (audit_ && totals_.Listings > 0 && !context_.Output.Failed())
            totals_.OpenOrReadFailures += audit_->Finish();
        return Summary();
    }

private:
    // The signature's line, before the lines of the files; false when no file is to be checked.
    bool SignatureDecided(const SignatureCheck& check)
    {
        if (!options_.Status) {
            if (SignatureLineShown(check, options_.RequireSignature))
                context_.Errors.FileProblem(shownName_, SignatureLineText(check));
            if (const std::string outside = LinesOutsideText(check); !outside.empty())
                context_.Errors.FileProblem(shownName_, outside);
        }
        return FilesAreChecked(check, options_.RequireSignature);
    }

    void Listed(SumListing listing)
    {
        if (MayBeShortBlake2b(listing.Line))
            listing.Line.Candidates.Add(DigestAlgorithm::Blake2b);
        // With -a, only the lines of those algorithms count, as sha256sum counts SHA-256 lines.
        if (options_.AlgorithmsChosen) {
            DigestSet both;
            for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
                if (listing.Line.Candidates.Has(info.Algorithm) && options_.Algorithms.Has(info.Algorithm))
                    both.Add(info.Algorithm);
            if (both.Empty()) {
                Unreadable(listing.LineNumber);
                return;
            }
            listing.Line.Candidates = both;
        }
        // One run of the engine computes BLAKE2b at one length, and b2sum -c takes each line's
        // length from its digest: a line of another length than the batch's starts a new batch.
        if (listing.Line.Candidates.Has(DigestAlgorithm::Blake2b)) {
            const size_t bytes = listing.Line.Digest.size() / 2;
            if (pendingBlake2bBytes_ && *pendingBlake2bBytes_ != bytes)
                CheckBatch();
            pendingBlake2bBytes_ = bytes;
        }
        ++totals_.Listings;
        if (audit_)
            audit_->Listed(listing.Line.Name);
        pending_.emplace_back(std::move(listing));
        if (++pendingListings_ >= kBatchListings)
            CheckBatch();
    }

    // "b2sum -l 256" writes GNU lines that only a name or -a tells from SHA-256's. A line that
    // no name explains may be such a BLAKE2b too; every candidate is computed here, so that one
    // is as well, and an intact file is never FAILED for a length b2sum chose.
    bool MayBeShortBlake2b(const SumLine& line) const
    {
        return line.Form == SumLineForm::Gnu && hint_.Algorithms.Empty() && !hint_.Sfv &&
               !line.Candidates.Has(DigestAlgorithm::Blake2b) && line.Digest.size() % 2 == 0 &&
               line.Digest.size() <= kBlake2bMaxBytes * 2;
    }

    void Unreadable(size_t lineNumber)
    {
        ++totals_.Misformatted;
        pending_.emplace_back(lineNumber);
        if (pending_.size() >= kBatchProblems + kBatchListings)
            CheckBatch();
    }

    void CheckBatch()
    {
        // Each listed path once, with every algorithm any of its lines may need.
        std::vector<std::string> paths;
        std::map<std::string, size_t> pathIndex;
        DigestSet algorithms;
        for (const PendingLine& line : pending_) {
            const SumListing* listing = std::get_if<SumListing>(&line);
            if (!listing)
                continue;
            if (pathIndex.emplace(listing->Line.Name, paths.size()).second)
                paths.push_back(listing->Line.Name);
            for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
                if (listing->Line.Candidates.Has(info.Algorithm))
                    algorithms.Add(info.Algorithm);
        }

        HashingOptions hashing;
        hashing.Threads = options_.Jobs;
        hashing.Blake2bBytes = pendingBlake2bBytes_.value_or(options_.Blake2bBytes);
        pendingBlake2bBytes_.reset();
        HashingRun run(context_.Files, paths, algorithms, hashing);
        std::unique_ptr<ProgressLine> progress;
        if (context_.ShowProgress && !paths.empty())
            progress = std::make_unique<ProgressLine>(
                context_.Errors, run, [&](size_t index) { return paths[index]; }, KnownBytes(paths));
        ResultStream stream(run, context_.Output);
        std::vector<HashResult> results;
        results.reserve(paths.size());
        for (const PendingLine& line : pending_) {
            if (const size_t* lineNumber = std::get_if<size_t>(&line)) {
                Misformatted(*lineNumber);
                continue;
            }
            const SumListing& listing = std::get<SumListing>(line);
            const size_t index = pathIndex.at(listing.Line.Name);
            while (results.size() <= index)
                results.push_back(*stream.Next());
            Verdict(listing.Line, results[index]);
            if (context_.Output.Failed()) {
                run.Stop();
                break;
            }
        }
        pending_.clear();
        pendingListings_ = 0;
    }

    // What the batch will read, for the time left: the sizes that can be had without reading.
    int64_t KnownBytes(const std::vector<std::string>& paths) const
    {
        int64_t total = 0;
        for (const std::string& path : paths) {
            if (path == kStandardInputName)
                continue;
            try {
                total += context_.Folders.ProbeSize(path);
            } catch (const FileError&) {
                // Said in its place, when the engine meets it.
            }
        }
        return total;
    }

    void Misformatted(size_t lineNumber)
    {
        if (!options_.Warn)
            return;
        std::string algorithm;
        size_t count = 0;
        for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
            if (hint_.Algorithms.Has(info.Algorithm)) {
                algorithm = std::string(info.BsdTag) + " ";
                ++count;
            }
        if (count != 1)
            algorithm.clear();
        context_.Errors.FileProblem(shownName_, std::to_string(lineNumber) + ": improperly formatted " +
                                                    algorithm + "checksum line");
    }

    void Verdict(const SumLine& line, const HashResult& result)
    {
        if (result.Outcome != HashOutcome::Digests) {
            bool noSuchFile = false;
            const std::string reason = FailureReason(line.Name, result, noSuchFile);
            if (noSuchFile && audit_) {
                audit_->Missing(line, reason);
                return;
            }
            if (noSuchFile && options_.IgnoreMissing)
                return;
            context_.Errors.FileProblem(line.Name, reason);
            ++totals_.OpenOrReadFailures;
            if (!options_.Status)
                context_.Output.Add(CheckedName(line.Name) + ": FAILED open or read\n");
            return;
        }
        ComputedDigests computed;
        for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
            if (line.Candidates.Has(info.Algorithm))
                computed.Set(info.Algorithm, DigestHex(result.Digest(info.Algorithm), false));
        if (Judge(line.Digest, line.Candidates, computed) == SumVerdict::Matches) {
            ++totals_.Matches;
            if (!options_.Status && !options_.Quiet)
                context_.Output.Add(CheckedName(line.Name) + ": OK\n");
        } else {
            ++totals_.Mismatches;
            if (!options_.Status)
                context_.Output.Add(CheckedName(line.Name) + ": FAILED\n");
        }
    }

    static std::string Counted(size_t count, const char* one, const char* many)
    {
        return "WARNING: " + std::to_string(count) + " " + (count == 1 ? one : many);
    }

    bool Summary()
    {
        if (totals_.Listings == 0) {
            context_.Errors.FileProblem(shownName_, "no properly formatted checksum lines found");
            return false;
        }
        if (!options_.Status) {
            Messages& errors = context_.Errors;
            if (totals_.Misformatted)
                errors.Say(Counted(totals_.Misformatted, "line is improperly formatted",
                                   "lines are improperly formatted"));
            if (totals_.OpenOrReadFailures)
                errors.Say(Counted(totals_.OpenOrReadFailures, "listed file could not be read",
                                   "listed files could not be read"));
            if (totals_.Mismatches)
                errors.Say(Counted(totals_.Mismatches, "computed checksum did NOT match",
                                   "computed checksums did NOT match"));
            if (audit_)
                audit_->Warnings();
            if (options_.IgnoreMissing && totals_.Matches == 0)
                errors.FileProblem(shownName_, "no file was verified");
        }
        return totals_.Matches > 0 && !(audit_ && audit_->FoundAnything()) && totals_.Mismatches == 0 &&
               totals_.OpenOrReadFailures == 0 && !(options_.Strict && totals_.Misformatted > 0);
    }

    CommandContext& context_;
    const CommandLine& options_;
    const std::string& sumFile_;
    const std::string shownName_;
    SumFileHint hint_;
    std::vector<PendingLine> pending_;
    size_t pendingListings_ = 0;
    std::optional<size_t> pendingBlake2bBytes_;  // the length the pending lines need, if any
    Totals totals_;
    std::unique_ptr<CheckAudit> audit_;  // with --audit
};

}  // namespace

int RunCheck(CommandContext& context)
{
    bool allGood = true;
    for (const std::string& sumFile : context.Options.Names) {
        if (!SumFileCheck(context, sumFile).Run())
            allGood = false;
        if (context.Output.Failed())
            break;
    }
    if (!context.Output.Flush())
        allGood = false;
    return allGood ? kExitSuccess : kExitFailure;
}
