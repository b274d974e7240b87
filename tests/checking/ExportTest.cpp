#include "checking/ResultExport.h"
#include "platform/TextEncoding.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kMd5 = "MD5：900150983cd24fb0d6963f7d28e17f72";
const std::string kSha1 = "SHA1：A9993E364706816ABA3E25717850C26C9CD0D89D";

ResultTree TwoFilesOfOneName()
{
    ResultTree tree;
    tree.AppendRoot("a.txt", 0);
    tree.AppendLine(kMd5);
    tree.AppendLine(kSha1);
    tree.AppendRoot("a.txt", 1);  // a missing file: no lines
    tree.AppendRoot("b.txt", 2);
    tree.AppendLine("SHA1：读取文件错误");
    return tree;
}

std::set<std::string> Names(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(folder))
        names.insert(item.path().filename().string());
    return names;
}

mode_t ModeOf(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::string Message(const std::function<void()>& save)
{
    try {
        save();
    } catch (const SaveError& error) {
        return error.what();
    }
    return "no SaveError";
}

// Root may write anywhere, so permission checks take the identity of "nobody" for a while.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() : wasRoot_(geteuid() == 0)
    {
        switched_ = !wasRoot_ || (setegid(65534) == 0 && seteuid(65534) == 0);
    }
    ~AsOrdinaryUser()
    {
        // Carrying on as someone else would make every later test meaningless.
        if (wasRoot_ && (seteuid(0) != 0 || setegid(0) != 0))
            std::abort();
    }
    bool Switched() const { return switched_; }

private:
    bool wasRoot_;
    bool switched_;
};

// A file may grow to a few bytes only, so a write fails part way, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
        oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_;
    sighandler_t oldHandler_;
};

}  // namespace

TEST(Export, CopyAllAndResultFileTexts)
{
    const ResultTree tree = TwoFilesOfOneName();
    EXPECT_EQ(CopyAllText(tree), "Quorvex校验结果：\r\n\r\na.txt\r\n" + kMd5 + "\r\n" + kSha1 +
                                     "\r\na.txt\r\nb.txt\r\nSHA1：读取文件错误\r\n");
    EXPECT_EQ(ResultFileText(tree),
              "a.txt\r\n\t" + kMd5 + "\r\n\t" + kSha1 + "\r\na.txt\r\nb.txt\r\n\tSHA1：读取文件错误\r\n");
    EXPECT_EQ(CopyAllText(ResultTree()), "Quorvex校验结果：\r\n\r\n");
    EXPECT_EQ(ResultFileText(ResultTree()), "");
}

TEST(Export, BreaksAndTabsInANameKeepOneLinePerNode)
{
    ResultTree tree;
    tree.AppendRoot("two\r\nlines\tand tab\n", 0);
    tree.AppendLine(kMd5);
    tree.AppendRoot("caf\xE9\t.txt", 1);
    EXPECT_EQ(ResultFileText(tree), "two␍␊lines␉and tab␊\r\n\t" + kMd5 + "\r\ncaf\\xE9␉.txt\r\n");
    EXPECT_EQ(CopyAllText(tree),
              "Quorvex校验结果：\r\n\r\ntwo␍␊lines␉and tab␊\r\n" + kMd5 + "\r\ncaf\\xE9␉.txt\r\n");
}

TEST(Export, ResultFileIsGbkWithNamesOutsideGbkKept)
{
    TempDir dir;
    ResultTree tree;
    tree.AppendRoot("测试文件.txt", 0);
    tree.AppendLine("MD5：读取文件错误");
    tree.AppendRoot("\xB2\xE2\xCA\xD4", 1);  // a name the file system holds in GBK
    tree.AppendRoot("한국어.txt", 2);
    tree.AppendLine(kSha1);
    const std::string path = dir / "SumoraResult.txt";
    SaveResultFile(tree, path);

    const std::string bytes = ReadWholeFile(path);
    const std::string gbk = "\xB2\xE2\xCA\xD4\xCE\xC4\xBC\xFE.txt\r\n"
                            "\tMD5\xA3\xBA\xB6\xC1\xC8\xA1\xCE\xC4\xBC\xFE\xB4\xED\xCE\xF3\r\n"
                            "\xB2\xE2\xCA\xD4\r\n";
    ASSERT_EQ(bytes.substr(0, gbk.size()), gbk);

    // 한국어 has no GBK code: its four-byte GB18030 codes, as glibc's iconv gives them.
    EXPECT_EQ(bytes.substr(gbk.size()),
              "\x83\x36\x84\x33\x82\x37\xF4\x30\x83\x32\xEB\x35.txt\r\n\tSHA1\xA3\xBA" +
                  kSha1.substr(kSha1.size() - 40) + "\r\n");
}

TEST(Export, SavingReplacesTheFileAsTyped)
{
    TempDir dir;
    const std::string path = dir.Write("results", "old content");  // no ".txt" added
    chmod(path.c_str(), 0604);
    const ResultTree tree = TwoFilesOfOneName();
    // The GB18030 (here GBK) bytes, typed in: "：" is A3 BA, "读取文件错误" B6C1 C8A1 CEC4 BCFE B4ED CEF3.
    const std::string content = "a.txt\r\n"
                                "\tMD5\xA3\xBA"
                                "900150983cd24fb0d6963f7d28e17f72\r\n"
                                "\tSHA1\xA3\xBA"
                                "A9993E364706816ABA3E25717850C26C9CD0D89D\r\n"
                                "a.txt\r\n"
                                "b.txt\r\n"
                                "\tSHA1\xA3\xBA\xB6\xC1\xC8\xA1\xCE\xC4\xBC\xFE\xB4\xED\xCE\xF3\r\n";
    SaveResultFile(tree, path);
    EXPECT_EQ(ReadWholeFile(path), content);
    EXPECT_EQ(ModeOf(path), 0604u);

    // An empty tree leaves a file of 0 bytes in place of the old one.
    SaveResultFile(ResultTree(), path);
    EXPECT_EQ(ReadWholeFile(path), "");
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"results"}));

    // A new file gets the usual mode under the umask.
    const mode_t oldMask = umask(027);
    SaveResultFile(ResultTree(), dir / "new.txt");
    umask(oldMask);
    EXPECT_EQ(ModeOf(dir / "new.txt"), 0640u);

    // Through a link the target changes and the link stays.
    const std::string target = dir.Write("target.txt", "old");
    std::filesystem::create_symlink("target.txt", dir / "link.txt");
    SaveResultFile(tree, dir / "link.txt");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.txt"));
    EXPECT_EQ(ReadWholeFile(target), content);
}

TEST(Export, AFailedSaveLeavesEverythingAsItWas)
{
    TempDir dir;
    chmod(dir.Path().c_str(), 0777);
    const std::string old = dir.Write("old.txt", "old content");
    const std::string file = dir.Write("plain", "not a folder");
    std::filesystem::create_directory(dir / "folder");
    mkfifo((dir / "fifo").c_str(), 0644);
    const std::set<std::string> before = Names(dir.Path());
    const ResultTree tree = TwoFilesOfOneName();
    const auto saving = [&](const std::string& path) { return [&, path] { SaveResultFile(tree, path); }; };
    const auto expected = [](const std::string& path, const std::string& reason) {
        return "Cannot create file \"" + path + "\". " + reason;
    };

    EXPECT_EQ(Message(saving(dir / "missing/r.txt")),
              expected(dir / "missing/r.txt", "No such file or directory"));
    EXPECT_EQ(Message(saving(dir / "folder")), expected(dir / "folder", "Is a directory"));
    EXPECT_EQ(Message(saving(dir / "plain/r.txt")), expected(dir / "plain/r.txt", "Not a directory"));
    EXPECT_EQ(Message(saving(dir / "fifo")), expected(dir / "fifo", "Not a regular file"));
    {
        FileSizeLimit limit(64);
        EXPECT_EQ(Message(saving(old)), expected(old, "File too large"));
    }
    EXPECT_EQ(Names(dir.Path()), before);
    EXPECT_EQ(ReadWholeFile(old), "old content");
    EXPECT_EQ(ReadWholeFile(file), "not a folder");
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "fifo"));

    // A read-only folder, and a read-only file in a folder that would let us replace it.
    std::filesystem::create_directory(dir / "locked");
    const std::string inLocked = dir.Write("locked/old.txt", "locked content");
    chmod(inLocked.c_str(), 0666);
    chmod((dir / "locked").c_str(), 0555);
    chmod(old.c_str(), 0444);
    {
        AsOrdinaryUser user;
        if (!user.Switched())
            GTEST_SKIP() << "cannot take an ordinary user's identity";
        EXPECT_EQ(Message(saving(inLocked)), expected(inLocked, "Permission denied"));
        EXPECT_EQ(Message(saving(dir / "locked/new.txt")),
                  expected(dir / "locked/new.txt", "Permission denied"));
        EXPECT_EQ(Message(saving(old)), expected(old, "Permission denied"));
    }
    EXPECT_EQ(Names(dir / "locked"), (std::set<std::string>{"old.txt"}));
    EXPECT_EQ(ReadWholeFile(inLocked), "locked content");
    EXPECT_EQ(ReadWholeFile(old), "old content");
    std::set<std::string> withLocked = before;
    withLocked.insert("locked");
    EXPECT_EQ(Names(dir.Path()), withLocked);
    chmod((dir / "locked").c_str(), 0755);  // so the scratch folder can go
}
