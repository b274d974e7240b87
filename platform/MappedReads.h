// Reading a file's bytes where the system maps them into memory, without the copy a read makes:
// for the fastest digests (BLAKE3, xxHash) the copy from the page cache costs as much time as the
// digest. A mapped page of a file that was cut shorter since it was mapped cannot be read; the
// processor's fault then ends the reading, not the program.
#pragma once

#include <functional>

// Runs read, which reads the bytes of FileViews, and returns true. Returns false instead where
// one of its pages could not be read: read then stopped halfway and never returns, so it must
// hold no lock and own nothing that would have to be released (a digest fed from a view does
// neither). Nested calls and calls on any number of threads at once are fine.
bool ReadMapped(const std::function<void()>& read);
