// Taking files in: captions, size texts, folders, drops, refusals and the closing step.
#include "checking/Intake.h"
#include "checking/SizeText.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "tests/checking/CheckerTestBed.h"

#include <filesystem>
#include <functional>
#include <set>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(IntakePaths, CaptionFollowsTheLastSlashAndFolderItemsGetExactlyOneSlash)
{
    EXPECT_EQ(CaptionFromPath("/home/user/notes.txt"), "notes.txt");
    EXPECT_EQ(CaptionFromPath("notes.txt"), "notes.txt");
    EXPECT_EQ(CaptionFromPath("/home/user/"), "");
    EXPECT_EQ(FolderItemPath("/", "vmlinuz"), "/vmlinuz");
    EXPECT_EQ(FolderItemPath("/srv/data", "a.txt"), "/srv/data/a.txt");
    EXPECT_EQ(FolderItemPath("/srv/data/", "a.txt"), "/srv/data/a.txt");
}

namespace {

class Intakes : public CheckerTestBed {
protected:
    // A size text typed in as whole and hundredths, with the locale's separator between.
    std::string Size(const std::string& whole, const std::string& hundredths = "")
    {
        return hundredths.empty() ? whole + "KB" : whole + LocaleDecimalSeparator() + hundredths + "KB";
    }

    std::set<std::string> Paths()
    {
        std::set<std::string> paths;
        for (size_t i = 0; i < checker.List().Count(); ++i)
            paths.insert(checker.List().At(i).Path);
        return paths;
    }
};

}  // namespace

TEST_F(Intakes, SingleFileGetsCaptionPendingSizeAndItsPathUnchanged)
{
    const std::string path = dir.Write("report.pdf", std::string(1536, 'x'));
    IntakeReport report = checker.AddFiles({path, path});

    EXPECT_TRUE(report.Refused.empty());
    ASSERT_EQ(checker.List().Count(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const CheckEntry& entry = checker.List().At(i);
        EXPECT_EQ(entry.Caption, "report.pdf");
        EXPECT_EQ(entry.Status, kStatusPending);
        EXPECT_EQ(entry.SizeText, Size("1", "5"));
        EXPECT_EQ(entry.Path, path);
        EXPECT_EQ(entry.Icon, 0);
        EXPECT_EQ(entry.ColourGroup, -1);
    }
}

TEST_F(Intakes, FolderGivesItsRegularFilesWithSizesFromTheListing)
{
    dir.Write("a.txt", "12345");
    dir.Write(".hidden", std::string(6, 'h'));
    fs::create_directory(dir / "sub");
    dir.Write("sub/inner.txt", "not taken");
    fs::create_symlink(dir / "a.txt", dir / "link-to-a");
    fs::create_symlink(dir / "nowhere", dir / "broken-link");
    fs::create_directory_symlink(dir / "sub", dir / "link-to-sub");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);

    checker.AddFolder(dir.Path() + "/");

    EXPECT_EQ(Paths(), (std::set<std::string>{dir / "a.txt", dir / ".hidden", dir / "link-to-a"}));
    for (size_t i = 0; i < checker.List().Count(); ++i) {
        const CheckEntry& entry = checker.List().At(i);
        EXPECT_EQ(entry.Caption, CaptionFromPath(entry.Path));
        EXPECT_EQ(entry.SizeText, entry.Caption == ".hidden" ? Size("0", "01") : Size("0")) << entry.Caption;
        EXPECT_EQ(entry.Status, kStatusPending);
    }
}

TEST_F(Intakes, EmptyFolderPathOrEmptyFolderAddsNothing)
{
    fs::create_directory(dir / "empty");
    checker.AddFolder("");
    checker.AddFolder(dir / "empty");
    checker.AddDropped({dir / "empty"});
    EXPECT_TRUE(checker.List().Empty());
    // The closing step does nothing on an empty list: cancelling changes nothing.
    checker.AddFiles({});
    EXPECT_TRUE(window.Calls.empty());
}

TEST_F(Intakes, ACancelledDialogStillEndsWithTheClosingStep)
{
    Drop({dir.Write("a.txt", "a")});
    Calculate();
    for (const auto& cancelled : std::initializer_list<std::function<void()>>{
             [&] { checker.AddFolder(""); }, [&] { checker.AddFiles({}); }}) {
        window.Forget();
        cancelled();
        EXPECT_EQ(window.Calls, (std::vector<std::string>{"EnableCommands", "RefreshEntryIcons",
                                                          "Status 待计算的文件总数:1"}));
    }
}

TEST_F(Intakes, DropTakesNamesInOrderWithFolderContentsInPlaceOfTheFolder)
{
    const std::string first = dir.Write("first.txt", "1");
    fs::create_directory(dir / "folder");
    const std::string inside = dir.Write("folder/inside.txt", "2");
    const std::string last = dir.Write("last.txt", "3");
    Drop({first, dir / "folder", last});

    ASSERT_EQ(checker.List().Count(), 3u);
    EXPECT_EQ(checker.List().At(0).Path, first);
    EXPECT_EQ(checker.List().At(1).Path, inside);
    EXPECT_EQ(checker.List().At(2).Path, last);
}

TEST_F(Intakes, RefusedFilesAreReportedAndTheRestIsStillTakenIn)
{
    const std::string good = dir.Write("good.txt", "g");
    const std::string locked = dir.Write("locked.txt", "l");
    const std::string later = dir.Write("later.txt", "x");
    files.FailOpen(locked, "Permission denied");
    IntakeReport report = checker.AddDropped({good, locked, dir / "missing.txt", later});

    ASSERT_EQ(checker.List().Count(), 2u);
    EXPECT_EQ(checker.List().At(0).Path, good);
    EXPECT_EQ(checker.List().At(1).Path, later);
    ASSERT_EQ(report.Refused.size(), 2u);
    EXPECT_EQ(report.Refused[0].Path, locked);
    EXPECT_EQ(report.Refused[1].Path, dir / "missing.txt");
    EXPECT_EQ(report.ErrorText(), "Cannot open file \"" + locked + "\". Permission denied\n" +
                                      "Cannot open file \"" + (dir / "missing.txt") + "\". " +
                                      report.Refused[1].Reason);
    EXPECT_FALSE(report.Refused[1].Reason.empty());
    // The closing step ran all the same.
    EXPECT_EQ(window.Calls,
              (std::vector<std::string>{"EnableCommands", "RefreshEntryIcons", "Status 待计算的文件总数:2"}));
}

TEST_F(Intakes, OpenDialogFilesAreRefusedTheSameWay)
{
    IntakeReport report = checker.AddFiles({dir / "missing.txt"});
    ASSERT_EQ(report.Refused.size(), 1u);
    EXPECT_TRUE(checker.List().Empty());
    EXPECT_TRUE(window.Calls.empty());
}

TEST_F(Intakes, FifoSocketAndDeviceAreRefusedWithAReasonAndNothingWaits)
{
    const std::string pipe = dir / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string socketPath = dir / "socket";
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // Nothing ever writes to the FIFO: an intake that opened it to read would wait for ever.
    IntakeReport report = checker.AddDropped({pipe, socketPath, "/dev/null", dir.Write("plain.txt", "p")});
    ::close(sock);

    ASSERT_EQ(checker.List().Count(), 1u);
    ASSERT_EQ(report.Refused.size(), 3u);
    EXPECT_NE(report.Refused[0].Reason.find("FIFO"), std::string::npos) << report.Refused[0].Reason;
    EXPECT_NE(report.Refused[1].Reason.find("socket"), std::string::npos) << report.Refused[1].Reason;
    EXPECT_NE(report.Refused[2].Reason.find("device"), std::string::npos) << report.Refused[2].Reason;
    EXPECT_EQ(report.ErrorText().substr(0, report.ErrorText().find('\n')),
              "Cannot open file \"" + pipe + "\". " + report.Refused[0].Reason);
}

TEST_F(Intakes, DroppedNamesLongerThan1024BytesAreKeptWhole)
{
    std::string folder = dir.Path();
    for (int i = 0; i < 6; ++i) {
        folder += "/" + std::string(200, static_cast<char>('a' + i));
        fs::create_directory(folder);
    }
    const std::string path = folder + "/deep.txt";
    dir.Write(path.substr(dir.Path().size() + 1), "abc");
    ASSERT_GT(path.size(), 1024u);
    Drop({path});
    Calculate();

    EXPECT_EQ(checker.List().At(0).Path, path);
    EXPECT_EQ(Lines(0).front(), "MD5：900150983cd24fb0d6963f7d28e17f72");
}

TEST_F(Intakes, NameThatIsNotUtf8IsTakenInHashedAndShownByItsBytes)
{
    const std::string name = "caf\xE9-\xFF.txt";
    const std::string path = dir.Write(name, "abc");
    Drop({path});
    checker.AddFolder(dir.Path());
    Calculate();

    ASSERT_EQ(checker.List().Count(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(checker.List().At(i).Caption, name);
        EXPECT_EQ(checker.List().At(i).Path, path);
        EXPECT_EQ(checker.Tree().Root(i).Text, name);
        EXPECT_EQ(Lines(i).back(), "SHA1：A9993E364706816ABA3E25717850C26C9CD0D89D");
    }
}

TEST_F(Intakes, ClosingStepCountsEveryEntryDoneOrNot)
{
    Drop({dir.Write("a.txt", "a"), dir.Write("b.txt", "b")});
    Calculate();
    window.Forget();
    // Cancelling the open dialog on a non-empty list rewrites the count.
    checker.AddFiles({});
    EXPECT_EQ(window.Calls,
              (std::vector<std::string>{"EnableCommands", "RefreshEntryIcons", "Status 待计算的文件总数:2"}));
}

namespace {

struct AppendCounter : CheckListObserver {
    void EntriesAboutToBeAppended(size_t, size_t) override {}
    void EntriesAppended(size_t first, size_t count) override { appended.push_back({first, count}); }
    void EntryAboutToBeRemoved(size_t) override {}
    void EntryRemoved(size_t) override {}
    void ListAboutToBeCleared() override {}
    void ListCleared() override {}
    void EntriesChanged(size_t, size_t) override {}
    std::vector<std::pair<size_t, size_t>> appended;
};

}  // namespace

TEST_F(Intakes, FolderIsAppendedWithOneNoticeAfterTheEarlierEntries)
{
    AppendCounter counter;
    checker.List().SetObserver(&counter);
    fs::create_directory(dir / "many");
    for (int i = 0; i < 5; ++i)
        dir.Write("many/" + std::to_string(i), "x");
    Drop({dir.Write("single.txt", "s"), dir / "many"});
    checker.List().SetObserver(nullptr);

    EXPECT_EQ(counter.appended, (std::vector<std::pair<size_t, size_t>>{{0, 1}, {1, 5}}));
}
