// The audit's core: how listed and walked names are compared, how moves are found by digest,
// and the walk it relies on, also while the tree changes under it.
#include "checking/FolderAudit.h"
#include "platform/FolderWalk.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(AuditNamesTest, NamesGivenInDifferentWaysAreOneListing)
{
    EXPECT_EQ(AuditKey("photos/a", "/home/u"), "/home/u/photos/a");
    EXPECT_EQ(AuditKey("./photos//a", "/home/u"), "/home/u/photos/a");
    EXPECT_EQ(AuditKey("photos/../photos/./a/", "/home/u"), "/home/u/photos/a");
    EXPECT_EQ(AuditKey("/home/u/photos/a", "/elsewhere"), "/home/u/photos/a");
    EXPECT_EQ(AuditKey("../../../x", "/home/u"), "/x");
    EXPECT_EQ(AuditKey("line\nfeed \xff", "/"), "/line\nfeed \xff");
    EXPECT_NE(AuditKey("Photos/a", "/h"), AuditKey("photos/a", "/h"));

    EXPECT_EQ(AuditFolder("photos.sha256"), ".");
    EXPECT_EQ(AuditFolder("photos/SHA256SUMS"), "photos");
    EXPECT_EQ(AuditFolder("/SHA256SUMS"), "/");
    EXPECT_EQ(AuditShownPath("./photos/a"), "photos/a");
    EXPECT_EQ(AuditShownPath("photos/a"), "photos/a");
    EXPECT_EQ(AuditShownPath("/a"), "/a");

    AuditNames names("sums/SHA256SUMS", "/w");
    names.Listed("./sums/a");
    names.Listed("/w/sums/b");
    EXPECT_FALSE(names.IsNew("sums/a"));
    EXPECT_FALSE(names.IsNew("sums/b"));
    EXPECT_TRUE(names.IsNew("sums/c"));
    // The sum file and its signatures are passed over; another sum file beside it is not.
    EXPECT_FALSE(names.IsNew("sums/SHA256SUMS"));
    for (const char* signature : {".asc", ".sig", ".sign", ".gpg"})
        EXPECT_FALSE(names.IsNew(std::string("sums/SHA256SUMS") + signature)) << signature;
    EXPECT_TRUE(names.IsNew("sums/SHA256SUMS.txt"));
    EXPECT_TRUE(names.IsNew("sums/MD5SUMS"));
    // A listing read from standard input passes over nothing.
    AuditNames piped("", "/w");
    EXPECT_TRUE(piped.IsNew("SHA256SUMS"));
}

ComputedDigests Sha256(const std::string& hex)
{
    ComputedDigests computed;
    computed.Set(DigestAlgorithm::SHA256, hex);
    return computed;
}

DigestSet Only(DigestAlgorithm algorithm)
{
    DigestSet set;
    set.Add(algorithm);
    return set;
}

TEST(MatchMovesTest, TheFirstNewFileWalkedTakesTheFirstMissingFileListed)
{
    const std::string x(64, 'a'), y(64, 'b'), z(64, 'c');
    const std::vector<AuditMissing> missing{
        {"one", {{x, Only(DigestAlgorithm::SHA256)}}},
        {"two", {{y, Only(DigestAlgorithm::SHA256)}}},
        {"copy of one", {{x, Only(DigestAlgorithm::SHA256)}}},
    };
    EXPECT_TRUE(MoveAlgorithms({}).Empty());
    EXPECT_TRUE(MoveAlgorithms(missing) == Only(DigestAlgorithm::SHA256));

    // New files in walk order: z matches nothing, the two x take one and its copy in listing
    // order, the third x finds nothing left and stays new.
    const std::vector<std::optional<size_t>> moves =
        MatchMoves(missing, {Sha256(z), Sha256(x), Sha256(y), Sha256(x), Sha256(x)});
    const std::vector<std::optional<size_t>> expected{std::nullopt, 0, 1, 2, std::nullopt};
    EXPECT_EQ(moves, expected);

    // A file that could not be read, or was not read, is never a move.
    ComputedDigests gone = Sha256(x);
    gone.FileMissing = true;
    ComputedDigests unread;
    unread.ReadFailed = Only(DigestAlgorithm::SHA256);
    EXPECT_EQ(MatchMoves(missing, {gone, unread}),
              (std::vector<std::optional<size_t>>{std::nullopt, std::nullopt}));
}

TEST(MatchMovesTest, EveryExpectationOfAFileMustMatchAndAnyCandidateMay)
{
    const std::string md5(32, '1'), sha(64, '2');
    // Listed with two lines (rhash --bsd): only a file with both digests was it.
    const std::vector<AuditMissing> missing{
        {"both", {{md5, Only(DigestAlgorithm::MD5)}, {sha, Only(DigestAlgorithm::SHA256)}}}};
    ComputedDigests half;
    half.Set(DigestAlgorithm::MD5, md5);
    half.Set(DigestAlgorithm::SHA256, std::string(64, '9'));
    ComputedDigests whole;
    whole.Set(DigestAlgorithm::MD5, md5);
    whole.Set(DigestAlgorithm::SHA256, sha);
    EXPECT_EQ(MatchMoves(missing, {half, whole}), (std::vector<std::optional<size_t>>{std::nullopt, 0}));

    // A digest whose length several algorithms share: the file's MD4 may be the one.
    DigestSet length32;
    length32.Add(DigestAlgorithm::MD5);
    length32.Add(DigestAlgorithm::MD4);
    const std::vector<AuditMissing> either{{"x", {{md5, length32}}}};
    ComputedDigests md4;
    md4.Set(DigestAlgorithm::MD5, std::string(32, '0'));
    md4.Set(DigestAlgorithm::MD4, md5);
    EXPECT_EQ(MatchMoves(either, {md4}), (std::vector<std::optional<size_t>>{0}));
}

class RecordingWalk : public FolderWalkVisitor {
public:
    void File(const std::string& path, int64_t size) override
    {
        Files.push_back(path);
        Sizes.push_back(size);
        if (OnFile)
            OnFile(path);
    }
    void Unreadable(const std::string& path, const std::string& reason) override
    {
        Problems.push_back(path + ": " + reason);
    }
    void Loop(const std::string& path) override { Problems.push_back(path + ": loop"); }
    void Special(const std::string& path) override { Specials.push_back(path); }
    bool Stopped() override { return StopAfter && Files.size() >= StopAfter; }

    std::vector<std::string> Files, Specials, Problems;
    std::vector<int64_t> Sizes;
    std::function<void(const std::string&)> OnFile;
    size_t StopAfter = 0;
};

TEST(FolderWalkTest, SpecialFilesAreToldAndAStopKeepsWhatWasWalked)
{
    TempDir root;
    ASSERT_EQ(::mkdir((root / "sub").c_str(), 0755), 0);
    root.Write("a", "a");
    root.Write("sub/b", "b");
    root.Write("sub/c", "c");
    root.Write("z", "z");
    ASSERT_EQ(::mkfifo((root / "sub/fifo").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/null", (root / "device").c_str()), 0);

    RecordingWalk all;
    WalkFolder(root.Path(), true, all);
    EXPECT_EQ(all.Files, (std::vector<std::string>{root / "a", root / "sub/b", root / "sub/c", root / "z"}));
    EXPECT_EQ(all.Specials, (std::vector<std::string>{root / "device", root / "sub/fifo"}));
    EXPECT_TRUE(all.Problems.empty());

    RecordingWalk flat;
    WalkFolder(root.Path(), false, flat);
    EXPECT_EQ(flat.Specials, (std::vector<std::string>{root / "device"}));

    RecordingWalk stopped;
    stopped.StopAfter = 2;
    WalkFolder(root.Path(), true, stopped);
    EXPECT_EQ(stopped.Files, (std::vector<std::string>{root / "a", root / "sub/b"}));
}

// A walk that wants no sizes finds the same files; only links still cost a stat, so only they
// come with their size.
TEST(FolderWalkTest, WithoutSizesTheSameFilesAndOnlyLinksAsked)
{
    TempDir root;
    root.Write("a", "abc");
    ASSERT_EQ(::mkdir((root / "sub").c_str(), 0755), 0);
    root.Write("sub/b", "b");
    ASSERT_EQ(::symlink("a", (root / "link").c_str()), 0);
    ASSERT_EQ(::symlink("gone", (root / "broken").c_str()), 0);
    RecordingWalk sized, unsized;
    WalkFolder(root.Path(), true, sized);
    WalkFolder(root.Path(), true, unsized, false);
    EXPECT_EQ(sized.Files, (std::vector<std::string>{root / "a", root / "link", root / "sub/b"}));
    EXPECT_EQ(unsized.Files, sized.Files);
    EXPECT_EQ(sized.Sizes, (std::vector<int64_t>{3, 3, 1}));
    EXPECT_EQ(unsized.Sizes, (std::vector<int64_t>{-1, 3, -1}));
}

TEST(FolderWalkTest, ATreeThatChangesDuringTheWalkGivesWhatIsThereWhenItIsReached)
{
    TempDir root;
    ASSERT_EQ(::mkdir((root / "later").c_str(), 0755), 0);
    root.Write("a", "a");
    root.Write("gone", "gone");
    root.Write("later/x", "x");
    RecordingWalk walk;
    // At the first file: one listed file is removed, a file appears in a folder not yet listed
    // and one in the folder already listed.
    walk.OnFile = [&](const std::string& path) {
        if (path != root / "a")
            return;
        ::unlink((root / "gone").c_str());
        root.Write("later/y", "y");
        root.Write("b-too-late", "b");
    };
    WalkFolder(root.Path(), true, walk);
    EXPECT_EQ(walk.Files, (std::vector<std::string>{root / "a", root / "later/x", root / "later/y"}));
    EXPECT_TRUE(walk.Problems.empty());
}

}  // namespace
