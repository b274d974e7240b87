#include "ui/RuntimeFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr mode_t kOthersBits = S_IRWXG | S_IRWXO;

bool IsPrivateFolderOfUser(const struct stat& status)
{
    return S_ISDIR(status.st_mode) && status.st_uid == geteuid() && (status.st_mode & kOthersBits) == 0;
}

// The fallback lies in a folder everybody may write to: open it without following a link, so a
// link planted there under our name is refused, and check and tighten the folder we really hold.
std::optional<std::string> OwnFallbackFolder(const std::string& folder, std::string& why)
{
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        why = "cannot make " + folder + ": " + std::strerror(errno);
        return std::nullopt;
    }
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        why = "cannot open " + folder + " as a folder: " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat status {};
    std::optional<std::string> result;
    if (fstat(fd, &status) != 0)
        why = "cannot read " + folder + ": " + std::strerror(errno);
    else if (status.st_uid != geteuid())
        why = folder + " belongs to another user";
    else if ((status.st_mode & kOthersBits) != 0 && fchmod(fd, 0700) != 0)
        why = "cannot make " + folder + " private: " + std::strerror(errno);
    else
        result = folder;
    close(fd);
    return result;
}

}  // namespace

std::optional<std::string> PrivateRuntimeFolder(const char* xdgRuntimeDir, const std::string& fallbackParent,
                                                std::string& why)
{
    why.clear();
    if (xdgRuntimeDir && xdgRuntimeDir[0] == '/') {
        struct stat status {};
        if (stat(xdgRuntimeDir, &status) == 0 && IsPrivateFolderOfUser(status))
            return std::string(xdgRuntimeDir);
    }
    return OwnFallbackFolder(fallbackParent + "/quorvex-" + std::to_string(geteuid()), why);
}
