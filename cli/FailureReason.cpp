#include "cli/Commands.h"

#include "hashing/HashingEngine.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace {

// The engine only knows that nothing it can read is there; stat tells why, as the system
// would have told coreutils.
std::string MissingReason(const std::string& path, bool& noSuchFile)
{
    struct stat st;
    noSuchFile = false;
    if (path.find('\0') == std::string::npos && ::stat(path.c_str(), &st) != 0) {
        noSuchFile = errno == ENOENT;
        return std::strerror(errno);
    }
    if (path.find('\0') == std::string::npos && S_ISDIR(st.st_mode))
        return std::strerror(EISDIR);
    // Back again since the engine looked; it was not there when it counted.
    noSuchFile = true;
    return std::strerror(ENOENT);
}

}  // namespace

std::string FailureReason(const std::string& path, const HashResult& result, bool& noSuchFile)
{
    noSuchFile = false;
    switch (result.Outcome) {
    case HashOutcome::Missing: return MissingReason(path, noSuchFile);
    case HashOutcome::CannotOpen:
    case HashOutcome::ReadFailed: return result.Reason;
    case HashOutcome::Shrank:
        // In the words of a message here, not of a sentence in a window.
        return "file shrank while it was read";
    case HashOutcome::Digests:
    case HashOutcome::Stopped: break;
    }
    return {};
}
