// Delete, Clear list, the algorithm items and the engine list.
#include "tests/checking/CheckerTestBed.h"

namespace {

class Commands : public CheckerTestBed {
protected:
    // Three entries, calculated: the first and last are copies and share colour group 1.
    void CalculatedListWithCopies()
    {
        Drop({dir.Write("a.txt", "same"), dir.Write("b.txt", "other"), dir.Write("c.txt", "same")});
        Calculate();
        ASSERT_EQ(checker.List().At(0).ColourGroup, 1);
        window.Forget();
    }
};

struct NotAnEngine : TComponent {
    using TComponent::TComponent;
};

}  // namespace

TEST_F(Commands, DeleteRemovesTheSelectedEntryClearsTheTreeAndColours)
{
    CalculatedListWithCopies();
    checker.List().Select(1);
    checker.DeleteSelected();

    ASSERT_EQ(checker.List().Count(), 2u);
    EXPECT_EQ(checker.List().At(1).Caption, "c.txt");
    EXPECT_TRUE(checker.Tree().Empty());
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(checker.List().At(i).Status, kStatusPending);
        EXPECT_EQ(checker.List().At(i).ColourGroup, -1);
    }
    // Neither the status text nor a command changes.
    EXPECT_TRUE(window.Calls.empty());
}

TEST_F(Commands, DeleteWithoutSelectionOnlyMakesEverythingPending)
{
    CalculatedListWithCopies();
    checker.List().Select(std::nullopt);
    checker.DeleteSelected();

    EXPECT_EQ(checker.List().Count(), 3u);
    EXPECT_EQ(checker.Tree().RootCount(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(checker.List().At(i).Status, kStatusPending);
    EXPECT_EQ(checker.List().At(0).ColourGroup, 1);
    EXPECT_EQ(checker.List().At(2).ColourGroup, 1);
    EXPECT_TRUE(window.Calls.empty());
}

TEST_F(Commands, ClearListEmptiesBothAndResetsBarsStatusAndSaveButton)
{
    CalculatedListWithCopies();
    checker.ClearList();

    EXPECT_TRUE(checker.List().Empty());
    EXPECT_TRUE(checker.Tree().Empty());
    EXPECT_EQ(window.Calls, (std::vector<std::string>{"CurrentBar 0", "OverallBar 0/3", "Status 准备就绪",
                                                      "DisableSaveToolButton"}));
    EXPECT_TRUE(window.SaveMenuEnabled);
    EXPECT_FALSE(window.SaveToolButtonEnabled);
    EXPECT_TRUE(window.CommandsEnabled);

    // Also on an empty list.
    window.Forget();
    checker.ClearList();
    EXPECT_EQ(window.CountOf("Status 准备就绪"), 1u);
    EXPECT_EQ(window.CountOf("DisableSaveToolButton"), 1u);
}

TEST_F(Commands, EngineItemsSetTheirEngineEntryToTheItemsState)
{
    // Each engine item and the engine it selects, by the name the engine reports.
    const std::vector<std::pair<HashItem, std::string>> engineOfItem{
        {HashItem::Haval256, "Haval (256bit, 5 passes)"},
        {HashItem::MD4, "MD4"},
        {HashItem::RipeMD128, "RipeMD-128"},
        {HashItem::RipeMD160, "RipeMD-160"},
        {HashItem::SHA1, "SHA1"},
        {HashItem::SHA256, "SHA256"},
        {HashItem::SHA384, "SHA384"},
        {HashItem::SHA512, "SHA512"},
        {HashItem::Tiger192, "Tiger"}};
    for (const auto& [item, engineName] : engineOfItem) {
        size_t index = 0;
        while (index < checker.EngineCount() && checker.EngineText(index) != engineName)
            ++index;
        ASSERT_LT(index, checker.EngineCount()) << engineName;
        for (bool state : {true, true, false, false, true}) {
            EXPECT_TRUE(checker.HashItemClicked(item, state));
            EXPECT_EQ(checker.IsChecked(item), state);
            for (size_t other = 0; other < checker.EngineCount(); ++other) {
                if (other == index || checker.EngineText(other) == "SHA1")
                    continue;
                EXPECT_FALSE(checker.EngineChecked(other))
                    << engineName << " checked " << checker.EngineText(other);
            }
            EXPECT_EQ(checker.EngineChecked(index), state) << engineName;
        }
        if (item != HashItem::SHA1)
            checker.HashItemClicked(item, false);
    }
    // The MD5 and CRC items touch no engine, and the MD5 engine is never checked.
    SelectOnly({HashItem::MD5, HashItem::CRC32_FCS32});
    for (size_t i = 0; i < checker.EngineCount(); ++i)
        EXPECT_FALSE(checker.EngineChecked(i)) << i;
}

TEST_F(Commands, EngineListHoldsTheTenEnginesInCreationOrderWithSha1Checked)
{
    const std::vector<std::string> expected{"SHA1",       "Haval (256bit, 5 passes)",
                                            "MD4",        "RipeMD-128",
                                            "RipeMD-160", "SHA256",
                                            "SHA384",     "SHA512",
                                            "Tiger",      "MD5"};
    const std::vector<int> hashSizes{160, 256, 128, 128, 160, 256, 384, 512, 192, 128};
    ASSERT_EQ(checker.EngineCount(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(checker.EngineText(i), expected[i]);
        EXPECT_EQ(checker.Engine(i).Algorithm(), expected[i]);
        EXPECT_EQ(checker.Engine(i).HashSize(), hashSizes[i]);
        EXPECT_EQ(checker.EngineChecked(i), i == 0);
    }
}

TEST_F(Commands, EngineListPassesOverComponentsThatAreNotEngines)
{
    TComponent mixed;
    new NotAnEngine(&mixed);
    CreateEngineComponents(mixed);
    new NotAnEngine(&mixed);
    checker.FillEngineList(mixed);

    ASSERT_EQ(checker.EngineCount(), 10u);
    EXPECT_EQ(checker.EngineText(0), "SHA1");
    EXPECT_EQ(checker.EngineText(9), "MD5");
    EXPECT_TRUE(checker.EngineChecked(0));
}
