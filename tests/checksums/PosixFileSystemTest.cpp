// The real file layer: what it opens, what it refuses and why, and what a folder scan lists.
#include "platform/PosixFileSystem.h"
#include "platform/MappedReads.h"
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
#include <functional>
#include <map>
#include <optional>

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

// Views go on from where the reads stood, end at the size the file had at its open (the last one
// short), and reads go on after them; the bytes of a view outlive the file's object.
TEST_F(PosixFiles, ViewsGoOnFromTheReadsAndTheReadsFromTheViews)
{
    std::string content(100000, 'x');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7 + i / 4096);
    const std::string path = dir.Write("mapped", content);
    auto file = files.OpenForReading(path);
    std::string seen(1000, '\0');
    ASSERT_EQ(file->Read(seen.data(), seen.size()), 1000u);
    std::optional<FileView> kept;
    while (std::optional<FileView> view = file->View(40000)) {
        ASSERT_GT(view->Size, 0u);
        EXPECT_TRUE(view->Size == 40000 || seen.size() + view->Size == content.size()) << view->Size;
        seen.append(reinterpret_cast<const char*>(view->Data), view->Size);
        if (!kept)
            kept = view;
    }
    EXPECT_EQ(seen, content);
    std::ofstream(path, std::ios::app) << "grown";
    std::string more(100, '\0');
    ASSERT_EQ(file->Read(more.data(), more.size()), 5u);
    EXPECT_EQ(more.substr(0, 5), "grown");
    EXPECT_FALSE(file->View(40000));
    file.reset();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(kept->Data), 10), content.substr(1000, 10));

    EXPECT_FALSE(files.OpenForReading(dir.Write("empty", ""))->View(4096)) << "an empty file maps nothing";
}

// A page of a view whose file was cut shorter since has nothing behind it: the read that touches
// it hears so and reads zeros there, the program goes on, and a guard around it hears nothing.
TEST_F(PosixFiles, AViewOfAFileCutShorterReadsAsZerosAndOnlyItsReaderHearsOfIt)
{
    const std::string path = dir.Write("cut", std::string(3 * 4096, 'c'));
    auto file = files.OpenForReading(path);
    const std::optional<FileView> view = file->View(3 * 4096);
    ASSERT_TRUE(view);
    ASSERT_EQ(::truncate(path.c_str(), 4096), 0);
    uint8_t seen = 0;
    const auto touch = [&](size_t at) {
        return ReadMapped([&] { seen = static_cast<volatile const uint8_t*>(view->Data)[at]; });
    };
    EXPECT_TRUE(touch(100)) << "the page that still has its bytes";
    EXPECT_EQ(seen, 'c');
    EXPECT_FALSE(touch(5000));
    EXPECT_EQ(seen, 0);
    bool innerRead = true;
    EXPECT_TRUE(ReadMapped([&] { innerRead = touch(2 * 4096 + 1); }));
    EXPECT_FALSE(innerRead);
    EXPECT_EQ(seen, 0);
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

std::string ProbeOutcome(const std::function<int64_t()>& probe)
{
    try {
        return "size " + std::to_string(probe());
    } catch (const FileError& e) {
        return e.what();
    }
}

// The probe of a listed file, which opens nothing, tells what the probe that opens it tells: the
// size, or the same reason for the same refusal.
TEST_F(PosixFiles, TheListedFilesProbeTellsWhatTheOpeningProbeTells)
{
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
    ::mkdir((dir / "folder").c_str(), 0755);
    ASSERT_EQ(::symlink("plain", (dir / "link").c_str()), 0);
    ASSERT_EQ(::symlink("gone", (dir / "broken").c_str()), 0);
    std::vector<std::string> paths{dir.Write("plain", "12345"),
                                   dir / "link",
                                   dir / "broken",
                                   dir / "missing",
                                   dir / "pipe",
                                   dir / "folder",
                                   "/dev/null",
                                   dir / "plain/below",
                                   std::string("a\0b", 3)};
    const std::string secret = dir.Write("secret", "x");
    ::chmod(secret.c_str(), 0);
    paths.push_back(secret);  // refused unless the tests run as root, who reads every file
    for (const std::string& path : paths) {
        EXPECT_EQ(ProbeOutcome([&] { return files.ProbeListedSize(path); }),
                  ProbeOutcome([&] { return files.ProbeSize(path); }))
            << path;
    }
    EXPECT_EQ(ProbeOutcome([&] { return files.ProbeListedSize(dir / "link"); }), "size 5");
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
