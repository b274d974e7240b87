// The command-line program quorvex: the window's digests for scripts, servers and pipelines,
// with the options, words and exit codes of coreutils' sha256sum.
#include "cli/CommandLine.h"
#include "cli/CommandLineFiles.h"
#include "cli/Commands.h"
#include "cli/Messages.h"
#include "cli/ResultOutput.h"
#include "platform/PosixFileSystem.h"

#include <clocale>
#include <string>

#include <unistd.h>

namespace {

void WriteAll(int fd, const std::string& text)
{
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    // Names in messages are quoted by what the user's locale can print, as coreutils does.
    std::setlocale(LC_ALL, "");

    Messages errors(STDERR_FILENO);
    const ParsedCommandLine parsed = ParseCommandLine(argc, argv);
    switch (parsed.What) {
    case ParsedCommandLine::Outcome::Help:
    case ParsedCommandLine::Outcome::Version: {
        ResultOutput output(STDOUT_FILENO, errors);
        output.Add(parsed.What == ParsedCommandLine::Outcome::Help ? HelpText() : VersionText());
        return output.Flush() ? kExitSuccess : kExitFailure;
    }
    case ParsedCommandLine::Outcome::UsageError:
        WriteAll(STDERR_FILENO, parsed.Error + "Try '" + kProgramName + " --help' for more information.\n");
        return kExitUsage;
    case ParsedCommandLine::Outcome::Run: break;
    }

    // A worker of the hashing engine left behind in a read that never returns still holds its
    // file through these, so they live as long as the program, never destroyed before it ends.
    static PosixFileSystem* const folders = new PosixFileSystem;
    static CommandLineFiles* const files = new CommandLineFiles(*folders);

    const CommandLine& options = parsed.Options;
    ResultOutput output(STDOUT_FILENO, errors, options.Zero ? '\0' : '\n');
    const bool showProgress =
        options.Progress == ProgressChoice::Always ||
        (options.Progress == ProgressChoice::WhenTerminal && ::isatty(STDERR_FILENO) == 1);
    CommandContext context{options, *files, *folders, errors, output, showProgress};
    return options.Check ? RunCheck(context) : RunCompute(context);
}
