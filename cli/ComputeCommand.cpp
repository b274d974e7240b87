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

#include <cerrno>
#include <cstring>
#include <memory>

#include <sys/stat.h>

std::string MissingReason(const std::string& path, bool& noSuchFile)
{
    struct stat st;
    noSuchFile = false;
    if (path.find('\0') == std::string::npos && ::stat(path.c_str(), &st) != 0) {
        noSuchFile = errno == ENOENT;
        return std::strerror(errno);
    }
    if (S_ISDIR(st.st_mode))
        return std::strerror(EISDIR);
    // It came back between the engine's look and ours; it was not there when it counted.
    noSuchFile = true;
    return std::strerror(ENOENT);
}

namespace {

// The one message a file that gave no digests gets, in coreutils' words where they exist.
std::string FailureReason(const std::string& path, const HashResult& result)
{
    bool noSuchFile = false;
    switch (result.Outcome) {
    case HashOutcome::Missing:
        return MissingReason(path, noSuchFile);
    case HashOutcome::CannotOpen:
    case HashOutcome::ReadFailed:
    case HashOutcome::Shrank:
        return result.Reason;
    case HashOutcome::Digests:
    case HashOutcome::Stopped:
        break;
    }
    return {};
}

}  // namespace

int RunCompute(CommandContext& context)
{
    const CommandLine& options = context.Options;
    InputList input = ExpandNames(options.Names, options.Recursive, context.ShowProgress,
                                  context.Folders, context.Errors);
    bool failed = input.Failed;

    try {
        context.Output.Add(OutputHeader(options));
        std::vector<std::string> paths;
        paths.reserve(input.Items.size());
        for (const InputItem& item : input.Items)
            paths.push_back(item.Path);

        HashingOptions hashing;
        hashing.Threads = options.Jobs;
        HashingRun run(context.Files, std::move(paths), options.Algorithms, hashing);
        std::unique_ptr<ProgressLine> progress;
        if (context.ShowProgress)
            progress = std::make_unique<ProgressLine>(
                context.Errors, run, [&](size_t index) { return input.Items[index].Path; },
                input.KnownBytes);

        while (std::optional<HashResult> result = context.Output.NextResult(run)) {
            const std::string& name = input.Items[result->Index].Path;
            if (result->Outcome != HashOutcome::Digests) {
                context.Errors.FileProblem(name, FailureReason(name, *result));
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
