// The engine batch on its own, with engines that write down how they are driven.
#include "checking/EngineBatch.h"
#include "checking/EngineList.h"
#include "engines/DCPcrypt2.h"
#include "platform/PosixFileSystem.h"
#include "tests/support/RecordingPathContext.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

std::vector<std::string> journal;

// Reports a fixed name, a four-byte digest and writes every call it gets into the journal.
template <int N>
class SpyEngine : public TDCP_hash {
public:
    using TDCP_hash::TDCP_hash;
    static std::string GetAlgorithm() { return "Spy" + std::to_string(N); }
    static int32_t GetHashSize() { return 32; }
    const TDCP_hashClass& ClassType() const override { return HashClassOf<SpyEngine>(); }

    void Init() override { journal.push_back(GetAlgorithm() + " Init"); }
    void Update(const void*, uint32_t size) override
    {
        journal.push_back(GetAlgorithm() + " Update " + std::to_string(size));
    }
    void Final(void* digest) override
    {
        journal.push_back(GetAlgorithm() + " Final");
        const uint8_t bytes[4] = {0xAB, 0x01, static_cast<uint8_t>(N), 0xEF};
        std::memcpy(digest, bytes, 4);
    }
};

// Writes every open into the journal, between the engines' calls.
class JournalFiles : public FileAccess {
public:
    bool FileExists(const std::string& path) override { return real_.FileExists(path); }
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override
    {
        journal.push_back("Open");
        return real_.OpenForReading(path);
    }

private:
    PosixFileSystem real_;
};

class Batch : public ::testing::Test {
protected:
    Batch()
    {
        journal.clear();
        new SpyEngine<0>(&owner);
        new SpyEngine<1>(&owner);
        new SpyEngine<2>(&owner);
        engines.Fill(owner);
    }

    std::vector<std::string> Run(const std::string& path)
    {
        journal.clear();
        RunEngineBatch(context, engines, path);
        return journal;
    }

    TempDir dir;
    TComponent owner;
    EngineList engines;
    JournalFiles files;
    RecordingPathContext context{files};
};

}  // namespace

TEST_F(Batch, CheckedEnginesStartInListOrderBeforeTheOpenAndShareEveryRead)
{
    engines.SetChecked(0, false);
    engines.SetChecked(2, true);
    engines.SetChecked(1, true);
    EXPECT_EQ(Run(dir.Write("exact.bin", std::string(16384, 'x'))),
              (std::vector<std::string>{"Spy1 Init", "Spy2 Init", "Open", "Spy1 Update 16384", "Spy2 Update 16384",
                                        "Spy1 Update 0", "Spy2 Update 0", "Spy1 Final", "Spy2 Final"}));
    EXPECT_EQ(context.Lines, (std::vector<std::string>{"Spy1：AB0101EF", "Spy2：AB0102EF"}));
}

TEST_F(Batch, TheLastShortReadReachesEveryEngineEvenWhenEmpty)
{
    EXPECT_EQ(Run(dir.Write("one-more.bin", std::string(16385, 'x'))),
              (std::vector<std::string>{"Spy0 Init", "Open", "Spy0 Update 16384", "Spy0 Update 1", "Spy0 Final"}));
    EXPECT_EQ(Run(dir.Write("empty.bin", "")),
              (std::vector<std::string>{"Spy0 Init", "Open", "Spy0 Update 0", "Spy0 Final"}));
}

TEST_F(Batch, MissingFileOrFolderTouchesNoEngineAndNoBar)
{
    EXPECT_TRUE(Run(dir / "missing").empty());
    EXPECT_TRUE(Run(dir.Path()).empty());
    EXPECT_TRUE(context.Lines.empty());
    EXPECT_EQ(context.BarSets, 0);
}

TEST_F(Batch, SetsTheBarToZeroOnceAndLetsEventsRunBetweenBlocks)
{
    Run(dir.Write("three-blocks.bin", std::string(40000, 'x')));
    EXPECT_EQ(context.BarSets, 1);
    EXPECT_EQ(context.BarPosition, 0);
    EXPECT_EQ(context.BarSteps, 0);
    EXPECT_EQ(context.EventRuns, 3);  // at the start and after each of the two full blocks
}

TEST_F(Batch, FileThatCannotBeOpenedGivesOneNamelessErrorLineForAllEngines)
{
    for (size_t i = 0; i < engines.Count(); ++i)
        engines.SetChecked(i, true);
    const std::string path = dir / "pipe";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(Run(path), (std::vector<std::string>{"Spy0 Init", "Spy1 Init", "Spy2 Init", "Open"}));
    EXPECT_EQ(context.Lines, (std::vector<std::string>{"：读取文件错误"}));
}
