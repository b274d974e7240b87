// quorvex [OPTION]... [FILE|FOLDER]...: the digests of every file, in the order of the names.
#include "cli/CommandLineFiles.h"
#include "cli/Commands.h"
#include "cli/InputNames.h"
#include "cli/Messages.h"
#include "cli/ProgressLine.h"
#include "cli/ResultFormats.h"
#include "cli/ResultOutput.h"
#include "hashing/HashingEngine.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

#include <memory>

namespace {

// The names' files hashed as the walk finds them, their records written in list order.
class Computation {
public:
    explicit Computation(CommandContext& context) : context_(context), options_(context.Options)
    {
        HashingOptions hashing;
        hashing.Threads = options_.Jobs;
        hashing.Blake2bBytes = options_.Blake2bBytes;
        run_ = std::make_unique<HashingRun>(context.Files, options_.Algorithms, hashing);
        stream_ = std::make_unique<ResultStream>(*run_, context.Output);
    }

    int Run()
    {
        bool failed = false;
        try {
            context_.Output.Add(OutputHeader(options_));
            // While the walk goes on, its files are hashed and what is ready is written; a
            // progress line, which names files by their place in the list, waits for the whole
            // list.
            const auto found = [&](const InputList& list) {
                Send(list);
                while (std::optional<HashResult> result = stream_->NextIfReady())
                    if (!Write(list, *result, failed))
                        return false;
                return true;
            };
            const InputList input = ExpandNames(options_.Names, options_.Recursive, context_.ShowProgress,
                                                context_.Folders, context_.Errors, found);
            failed = failed || input.Failed;
            Send(input);
            run_->EndOfPaths();
            std::unique_ptr<ProgressLine> progress;
            if (context_.ShowProgress)
                progress = std::make_unique<ProgressLine>(
                    context_.Errors, *run_, [&](size_t index) { return input.Items[index].Path; },
                    input.KnownBytes);
            while (std::optional<HashResult> result = stream_->Next())
                if (!Write(input, *result, failed))
                    break;
        } catch (const TextEncodingError& error) {
            context_.Errors.Say(error.what());
            failed = true;
        }
        if (!context_.Output.Flush())
            failed = true;
        return failed ? kExitFailure : kExitSuccess;
    }

private:
    void Send(const InputList& list)
    {
        std::vector<std::string> paths;
        paths.reserve(list.Items.size() - sent_);
        for (; sent_ < list.Items.size(); ++sent_)
            paths.push_back(list.Items[sent_].Path);
        run_->AddPaths(std::move(paths));
    }

    // The result's record, or its problem; false once nobody reads what follows (the run is
    // stopped then rather than hash for nothing).
    bool Write(const InputList& list, const HashResult& result, bool& failed)
    {
        const std::string& name = list.Items[result.Index].Path;
        if (result.Outcome != HashOutcome::Digests) {
            bool noSuchFile = false;
            context_.Errors.FileProblem(name, FailureReason(name, result, noSuchFile));
            failed = true;
            if (options_.Format != OutputFormat::Tree)
                return true;
        }
        const std::optional<std::string> record = OutputRecord(options_, name, result);
        if (!record) {
            context_.Errors.FileProblem(name, "an SFV line cannot hold a name with a line break");
            failed = true;
            return true;
        }
        context_.Output.Add(*record);
        if (context_.Output.Failed()) {
            run_->Stop();
            return false;
        }
        return true;
    }

    CommandContext& context_;
    const CommandLine& options_;
    std::unique_ptr<HashingRun> run_;
    std::unique_ptr<ResultStream> stream_;
    size_t sent_ = 0;
};

}  // namespace

int RunCompute(CommandContext& context) { return Computation(context).Run(); }
