// What the window can do while a pass runs: drops are taken in and wait, nothing removes entries,
// clears the tree, changes the selection or starts a second pass, and Stop ends the pass at once
// with what was finished. The second file's read waits at a gate, so the test acts while the
// first file's node is in the tree and the pass is still running.
#include "checking/DuplicateColouring.h"
#include "tests/checking/CheckerTestBed.h"

#include <random>
#include <stdexcept>

namespace {

class WhileRunning : public CheckerTestBed {
protected:
    WhileRunning()
    {
        first = dir.Write("first.txt", "abc");
        second = dir.Write("second.txt", "abc");
        dropped = dir.Write("dropped.txt", "abc");
        files.HoldRead(second, 1, gate);
    }
    ~WhileRunning() override { gate->Open(); }

    // Runs the action once, at the first events after the first file got its node, then lets
    // the second file be read.
    void OnceTheFirstFileIsShown(std::function<void()> action)
    {
        window.OnEvents = [this, action, done = false](int) mutable {
            if (done || checker.Tree().RootCount() == 0)
                return;
            done = true;
            action();
            gate->Open();
        };
    }

    // Starts the pass on one thread, so that nothing after a held file is read meanwhile, and
    // delivers once the second file's read waits at its gate.
    void CalculateOnOneThreadUntilTheSecondFileWaits()
    {
        HashingOptions oneThread;
        oneThread.Threads = 1;
        checker.SetHashingOptions(oneThread);
        checker.Calculate();
        gate->AwaitReader();
        window.LetEventsRun();
        checker.DeliverPass();
    }

    std::string first, second, dropped;
    std::shared_ptr<ReadGate> gate = std::make_shared<ReadGate>();
};

}  // namespace

TEST_F(WhileRunning, DropIsAppendedNotVisitedAndCommandsStayDisabled)
{
    Drop({first, second});
    std::vector<std::string> callsOfTheDrop;
    OnceTheFirstFileIsShown([&] {
        EXPECT_TRUE(checker.PassRunning());
        const size_t before = window.Calls.size();
        EXPECT_TRUE(checker.AddDropped({dropped}).Refused.empty());
        callsOfTheDrop.assign(window.Calls.begin() + static_cast<std::ptrdiff_t>(before), window.Calls.end());
        EXPECT_FALSE(window.CommandsEnabled);
        EXPECT_EQ(window.StatusText, "正在计算，请稍候。");
    });
    Calculate();

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
    Calculate();
    ASSERT_EQ(checker.Tree().RootCount(), 1u);
    EXPECT_EQ(checker.Tree().Root(0).Entry, 2u);
}

TEST_F(WhileRunning, DeleteClearCalculateAndAlgorithmItemsAreIgnored)
{
    Drop({first, second});
    checker.List().Select(0);
    OnceTheFirstFileIsShown([&] {
        EXPECT_TRUE(checker.PassRunning());
        const size_t before = window.Calls.size();
        checker.DeleteSelected();
        checker.ClearList();
        checker.Calculate();
        EXPECT_FALSE(checker.HashItemClicked(HashItem::SHA256, true));
        EXPECT_FALSE(checker.HashItemClicked(HashItem::MD5, false));
        EXPECT_EQ(window.Calls.size(), before);
        EXPECT_EQ(checker.List().Count(), 2u);
        EXPECT_EQ(checker.Tree().RootCount(), 1u);
        EXPECT_TRUE(checker.List().IsDone(0));
    });
    Calculate();

    EXPECT_FALSE(checker.PassRunning());
    EXPECT_FALSE(checker.IsChecked(HashItem::SHA256));
    EXPECT_TRUE(checker.IsChecked(HashItem::MD5));
    EXPECT_FALSE(checker.EngineChecked(5));
    ASSERT_EQ(checker.Tree().RootCount(), 2u);
    EXPECT_EQ(Lines(1).size(), 2u);
    EXPECT_TRUE(checker.List().IsDone(0));
    EXPECT_EQ(window.CountOf("ShowProgressGroup"), 1u);
}

TEST_F(WhileRunning, FailureEscapingADeliveryDoesNotLeaveThePassRunning)
{
    SelectOnly({HashItem::SHA1});
    Drop({first});
    window.OnCall = [](const std::string& call) {
        if (call == "StepOverallBar")
            throw std::runtime_error("the window failed to show the step");
    };
    EXPECT_THROW(Calculate(), std::runtime_error);
    EXPECT_FALSE(checker.PassRunning());
    // The window is not left busy with its commands switched off.
    EXPECT_FALSE(window.BusyCursor);
    EXPECT_TRUE(window.CommandsEnabled);
    EXPECT_FALSE(window.ProgressGroupShown);

    // The next Calculate is not refused: it takes the file that came in since.
    window.OnCall = nullptr;
    gate->Open();
    Drop({second});
    Calculate();
    ASSERT_EQ(checker.Tree().RootCount(), 1u);
    EXPECT_EQ(checker.Tree().Root(0).Entry, 1u);
    EXPECT_EQ(Lines(0), (std::vector<std::string>{"SHA1：A9993E364706816ABA3E25717850C26C9CD0D89D"}));
}

TEST_F(WhileRunning, StopKeepsTheFinishedFilesLeavesTheOthersPendingAndEndsAsAFinishedPassEnds)
{
    const std::string third = dir.Write("third.txt", "abc");
    Drop({first, second, third});
    // One thread: the third file is not read while the second one's read waits.
    HashingOptions oneThread;
    oneThread.Threads = 1;
    checker.SetHashingOptions(oneThread);
    OnceTheFirstFileIsShown([&] {
        window.Forget();
        checker.StopPass();
        EXPECT_FALSE(checker.PassRunning());
    });
    Calculate();

    ASSERT_EQ(checker.Tree().RootCount(), 1u);
    EXPECT_EQ(checker.Tree().Root(0).Entry, 0u);
    EXPECT_EQ(Lines(0).size(), 2u);
    EXPECT_TRUE(checker.List().IsDone(0));
    EXPECT_FALSE(checker.List().IsDone(1));
    EXPECT_FALSE(checker.List().IsDone(2));
    // The three copies: only the finished one has lines, so none is painted as a copy.
    EXPECT_EQ(checker.List().At(0).ColourGroup, -1);
    EXPECT_EQ(window.Calls, (std::vector<std::string>{"Cursor default", "CurrentBar 100", "OverallBar 3/3",
                                                      "Status 计算已停止", "EnableCommands",
                                                      "EnableSaveCommands", "HideProgressGroup"}));

    // Stop outside a pass does nothing; the next pass takes the two files left.
    window.Forget();
    checker.StopPass();
    EXPECT_TRUE(window.Calls.empty());
    window.OnEvents = nullptr;
    Calculate();
    ASSERT_EQ(checker.Tree().RootCount(), 2u);
    EXPECT_EQ(checker.Tree().Root(0).Entry, 1u);
    EXPECT_EQ(window.StatusText, "计算完毕");
}

TEST_F(WhileRunning, StopReturnsWhileTheReadOfAFileHangsAndTheCoreCanGoAtOnce)
{
    Drop({second, first});
    // Nothing after the hanging file is finished when the stop comes.
    CalculateOnOneThreadUntilTheSecondFileWaits();
    EXPECT_TRUE(checker.PassRunning()) << "the read still hangs";
    checker.StopPass();
    EXPECT_FALSE(checker.PassRunning());
    EXPECT_EQ(checker.Tree().RootCount(), 0u);
    EXPECT_EQ(window.StatusText, "计算已停止");
    // A second pass while the first one's read still hangs is a pass like any other.
    files.HoldRead(first, 1, gate);
    checker.Calculate();
    EXPECT_TRUE(checker.PassRunning());
    // The window closes in the middle of it: the core goes without waiting for either read.
}

// Files that finish just after a node was shown wait a moment to be shown with the next ones;
// a stop in that moment shows them as well.
TEST_F(WhileRunning, StopShowsTheFinishedFilesThatWaitedToBeShown)
{
    const std::string third = dir.Write("third.txt", "abcd");
    const std::string held = dir.Write("held.txt", "abc");
    const auto heldGate = std::make_shared<ReadGate>();
    files.HoldRead(held, 1, heldGate);
    Drop({first, second, third, held});
    CalculateOnOneThreadUntilTheSecondFileWaits();
    ASSERT_EQ(checker.Tree().RootCount(), 1u) << "the first file is shown at once";
    gate->Open();
    heldGate->AwaitReader();
    window.LetEventsRun();
    checker.DeliverPass();
    checker.StopPass();
    ASSERT_EQ(checker.Tree().RootCount(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(checker.Tree().Root(i).Entry, i);
        EXPECT_TRUE(checker.List().IsDone(i));
    }
    EXPECT_FALSE(checker.List().IsDone(3));
    EXPECT_EQ(window.StatusText, "计算已停止");
    heldGate->Open();
}

TEST_F(WhileRunning, StopAtRandomMomentsLeavesAConsistentListTreeAndColouring)
{
    std::mt19937_64 rng(9);
    std::vector<std::string> paths;
    for (int i = 0; i < 30; ++i) {
        // Some copies among them, so the colouring has something to paint.
        const size_t content = rng() % 6;
        paths.push_back(dir.Write("f" + std::to_string(i),
                                  std::string(content * 7000, static_cast<char>('a' + content))));
    }
    gate->Open();
    SelectAll();
    Drop(paths);
    Calculate();
    std::vector<std::vector<std::string>> whole;
    for (size_t i = 0; i < paths.size(); ++i)
        whole.push_back(Lines(i));

    for (int round = 0; round < 15; ++round) {
        checker.HashItemClicked(HashItem::MD5, true);  // every entry pending again
        HashingOptions options;
        options.Threads = 1 + static_cast<unsigned>(round % 3);
        options.BlockBytes = 4096;
        checker.SetHashingOptions(options);
        const int deliveries = static_cast<int>(rng() % 4);
        int delivered = 0;
        checker.Calculate();
        while (checker.PassRunning()) {
            window.AwaitDeliveryRequest();
            if (delivered++ == deliveries) {
                checker.StopPass();
                break;
            }
            checker.DeliverPass();
        }
        // Every finished file has its node, in list order, wherever it was among the unfinished.
        const size_t roots = checker.Tree().RootCount();
        std::vector<bool> shown(paths.size());
        for (size_t root = 0; root < roots; ++root) {
            const size_t entry = checker.Tree().Root(root).Entry;
            if (root > 0) {
                EXPECT_GT(entry, checker.Tree().Root(root - 1).Entry) << "round " << round;
            }
            shown.at(entry) = true;
            EXPECT_EQ(Lines(root), whole[entry]) << "round " << round << " entry " << entry;
        }
        for (size_t i = 0; i < paths.size(); ++i) {
            EXPECT_EQ(checker.List().IsDone(i), shown[i]) << "round " << round << " entry " << i;
            if (!shown[i]) {
                EXPECT_EQ(checker.List().At(i).ColourGroup, -1) << "pending entries are not painted";
            }
        }
        // The colouring is the one of the finished files alone.
        CheckList finished;
        ResultTree finishedTree;
        for (size_t i = 0; i < paths.size(); ++i)
            finished.Append(checker.List().At(i));
        for (size_t root = 0; root < roots; ++root) {
            finishedTree.AppendRoot(checker.Tree().Root(root).Text, checker.Tree().Root(root).Entry);
            for (const std::string& line : Lines(root))
                finishedTree.AppendLine(line);
        }
        ColourDuplicates(finished, finishedTree);
        for (size_t i = 0; i < paths.size(); ++i)
            EXPECT_EQ(checker.List().At(i).ColourGroup, finished.At(i).ColourGroup) << "round " << round;
        EXPECT_FALSE(window.BusyCursor);
        EXPECT_TRUE(window.CommandsEnabled);
        EXPECT_FALSE(window.ProgressGroupShown);
    }
}
