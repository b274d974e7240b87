#include "platform/SafeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace {

[[noreturn]] void Fail(int error) { throw FileWriteError(std::system_category().message(error)); }

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a save has to change: links followed to their end, a dangling one too, so the link
// itself stays a link.
std::string FollowLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::string target(static_cast<size_t>(st.st_size) + 256, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0)
            Fail(errno);
        target.resize(static_cast<size_t>(length));
        path = target.starts_with('/') ? target : FolderOf(path) + "/" + target;
    }
    Fail(ELOOP);
}

// Read without changing it: setting the umask to learn it would briefly apply to files that
// other threads of the process create.
mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("Umask:"))
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
}

void TakeOverOwnerAndMode(int fd, const struct stat& old)
{
    // Only the superuser may give a file away, and only to a group of ours otherwise; where
    // neither works the new file stays ours, which is what any editor's save gives as well.
    if (old.st_uid != geteuid() || old.st_gid != getegid()) {
        const bool given =
            fchown(fd, old.st_uid, old.st_gid) == 0 || fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
        (void)given;
    }
    if (fchmod(fd, old.st_mode & 0777) != 0)
        Fail(errno);
}

void WriteAll(int fd, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t written = write(fd, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            Fail(errno);
        }
        content.remove_prefix(static_cast<size_t>(written));
    }
}

// Makes the rename itself durable; the save has already succeeded, so failing here changes nothing.
void SyncFolder(const std::string& folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

void WriteFileSafely(const std::string& requested, std::string_view content)
{
    if (requested.empty())
        Fail(ENOENT);
    if (requested.back() == '/')
        Fail(EISDIR);
    const std::string path = FollowLinks(requested);

    struct stat old;
    const bool replacing = stat(path.c_str(), &old) == 0;
    if (replacing) {
        if (S_ISDIR(old.st_mode))
            Fail(EISDIR);
        // Renaming over a device or a FIFO would remove it instead of writing to it.
        if (!S_ISREG(old.st_mode))
            throw FileWriteError("Not a regular file");
        // The folder would let us replace a read-only file; honour the file's own flag, as
        // opening it for writing would.
        if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
            Fail(errno);
    }

    const std::string folder = FolderOf(path);
    std::string temporary = (folder == "/" ? "" : folder) + "/.quorvex-save-XXXXXX";
    int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        Fail(errno);
    try {
        if (replacing)
            TakeOverOwnerAndMode(fd, old);
        else if (fchmod(fd, 0666 & ~CurrentUmask()) != 0)
            Fail(errno);
        WriteAll(fd, content);
        if (fsync(fd) != 0)
            Fail(errno);
        const int closing = fd;
        fd = -1;
        if (close(closing) != 0)
            Fail(errno);
        if (rename(temporary.c_str(), path.c_str()) != 0)
            Fail(errno);
    } catch (...) {
        if (fd >= 0)
            close(fd);
        unlink(temporary.c_str());
        throw;
    }
    SyncFolder(folder);
}
