// How the layers above read files: open one for reading and read it in blocks. The platform layer
// implements it on POSIX; tests put faults in its place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

// A file that cannot be opened or read; what() is the system's text for the reason.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Bytes of an open file in memory, readable without a copy for as long as Keep lives, also after
// the file is closed. Read them only within ReadMapped (platform/MappedReads.h): a page of a file
// cut shorter since its open cannot be read.
struct FileView {
    const uint8_t* Data = nullptr;
    size_t Size = 0;
    std::shared_ptr<const void> Keep;
};

// One file opened for reading, closed when the object goes.
class InputFile {
public:
    virtual ~InputFile() = default;
    // The file's size in bytes, taken when it was opened.
    virtual int64_t Size() const = 0;
    // Reads up to size bytes and returns how many came: fewer only at the end of the file,
    // 0 there. A read that fails throws FileError.
    virtual size_t Read(void* buffer, size_t size) = 0;
    // The next bytes as a view instead of a copy, up to size of them, and on from there as Read
    // goes on: fewer only where the view ends, which is at the size the file had at its open or
    // sooner. None where the file has no view from here on; Read then goes on where the views
    // ended. Meant for large files, whose views save a copy of every byte.
    virtual std::optional<FileView> View(size_t /*size*/) { return std::nullopt; }
};

class FileAccess {
public:
    virtual ~FileAccess() = default;
    // True when something that is not a folder exists at the path (links followed).
    virtual bool FileExists(const std::string& path) = 0;
    // Opens a regular file for reading. Throws FileError when it cannot be opened; a FIFO,
    // socket or device is refused so that no read can block forever.
    virtual std::unique_ptr<InputFile> OpenForReading(const std::string& path) = 0;
};
