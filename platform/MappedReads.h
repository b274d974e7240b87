// Reading a file's bytes where the system maps them into memory, without the copy a read makes:
// for the fastest digests (BLAKE3, xxHash) the copy from the page cache costs as much time as the
// digest. A mapped page of a file that was cut shorter since it was mapped has no bytes behind it,
// and the processor's fault on it would end the program.
#pragma once

#include <functional>

// Runs read, which reads the bytes of FileViews, and returns true when every page it read had its
// file's bytes behind it. Where one had none (the file was cut shorter), the page reads as zeros
// from then on, read runs on to its end as it would have, and false comes back: whatever read
// made of those bytes is of no content at all. Calls on any number of threads at once, and one
// inside another, are fine; the inner one alone hears of a page that it read.
bool ReadMapped(const std::function<void()>& read);
