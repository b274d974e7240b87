#include "tests/ui/BlockingFuseFolder.h"

#define FUSE_USE_VERSION 314
#include <fuse.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The server process's ends of its pipes to the test, set before it mounts the folder.
int releaseEnd = -1;   // at its end once the test lets the reads go, or has ended
int readsEnd = -1;     // one byte for each read begun
int messagesEnd = -1;  // libfuse's messages, until the folder is mounted

bool IsFile(const char* path)
{
    return *path == '/' && std::any_of(std::begin(kBlockingFileNames), std::end(kBlockingFileNames),
                                       [path](const char* name) { return std::strcmp(path + 1, name) == 0; });
}

int GetAttributes(const char* path, struct stat* attributes, fuse_file_info*)
{
    *attributes = {};
    if (std::strcmp(path, "/") == 0) {
        attributes->st_mode = S_IFDIR | 0755;
        attributes->st_nlink = 2;
    } else if (IsFile(path)) {
        attributes->st_mode = S_IFREG | 0644;
        attributes->st_nlink = 1;
        attributes->st_size = BlockingFuseFolder::kFileSize;
    } else {
        return -ENOENT;
    }
    return 0;
}

int ReadFolder(const char* path, void* entries, fuse_fill_dir_t fill, off_t, fuse_file_info*,
               fuse_readdir_flags)
{
    if (std::strcmp(path, "/") != 0)
        return -ENOTDIR;
    const auto plain = static_cast<fuse_fill_dir_flags>(0);
    fill(entries, ".", nullptr, 0, plain);
    fill(entries, "..", nullptr, 0, plain);
    for (const char* name : kBlockingFileNames)
        fill(entries, name, nullptr, 0, plain);
    return 0;
}

int Open(const char* path, fuse_file_info* file)
{
    if (!IsFile(path))
        return -ENOENT;
    if ((file->flags & O_ACCMODE) != O_RDONLY)
        return -EROFS;
    // Every read comes to Read: none is answered from the page cache.
    file->direct_io = 1;
    return 0;
}

// Waits until the test lets the reads go, then fails. A reader that gives up (a signal, or its
// process killed by the watchdog) is let go at once: the kernel keeps even a killed reader until
// its read is answered, and a test process that cannot end would keep the folder mounted.
int Read(const char*, char*, size_t, off_t, fuse_file_info*)
{
    const char begun = 'r';
    [[maybe_unused]] const ssize_t told = ::write(readsEnd, &begun, 1);
    pollfd release{releaseEnd, POLLIN, 0};
    while (::poll(&release, 1, 50) == 0 && !fuse_interrupted()) {
    }
    return fuse_interrupted() ? -EINTR : -EIO;
}

// libfuse's messages, passed on as libfuse formats them.
__attribute__((format(printf, 2, 0))) void SayToTest(fuse_log_level, const char* format, va_list arguments)
{
    vdprintf(messagesEnd, format, arguments);
}

[[noreturn]] void Serve(const std::string& mountPoint)
{
    // A read begun after the test stopped listening must not kill the server before it unmounts.
    std::signal(SIGPIPE, SIG_IGN);
    fuse_set_log_func(SayToTest);
    fuse_operations operations{};
    operations.getattr = GetAttributes;
    operations.readdir = ReadFolder;
    operations.open = Open;
    operations.read = Read;
    char name[] = "quorvex-blocking-folder";
    char* argv[] = {name, nullptr};
    fuse_args arguments = FUSE_ARGS_INIT(1, argv);
    fuse* fileSystem = fuse_new(&arguments, &operations, sizeof operations, nullptr);
    if (fileSystem == nullptr || fuse_mount(fileSystem, mountPoint.c_str()) != 0)
        _exit(EXIT_FAILURE);
    fuse_set_log_func(nullptr);
    ::close(messagesEnd);
    // Several threads, so that listing the folder is answered while reads wait.
    std::thread([fileSystem] { fuse_loop_mt(fileSystem, nullptr); }).detach();
    pollfd release{releaseEnd, POLLIN, 0};
    while (::poll(&release, 1, -1) < 0 && errno == EINTR) {
    }
    // Out of sight at once; the kernel ends the connection, and every read still waiting on it,
    // as this process ends.
    ::umount2(mountPoint.c_str(), MNT_DETACH);
    ::rmdir(mountPoint.c_str());
    _exit(EXIT_SUCCESS);
}

std::string ReadUntilClosed(int from, std::chrono::milliseconds limit)
{
    std::string text;
    pollfd readable{from, POLLIN, 0};
    char buffer[512];
    ssize_t got = 1;
    while (got > 0 && ::poll(&readable, 1, static_cast<int>(limit.count())) > 0) {
        got = ::read(from, buffer, sizeof buffer);
        if (got > 0)
            text.append(buffer, static_cast<size_t>(got));
    }
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

bool OnAnotherFileSystem(const std::string& path)
{
    struct stat folder {};
    struct stat parent {};
    return ::stat(path.c_str(), &folder) == 0 &&
           ::stat(std::filesystem::path(path).parent_path().c_str(), &parent) == 0 &&
           folder.st_dev != parent.st_dev;
}

}  // namespace

BlockingFuseFolder::BlockingFuseFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvex-fuse-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        problem_ = std::string("no mount point: ") + std::strerror(errno);
        return;
    }
    path_ = pattern;
    int messages[2];
    int release[2];
    int reads[2];
    if (::pipe2(messages, O_CLOEXEC) != 0 || ::pipe2(release, O_CLOEXEC) != 0 ||
        ::pipe2(reads, O_CLOEXEC | O_NONBLOCK) != 0) {
        problem_ = std::string("no pipe: ") + std::strerror(errno);
        return;
    }
    server_ = ::fork();
    if (server_ == 0) {
        ::close(messages[0]);
        ::close(release[1]);
        ::close(reads[0]);
        messagesEnd = messages[1];
        releaseEnd = release[0];
        readsEnd = reads[1];
        Serve(path_);
    }
    ::close(messages[1]);
    ::close(release[0]);
    ::close(reads[1]);
    release_ = release[1];
    reads_ = reads[0];
    // The server closes its end once the folder is mounted, or ends having said why it is not.
    const std::string said = ReadUntilClosed(messages[0], std::chrono::seconds(10));
    ::close(messages[0]);
    if (server_ < 0)
        problem_ = std::string("no server process: ") + std::strerror(errno);
    else if (!OnAnotherFileSystem(path_))
        problem_ = said.empty() ? std::string("the folder was not mounted") : said;
}

BlockingFuseFolder::~BlockingFuseFolder()
{
    if (release_ >= 0)
        ::close(release_);
    if (server_ > 0) {
        int status = 0;
        for (int waited = 0; ::waitpid(server_, &status, WNOHANG) == 0; ++waited) {
            if (waited == 500) {
                ::kill(server_, SIGKILL);
                ::waitpid(server_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    if (reads_ >= 0)
        ::close(reads_);
    if (!path_.empty()) {
        // In case the server ended before it could unmount.
        ::umount2(path_.c_str(), MNT_DETACH);
        ::rmdir(path_.c_str());
    }
}

int BlockingFuseFolder::ReadsBegun()
{
    char buffer[64];
    ssize_t got;
    while ((got = ::read(reads_, buffer, sizeof buffer)) > 0)
        readsBegun_ += static_cast<int>(got);
    return readsBegun_;
}
