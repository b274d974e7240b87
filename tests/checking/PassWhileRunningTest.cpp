// What the window can do while a pass lets its events run: drops are taken in and wait, and
// nothing removes entries, clears the tree, changes the selection or starts a second pass.
#include "tests/checking/CheckerTestBed.h"

#include <stdexcept>

namespace {

class WhileRunning : public CheckerTestBed {
protected:
    WhileRunning()
    {
        first = dir.Write("first.txt", "abc");
        second = dir.Write("second.txt", "abc");
        dropped = dir.Write("dropped.txt", "abc");
    }

    std::string first, second, dropped;
};

}  // namespace

TEST_F(WhileRunning, DropIsAppendedNotVisitedAndCommandsStayDisabled)
{
    Drop({first, second});
    std::vector<std::string> callsOfTheDrop;
    window.OnEvents = [&](int run) {
        if (run != 1)
            return;
        const size_t before = window.Calls.size();
        EXPECT_TRUE(checker.AddDropped({dropped}).Refused.empty());
        callsOfTheDrop.assign(window.Calls.begin() + static_cast<std::ptrdiff_t>(before), window.Calls.end());
        EXPECT_FALSE(window.CommandsEnabled);
        EXPECT_EQ(window.StatusText, "正在计算，请稍候。");
    };
    checker.Calculate();

    EXPECT_EQ(callsOfTheDrop, (std::vector<std::string>{"RefreshEntryIcons"}));
    ASSERT_EQ(checker.List().Count(), 3u);
    EXPECT_EQ(checker.Tree().RootCount(), 2u);
    EXPECT_TRUE(checker.List().IsDone(1));
    EXPECT_FALSE(checker.List().IsDone(2));
    EXPECT_EQ(window.OverallMaximum, 2);
    EXPECT_EQ(window.CountOf("EnableCommands"), 2u);  // the intake before the pass, and its end
    EXPECT_EQ(window.StatusText, "计算完毕");

    // The next pass takes the dropped file alone.
    window.OnEvents = nullptr;
    checker.Calculate();
    ASSERT_EQ(checker.Tree().RootCount(), 1u);
    EXPECT_EQ(checker.Tree().Root(0).Entry, 2u);
}

TEST_F(WhileRunning, DeleteClearCalculateAndAlgorithmItemsAreIgnored)
{
    Drop({first, second});
    checker.List().Select(0);
    window.OnEvents = [&](int run) {
        if (run != 3)  // inside the second entry, after the first got its lines
            return;
        EXPECT_TRUE(checker.PassRunning());
        const size_t before = window.Calls.size();
        checker.DeleteSelected();
        checker.ClearList();
        checker.Calculate();
        EXPECT_FALSE(checker.HashItemClicked(HashItem::SHA256, true));
        EXPECT_FALSE(checker.HashItemClicked(HashItem::MD5, false));
        EXPECT_EQ(window.Calls.size(), before);
        EXPECT_EQ(checker.List().Count(), 2u);
        EXPECT_EQ(checker.Tree().RootCount(), 2u);
        EXPECT_TRUE(checker.List().IsDone(0));
    };
    checker.Calculate();

    EXPECT_FALSE(checker.PassRunning());
    EXPECT_FALSE(checker.IsChecked(HashItem::SHA256));
    EXPECT_TRUE(checker.IsChecked(HashItem::MD5));
    EXPECT_FALSE(checker.EngineChecked(5));
    ASSERT_EQ(checker.Tree().RootCount(), 2u);
    EXPECT_EQ(Lines(1).size(), 2u);
    EXPECT_TRUE(checker.List().IsDone(0));
    EXPECT_EQ(window.CountOf("ShowProgressGroup"), 1u);
}

TEST_F(WhileRunning, FailureEscapingAPassDoesNotLeaveItRunning)
{
    SelectOnly({HashItem::SHA1});
    Drop({first});
    window.OnEvents = [](int) { throw std::runtime_error("the window's event handler failed"); };
    EXPECT_THROW(checker.Calculate(), std::runtime_error);
    EXPECT_FALSE(checker.PassRunning());
    // The window is not left busy with its commands switched off.
    EXPECT_FALSE(window.BusyCursor);
    EXPECT_TRUE(window.CommandsEnabled);
    EXPECT_FALSE(window.ProgressGroupShown);

    window.OnEvents = nullptr;
    checker.Calculate();
    EXPECT_EQ(Lines(0), (std::vector<std::string>{"SHA1：A9993E364706816ABA3E25717850C26C9CD0D89D"}));
}
