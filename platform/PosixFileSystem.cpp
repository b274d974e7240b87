#include "platform/PosixFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

static_assert(sizeof(off_t) == 8, "files of 4 GiB and more need a 64-bit off_t");

namespace {

FileError SystemError(int error) { return FileError(std::strerror(error)); }

// A name with a NUL byte would reach the system cut short and name another file.
bool Representable(const std::string& path) { return path.find('\0') == std::string::npos; }

bool StatPath(const std::string& path, struct stat& st)
{
    return Representable(path) && ::stat(path.c_str(), &st) == 0;
}

const char* RefusalReason(mode_t mode)
{
    if (S_ISDIR(mode))
        return "Is a directory";
    if (S_ISFIFO(mode))
        return "Is a FIFO (named pipe), not a regular file";
    if (S_ISSOCK(mode))
        return "Is a socket, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "Is a device, not a regular file";
    return "Not a regular file";
}

class PosixInputFile : public InputFile {
public:
    PosixInputFile(int fd, int64_t size) : fd_(fd), size_(size) {}
    ~PosixInputFile() override { ::close(fd_); }
    PosixInputFile(const PosixInputFile&) = delete;
    PosixInputFile& operator=(const PosixInputFile&) = delete;

    int64_t Size() const override { return size_; }

    size_t Read(void* buffer, size_t size) override
    {
        auto* p = static_cast<char*>(buffer);
        size_t done = 0;
        // The system may deliver less than asked before the end (signals, large requests, a
        // network or FUSE file system), and callers rely on fewer bytes meaning the end of the
        // file: ask again, unless the read reached the size the file had at its open. A regular
        // file read that far and short of the request is at its end, and asking again would cost
        // a tiny file a second call. A size of 0 says nothing (files of /proc come in pieces).
        if (viewedAhead_) {
            // The views went further than the reads: the reads go on where the views ended.
            if (::lseek(fd_, offset_, SEEK_SET) < 0)
                throw SystemError(errno);
            viewedAhead_ = false;
        }
        while (done < size) {
            ssize_t n = ::read(fd_, p + done, size - done);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                throw SystemError(errno);
            }
            if (n == 0)
                break;
            done += static_cast<size_t>(n);
            offset_ += n;
            if (size_ > 0 && offset_ >= size_)
                break;
        }
        return done;
    }

    std::optional<FileView> View(size_t size) override
    {
        if (!mapTried_) {
            mapTried_ = true;
            Map();
        }
        if (!mapping_ || offset_ >= size_)
            return std::nullopt;
        const size_t take =
            static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(size), size_ - offset_));
        FileView view{static_cast<const uint8_t*>(mapping_.get()) + offset_, take, mapping_};
        offset_ += static_cast<int64_t>(take);
        viewedAhead_ = true;
        return view;
    }

private:
    // The whole file as it was at its open, once; a file system that maps nothing is read.
    void Map()
    {
        if (size_ <= 0 || static_cast<uint64_t>(size_) > SIZE_MAX)
            return;
        const auto bytes = static_cast<size_t>(size_);
        void* base = ::mmap(nullptr, bytes, PROT_READ, MAP_SHARED, fd_, 0);
        if (base == MAP_FAILED)
            return;
        // Read once from start to end: the kernel may read ahead widely and drop what was read.
        (void)::madvise(base, bytes, MADV_SEQUENTIAL);
        mapping_ = std::shared_ptr<const void>(
            base, [bytes](const void* p) { ::munmap(const_cast<void*>(p), bytes); });
    }

    int fd_;
    int64_t size_;
    int64_t offset_ = 0;
    std::shared_ptr<const void> mapping_;
    bool mapTried_ = false;
    bool viewedAhead_ = false;  // the file's own position lies behind offset_
};

// O_NONBLOCK makes the open of a FIFO return at once instead of waiting for a writer; the file
// is refused by its kind before anything reads from it. A file opened only to ask its size is
// closed again at once: it is left as it was opened.
enum class OpenFor {
    Reading,
    SizeOnly
};
int OpenRegularFile(const std::string& path, struct stat& st, OpenFor use)
{
    if (!Representable(path))
        throw FileError("The file name contains a NUL byte");
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        // A socket cannot be opened at all (ENXIO); its kind says more than "No such device".
        int error = errno;
        if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            throw FileError(RefusalReason(st.st_mode));
        throw SystemError(error);
    }
    if (::fstat(fd, &st) != 0) {
        int error = errno;
        ::close(fd);
        throw SystemError(error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError(RefusalReason(st.st_mode));
    }
    if (use == OpenFor::SizeOnly)
        return fd;
    // O_NONBLOCK stays: reads of a regular file do not heed it, and clearing it would cost every
    // file one more call.
    // Every reader goes through a file once from its start to its end: let the kernel read ahead
    // widely. Only a hint, and only where reading ahead can matter (a size of 0 may hide content).
    if (st.st_size == 0 || st.st_size >= (off_t{1} << 20))
        (void)::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
}

}  // namespace

bool PosixFileSystem::FileExists(const std::string& path)
{
    struct stat st;
    return StatPath(path, st) && !S_ISDIR(st.st_mode);
}

bool PosixFileSystem::FolderExists(const std::string& path)
{
    struct stat st;
    return StatPath(path, st) && S_ISDIR(st.st_mode);
}

std::unique_ptr<InputFile> PosixFileSystem::OpenForReading(const std::string& path)
{
    struct stat st;
    int fd = OpenRegularFile(path, st, OpenFor::Reading);
    return std::make_unique<PosixInputFile>(fd, static_cast<int64_t>(st.st_size));
}

int64_t PosixFileSystem::ProbeSize(const std::string& path)
{
    struct stat st;
    ::close(OpenRegularFile(path, st, OpenFor::SizeOnly));
    return static_cast<int64_t>(st.st_size);
}

int64_t PosixFileSystem::ProbeListedSize(const std::string& path)
{
    if (!Representable(path))
        throw FileError("The file name contains a NUL byte");
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        throw SystemError(errno);
    if (!S_ISREG(st.st_mode))
        throw FileError(RefusalReason(st.st_mode));
    // Whether an open for reading would be let through, asked of the rights it would be judged by.
    if (::faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) != 0)
        throw SystemError(errno);
    return static_cast<int64_t>(st.st_size);
}

std::vector<FolderItem> PosixFileSystem::ScanFolder(const std::string& folder)
{
    std::vector<FolderItem> items;
    if (!Representable(folder))
        return items;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return items;
    const int dirFd = ::dirfd(dir);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry)
            break;
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        // Subfolders that are not links can be passed over without a stat.
        if (entry->d_type == DT_DIR)
            continue;
        // Relative to the open folder: no path to build, and the folder cannot be swapped
        // underneath. Flags 0 follow symbolic links, so a link to a file counts as that file.
        struct stat st;
        if (::fstatat(dirFd, name, &st, 0) != 0 || !S_ISREG(st.st_mode))
            continue;
        items.push_back({name, static_cast<int64_t>(st.st_size)});
    }
    ::closedir(dir);
    return items;
}
