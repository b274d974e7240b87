// Replacing a file's whole content so that nobody ever finds it half written: the bytes go to a
// temporary file in the same folder, which takes the name only when all of them are on disk.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// The file could not be written; what() is the system's text for the reason, e.g.
// "No such file or directory". The file at the path is as it was before.
class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Creates or replaces the file at path with content. A symbolic link is followed, so its target
// gets the content and the link stays. A replaced file keeps its permissions (and its owner
// where the system lets us); a new one gets 0666 less the umask, like any file a program
// creates. A file that is read-only for us, a folder or a special file is never replaced.
void WriteFileSafely(const std::string& path, std::string_view content);
