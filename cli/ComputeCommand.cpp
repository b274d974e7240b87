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

int RunCompute(CommandContext& context)
{
    const CommandLine& options = context.Options;
    InputList input =
        ExpandNames(options.Names, options.Recursive, context.ShowProgress, context.Folders, context.Errors);
    bool failed = input.Failed;

    try {
        context.Output.Add(OutputHeader(options));
        std::vector<std::string> paths;
        paths.reserve(input.Items.size());
        for (const InputItem& item : input.Items)
            paths.push_back(item.Path);

        HashingOptions hashing;
        hashing.Threads = options.Jobs;
        hashing.Blake2bBytes = options.Blake2bBytes;
        HashingRun run(context.Files, std::move(paths), options.Algorithms, hashing);
        std::unique_ptr<ProgressLine> progress;
        if (context.ShowProgress)
            progress = std::make_unique<ProgressLine>(
                context.Errors, run, [&](size_t index) { return input.Items[index].Path; }, input.KnownBytes);

        ResultStream stream(run, context.Output);
        while (std::optional<HashResult> result = stream.Next()) {
            const std::string& name = input.Items[result->Index].Path;
            if (result->Outcome != HashOutcome::Digests) {
                bool noSuchFile = false;
                context.Errors.FileProblem(name, FailureReason(name, *result, noSuchFile));
                failed = true;
                if (options.Format != OutputFormat::Tree)
                    continue;
            }
            const std::optional<std::string> record = OutputRecord(options, name, *result);
            if (!record) {
                context.Errors.FileProblem(name, "an SFV line cannot hold a name with a line break");
                failed = true;
                continue;
            }
            context.Output.Add(*record);
            // Nobody reads what follows: stop at once rather than hash for nothing.
            if (context.Output.Failed()) {
                run.Stop();
                break;
            }
        }
    } catch (const TextEncodingError& error) {
        context.Errors.Say(error.what());
        failed = true;
    }
    if (!context.Output.Flush())
        failed = true;
    return failed ? kExitFailure : kExitSuccess;
}
