#include "platform/FolderWalk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct FolderIdentity {
    dev_t Device;
    ino_t Inode;
    bool operator==(const FolderIdentity&) const = default;
};

struct Entry {
    std::string Name;
    bool IsFolder;   // the listing says it is a folder (not a link to one)
    bool IsRegular;  // the listing says it is a regular file (not a link to one)
};

class Walk {
public:
    Walk(bool recursive, bool sizes, FolderWalkVisitor& visitor)
        : recursive_(recursive), sizes_(sizes), visitor_(visitor)
    {
    }

    // fd is an open folder, owned from here on.
    void Folder(int fd, const std::string& path)
    {
        struct stat st;
        if (::fstat(fd, &st) != 0) {
            visitor_.Unreadable(path, std::strerror(errno));
            ::close(fd);
            return;
        }
        const FolderIdentity identity{st.st_dev, st.st_ino};
        if (std::find(walking_.begin(), walking_.end(), identity) != walking_.end()) {
            visitor_.Loop(path);
            ::close(fd);
            return;
        }
        DIR* dir = ::fdopendir(fd);
        if (!dir) {
            visitor_.Unreadable(path, std::strerror(errno));
            ::close(fd);
            return;
        }
        std::vector<Entry> entries;
        const int listingError = List(dir, entries);
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return a.Name < b.Name; });

        walking_.push_back(identity);
        const std::string prefix = path.empty() || path.back() == '/' ? path : path + "/";
        for (const Entry& entry : entries) {
            if (visitor_.Stopped())
                break;
            Visit(::dirfd(dir), prefix + entry.Name, entry);
        }
        walking_.pop_back();
        ::closedir(dir);
        // What was listed before the failure was still walked.
        if (listingError != 0 && !visitor_.Stopped())
            visitor_.Unreadable(path, std::strerror(listingError));
    }

private:
    static int List(DIR* dir, std::vector<Entry>& entries)
    {
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(dir);
            if (!entry)
                return errno;
            const char* name = entry->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            entries.push_back({name, entry->d_type == DT_DIR, entry->d_type == DT_REG});
        }
    }

    void Visit(int dirFd, const std::string& path, const Entry& entry)
    {
        // Subfolders that are not links can be passed over without a stat.
        if (!recursive_ && entry.IsFolder)
            return;
        // Nor files the listing calls regular, when their size is not wanted.
        if (!sizes_ && entry.IsRegular) {
            visitor_.File(path, -1);
            return;
        }
        // Flags 0 follow symbolic links: a link to a file counts as that file.
        struct stat st;
        if (::fstatat(dirFd, entry.Name.c_str(), &st, 0) != 0)
            return;  // a broken link, or gone since the listing
        if (S_ISREG(st.st_mode)) {
            visitor_.File(path, static_cast<int64_t>(st.st_size));
            return;
        }
        if (!S_ISDIR(st.st_mode)) {
            visitor_.Special(path);  // special files are never hashed from a folder
            return;
        }
        if (!recursive_)
            return;
        const int fd = ::openat(dirFd, entry.Name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            visitor_.Unreadable(path, std::strerror(errno));
            return;
        }
        Folder(fd, path);
    }

    bool recursive_;
    bool sizes_;
    FolderWalkVisitor& visitor_;
    std::vector<FolderIdentity> walking_;  // the folders from the top down to the current one
};

}  // namespace

void WalkFolder(const std::string& folder, bool recursive, FolderWalkVisitor& visitor, bool sizes)
{
    if (folder.find('\0') != std::string::npos) {
        visitor.Unreadable(folder, "The folder name contains a NUL byte");
        return;
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        visitor.Unreadable(folder, std::strerror(errno));
        return;
    }
    Walk(recursive, sizes, visitor).Folder(fd, folder);
}

std::optional<int64_t> RegularFileSize(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return static_cast<int64_t>(st.st_size);
}
