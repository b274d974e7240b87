// The window program's command line: Qt's options, ours, and the names as native bytes.
#include "ui/CommandLine.h"

#include <gtest/gtest.h>

namespace {

using Words = std::vector<std::string>;

// An argv of the words, as the kernel hands it to main.
class Argv {
public:
    explicit Argv(Words words) : words_(std::move(words))
    {
        for (std::string& word : words_)
            pointers_.push_back(word.data());
        pointers_.push_back(nullptr);
    }
    int Count() const { return static_cast<int>(words_.size()); }
    char** Get() { return pointers_.data(); }

private:
    Words words_;
    std::vector<char*> pointers_;
};

Words WordsOf(const std::vector<char*>& pointers)
{
    Words words;
    for (char* pointer : pointers)
        words.emplace_back(pointer ? pointer : "<null>");
    return words;
}

TEST(CommandLineTest, QtSeesOnlyTheWordsBeforeTheEndOfOptions)
{
    Argv argv({"Sumora", "-style", "fusion", "a.txt", "--", "-style", "--new-window", "", "--"});
    const SplitArguments split = SplitAtEndOfOptions(argv.Count(), argv.Get());
    EXPECT_EQ(WordsOf(split.Options), (Words{"Sumora", "-style", "fusion", "a.txt", "<null>"}));
    EXPECT_EQ(split.AfterEnd, (Words{"-style", "--new-window", "", "--"}));

    Argv plain({"Sumora"});
    const SplitArguments none = SplitAtEndOfOptions(plain.Count(), plain.Get());
    EXPECT_EQ(WordsOf(none.Options), (Words{"Sumora", "<null>"}));
    EXPECT_TRUE(none.AfterEnd.empty());
}

TEST(CommandLineTest, OptionsAndNamesInTheirOrderWithTheirOwnBytes)
{
    Argv argv({"Sumora", "b.txt", "--new-window", "caf\xE9", "-", "line\nbreak", "a b"});
    const CommandLine line = ParseCommandLine(argv.Count(), argv.Get(), {"--help", "-x"});
    EXPECT_TRUE(line.NewWindow);
    EXPECT_FALSE(line.Recursive);
    EXPECT_FALSE(line.Help) << "after \"--\" it is a name";
    EXPECT_FALSE(line.Version);
    EXPECT_TRUE(line.Error.empty()) << line.Error;
    EXPECT_EQ(line.Names, (Words{"b.txt", "caf\xE9", "-", "line\nbreak", "a b", "--help", "-x"}));

    Argv bare({"Sumora"});
    const CommandLine nothing = ParseCommandLine(bare.Count(), bare.Get(), {});
    EXPECT_FALSE(nothing.NewWindow);
    EXPECT_TRUE(nothing.Names.empty());
    EXPECT_TRUE(nothing.Error.empty());

    Argv trees({"Sumora", "photos", "--recursive", "a.txt"});
    const CommandLine recursive = ParseCommandLine(trees.Count(), trees.Get(), {"--recursive"});
    EXPECT_TRUE(recursive.Recursive);
    EXPECT_EQ(recursive.Names, (Words{"photos", "a.txt", "--recursive"}));

    Argv asks({"Sumora", "--version", "--help"});
    const CommandLine questions = ParseCommandLine(asks.Count(), asks.Get(), {});
    EXPECT_TRUE(questions.Help);
    EXPECT_TRUE(questions.Version);
}

TEST(CommandLineTest, AnUnknownOptionIsReportedWithTheFirstSuchWord)
{
    Argv argv({"Sumora", "a.txt", "--new-windows", "-q"});
    const CommandLine line = ParseCommandLine(argv.Count(), argv.Get(), {});
    EXPECT_EQ(line.Error, "unrecognized option '--new-windows'");
    EXPECT_EQ(UsageText("Sumora").rfind("Usage: Sumora [OPTION]... [FILE|FOLDER]...\n", 0), 0u);
    EXPECT_NE(UsageText("Sumora").find("--new-window"), std::string::npos);
    EXPECT_EQ(VersionText(), "Sumora (Quorvex) " QUORVEX_VERSION "\n");
}

TEST(CommandLineTest, RelativeNamesAreReadAgainstTheStartFolder)
{
    EXPECT_EQ(AbsoluteName("a.txt", "/home/u"), "/home/u/a.txt");
    EXPECT_EQ(AbsoluteName("sub/a.txt", "/home/u/"), "/home/u/sub/a.txt");
    EXPECT_EQ(AbsoluteName("./a.txt", "/home/u"), "/home/u/a.txt");
    EXPECT_EQ(AbsoluteName(".//./a.txt", "/home/u"), "/home/u/a.txt");
    EXPECT_EQ(AbsoluteName(".", "/home/u"), "/home/u");
    EXPECT_EQ(AbsoluteName("./", "/home/u"), "/home/u");
    EXPECT_EQ(AbsoluteName("../x", "/home/u"), "/home/u/../x") << "a link in the path may lead anywhere";
    EXPECT_EQ(AbsoluteName(".hidden", "/home/u"), "/home/u/.hidden");
    EXPECT_EQ(AbsoluteName("a.txt", "/"), "/a.txt");
    EXPECT_EQ(AbsoluteName("caf\xE9", "/d\xFF"), "/d\xFF/caf\xE9");
    EXPECT_EQ(AbsoluteName("/srv/a.txt", "/home/u"), "/srv/a.txt");
    EXPECT_EQ(AbsoluteName("", "/home/u"), "")
        << "an empty name is refused as it stands, not taken as the folder";
    EXPECT_EQ(AbsoluteName("a.txt", ""), "a.txt") << "no start folder known";
}

}  // namespace
