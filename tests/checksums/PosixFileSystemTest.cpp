// The real file layer: what it opens, what it refuses and why, and what a folder scan lists.
#include "platform/PosixFileSystem.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

namespace {

std::string ReasonOf(FileSystem& files, const std::string& path)
{
    try {
        files.OpenForReading(path);
    } catch (const FileError& e) {
        return e.what();
    }
    return "(opened)";
}

void MakeSparse(const std::string& path, int64_t size)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
}

std::map<std::string, int64_t> Listing(FileSystem& files, const std::string& folder)
{
    std::map<std::string, int64_t> listing;
    for (const FolderItem& item : files.ScanFolder(folder))
        listing.emplace(item.Name, item.Size);
    return listing;
}

}  // namespace

class PosixFiles : public ::testing::Test {
protected:
    PosixFileSystem files;
    TempDir dir;
};

TEST_F(PosixFiles, ReadsDeliverFewerBytesOnlyAtTheEnd)
{
    std::string content(100000, 'x');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 31);
    auto file = files.OpenForReading(dir.Write("data", content));
    EXPECT_EQ(file->Size(), 100000);
    std::string read(140000, '\0');
    ASSERT_EQ(file->Read(read.data(), 70000), 70000u);
    ASSERT_EQ(file->Read(read.data() + 70000, 70000), 30000u);
    EXPECT_EQ(file->Read(read.data(), 70000), 0u);
    EXPECT_EQ(read.substr(0, 100000), content);
}

// A read that reaches the size at the open ends there; one of a file that grew since brings the
// new bytes; and a file that reports no size, coming in pieces, is read in full.
TEST_F(PosixFiles, ReadsFollowAFileThatGrewAndOneWithoutASize)
{
    const std::string path = dir.Write("growing", "first");
    auto file = files.OpenForReading(path);
    std::ofstream(path, std::ios::app) << " and more";
    std::string read(100, '\0');
    ASSERT_EQ(file->Read(read.data(), read.size()), 14u);
    EXPECT_EQ(read.substr(0, 14), "first and more");
    EXPECT_EQ(file->Read(read.data(), read.size()), 0u);

    const char* pieces = "/proc/kallsyms";
    std::ifstream stream(pieces);
    const std::string whole((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    if (whole.size() <= 4096)
        GTEST_SKIP() << pieces << " fits in one page here: nothing comes in pieces";
    auto proc = files.OpenForReading(pieces);
    EXPECT_EQ(proc->Size(), 0);
    std::string all(whole.size() * 2, '\0');
    EXPECT_EQ(proc->Read(all.data(), all.size()), whole.size());
}

TEST_F(PosixFiles, SizesBeyondFourGiB)
{
    const int64_t size = (int64_t(5) << 30) + 3;
    MakeSparse(dir / "big", size);
    EXPECT_EQ(files.ProbeSize(dir / "big"), size);
    EXPECT_EQ(files.OpenForReading(dir / "big")->Size(), size);
    EXPECT_EQ(Listing(files, dir.Path()).at("big"), size);
}

TEST_F(PosixFiles, SpecialFilesAreRefusedWithTheirKind)
{
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
    int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string socketPath = dir / "sock";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::mkdir((dir / "folder").c_str(), 0755);

    EXPECT_NE(ReasonOf(files, dir / "pipe").find("FIFO"), std::string::npos);
    EXPECT_NE(ReasonOf(files, socketPath).find("socket"), std::string::npos);
    EXPECT_NE(ReasonOf(files, "/dev/null").find("device"), std::string::npos);
    EXPECT_NE(ReasonOf(files, dir / "folder").find("directory"), std::string::npos);
    EXPECT_THROW(files.ProbeSize(dir / "pipe"), FileError);
    EXPECT_THROW(files.ProbeSize("/dev/null"), FileError);
    ::close(sock);
}

TEST_F(PosixFiles, FailedOpensCarryTheSystemReason)
{
    EXPECT_EQ(ReasonOf(files, dir / "missing"), std::strerror(ENOENT));
    EXPECT_EQ(ReasonOf(files, dir.Write("plain", "x") + "/below"), std::strerror(ENOTDIR));
    EXPECT_THROW(files.ProbeSize(dir / "missing"), FileError);
    if (::geteuid() != 0) {  // root reads every file
        std::string secret = dir.Write("secret", "x");
        ::chmod(secret.c_str(), 0);
        EXPECT_EQ(ReasonOf(files, secret), std::strerror(EACCES));
    }
}

// A NUL byte would end the name early for the system and so name another file.
TEST_F(PosixFiles, NameWithANulByteNamesNothing)
{
    std::string real = dir.Write("a", "x");
    std::string withNul = real + std::string(1, '\0') + "hidden";
    EXPECT_FALSE(files.FileExists(withNul));
    EXPECT_FALSE(files.FolderExists(dir.Path() + std::string(1, '\0')));
    EXPECT_THROW(files.OpenForReading(withNul), FileError);
    EXPECT_THROW(files.ProbeSize(withNul), FileError);
    EXPECT_TRUE(files.ScanFolder(dir.Path() + std::string(1, '\0') + "x").empty());
}

TEST_F(PosixFiles, ExistenceFollowsLinks)
{
    std::string file = dir.Write("file", "x");
    ::mkdir((dir / "folder").c_str(), 0755);
    ASSERT_EQ(::symlink(file.c_str(), (dir / "to-file").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "folder").c_str(), (dir / "to-folder").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "nowhere").c_str(), (dir / "broken").c_str()), 0);
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);

    EXPECT_TRUE(files.FileExists(file));
    EXPECT_TRUE(files.FileExists(dir / "to-file"));
    EXPECT_TRUE(files.FileExists(dir / "pipe"));  // exists; opening it is refused
    EXPECT_FALSE(files.FileExists(dir / "folder"));
    EXPECT_FALSE(files.FileExists(dir / "to-folder"));
    EXPECT_FALSE(files.FileExists(dir / "broken"));
    EXPECT_FALSE(files.FileExists(dir / "nowhere"));

    EXPECT_TRUE(files.FolderExists(dir / "folder"));
    EXPECT_TRUE(files.FolderExists(dir / "to-folder"));
    EXPECT_FALSE(files.FolderExists(file));
    EXPECT_FALSE(files.FolderExists(dir / "nowhere"));
}

TEST_F(PosixFiles, ScanListsOnlyTheRegularFilesDirectlyInside)
{
    dir.Write("plain", "12345");
    dir.Write(".hidden", "12");
    std::string odd = "\xC0\xFF odd \x80";
    dir.Write(odd, "123");
    ::mkdir((dir / "sub").c_str(), 0755);
    dir.Write("sub/inner", "1234567");
    ASSERT_EQ(::symlink((dir / "plain").c_str(), (dir / "link").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "sub").c_str(), (dir / "to-sub").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "nowhere").c_str(), (dir / "broken").c_str()), 0);
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);

    std::map<std::string, int64_t> expected{{"plain", 5}, {".hidden", 2}, {odd, 3}, {"link", 5}};
    EXPECT_EQ(Listing(files, dir.Path()), expected);
    EXPECT_EQ(Listing(files, dir.Path() + "/"), expected);
    EXPECT_TRUE(files.ScanFolder(dir / "missing").empty());
    EXPECT_TRUE(files.ScanFolder(dir / "plain").empty());
    EXPECT_EQ(Listing(files, dir / "sub").size(), 1u);
}

TEST_F(PosixFiles, SlowScanOfAHundredThousandFiles)
{
    const int count = 100000;
    for (int i = 0; i < count; ++i) {
        int fd = ::open((dir / ("f" + std::to_string(i))).c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        if (i % 1000 == 0) {
            ASSERT_EQ(::write(fd, "abc", 3), 3);
        }
        ::close(fd);
    }
    std::vector<FolderItem> items = files.ScanFolder(dir.Path());
    ASSERT_EQ(items.size(), size_t(count));
    int64_t total = 0;
    for (const FolderItem& item : items)
        total += item.Size;
    EXPECT_EQ(total, 3 * (count / 1000));
}
