// The hashing engine against independent digests, against itself with one thread, and under
// stops, stuck reads and files that never end.
#include "hashing/HashingEngine.h"

#include "engines/Blake3.h"
#include "engines/Blake3Compress.h"
#include "engines/DCPhaval.h"
#include "platform/PosixFileSystem.h"
#include "tests/support/Blake3Variants.h"
#include "tests/support/MemoryFiles.h"
#include "tests/support/Oracle.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <xxhash.h>

#include <gcrypt.h>
#include <mhash.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#include <unistd.h>

namespace {

// Small blocks and a small ring, so that a few hundred KiB make a large file that wraps it.
HashingOptions SmallBlocks(unsigned threads)
{
    HashingOptions options;
    options.Threads = threads;
    options.BlockBytes = 4096;
    options.BufferBudget = 8 * 4096;
    options.LargeFileBytes = 64 * 1024;
    return options;
}

DigestSet AllAlgorithms()
{
    DigestSet set;
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        set.Add(info.Algorithm);
    return set;
}

std::vector<HashResult> RunToEnd(HashingRun& run)
{
    std::vector<HashResult> results;
    while (auto result = run.Wait())
        results.push_back(std::move(*result));
    return results;
}

std::vector<HashResult> Hash(FileAccess& files, const std::vector<std::string>& paths, DigestSet set,
                             HashingOptions options)
{
    HashingRun run(files, paths, set, options);
    return RunToEnd(run);
}

Bytes Oracle(DigestAlgorithm algorithm, const Bytes& message)
{
    switch (algorithm) {
    case DigestAlgorithm::MD5: return GcryptDigest(GCRY_MD_MD5, message);
    case DigestAlgorithm::CRC32: return GcryptDigest(GCRY_MD_CRC32, message);
    case DigestAlgorithm::SHA1: return GcryptDigest(GCRY_MD_SHA1, message);
    case DigestAlgorithm::MD4: return GcryptDigest(GCRY_MD_MD4, message);
    case DigestAlgorithm::RipeMD128: return MhashDigest(MHASH_RIPEMD128, message);
    case DigestAlgorithm::RipeMD160: return GcryptDigest(GCRY_MD_RMD160, message);
    case DigestAlgorithm::SHA256: return GcryptDigest(GCRY_MD_SHA256, message);
    case DigestAlgorithm::SHA384: return GcryptDigest(GCRY_MD_SHA384, message);
    case DigestAlgorithm::SHA512: return GcryptDigest(GCRY_MD_SHA512, message);
    case DigestAlgorithm::Tiger192: return GcryptDigest(GCRY_MD_TIGER1, message);
    case DigestAlgorithm::Haval256: {
        // No library has five-pass HAVAL; the engine is checked against published values in
        // its own tests, and here only the reading around it is under test.
        TDCP_haval haval;
        return EngineDigest(haval, message);
    }
    case DigestAlgorithm::SHA224: return GcryptDigest(GCRY_MD_SHA224, message);
    case DigestAlgorithm::SHA3_224: return GcryptDigest(GCRY_MD_SHA3_224, message);
    case DigestAlgorithm::SHA3_256: return GcryptDigest(GCRY_MD_SHA3_256, message);
    case DigestAlgorithm::SHA3_384: return GcryptDigest(GCRY_MD_SHA3_384, message);
    case DigestAlgorithm::SHA3_512: return GcryptDigest(GCRY_MD_SHA3_512, message);
    case DigestAlgorithm::Blake2b: return GcryptDigest(GCRY_MD_BLAKE2B_512, message);
    case DigestAlgorithm::Blake2s: return GcryptDigest(GCRY_MD_BLAKE2S_256, message);
    case DigestAlgorithm::SM3: return GcryptDigest(GCRY_MD_SM3, message);
    case DigestAlgorithm::Blake3: {
        // As HAVAL: the engine is held against b3sum in its own tests.
        Blake3 hasher;
        hasher.Update(message.data(), message.size());
        Bytes digest(32);
        hasher.Finish(digest.data(), digest.size());
        return digest;
    }
    // The xxHash family is the library's own; what is under test is its byte order, xxhsum's.
    case DigestAlgorithm::XXH64: {
        XXH64_canonical_t canonical;
        XXH64_canonicalFromHash(&canonical, XXH64(message.data(), message.size(), 0));
        return Bytes(canonical.digest, canonical.digest + 8);
    }
    case DigestAlgorithm::XXH3: {
        XXH64_canonical_t canonical;
        XXH64_canonicalFromHash(&canonical, XXH3_64bits(message.data(), message.size()));
        return Bytes(canonical.digest, canonical.digest + 8);
    }
    case DigestAlgorithm::XXH128: {
        XXH128_canonical_t canonical;
        XXH128_canonicalFromHash(&canonical, XXH3_128bits(message.data(), message.size()));
        return Bytes(canonical.digest, canonical.digest + 16);
    }
    }
    return {};
}

void ExpectSame(const std::vector<HashResult>& got, const std::vector<HashResult>& want,
                const std::string& what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].Index, want[i].Index) << what;
        EXPECT_EQ(got[i].Outcome, want[i].Outcome) << what << " file " << i;
        EXPECT_EQ(got[i].Reason, want[i].Reason) << what << " file " << i;
        EXPECT_EQ(got[i].BytesRead, want[i].BytesRead) << what << " file " << i;
        EXPECT_EQ(got[i].SizeAtOpen, want[i].SizeAtOpen) << what << " file " << i;
        EXPECT_EQ(got[i].Digests, want[i].Digests) << what << " file " << i;
    }
}

class Hashing : public ::testing::Test {
protected:
    std::string AddRandom(const std::string& name, size_t size)
    {
        files.Add(name, RandomBytes(rng, size));
        contents[name] = last = ReadBack(name);
        return name;
    }
    Bytes ReadBack(const std::string& name)
    {
        auto file = files.OpenForReading(name);
        Bytes bytes(static_cast<size_t>(file->Size()));
        file->Read(bytes.data(), bytes.size());
        return bytes;
    }

    std::mt19937_64 rng{20261209};
    MemoryFiles files;
    std::map<std::string, Bytes> contents;
    Bytes last;
};

}  // namespace

TEST_F(Hashing, EveryAlgorithmAgreesWithAnIndependentDigestForSmallAndLargeFilesAndAnyThreadCount)
{
    std::vector<std::string> paths;
    for (size_t size : {0, 1, 63, 64, 4095, 4096, 4097, 65535, 65536, 300001})
        paths.push_back(AddRandom("file" + std::to_string(size), size));
    // Read, and then through views as a mapped file is: views of every byte, and views of a part
    // after which the rest is read, as of a file that grew after its open.
    for (const bool views : {false, true}) {
        for (size_t i = 0; i < paths.size(); ++i) {
            const size_t size = contents[paths[i]].size();
            files.Add(paths[i], contents[paths[i]]).viewedBytes = !views ? 0 : i % 2 ? size : size * 2 / 3;
        }
        for (unsigned threads : {1u, 2u, 3u, 5u, 11u}) {
            const std::vector<HashResult> results = Hash(files, paths, AllAlgorithms(), SmallBlocks(threads));
            ASSERT_EQ(results.size(), paths.size());
            for (size_t i = 0; i < paths.size(); ++i) {
                ASSERT_EQ(results[i].Outcome, HashOutcome::Digests) << paths[i];
                EXPECT_EQ(results[i].BytesRead, static_cast<int64_t>(contents[paths[i]].size()));
                for (const DigestAlgorithmInfo& info : kDigestAlgorithms) {
                    EXPECT_EQ(Hex(results[i].Digest(info.Algorithm)),
                              Hex(Oracle(info.Algorithm, contents[paths[i]])))
                        << info.LineName << " of " << paths[i] << " with " << threads << " threads"
                        << (views ? ", through views" : "");
                    EXPECT_EQ(results[i].Digest(info.Algorithm).size(), info.DigestBytes);
                }
            }
        }
    }
}

TEST_F(Hashing, OnlyTheChosenAlgorithmsGetDigests)
{
    const std::string path = AddRandom("a", 5000);
    DigestSet set;
    set.Add(DigestAlgorithm::CRC32);
    set.Add(DigestAlgorithm::SHA384);
    const HashResult result = Hash(files, {path}, set, SmallBlocks(2)).at(0);
    for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
        EXPECT_EQ(result.Digest(info.Algorithm).empty(), !set.Has(info.Algorithm)) << info.LineName;
    EXPECT_EQ(Hex(result.Digest(DigestAlgorithm::CRC32)), Hex(Oracle(DigestAlgorithm::CRC32, last)));
}

TEST_F(Hashing, EachFaultGetsItsOutcomeWithTheSystemsReasonAndTheNextFileIsHashed)
{
    files.Add("gone", {}).exists = false;
    files.Add("locked", {1, 2, 3}).openFailure = "Permission denied";
    AddRandom("bad-sector", 20000);
    files.Add("bad-sector", last).failingRead = 3;
    AddRandom("shrank", 20000);
    files.Add("shrank", last).reportedSize = 30000;
    AddRandom("proc-like", 150000);
    files.Add("proc-like", last).reportedSize = 0;  // as /proc reports: the content counts
    files.Add("empty", {});
    const std::string fine = AddRandom("fine", 7);
    const std::vector<std::string> paths{"gone",      "locked", "bad-sector", "shrank",
                                         "proc-like", "empty",  fine};

    for (unsigned threads : {1u, 3u}) {
        const std::vector<HashResult> r = Hash(files, paths, AllAlgorithms(), SmallBlocks(threads));
        ASSERT_EQ(r.size(), paths.size());
        EXPECT_EQ(r[0].Outcome, HashOutcome::Missing);
        EXPECT_EQ(r[1].Outcome, HashOutcome::CannotOpen);
        EXPECT_EQ(r[1].Reason, "Permission denied");
        EXPECT_EQ(r[2].Outcome, HashOutcome::ReadFailed);
        EXPECT_EQ(r[2].Reason, "Input/output error");
        EXPECT_EQ(r[3].Outcome, HashOutcome::Shrank);
        EXPECT_EQ(r[3].BytesRead, 20000);
        EXPECT_EQ(r[3].SizeAtOpen, 30000);
        ASSERT_EQ(r[4].Outcome, HashOutcome::Digests);
        EXPECT_EQ(Hex(r[4].Digest(DigestAlgorithm::MD5)),
                  Hex(Oracle(DigestAlgorithm::MD5, contents["proc-like"])));
        EXPECT_EQ(Hex(r[4].Digest(DigestAlgorithm::SHA1)),
                  Hex(Oracle(DigestAlgorithm::SHA1, contents["proc-like"])));
        ASSERT_EQ(r[5].Outcome, HashOutcome::Digests);
        EXPECT_EQ(Hex(r[5].Digest(DigestAlgorithm::MD5)), "D41D8CD98F00B204E9800998ECF8427E");
        EXPECT_EQ(Hex(r[5].Digest(DigestAlgorithm::CRC32)), "00000000");
        ASSERT_EQ(r[6].Outcome, HashOutcome::Digests);
        for (const HashResult& result : r) {
            if (result.Outcome == HashOutcome::Digests)
                continue;
            for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
                EXPECT_TRUE(result.Digest(info.Algorithm).empty());
        }
    }
}

TEST_F(Hashing, MemoryRunningOutForOneFileFailsThatFileAndNotTheProgram)
{
    const std::string before = AddRandom("before", 100);
    files.Add("starved", {1, 2, 3}).outOfMemory = true;
    const std::string after = AddRandom("after", 100);
    for (unsigned threads : {1u, 2u}) {
        const std::vector<HashResult> r =
            Hash(files, {before, "starved", after}, AllAlgorithms(), SmallBlocks(threads));
        ASSERT_EQ(r.size(), 3u);
        EXPECT_EQ(r[0].Outcome, HashOutcome::Digests);
        EXPECT_EQ(r[1].Outcome, HashOutcome::ReadFailed);
        EXPECT_FALSE(r[1].Reason.empty());
        EXPECT_EQ(r[2].Outcome, HashOutcome::Digests);
    }
}

TEST_F(Hashing, ReadFailureInsideALargeFileIsItsOutcome)
{
    AddRandom("big", 400000);
    files.Add("big", last).failingRead = 40;
    const std::string after = AddRandom("after", 10);
    for (unsigned threads : {1u, 2u, 4u}) {
        const std::vector<HashResult> r = Hash(files, {"big", after}, AllAlgorithms(), SmallBlocks(threads));
        ASSERT_EQ(r.size(), 2u);
        EXPECT_EQ(r[0].Outcome, HashOutcome::ReadFailed);
        EXPECT_EQ(r[1].Outcome, HashOutcome::Digests);
    }
}

TEST_F(Hashing, RandomListsGiveWhatOneThreadGivesWhateverTheThreadCount)
{
    std::vector<std::string> pool;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "f" + std::to_string(i);
        const int kind = static_cast<int>(rng() % 8);
        const size_t size = kind == 0 ? 0 : kind == 1 ? 200000 + rng() % 200000 : rng() % 20000;
        AddRandom(name, size);
        MemoryFile& file = files.Add(name, last);
        if (kind == 2)
            file.exists = false;
        if (kind == 3)
            file.openFailure = "Permission denied";
        if (kind == 4)
            file.failingRead = 1 + static_cast<int>(rng() % 3);
        if (kind == 5)
            file.reportedSize = static_cast<int64_t>(size) + 1;
        pool.push_back(name);
    }
    for (int round = 0; round < 12; ++round) {
        std::vector<std::string> paths;
        const size_t count = 1 + rng() % 30;
        for (size_t i = 0; i < count; ++i)
            paths.push_back(pool[rng() % pool.size()]);
        DigestSet set;
        for (const DigestAlgorithmInfo& info : kDigestAlgorithms)
            if (rng() % 2)
                set.Add(info.Algorithm);
        const std::vector<HashResult> single = Hash(files, paths, set, SmallBlocks(1));
        for (unsigned threads : {2u, 3u, 7u}) {
            HashingOptions options = SmallBlocks(threads);
            options.BlockBytes = 4096u << (rng() % 3);
            ExpectSame(Hash(files, paths, set, options), single,
                       "round " + std::to_string(round) + ", " + std::to_string(threads) + " threads");
        }
    }
}

// A list that grows while the run goes, in batches of any size with the results taken meanwhile,
// gives what the whole list given at once gives; the run is done only once the list is closed, and
// a stop ends it though the list never was.
TEST_F(Hashing, AGrowingListGivesWhatTheWholeListGivesAndEndsWhenClosedOrStopped)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 120; ++i) {
        const size_t size = i % 17 == 0 ? 100000 + rng() % 100000 : rng() % 3000;
        paths.push_back(AddRandom("g" + std::to_string(i), size));
        if (i % 23 == 5)
            files.Add(paths.back(), last).exists = false;
    }
    DigestSet set;
    set.Add(DigestAlgorithm::MD5);
    set.Add(DigestAlgorithm::Blake3);
    const std::vector<HashResult> whole = Hash(files, paths, set, SmallBlocks(1));
    for (unsigned threads : {1u, 2u, 3u}) {
        HashingRun run(files, set, SmallBlocks(threads));
        std::vector<HashResult> got;
        for (size_t at = 0; at < paths.size();) {
            const size_t batch = std::min<size_t>(paths.size() - at, rng() % 20);
            run.AddPaths(std::vector<std::string>(paths.begin() + static_cast<ptrdiff_t>(at),
                                                  paths.begin() + static_cast<ptrdiff_t>(at + batch)));
            at += batch;
            for (HashResult& result : run.TakeResults())
                got.push_back(std::move(result));
            EXPECT_FALSE(run.Done());
            if (rng() % 4 == 0)
                std::this_thread::sleep_for(std::chrono::microseconds(rng() % 500));
        }
        while (got.size() < paths.size() && run.AwaitResult(std::chrono::seconds(10)))
            for (HashResult& result : run.TakeResults())
                got.push_back(std::move(result));
        EXPECT_FALSE(run.Done()) << "every result is in, but more paths may come";
        run.EndOfPaths();
        EXPECT_FALSE(run.Wait());
        EXPECT_TRUE(run.Done());
        ExpectSame(got, whole, std::to_string(threads) + " threads");
        run.AddPaths({paths[0]});
        EXPECT_FALSE(run.Wait()) << "a closed list takes no more";
    }

    HashingRun stopped(files, set, SmallBlocks(2));
    stopped.AddPaths({paths.begin(), paths.begin() + 10});
    stopped.Stop();
    stopped.AddPaths({paths.begin() + 10, paths.end()});
    while (std::optional<HashResult> result = stopped.Wait())
        EXPECT_LT(result->Index, 10u);
    EXPECT_TRUE(stopped.Done());
}

TEST_F(Hashing, AtMostOneLargeFileIsReadAtATime)
{
    auto meter = std::make_shared<ReadMeter>();
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i) {
        paths.push_back(AddRandom("big" + std::to_string(i), 100000));
        files.Add(paths.back(), last).meter = meter;
    }
    const std::vector<HashResult> r = Hash(files, paths, AllAlgorithms(), SmallBlocks(4));
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(meter->most.load(), 1);
}

// However the files were shared out, a stop delivers every finished file in list order, with one
// Stopped result at the first unfinished file; the results are those of a run without a stop.
TEST_F(Hashing, StopAtAnyMomentKeepsEveryFinishedFileWithOneStoppedResultAtTheFirstGap)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 60; ++i)
        paths.push_back(AddRandom("s" + std::to_string(i), i % 10 == 0 ? 150000 : rng() % 5000));
    const std::vector<HashResult> whole = Hash(files, paths, AllAlgorithms(), SmallBlocks(1));
    bool gapSeen = false;
    for (int round = 0; round < 20; ++round) {
        HashingRun run(files, paths, AllAlgorithms(), SmallBlocks(1 + round % 4));
        std::vector<HashResult> got;
        const int before = static_cast<int>(rng() % 6);
        for (int i = 0; i < before; ++i)
            if (auto result = run.Wait())
                got.push_back(std::move(*result));
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % 3000));
        run.Stop();
        EXPECT_TRUE(run.Stopped());
        const size_t finishedAtStop = run.Progress().FilesFinished;
        while (auto result = run.Wait())
            got.push_back(std::move(*result));
        EXPECT_TRUE(run.Done());
        ASSERT_FALSE(got.empty());
        const std::string context = "round " + std::to_string(round);
        size_t stoppedAt = paths.size();
        std::vector<HashResult> finished, want;
        for (size_t i = 0; i < got.size(); ++i) {
            if (i > 0) {
                EXPECT_GT(got[i].Index, got[i - 1].Index) << context << ": not in list order";
            }
            if (got[i].Outcome == HashOutcome::Stopped) {
                EXPECT_EQ(stoppedAt, paths.size()) << context << ": a second Stopped result";
                stoppedAt = got[i].Index;
                continue;
            }
            finished.push_back(got[i]);
            want.push_back(whole.at(got[i].Index));
        }
        // Unbroken up to the Stopped one; a run stopped after its last file has none.
        for (size_t i = 0; i < std::min(stoppedAt, finished.size()); ++i)
            EXPECT_EQ(finished[i].Index, i) << context;
        if (stoppedAt == paths.size()) {
            EXPECT_EQ(finished.size(), paths.size()) << context;
        }
        EXPECT_EQ(finished.size(), finishedAtStop) << context << ": a finished file was dropped";
        gapSeen |= !finished.empty() && finished.back().Index > stoppedAt;
        ExpectSame(finished, want, context);
    }
    EXPECT_TRUE(gapSeen) << "no stop came while a later file was finished before an earlier one";
}

// A file whose read hangs holds up the files after it; a stop still brings them.
TEST_F(Hashing, StopDeliversTheFilesFinishedBehindAFileWhoseReadHangs)
{
    auto gate = std::make_shared<ReadGate>();
    const std::string before = AddRandom("before", 100);
    MemoryFile& stuck = files.Add("stuck", {1, 2, 3});
    stuck.blockingRead = 1;
    stuck.gate = gate;
    const std::string after = AddRandom("after", 100);
    const std::string final = AddRandom("final", 100);
    HashingRun run(files, {before, "stuck", after, final}, AllAlgorithms(), SmallBlocks(2));
    gate->AwaitReader();
    while (run.Progress().FilesFinished < 3)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(run.TakeResults().size(), 1u) << "only the file before the hanging one is in order";
    run.Stop();
    std::vector<HashResult> got;
    while (auto result = run.Wait())
        got.push_back(std::move(*result));
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].Outcome, HashOutcome::Stopped);
    EXPECT_EQ(got[0].Index, 1u);
    const std::vector<HashResult> alone = Hash(files, {after, final}, AllAlgorithms(), SmallBlocks(1));
    for (size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(got[i].Index, i + 1);
        EXPECT_EQ(got[i].Outcome, HashOutcome::Digests);
        EXPECT_EQ(got[i].Digests, alone[i - 1].Digests);
    }
    gate->Open();
}

// A thread takes small files a few at a time, but files that turn out larger go out at once: the
// results before a slow file are there while it is still being read.
TEST_F(Hashing, ResultsOfLargerFilesAreNotHeldBackByTheFilesTakenWithThem)
{
    auto gate = std::make_shared<ReadGate>();
    std::vector<std::string> paths{AddRandom("first", 300000), AddRandom("second", 300000), "slow"};
    MemoryFile& slow = files.Add("slow", {1, 2, 3});
    slow.blockingRead = 1;
    slow.gate = gate;
    for (int i = 0; i < 40; ++i)
        paths.push_back(AddRandom("tiny" + std::to_string(i), 3));
    HashingOptions options = SmallBlocks(1);
    options.LargeFileBytes = int64_t{1} << 30;  // every file a small one
    HashingRun run(files, paths, AllAlgorithms(), options);
    gate->AwaitReader();
    const std::vector<HashResult> before = run.TakeResults();
    ASSERT_EQ(before.size(), 2u);
    EXPECT_EQ(before[1].Index, 1u);
    gate->Open();
    size_t after = 0;
    while (run.Wait())
        ++after;
    EXPECT_EQ(after, paths.size() - 2);
}

TEST_F(Hashing, FileThatKeepsGrowingIsReadUntilTheStop)
{
    files.Add("growing", {}).endless = true;
    HashingRun run(files, {"growing"}, AllAlgorithms(), SmallBlocks(2));
    while (run.Progress().CurrentBytesRead < 1000000)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(run.TakeResults().empty());
    EXPECT_EQ(run.Progress().CurrentIndex, 0u);
    run.Stop();
    const std::optional<HashResult> result = run.Wait();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Outcome, HashOutcome::Stopped);
    EXPECT_FALSE(run.Wait());
}

TEST_F(Hashing, StopReturnsWhileAWorkerIsStuckInAReadAndTheWorkerWakesLaterHarmlessly)
{
    auto gate = std::make_shared<ReadGate>();
    for (unsigned threads : {1u, 2u}) {
        const std::string before = AddRandom("before", 100);
        files.Add("stuck", {1, 2, 3});
        MemoryFile& stuck = files.Add("stuck", {1, 2, 3});
        stuck.blockingRead = 1;
        stuck.gate = gate;
        std::atomic<int> wakesAfterStop{0};
        std::atomic<bool> stopReturned{false};
        auto run = std::make_unique<HashingRun>(files, std::vector<std::string>{before, "stuck", before},
                                                AllAlgorithms(), SmallBlocks(threads), [&] {
                                                    if (stopReturned)
                                                        ++wakesAfterStop;
                                                });
        std::vector<HashResult> got;
        got.push_back(*run->Wait());
        gate->AwaitReader();
        run->Stop();
        stopReturned = true;
        while (auto result = run->Wait())
            got.push_back(std::move(*result));
        // With a second thread the file after the stuck one may have been finished: it comes too.
        ASSERT_EQ(got.size(), threads == 1 ? 2u : got.size());
        ASSERT_GE(got.size(), 2u);
        EXPECT_EQ(got[0].Outcome, HashOutcome::Digests);
        EXPECT_EQ(got[1].Outcome, HashOutcome::Stopped);
        EXPECT_EQ(got[1].Index, 1u);
        if (got.size() > 2) {
            EXPECT_EQ(got[2].Index, 2u);
            EXPECT_EQ(got[2].Digests, got[0].Digests);
        }
        run.reset();
        EXPECT_EQ(wakesAfterStop.load(), 0);
    }
    // The reads left behind end now, after their runs are gone.
    gate->Open();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

TEST_F(Hashing, WakeIsCalledAsResultsBecomeReadyAndTakeResultsKeepsListOrder)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 30; ++i)
        paths.push_back(AddRandom("w" + std::to_string(i), rng() % 100000));
    std::mutex m;
    std::condition_variable woken;
    int wakes = 0;
    HashingRun run(files, paths, AllAlgorithms(), SmallBlocks(3), [&] {
        std::lock_guard<std::mutex> lock(m);
        ++wakes;
        woken.notify_all();
    });
    std::vector<HashResult> got;
    while (!run.Done()) {
        {
            std::unique_lock<std::mutex> lock(m);
            woken.wait_for(lock, std::chrono::milliseconds(100), [&] { return wakes > 0; });
            wakes = 0;
        }
        for (HashResult& result : run.TakeResults())
            got.push_back(std::move(result));
    }
    ASSERT_EQ(got.size(), paths.size());
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i].Index, i);
    EXPECT_EQ(run.Progress().FilesFinished, paths.size());
}

namespace {

// b3sum's digests of the contents, in order, as hexadecimal in capitals.
std::vector<std::string> B3sumOf(const std::vector<Bytes>& contents)
{
    TempDir dir;
    std::string command = "b3sum --no-names";
    for (size_t i = 0; i < contents.size(); ++i)
        command += " '" + dir.Write("f" + std::to_string(i), contents[i]) + "'";
    std::vector<std::string> digests;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return digests;
    char line[80];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string hex(line, std::min<size_t>(64, std::strlen(line)));
        for (char& c : hex)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        digests.push_back(hex);
    }
    pclose(pipe);
    return digests;
}

// Each many-chunks variant of BLAKE3 in turn, for the test's life.
class Blake3InParts : public Hashing, public ::testing::WithParamInterface<Blake3Variant> {
protected:
    void SetUp() override { before_ = UseBlake3Variant(GetParam()); }
    void TearDown() override { UseBlake3Variant(before_); }
    Blake3Variant before_;
};

}  // namespace

// A large file's BLAKE3 is hashed in parts, a block each, on the threads there are, and taken in
// in order. Sizes on both sides of the blocks' boundaries and of the large files' threshold, a
// file that turns out large only while it is read (so its parts start where the small reads
// ended), blocks of several sizes and one that is not whole chunks, and BLAKE3 alone and beside
// other digests: the digests are b3sum's and the results those of one thread.
TEST_P(Blake3InParts, AgreeWithB3sumAndOneThreadAcrossTheBlocksBoundaries)
{
    if (std::system("command -v b3sum > /dev/null") != 0)
        GTEST_SKIP() << "b3sum is not installed";
    std::vector<size_t> sizes{0, 1, 1024, 4096, 4097, 65535, 65536, 65537, 65536 + 4096 + 1, 300000};
    for (size_t blocks : {17, 31, 32, 33, 64})
        for (int near : {-1024, -1, 0, 1, 1024})
            sizes.push_back(static_cast<size_t>(static_cast<int>(blocks * 4096) + near));
    for (int i = 0; i < 6; ++i)
        sizes.push_back(65536 + rng() % 400000);
    std::vector<std::string> paths;
    std::vector<Bytes> wanted;
    for (size_t size : sizes) {
        paths.push_back(AddRandom("b" + std::to_string(paths.size()), size));
        wanted.push_back(last);
    }
    paths.push_back(AddRandom("proc-like", 200000));
    files.Add("proc-like", last).reportedSize = 0;
    wanted.push_back(last);
    const std::vector<std::string> b3sum = B3sumOf(wanted);
    ASSERT_EQ(b3sum.size(), paths.size());

    DigestSet alone, beside;
    alone.Add(DigestAlgorithm::Blake3);
    beside = alone;
    beside.Add(DigestAlgorithm::MD5);
    beside.Add(DigestAlgorithm::SHA256);
    for (const DigestSet& set : {alone, beside}) {
        const std::vector<HashResult> single = Hash(files, paths, set, SmallBlocks(1));
        for (unsigned threads : {2u, 3u, 5u}) {
            for (size_t blockBytes : {4096, 8192, 16384, 5000}) {
                HashingOptions options = SmallBlocks(threads);
                options.BlockBytes = blockBytes;
                const std::string context =
                    std::to_string(threads) + " threads, blocks of " + std::to_string(blockBytes);
                const std::vector<HashResult> results = Hash(files, paths, set, options);
                ExpectSame(results, single, context);
                for (size_t i = 0; i < results.size(); ++i)
                    EXPECT_EQ(Hex(results[i].Digest(DigestAlgorithm::Blake3)), b3sum[i])
                        << paths[i] << ", " << wanted[i].size() << " bytes, " << context;
            }
        }
    }
}

INSTANTIATE_FOR_EVERY_BLAKE3_VARIANT(Hashing, Blake3InParts);

// While BLAKE3's parts of a large file are out on the threads: a read that fails ends the file
// with its reason and the next file is hashed; a read that hangs, and a file that never ends,
// give way to a stop.
TEST_F(Hashing, Blake3InPartsEndsOnAFailedReadAndOnAStopInTheMiddleOfAFile)
{
    DigestSet blake3;
    blake3.Add(DigestAlgorithm::Blake3);
    AddRandom("bad-sector", 400000);
    files.Add("bad-sector", last).failingRead = 40;
    const std::string after = AddRandom("after", 300000);
    const std::vector<HashResult> alone = Hash(files, {after}, blake3, SmallBlocks(1));
    for (unsigned threads : {2u, 3u}) {
        const std::vector<HashResult> r = Hash(files, {"bad-sector", after}, blake3, SmallBlocks(threads));
        ASSERT_EQ(r.size(), 2u);
        EXPECT_EQ(r[0].Outcome, HashOutcome::ReadFailed);
        EXPECT_EQ(r[0].Reason, "Input/output error");
        EXPECT_TRUE(r[0].Digest(DigestAlgorithm::Blake3).empty());
        EXPECT_EQ(r[1].Outcome, HashOutcome::Digests);
        EXPECT_EQ(r[1].Digests, alone[0].Digests);
    }

    auto gate = std::make_shared<ReadGate>();
    AddRandom("hangs", 400000);
    MemoryFile& hangs = files.Add("hangs", last);
    hangs.blockingRead = 40;
    hangs.gate = gate;
    files.Add("growing", {}).endless = true;
    for (const std::string path : {"hangs", "growing"}) {
        HashingRun run(files, {path, after}, blake3, SmallBlocks(2));
        if (path == "hangs")
            gate->AwaitReader();
        while (run.Progress().CurrentBytesRead < 100000)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        run.Stop();
        const std::optional<HashResult> result = run.Wait();
        ASSERT_TRUE(result) << path;
        EXPECT_EQ(result->Outcome, HashOutcome::Stopped) << path;
        EXPECT_EQ(result->Index, 0u) << path;
        while (run.Wait()) {
        }
        EXPECT_TRUE(run.Done()) << path;
    }
    gate->Open();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

// The real file layer, each file named "cut" cut to its first page by another program, as it were,
// once its second view is out: the later views' pages have no file behind them any more.
class CutWhileViewed : public FileAccess {
public:
    bool FileExists(const std::string& path) override { return real_.FileExists(path); }
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override
    {
        return std::make_unique<File>(real_.OpenForReading(path), path);
    }

private:
    class File : public InputFile {
    public:
        File(std::unique_ptr<InputFile> real, std::string path)
            : real_(std::move(real)), path_(std::move(path))
        {
        }
        int64_t Size() const override { return real_->Size(); }
        size_t Read(void* buffer, size_t size) override { return real_->Read(buffer, size); }
        std::optional<FileView> View(size_t size) override
        {
            std::optional<FileView> view = real_->View(size);
            if (view && ++views_ == 2 && path_.ends_with("/cut")) {
                EXPECT_EQ(::truncate(path_.c_str(), 4096), 0);
            }
            return view;
        }

    private:
        std::unique_ptr<InputFile> real_;
        std::string path_;
        int views_ = 0;
    };
    PosixFileSystem real_;
};

// A large file cut shorter while its views are read, by one thread or by several, digests in parts
// among them: the file shrank, no digest of it is given, the program goes on to the next file.
TEST_F(Hashing, AFileCutShorterWhileItsViewsAreReadShrankAndTheNextIsHashed)
{
    TempDir dir;
    const Bytes after = RandomBytes(rng, 300000);
    const std::string afterPath = dir.Write("after", after);
    DigestSet set;
    set.Add(DigestAlgorithm::MD5);
    set.Add(DigestAlgorithm::Blake3);
    CutWhileViewed cutting;
    for (unsigned threads : {1u, 2u, 3u}) {
        const std::string cut = dir.Write("cut", RandomBytes(rng, 2 << 20));
        const std::vector<HashResult> r = Hash(cutting, {cut, afterPath}, set, SmallBlocks(threads));
        ASSERT_EQ(r.size(), 2u);
        EXPECT_EQ(r[0].Outcome, HashOutcome::Shrank) << threads << " threads";
        EXPECT_EQ(r[0].Reason, "The file became shorter while it was read.");
        EXPECT_TRUE(r[0].Digest(DigestAlgorithm::MD5).empty());
        ASSERT_EQ(r[1].Outcome, HashOutcome::Digests);
        EXPECT_EQ(Hex(r[1].Digest(DigestAlgorithm::MD5)), Hex(Oracle(DigestAlgorithm::MD5, after)));
        EXPECT_EQ(Hex(r[1].Digest(DigestAlgorithm::Blake3)), Hex(Oracle(DigestAlgorithm::Blake3, after)));
    }
}

TEST(DigestHexText, TwoDigitsPerByteInEitherCase)
{
    EXPECT_EQ(DigestHex({0x00, 0xAB, 0x0F}, true), "00AB0F");
    EXPECT_EQ(DigestHex({0x00, 0xAB, 0x0F}, false), "00ab0f");
}
