// The private runtime folder: only a folder of this user that nobody else may enter.
#include "ui/RuntimeFolder.h"

#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

mode_t ModeOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

class RuntimeFolderTest : public testing::Test {
protected:
    TempDir parent;  // stands in for /tmp
    std::string fallback = parent / ("quorvex-" + std::to_string(geteuid()));
    std::string why;
};

TEST_F(RuntimeFolderTest, ThePrivateXdgFolderIsUsedAsItIs)
{
    TempDir xdg;  // mkdtemp makes it 0700
    EXPECT_EQ(PrivateRuntimeFolder(xdg.Path().c_str(), parent.Path(), why), xdg.Path());
    EXPECT_TRUE(why.empty());
    EXPECT_NE(access(fallback.c_str(), F_OK), 0) << "no fallback made";
}

TEST_F(RuntimeFolderTest, AnXdgFolderThatIsMissingRelativeOrOpenToOthersGivesWayToAPrivateFallback)
{
    TempDir open;
    ASSERT_EQ(chmod(open.Path().c_str(), 0755), 0);
    const std::string missing = parent / "gone";
    for (const char* xdg :
         {static_cast<const char*>(nullptr), "", "relative/run", missing.c_str(), open.Path().c_str()}) {
        SCOPED_TRACE(xdg ? xdg : "(unset)");
        EXPECT_EQ(PrivateRuntimeFolder(xdg, parent.Path(), why), fallback) << why;
        EXPECT_EQ(ModeOf(fallback), 0700u);
    }
    const std::string file = parent.Write("file", "x");
    EXPECT_EQ(PrivateRuntimeFolder(file.c_str(), parent.Path(), why), fallback) << "not a folder";
}

TEST_F(RuntimeFolderTest, OurOwnFallbackIsTightenedAndAnythingElseInItsPlaceIsRefused)
{
    ASSERT_EQ(mkdir(fallback.c_str(), 0777), 0);
    ASSERT_EQ(chmod(fallback.c_str(), 0777), 0);
    EXPECT_EQ(PrivateRuntimeFolder(nullptr, parent.Path(), why), fallback);
    EXPECT_EQ(ModeOf(fallback), 0700u);
    ASSERT_EQ(rmdir(fallback.c_str()), 0);

    // A link planted under our name, even to a private folder, could be moved elsewhere.
    TempDir target;
    ASSERT_EQ(symlink(target.Path().c_str(), fallback.c_str()), 0);
    EXPECT_FALSE(PrivateRuntimeFolder(nullptr, parent.Path(), why));
    EXPECT_NE(why.find(fallback), std::string::npos) << why;
    ASSERT_EQ(unlink(fallback.c_str()), 0);

    parent.Write(fallback.substr(parent.Path().size() + 1), "a file");
    EXPECT_FALSE(PrivateRuntimeFolder(nullptr, parent.Path(), why));
    EXPECT_FALSE(why.empty());

    EXPECT_FALSE(PrivateRuntimeFolder(nullptr, parent / "no/such/parent", why)) << "nothing is made above it";
}

TEST_F(RuntimeFolderTest, AFolderOfAnotherUserIsNeverUsed)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "handing a folder to another user needs root";
    TempDir theirs;
    ASSERT_EQ(chown(theirs.Path().c_str(), kNobody, kNobody), 0);
    EXPECT_EQ(PrivateRuntimeFolder(theirs.Path().c_str(), parent.Path(), why), fallback);

    ASSERT_EQ(rmdir(fallback.c_str()), 0);
    ASSERT_EQ(mkdir(fallback.c_str(), 0700), 0);
    ASSERT_EQ(chown(fallback.c_str(), kNobody, kNobody), 0);
    EXPECT_FALSE(PrivateRuntimeFolder(nullptr, parent.Path(), why));
    EXPECT_NE(why.find("another user"), std::string::npos) << why;
    EXPECT_EQ(ModeOf(fallback), 0700u);
}

}  // namespace
