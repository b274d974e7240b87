// Large lists through the real window: 100,000 files added from a folder and 10,000 small
// files calculated. They print how long each step took; what they assert is the outcome.
#include "tests/ui/WindowFixture.h"

#include <chrono>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

class SlowWindowTest : public WindowTest {
protected:
    SlowWindowTest() : WindowTest(false) {}

    void MakeFiles(const TempDir& folder, int count, const std::string& content)
    {
        for (int i = 0; i < count; ++i) {
            const std::string path = folder / ("f" + std::to_string(i) + (i % 3 ? ".txt" : ".bin"));
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(::write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
            ::close(fd);
        }
    }
    template <class Step>
    double Seconds(Step&& step)
    {
        const auto start = std::chrono::steady_clock::now();
        step();
        QCoreApplication::processEvents();  // the repaint the user waits for
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    static void Report(const char* what, double seconds)
    {
        std::printf("[ measured ] %s: %.3f s\n", what, seconds);
        std::fflush(stdout);
    }
};

TEST_F(SlowWindowTest, AddAFolderOfOneHundredThousandFiles)
{
    TempDir folder;
    MakeFiles(folder, 100000, "");
    dialogs.FolderAnswers.push_back(folder.Path());
    Report("add a folder of 100000 files (intake, icons, rows)", Seconds([&] { Click("OpenDocuToolBtn"); }));
    EXPECT_EQ(List()->model()->rowCount(), 100000);
    EXPECT_EQ(form.StatusText(), QStringLiteral("待计算的文件总数:100000"));

    Report("refresh the icons of 100000 entries", Seconds([&] { form.RefreshEntryIcons(); }));
    Report("make every entry pending (algorithm click)", Seconds([&] { Action("SHA256Hash")->trigger(); }));
    Report("clear the list of 100000 entries", Seconds([&] { Click("DeleteListToolBtn"); }));
    EXPECT_EQ(List()->model()->rowCount(), 0);
}

TEST_F(SlowWindowTest, CalculateTenThousandSmallFiles)
{
    TempDir folder;
    MakeFiles(folder, 10000, std::string(300, 'q'));
    dialogs.FolderAnswers.push_back(folder.Path());
    Report("add a folder of 10000 files", Seconds([&] { Click("OpenDocuToolBtn"); }));
    ASSERT_EQ(List()->model()->rowCount(), 10000);

    Report("calculate 10000 files of 300 bytes (MD5 + SHA1)", Seconds([&] { Calculate(); }));
    EXPECT_EQ(Tree()->model()->rowCount(), 10000);
    EXPECT_EQ(form.StatusText(), QStringLiteral("计算完毕"));
    // Every file has the same content: one colour group of all of them.
    EXPECT_EQ(form.Core().List().At(9999).ColourGroup, 1);

    for (QAction* item : {Action("CRC32_FCS32Hash"), Action("SHA512Hash"), Action("Tiger192Hash")})
        item->trigger();
    Report("calculate them again with five algorithms", Seconds([&] { Calculate(); }));
    EXPECT_EQ(Tree()->model()->rowCount(TreeNode(9999)), 5);
}

}  // namespace
