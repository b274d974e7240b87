// The one hashing engine of the program: it reads every file of a list once, in large blocks, and
// feeds each block to every chosen digest. The window's calculation pass and the command-line
// program both hash through it.
//
// A run works off the caller's thread. The marked algorithms of one large file are spread over the
// threads (the slowest of them bounds the file), and its BLAKE3, a tree, is hashed in parts on all
// of them; small files are hashed several at a time; at most one large file is being read at any
// moment, so that a spinning disk does not seek between files.
// The block buffers stay within a fixed budget whatever the number and the size of the files.
//
// Every file is read to its end: until InputFile::Read brings fewer bytes than asked, whatever
// its size said at the open; one that ends short of that size shrank while it was read.
//
// Results come out in the order of the list. The caller either waits for them (Wait) or, on a
// thread with an event loop, asks for whatever is ready (TakeResults) each time the run calls its
// wake callback.
#pragma once

#include "hashing/DigestAlgorithm.h"
#include "platform/FileAccess.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

enum class HashOutcome {
    Digests,     // every chosen digest was computed
    Missing,     // the open failed and FileAccess::FileExists is false: nothing there, or a folder
    CannotOpen,  // FileAccess::OpenForReading threw (a FIFO, socket or device included)
    ReadFailed,  // a read threw
    Shrank,      // the file ended before the size it had when it was opened
    Stopped,     // the run was stopped before this file was finished
};

struct HashResult {
    size_t Index = 0;  // position of the path in the list
    HashOutcome Outcome = HashOutcome::Digests;
    // The system's text for the reason of CannotOpen and ReadFailed (FileError::what()), a fixed
    // English sentence for Shrank; empty otherwise.
    std::string Reason;
    // The bytes read, and the size the file had when it was opened (-1 when it was not opened).
    int64_t BytesRead = 0;
    int64_t SizeAtOpen = -1;
    // With Outcome Digests, the digest bytes of each chosen algorithm (kDigestAlgorithms[a]
    // .DigestBytes of them, HashingOptions::Blake2bBytes for BLAKE2b, in the byte order the algorithm's standard writes; the CRC-32 as its
    // four bytes, most significant first); empty for the others.
    // By algorithm, up to the last one chosen only: results wait and move in the engine by the
    // thousand.
    std::vector<std::vector<uint8_t>> Digests;

    const std::vector<uint8_t>& Digest(DigestAlgorithm algorithm) const
    {
        static const std::vector<uint8_t> kNone;
        const size_t at = static_cast<size_t>(algorithm);
        return at < Digests.size() ? Digests[at] : kNone;
    }
};

struct HashingOptions {
    // Worker threads; 0 means one per hardware thread.
    unsigned Threads = 0;
    // All block buffers of a run together, in bytes.
    size_t BufferBudget = size_t{64} << 20;
    // Bytes per read; small enough that a block stays in a core's cache while it is digested.
    size_t BlockBytes = size_t{256} << 10;
    // A file at least this long (by its size at the open, or by what it has yielded so far when
    // the size says less) is a large file: its algorithms are spread over the threads and no
    // other large file is read meanwhile.
    int64_t LargeFileBytes = int64_t{8} << 20;
    // The length of the BLAKE2b digests, 1 to 64 bytes ("b2sum -l").
    size_t Blake2bBytes = kBlake2bMaxBytes;
};

// A snapshot of a run's progress, for a speed and the time left.
struct HashingProgress {
    size_t FilesFinished = 0;  // files whose result is ready, in or out of order
    int64_t BytesRead = 0;     // over all files of the run so far
    // The first file of the list not yet delivered by TakeResults or Wait, and how far it has
    // been read; Size is -1 until it has been opened.
    size_t CurrentIndex = 0;
    int64_t CurrentBytesRead = 0;
    int64_t CurrentSize = -1;
};

class HashingRun {
public:
    // Starts hashing the files at the paths with the algorithms in the set; returns at once.
    // wake, when given, is called from the run's threads (never from a call of the caller's)
    // whenever a result becomes ready or a block has been read, once until the next TakeResults
    // (calls in between are merged); it must be thread-safe and quick (post an event, notify a
    // condition), and is never called after Stop or the destructor has returned. files must outlive every worker of the run: a worker left behind in a read that
    // does not return still holds its InputFile, and after a stop it never calls files again
    // once it notices the stop; a file layer that lives as long as the program is safe.
    HashingRun(FileAccess& files, std::vector<std::string> paths, DigestSet algorithms,
               HashingOptions options = {}, std::function<void()> wake = {});
    // A run whose list grows while it runs, as the names are found: AddPaths appends, and the
    // run is done only once EndOfPaths has said that no more come. Without a wake callback.
    HashingRun(FileAccess& files, DigestSet algorithms, HashingOptions options);
    // Appends to the list of a growing run (nothing after EndOfPaths or a stop: those paths are
    // not the run's, and no Stopped result stands for them).
    void AddPaths(std::vector<std::string> more);
    void EndOfPaths();
    // Stops the run (see Stop) and returns without waiting for a worker stuck in a read.
    ~HashingRun();
    HashingRun(const HashingRun&) = delete;
    HashingRun& operator=(const HashingRun&) = delete;

    // The results that are ready (at most that many), in list order, continuing where the last
    // call stopped; empty when the next file in order is not finished yet. Thread-safe, never
    // blocks for a file.
    std::vector<HashResult> TakeResults(size_t most = SIZE_MAX);
    // The next result in list order, waiting for it; nullopt once every result has been taken.
    // Results of small files come to a waiter a few milliseconds late at most, in batches.
    std::optional<HashResult> Wait();
    // Waits at most that long until Wait or TakeResults has something (or every result has been
    // taken): false when the time ran out first.
    bool AwaitResult(std::chrono::milliseconds most);
    // True once every result has been taken (after a stop: the Stopped one included).
    bool Done() const;

    // Asks every worker to stop and returns at once (within milliseconds even when a worker is
    // stuck in a read: that worker is left behind and ends on its own, touching nothing of the
    // caller's). Every result that was finished before the stop is still delivered, in list
    // order: the unbroken run from the last taken one, then one result with Outcome Stopped for
    // the first file that was not finished, then the files finished after that one; the other
    // unfinished files get nothing.
    void Stop();
    bool Stopped() const;

    HashingProgress Progress() const;
    size_t FileCount() const;
    unsigned ThreadCount() const;

private:
    void StartWorkers();

    struct State;
    std::shared_ptr<State> state_;
};

// The digest bytes as text: lowercase or uppercase hexadecimal, two digits per byte.
std::string DigestHex(const std::vector<uint8_t>& digest, bool uppercase);
