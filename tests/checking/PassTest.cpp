// Whole calculation passes over real files: the result lines, the bars and the entry states.
#include "checking/CalculationPass.h"
#include "tests/checking/CheckerTestBed.h"

#include <gcrypt.h>

#include <filesystem>
#include <limits>
#include <random>

namespace {

class Pass : public CheckerTestBed {};

std::string GcryptHex(int algorithm, const std::string& content)
{
    return Hex(GcryptDigest(algorithm, AsBytes(content)));
}

}  // namespace

TEST_F(Pass, AbcWithTheStartUpSelectionGivesMd5ThenSha1)
{
    Drop({dir.Write("abc.txt", "abc")});
    Calculate();

    ASSERT_EQ(checker.Tree().RootCount(), 1u);
    EXPECT_EQ(checker.Tree().Root(0).Text, "abc.txt");
    EXPECT_EQ(Lines(0), (std::vector<std::string>{"MD5：900150983cd24fb0d6963f7d28e17f72",
                                                  "SHA1：A9993E364706816ABA3E25717850C26C9CD0D89D"}));
    EXPECT_EQ(checker.List().At(0).Status, kStatusDone);
    EXPECT_EQ(window.StatusText, "计算完毕");
}

TEST_F(Pass, CrcLineComesBetweenMd5AndTheEngines)
{
    checker.HashItemClicked(HashItem::CRC32_FCS32, true);
    Drop({dir.Write("digits.txt", "123456789")});
    Calculate();

    EXPECT_EQ(Lines(0), (std::vector<std::string>{"MD5：" + Lower(GcryptHex(GCRY_MD_MD5, "123456789")),
                                                  "CRC32_FCS32：CBF43926",
                                                  "SHA1：" + GcryptHex(GCRY_MD_SHA1, "123456789")}));
}

TEST_F(Pass, MillionByteFileMovesTheCurrentBarWithTheReadingUpToItsFullScale)
{
    std::mt19937_64 rng(1);
    const Bytes content = RandomBytes(rng, 1000000);
    Drop({dir.Write("million.bin", content)});
    HashingOptions options;
    options.Threads = 2;
    options.BlockBytes = 16384;  // sixty-two reads, so that deliveries see the file half read
    checker.SetHashingOptions(options);
    window.Forget();
    Calculate();

    EXPECT_EQ(Lines(0), (std::vector<std::string>{"MD5：" + Lower(Hex(GcryptDigest(GCRY_MD_MD5, content))),
                                                  "SHA1：" + Hex(GcryptDigest(GCRY_MD_SHA1, content))}));
    // Between the start of the pass and the overall step the bar only moves forward, within
    // its range, and never by steps of its own.
    std::vector<std::string> calls = window.Calls;
    auto from = std::find(calls.begin(), calls.end(), "Status 正在计算，请稍候。") + 1;
    auto to = std::find(calls.begin(), calls.end(), "StepOverallBar");
    int last = 0;
    for (auto it = from; it != to; ++it) {
        if (*it == "Events")
            continue;
        ASSERT_EQ(it->rfind("CurrentBar ", 0), 0u) << *it;
        const int position = std::stoi(it->substr(11));
        EXPECT_GT(position, last);
        EXPECT_LE(position, 100);
        last = position;
    }
    EXPECT_EQ(window.CurrentBarSteps, 0);
    EXPECT_EQ(window.CurrentBar, 100);
    EXPECT_EQ(window.OverallBar, 1);
}

TEST(PassProgressTexts, CurrentBarTruncatesSoATieShowsTheLowerPercent)
{
    // A file of 200 blocks of 16384 bytes is exactly 0.5 % read after its first block.
    EXPECT_EQ(CurrentFilePercent(16384, 200 * 16384), 0);
    EXPECT_EQ(CurrentFilePercent(3 * 16384, 200 * 16384), 1);
    EXPECT_EQ(CurrentFilePercent(200 * 16384 - 1, 200 * 16384), 99);
    EXPECT_EQ(CurrentFilePercent(200 * 16384, 200 * 16384), 100);
    EXPECT_EQ(CurrentFilePercent(5000, 0), 0);                              // a /proc file reports no size
    EXPECT_EQ(CurrentFilePercent(9000, 4000), 100);                         // a file that grew
    EXPECT_EQ(CurrentFilePercent(int64_t{1} << 46, int64_t{1} << 47), 50);  // /proc/kcore's size
}

TEST(PassProgressTexts, SpeedAndTimeLeft)
{
    EXPECT_EQ(SpeedText(123456789), "速度：123.5 MB/s");
    EXPECT_EQ(SpeedText(0), "速度：0.0 MB/s");
    EXPECT_EQ(TimeLeftText(0.4), "剩余时间：0:00:00");
    EXPECT_EQ(TimeLeftText(3723.6), "剩余时间：1:02:04");
    EXPECT_EQ(TimeLeftText(1e300), "剩余时间：9999:59:59");
    EXPECT_EQ(TimeLeftText(std::numeric_limits<double>::infinity()), "剩余时间：9999:59:59");
}

TEST_F(Pass, EveryAlgorithmMarkedGivesElevenLinesInPathAndEngineListOrder)
{
    SelectAll();
    Drop({dir.Write("abc.txt", "abc")});
    Calculate();

    EXPECT_EQ(Lines(0), (std::vector<std::string>{
                            "MD5：900150983cd24fb0d6963f7d28e17f72",
                            "CRC32_FCS32：352441C2",
                            "SHA1：A9993E364706816ABA3E25717850C26C9CD0D89D",
                            "Haval256：4ABAEF95A29102E6CA3C47F0EBACD3FB7AFC6CA2D14305D7A08A470CCDE62185",
                            "MD4：A448017AAF21D8525FC10AE87AA6729D",
                            "RipeMD-128：C14A12199C66E4BA84636B0F69144C77",
                            "RipeMD-160：8EB208F7E05D987A9B044A8E98C6B087F15A0BFC",
                            "SHA256：BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD",
                            "SHA384：CB00753F45A35E8BB5A03D699AC65007272C32AB0EDED1631A8B605A43FF5BED8086072B"
                            "A1E7CC2358BAECA134C825A7",
                            "SHA512：DDAF35A193617ABACC417349AE20413112E6FA4E89A97EA20A9EEEE64B55D39A2192992A"
                            "274FC1A836BA3C23A3FEEBBD454D4423643CE80E2A9AC94FA54CA49F",
                            "Tiger192：2AAB1484E8C158F2BFB8C5FF41B57A525129131C957B5F93",
                        }));
}

TEST_F(Pass, EngineLinesFollowTheEngineListWhateverOrderItemsWereTicked)
{
    checker.HashItemClicked(HashItem::Tiger192, true);
    checker.HashItemClicked(HashItem::MD4, true);
    checker.HashItemClicked(HashItem::SHA1, false);
    checker.HashItemClicked(HashItem::MD5, false);
    checker.HashItemClicked(HashItem::SHA1, true);
    Drop({dir.Write("empty.txt", "")});
    Calculate();

    EXPECT_EQ(Lines(0),
              (std::vector<std::string>{"SHA1：DA39A3EE5E6B4B0D3255BFEF95601890AFD80709",
                                        "MD4：31D6CFE0D16AE931B73C59D7E0C089C0",
                                        "Tiger192：3293AC630C13F0245F92BBB1766E16167A4E58492DDE73F3"}));
}

TEST_F(Pass, NoAlgorithmMarkedGivesBareRootsAndStillMarksEntriesDone)
{
    SelectOnly({});
    Drop({dir.Write("a.txt", "a"), dir.Write("b.txt", "b")});
    Calculate();

    ASSERT_EQ(checker.Tree().RootCount(), 2u);
    EXPECT_TRUE(Lines(0).empty());
    EXPECT_TRUE(Lines(1).empty());
    EXPECT_TRUE(checker.List().IsDone(0));
    EXPECT_TRUE(checker.List().IsDone(1));
    EXPECT_EQ(window.CurrentBar, 100);
}

TEST_F(Pass, EmptyListShowsAndHidesTheProgressGroupAndEnablesSave)
{
    Calculate();

    EXPECT_TRUE(checker.Tree().Empty());
    EXPECT_EQ(window.Calls,
              (std::vector<std::string>{
                  "ShowProgressGroup", "DisableCommands", "CurrentBar 0", "OverallBar 0/0", "Cursor busy",
                  "Status 正在计算，请稍候。", "Cursor default", "CurrentBar 100", "OverallBar 0/0",
                  "Status 计算完毕", "EnableCommands", "EnableSaveCommands", "HideProgressGroup"}));
}

TEST_F(Pass, WindowSeesTheWholeSequenceOfAPass)
{
    Drop({dir.Write("abc.txt", "abc")});
    // The first pass makes the first entry done; the next pass passes it over without a call.
    Calculate();
    Drop({dir / "abc.txt"});
    window.Forget();
    Calculate();

    EXPECT_EQ(window.CallsWithoutProgress(),
              (std::vector<std::string>{"ShowProgressGroup", "DisableCommands", "CurrentBar 0",
                                        "OverallBar 0/2", "Cursor busy", "Status 正在计算，请稍候。",
                                        // the file, once its digests are ready
                                        "StepOverallBar", "Cursor default", "CurrentBar 100",
                                        "OverallBar 2/2", "Status 计算完毕", "EnableCommands",
                                        "EnableSaveCommands", "HideProgressGroup"}));
}

TEST_F(Pass, MissingFileOrFolderGivesARootWithoutLinesAndTouchesNoBar)
{
    SelectAll();
    const std::string gone = dir.Write("gone.txt", "x");
    const std::string becomesFolder = dir.Write("folder", "x");
    Drop({gone, becomesFolder});
    std::filesystem::remove(gone);
    std::filesystem::remove(becomesFolder);
    std::filesystem::create_directory(becomesFolder);
    window.Forget();
    Calculate();

    ASSERT_EQ(checker.Tree().RootCount(), 2u);
    EXPECT_TRUE(Lines(0).empty());
    EXPECT_TRUE(Lines(1).empty());
    EXPECT_TRUE(checker.List().IsDone(0));
    EXPECT_TRUE(checker.List().IsDone(1));
    EXPECT_EQ(window.CountOf("CurrentBar 0"), 1u);  // the pass's own, none from a path
    EXPECT_EQ(window.CountOf("StepCurrentBar"), 0u);
    EXPECT_EQ(checker.List().At(0).ColourGroup, -1);
}

TEST_F(Pass, DoneEntriesAreSkippedUntilTheSelectionChanges)
{
    Drop({dir.Write("a.txt", "a"), dir.Write("b.txt", "b")});
    Calculate();
    ASSERT_EQ(checker.Tree().RootCount(), 2u);

    // A later file alone is computed, and the tree holds only its node.
    Drop({dir.Write("c.txt", "c")});
    EXPECT_EQ(window.StatusText, "待计算的文件总数:3");
    Calculate();
    ASSERT_EQ(checker.Tree().RootCount(), 1u);
    EXPECT_EQ(checker.Tree().Root(0).Text, "c.txt");
    EXPECT_EQ(checker.Tree().Root(0).Entry, 2u);

    // Everything done: the tree is only emptied.
    Calculate();
    EXPECT_TRUE(checker.Tree().Empty());

    checker.HashItemClicked(HashItem::SHA256, true);
    for (size_t i = 0; i < checker.List().Count(); ++i)
        EXPECT_EQ(checker.List().At(i).Status, kStatusPending);
    Calculate();
    ASSERT_EQ(checker.Tree().RootCount(), 3u);
    EXPECT_EQ(Lines(1).back(), "SHA256：" + GcryptHex(GCRY_MD_SHA256, "b"));
}

TEST_F(Pass, EveryAlgorithmItemMakesEveryEntryPendingAndLeavesTheTree)
{
    Drop({dir.Write("a.txt", "a"), dir.Write("b.txt", "b")});
    for (const HashItemInfo& info : kHashItems) {
        Calculate();
        ASSERT_TRUE(checker.List().IsDone(0));
        const size_t roots = checker.Tree().RootCount();
        checker.HashItemClicked(info.Item, !checker.IsChecked(info.Item));
        EXPECT_FALSE(checker.List().IsDone(0)) << info.ObjectName;
        EXPECT_FALSE(checker.List().IsDone(1)) << info.ObjectName;
        EXPECT_EQ(checker.Tree().RootCount(), roots) << info.ObjectName;
    }
}

TEST_F(Pass, CopiesOfOneFileShareAColourGroupAfterThePass)
{
    const std::string a = dir.Write("a.txt", "same");
    std::filesystem::create_directory(dir / "sub");
    const std::string b = dir.Write("sub/a.txt", "same");
    Drop({a, dir.Write("other.txt", "other"), b});
    Calculate();

    EXPECT_EQ(checker.Tree().Root(0).Text, checker.Tree().Root(2).Text);
    EXPECT_EQ(checker.List().At(0).ColourGroup, 1);
    EXPECT_EQ(checker.List().At(1).ColourGroup, -1);
    EXPECT_EQ(checker.List().At(2).ColourGroup, 1);
}
