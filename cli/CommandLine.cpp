#include "cli/CommandLine.h"

#include "sums/SumLine.h"

#include <getopt.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>

#ifndef QUORVEX_VERSION
#error "QUORVEX_VERSION comes from the project version in CMake"
#endif

namespace {

// getopt_long's values for the options without a short letter; the algorithm flags follow
// kFirstAlgorithmFlag in the order of kDigestAlgorithms.
enum LongOnly : int {
    kAll = 256,
    kEvery,
    kTag,
    kSfv,
    kCsv,
    kTree,
    kEncoding,
    kProgress,
    kNoProgress,
    kQuiet,
    kStatus,
    kStrict,
    kIgnoreMissing,
    kRequireSignature,
    kNoSignature,
    kAudit,
    kHelp,
    kVersion,
    kFirstAlgorithmFlag,
};

std::vector<option> LongOptions()
{
    std::vector<option> options{
        {"algorithms", required_argument, nullptr, 'a'},
        {"all", no_argument, nullptr, kAll},
        {"every", no_argument, nullptr, kEvery},
        {"recursive", no_argument, nullptr, 'r'},
        {"jobs", required_argument, nullptr, 'j'},
        {"length", required_argument, nullptr, 'l'},
        {"binary", no_argument, nullptr, 'b'},
        {"text", no_argument, nullptr, 't'},
        {"zero", no_argument, nullptr, 'z'},
        {"tag", no_argument, nullptr, kTag},
        {"sfv", no_argument, nullptr, kSfv},
        {"csv", no_argument, nullptr, kCsv},
        {"tree", no_argument, nullptr, kTree},
        {"encoding", required_argument, nullptr, kEncoding},
        {"progress", no_argument, nullptr, kProgress},
        {"no-progress", no_argument, nullptr, kNoProgress},
        {"check", no_argument, nullptr, 'c'},
        {"quiet", no_argument, nullptr, kQuiet},
        {"status", no_argument, nullptr, kStatus},
        {"warn", no_argument, nullptr, 'w'},
        {"strict", no_argument, nullptr, kStrict},
        {"ignore-missing", no_argument, nullptr, kIgnoreMissing},
        {"require-signature", no_argument, nullptr, kRequireSignature},
        {"no-signature", no_argument, nullptr, kNoSignature},
        {"audit", no_argument, nullptr, kAudit},
        {"help", no_argument, nullptr, kHelp},
        {"version", no_argument, nullptr, kVersion},
    };
    // The names live in kDigestAlgorithms, whose string views point at literals: NUL-terminated.
    for (size_t i = 0; i < kDigestAlgorithms.size(); ++i)
        options.push_back({kDigestAlgorithms[i].Option.data(), no_argument, nullptr,
                           kFirstAlgorithmFlag + static_cast<int>(i)});
    options.push_back({nullptr, 0, nullptr, 0});
    return options;
}

bool SameLetters(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string AlgorithmList()
{
    std::string list;
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms) {
        if (!list.empty())
            list += ", ";
        list += info.Option;
    }
    return list;
}

// coreutils' words for a bad option argument.
std::string InvalidArgument(std::string_view value, std::string_view option)
{
    return std::string(kProgramName) + ": invalid argument '" + std::string(value) + "' for '" +
           std::string(option) + "'\n";
}

bool AddAlgorithms(std::string_view list, DigestSet& set, std::string& error)
{
    for (;;) {
        const size_t comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        // The command line's names, and every name a sum file may give (sums/SumLine.h):
        // "sha256", "SHA-256", "RMD160", "Tiger192" alike, in any case.
        DigestAlgorithm algorithm;
        if (!AlgorithmFromTag(name, algorithm)) {
            error = InvalidArgument(name, "--algorithms") + "Valid arguments are: " + AlgorithmList() + "\n";
            return false;
        }
        set.Add(algorithm);
        if (comma == std::string_view::npos)
            return true;
        list.remove_prefix(comma + 1);
    }
}

// b2sum's -l: bits, a multiple of 8 up to 512, 0 for the whole 512. Returns b2sum's second
// line for a bad length ("-" for none), "" when the length is good.
std::string ParseBlake2bLength(std::string_view text, size_t& bytes)
{
    unsigned bits = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), bits);
    if (failure != std::errc() || end != text.data() + text.size())
        return "-";
    if (bits > kBlake2bMaxBytes * 8)
        return "maximum digest length for 'BLAKE2b' is 512 bits";
    if (bits % 8 != 0)
        return "length is not a multiple of 8";
    bytes = bits == 0 ? kBlake2bMaxBytes : bits / 8;
    return {};
}

bool ParseJobs(std::string_view text, unsigned& jobs)
{
    unsigned value = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failure != std::errc() || end != text.data() + text.size() || value < 1 || value > 1024)
        return false;
    jobs = value;
    return true;
}

// What the scan saw beside the options' values, for the combinations that make no sense.
struct Seen {
    int Formats = 0;                    // how often the output format changed
    const char* Format = nullptr;       // the last format option, e.g. "--tag"
    const char* CheckOption = nullptr;  // the last option that only --check takes
    bool Encoding = false;
    bool BinaryOrText = false;  // -b or -t given
    bool Text = false;          // the last of them was -t
};

// The first combination that makes no sense, in coreutils' words where it has them; "" when
// there is none.
std::string Contradiction(const CommandLine& options, const Seen& seen)
{
    const std::string program = std::string(kProgramName) + ": ";
    if (seen.Formats > 1)
        return program + "choose only one of --tag, --sfv, --csv and --tree\n";
    if (options.Check) {
        if (seen.Format)
            return program + "the " + seen.Format + " option is meaningless when verifying checksums\n";
        if (options.Recursive)
            return program + "the --recursive option is meaningless when verifying checksums\n";
        if (seen.Encoding)
            return program + "the --encoding option is meaningless when verifying checksums\n";
        if (seen.BinaryOrText)
            return program + "the --binary and --text options are meaningless when verifying checksums\n";
        if (options.Zero)
            return program + "the --zero option is not supported when verifying checksums\n";
        if (options.RequireSignature && options.NoSignature)
            return program + "choose only one of --require-signature and --no-signature\n";
        return {};
    }
    if (seen.Text && options.Format == OutputFormat::Tagged && seen.Format)
        return program + "--tag does not support --text mode\n";
    if ((seen.BinaryOrText || options.Zero) && seen.Format && options.Format != OutputFormat::Tagged)
        return program +
               "the --binary, --text and --zero options are meaningful only with GNU or --tag lines\n";
    if (seen.CheckOption)
        return program + "the " + seen.CheckOption + " option is meaningful only when verifying checksums\n";
    if (seen.Encoding && options.Format != OutputFormat::Tree)
        return program + "the --encoding option is meaningful only with --tree\n";
    if (options.Format == OutputFormat::Sfv && options.AlgorithmsChosen) {
        DigestSet crcOnly;
        crcOnly.Add(DigestAlgorithm::CRC32);
        if (!(options.Algorithms == crcOnly))
            return program + "the --sfv format holds CRC-32 only\n";
    }
    return {};
}

}  // namespace

ParsedCommandLine ParseCommandLine(int argc, char** argv)
{
    ParsedCommandLine parsed;
    CommandLine& options = parsed.Options;
    const std::vector<option> longOptions = LongOptions();

    // getopt names the program by argv[0]; coreutils' tools name themselves.
    std::vector<char*> args(argv, argv + argc);
    std::string name = kProgramName;
    if (args.empty())
        args.push_back(name.data());
    else
        args[0] = name.data();
    args.push_back(nullptr);

    Seen seen;
    const auto chooseFormat = [&](OutputFormat format, const char* option) {
        if (!seen.Format || options.Format != format)
            ++seen.Formats;
        options.Format = format;
        seen.Format = option;
    };
    const auto checkOption = [&](bool& flag, const char* option) {
        flag = true;
        seen.CheckOption = option;
    };
    const auto usageError = [&](std::string message) {
        parsed.What = ParsedCommandLine::Outcome::UsageError;
        parsed.Error = std::move(message);
        return parsed;
    };

    optind = 0;  // a fresh scan, also when called more than once (tests)
    opterr = 1;
    for (;;) {
        const int c = getopt_long(static_cast<int>(args.size() - 1), args.data(), "a:rj:l:cwbtz",
                                  longOptions.data(), nullptr);
        if (c == -1)
            break;
        switch (c) {
        case 'a':
            if (!AddAlgorithms(optarg, options.Algorithms, parsed.Error))
                return usageError(parsed.Error);
            options.AlgorithmsChosen = true;
            break;
        case kAll:
        case kEvery:
            // --all is the window's eleven, as it always was; --every adds the further digests.
            for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
                if (c == kEvery || IsDescribed(info.Algorithm))
                    options.Algorithms.Add(info.Algorithm);
            options.AlgorithmsChosen = true;
            break;
        case 'r': options.Recursive = true; break;
        // As in coreutils, the last of --binary and --text decides.
        case 'b':
            options.Binary = true;
            seen.BinaryOrText = true;
            seen.Text = false;
            break;
        case 't':
            options.Binary = false;
            seen.BinaryOrText = true;
            seen.Text = true;
            break;
        case 'z': options.Zero = true; break;
        case 'j':
            if (!ParseJobs(optarg, options.Jobs))
                return usageError(std::string(kProgramName) + ": invalid number of jobs: '" + optarg +
                                  "' (1 to 1024)\n");
            break;
        case 'l':
            if (const std::string problem = ParseBlake2bLength(optarg, options.Blake2bBytes);
                !problem.empty())
                return usageError(std::string(kProgramName) + ": invalid length: '" + optarg + "'\n" +
                                  (problem == "-" ? "" : std::string(kProgramName) + ": " + problem + "\n"));
            break;
        case kTag: chooseFormat(OutputFormat::Tagged, "--tag"); break;
        case kSfv: chooseFormat(OutputFormat::Sfv, "--sfv"); break;
        case kCsv: chooseFormat(OutputFormat::Csv, "--csv"); break;
        case kTree: chooseFormat(OutputFormat::Tree, "--tree"); break;
        case kEncoding:
            if (SameLetters(optarg, "utf-8") || SameLetters(optarg, "utf8"))
                options.Gb18030 = false;
            else if (SameLetters(optarg, "gb18030"))
                options.Gb18030 = true;
            else
                return usageError(InvalidArgument(optarg, "--encoding") +
                                  "Valid arguments are: utf-8, gb18030\n");
            seen.Encoding = true;
            break;
        case kProgress: options.Progress = ProgressChoice::Always; break;
        case kNoProgress: options.Progress = ProgressChoice::Never; break;
        case 'c': options.Check = true; break;
        // As in coreutils, the last of --quiet, --status and --warn decides.
        case kQuiet:
            options.Status = options.Warn = false;
            checkOption(options.Quiet, "--quiet");
            break;
        case kStatus:
            options.Quiet = options.Warn = false;
            checkOption(options.Status, "--status");
            break;
        case 'w':
            options.Quiet = options.Status = false;
            checkOption(options.Warn, "--warn");
            break;
        case kStrict: checkOption(options.Strict, "--strict"); break;
        case kIgnoreMissing: checkOption(options.IgnoreMissing, "--ignore-missing"); break;
        case kRequireSignature: checkOption(options.RequireSignature, "--require-signature"); break;
        case kNoSignature: checkOption(options.NoSignature, "--no-signature"); break;
        case kAudit: checkOption(options.Audit, "--audit"); break;
        case kHelp: parsed.What = ParsedCommandLine::Outcome::Help; return parsed;
        case kVersion: parsed.What = ParsedCommandLine::Outcome::Version; return parsed;
        default:
            if (c >= kFirstAlgorithmFlag &&
                c < kFirstAlgorithmFlag + static_cast<int>(kDigestAlgorithms.size())) {
                options.Algorithms.Add(
                    kDigestAlgorithms[static_cast<size_t>(c - kFirstAlgorithmFlag)].Algorithm);
                options.AlgorithmsChosen = true;
                break;
            }
            // getopt has said what was wrong.
            return usageError({});
        }
    }
    for (int i = optind; i < static_cast<int>(args.size() - 1); ++i)
        options.Names.emplace_back(args[static_cast<size_t>(i)]);
    if (options.Names.empty())
        options.Names.emplace_back("-");

    // The window's start-up selection.
    if (!options.AlgorithmsChosen) {
        options.Algorithms.Add(DigestAlgorithm::MD5);
        options.Algorithms.Add(DigestAlgorithm::SHA1);
    }
    if (options.Format == OutputFormat::Sfv && !options.AlgorithmsChosen) {
        options.Algorithms = DigestSet{};
        options.Algorithms.Add(DigestAlgorithm::CRC32);
    }

    std::string contradiction = Contradiction(options, seen);
    if (!contradiction.empty())
        return usageError(std::move(contradiction));

    // One algorithm in coreutils' form, several in the tagged form, which names each one.
    if (!seen.Format) {
        size_t count = 0;
        for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
            count += options.Algorithms.Has(info.Algorithm);
        options.Format = count == 1 ? OutputFormat::Gnu : OutputFormat::Tagged;
    }
    return parsed;
}

// The further digests' names for the help's first lines, wrapped as the rest of the help is.
std::string FurtherAlgorithmNames()
{
    std::string names;
    size_t column = 0;
    for (size_t i = kDescribedDigestCount; i < kDigestAlgorithms.size(); ++i) {
        const std::string name =
            std::string(kDigestAlgorithms[i].LineName) + (i + 2 < kDigestAlgorithms.size()   ? ","
                                                          : i + 1 < kDigestAlgorithms.size() ? " and"
                                                                                             : "");
        if (column > 0 && column + 1 + name.size() > 78) {
            names += "\n";
            column = 0;
        } else if (column > 0) {
            names += ' ';
            ++column;
        }
        names += name;
        column += name.size();
    }
    return names;
}

// The options of every algorithm, in table order, at the help's indentation.
std::string WrappedOptionList()
{
    const std::string indent(27, ' ');
    std::string text = indent;
    size_t column = indent.size();
    for (size_t i = 0; i < kDigestAlgorithms.size(); ++i) {
        const std::string name =
            std::string(kDigestAlgorithms[i].Option) + (i + 1 < kDigestAlgorithms.size() ? "," : "");
        if (column > indent.size() && column + 1 + name.size() > 78) {
            text += "\n" + indent;
            column = indent.size();
        } else if (column > indent.size()) {
            text += ' ';
            ++column;
        }
        text += name;
        column += name.size();
    }
    return text + "\n";
}

std::string HelpText()
{
    std::string text = std::string("Usage: ") + kProgramName + " [OPTION]... [FILE|FOLDER]...\n" +
                       "  or:  " + kProgramName + " -c [OPTION]... [SUMFILE]...\n";
    text += R"(Print or check message digests: MD5, CRC-32, SHA-1, HAVAL-256/5, MD4, RIPEMD-128,
RIPEMD-160, SHA-256, SHA-384, SHA-512 and Tiger/192, and the further digests
)" + FurtherAlgorithmNames() +
            R"(.

With no FILE, or when FILE is -, read standard input. A FOLDER stands for the regular
files directly inside it, in sorted order; with -r for every regular file below it.

Algorithms (MD5 and SHA-1 when none is chosen):
  -a, --algorithms=LIST  the algorithms in LIST, separated by commas:
)" + WrappedOptionList() +
            R"(      --md5, --sha256, ...  one option per algorithm, with the names above
      --all              all eleven algorithms of the window's first menu part
                           (MD5 to Tiger/192)
      --every            every algorithm above
  -l, --length=BITS      the length of the BLAKE2b digests, a multiple of 8
                           up to 512 (default), as b2sum takes it
  -r, --recursive        hash the files in the folders below each FOLDER too
  -j, --jobs=N           hash with N threads (default: one per processor)
  -b, --binary           mark the files as read in binary mode: 'DIGEST *FILE'
                           (every file is read as it is; this only changes
                           the line)
  -t, --text             mark the files as read in text mode (the default)
  -z, --zero             end each output line with NUL, not newline, and
                           leave file names unescaped

Output (one algorithm: 'DIGEST  FILE' as sha256sum writes it; several: --tag):
      --tag              BSD-style lines: 'ALGO (FILE) = DIGEST'
      --sfv              SFV lines: 'FILE CRC32' (CRC-32 only)
      --csv              CSV: a header row, then file, size and one column
                           per algorithm
      --tree             the text of Quorvex's result file: each file's name,
                           then a TAB and one line per algorithm, CR LF ends
      --encoding=ENC     write --tree in ENC: utf-8 (default) or gb18030
      --progress         show the progress line on standard error even when
                           it is not a terminal
      --no-progress      never show the progress line

  -c, --check            read checksums from the SUMFILEs and check them:
                           GNU, BSD-style and SFV lines, the algorithm taken
                           from the tag, the file's name or the digest's length

The following options are useful only when verifying checksums:
      --audit           also walk each SUMFILE's folder as -r does: 'FILE: NEW'
                          for a file it does not list, 'OLD: MOVED to FILE' for
                          a missing file that is there under another name
      --ignore-missing  don't fail or report status for missing files
      --quiet          don't print OK for each successfully verified file
      --status         don't output anything, status code shows success
      --strict         exit non-zero for improperly formatted checksum lines
  -w, --warn           warn about improperly formatted checksum lines
      --require-signature  fail without checking any file unless the SUMFILE
                           has a good OpenPGP signature by a certified key
      --no-signature   don't look for an OpenPGP signature of the SUMFILE

      --help     display this help and exit
      --version  output version information and exit

A SUMFILE's OpenPGP signature is checked on your own keyring (GNUPGHOME) when
it has one: a clear signature (gpg --clearsign), or SUMFILE.asc, .gpg, .sig or
.sign beside it. Only the signed lines are used. A line on standard error tells
what the signature proved; after a BAD signature no file is checked. No key is
ever fetched or trusted for you.

Exit status is 0 when every file was read (and, with --check, matched), 1 when
some file could not be read or did not match, or a signature was BAD (or, with
--require-signature, not good), and 2 for a usage error.
)";
    return text;
}

std::string VersionText() { return std::string(kProgramName) + " (Quorvex) " + QUORVEX_VERSION + "\n"; }
