// A sum-file import off the window's thread: one thread of its own reads the sum file, checks
// its signature, parses it and probes the size of every listed file, so that a share whose
// opens or reads hang holds up that thread only. The window's thread takes what is ready in
// batches (SumImportRun::Take) and adds it to the check list (SumListingIntake), with the same
// outcome as ImportSumListings over the whole file.
#pragma once

#include "checking/CheckList.h"
#include "checking/SumImport.h"
#include "checking/WindowPort.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class FileSystem;

// One listing as the import thread found its file.
struct ProbedListing {
    enum class Probe {
        Known,    // in the list before the import, or an earlier listing's file: no probe
        Found,    // the size probe answered
        Missing,  // nothing there (not a file, not a folder)
        Refused,  // there, but it cannot be taken: Reason says why
    };
    std::string Path;
    ExpectedDigest Expected;
    bool Outside = false;  // the listed name leaves the sum file's folder
    Probe Found = Probe::Known;
    int64_t Size = 0;
    std::string Reason;
};

// What the window's thread has of a running import after a Take.
struct SumImportBatch {
    std::vector<ProbedListing> Listings;
    // Once the sum file has been read: the report's OpenError, Listed, ProblemCount, Problems and
    // Signature are filled in (with the first batch that has them).
    bool ContentsRead = false;
};

class SumImportRun {
public:
    // Starts the thread and returns at once. knownPaths are the paths in the list now; they are
    // not probed. wake is called from the thread whenever something new is ready (merged until
    // the next Take) and never after Stop or the destructor has returned. After a stop the thread
    // calls files no more; a call that was under way when it came (a probe that hangs) still
    // holds files, so they must outlive it, as for HashingRun.
    SumImportRun(FileSystem& files, std::string sumFile, std::unordered_set<std::string> knownPaths,
                 std::function<void()> wake);
    // Stops the run without waiting for a thread stuck in a read or a probe.
    ~SumImportRun();
    SumImportRun(const SumImportRun&) = delete;
    SumImportRun& operator=(const SumImportRun&) = delete;

    // What is ready, at most that many listings; the header fields go into report.
    SumImportBatch Take(SumImportReport& report, size_t most);
    // Every listing has been taken, or the run was stopped.
    bool Done() const;
    // Waits at most that long for something to take (or for the end): for a caller without an
    // event loop.
    void Await(int milliseconds) const;
    // Returns at once: the thread is left to end on its own and hands over nothing more; what
    // was taken so far stays taken.
    void Stop();
    bool Stopped() const;
    // Listings probed so far by the thread (taken or not).
    size_t Probed() const;

private:
    struct State;
    // The thread's whole work, on the state it shares with the run.
    static void Run(const std::shared_ptr<State>& state, const std::string& sumFile,
                    std::unordered_set<std::string> known);

    std::shared_ptr<State> state_;
};

// Adds probed listings to the list on the window's thread, as ImportSumListings adds them,
// without a call into the file system.
class SumListingIntake {
public:
    SumListingIntake(CheckList& list, std::string decimalSeparator);
    void Take(const ProbedListing& listing, SumImportReport& report);

private:
    // Entries appended by someone else meanwhile (a drop) are looked up as well.
    void CatchUp();

    CheckList& list_;
    std::string decimalSeparator_;
    size_t seen_ = 0;
    std::unordered_map<std::string, size_t> entryOfPath_;
    std::unordered_set<std::string> refused_;
};

// "正在导入校验文件…" and, once listings were read, "（已读取 N 行）".
std::string SumImportStatusText(size_t listingsRead);

struct SumImportParts {
    CheckList& List;
    WindowPort& Window;
    FileSystem& Files;
    std::string DecimalSeparator;
};

// One import as the window sees it, shown as a calculation pass is: the progress group with its
// stop button, the command set held, the busy cursor, and "正在导入校验文件…" with the count
// of listings taken so far. At its end (the last listing, a stop, a failure) the window is as
// it was before, status text included; the caller then closes the import as a whole.
class SumImportPass {
public:
    SumImportPass(const SumImportParts& parts, const std::string& sumFile);
    ~SumImportPass();
    SumImportPass(const SumImportPass&) = delete;
    SumImportPass& operator=(const SumImportPass&) = delete;

    // Adds what is ready, in slices; ends the import after its last listing.
    void Deliver();
    // Ends the import at once: the listings taken so far stay in the list.
    void Stop();
    // For a caller without an event loop: waits a little for something to deliver.
    void AwaitDelivery() const;

    bool Ended() const { return ended_; }
    bool Stopped() const { return stopped_; }
    // The sum file was read (or could not be): the report's header is filled in.
    bool ContentsRead() const { return contentsRead_; }
    SumImportReport& Report() { return report_; }

private:
    void End();

    SumImportParts parts_;
    SumListingIntake intake_;
    SumImportReport report_;
    std::unique_ptr<SumImportRun> run_;
    std::string statusBefore_;
    bool ended_ = false;
    bool stopped_ = false;
    bool contentsRead_ = false;
    size_t taken_ = 0;
    size_t shownCount_ = 0;
};
