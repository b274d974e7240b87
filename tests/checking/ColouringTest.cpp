#include "checking/DuplicateColouring.h"
#include "tests/checking/QuadraticColouring.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace {

using Key = std::optional<std::string>;  // nullopt: the tree has no root for the entry

std::string Sha1Line(char digit) { return "SHA1：" + std::string(40, digit); }
const std::string kError = "SHA1：读取文件错误";

// One entry per key. A key "" is a root without lines (a missing file); any other key is the
// last of the root's lines, after an MD5 line that is the same for everyone.
struct Listing {
    CheckList list;
    ResultTree tree;

    explicit Listing(const std::vector<Key>& keys)
    {
        for (size_t i = 0; i < keys.size(); ++i) {
            list.Append(CheckEntry{"f" + std::to_string(i), kStatusDone, "1B", "/f", 0, -1});
            if (!keys[i])
                continue;
            tree.AppendRoot("f" + std::to_string(i), i);
            if (!keys[i]->empty()) {
                tree.AppendLine("MD5：d41d8cd98f00b204e9800998ecf8427e");
                tree.AppendLine(*keys[i]);
            }
        }
    }

    std::vector<int> Groups() const
    {
        std::vector<int> groups;
        for (size_t i = 0; i < list.Count(); ++i)
            groups.push_back(list.At(i).ColourGroup);
        return groups;
    }
};

std::vector<int> Colour(const std::vector<Key>& keys)
{
    Listing listing(keys);
    ColourDuplicates(listing.list, listing.tree);
    return listing.Groups();
}

class RowRecorder : public CheckListObserver {
public:
    void EntriesAboutToBeAppended(size_t, size_t) override {}
    void EntriesAppended(size_t, size_t) override {}
    void EntryAboutToBeRemoved(size_t) override {}
    void EntryRemoved(size_t) override {}
    void ListAboutToBeCleared() override {}
    void ListCleared() override {}
    void EntriesChanged(size_t first, size_t last) override
    {
        for (size_t row = first; row <= last; ++row)
            rows.push_back(row);
    }
    std::vector<size_t> rows;
};

}  // namespace

TEST(Colouring, GroupsOfCopies)
{
    const Key a = Sha1Line('A'), b = Sha1Line('B');
    EXPECT_EQ(Colour({a, a}), (std::vector<int>{1, 1}));
    EXPECT_EQ(Colour({a, a, a}), (std::vector<int>{1, 1, 1}));
    // Numbered by each group's first entry, however the pairs interleave.
    EXPECT_EQ(Colour({a, b, a, b}), (std::vector<int>{1, 2, 1, 2}));
    EXPECT_EQ(Colour({a, b, b, a}), (std::vector<int>{1, 2, 2, 1}));
    EXPECT_EQ(Colour({a, b, Sha1Line('C')}), (std::vector<int>{-1, -1, -1}));
    EXPECT_EQ(Colour({a}), (std::vector<int>{-1}));
    EXPECT_EQ(Colour({}), (std::vector<int>{}));
}

TEST(Colouring, GroupsAfterTheEighthShareNine)
{
    std::vector<Key> keys;
    for (int round = 0; round < 2; ++round)
        for (char digit = '0'; digit <= '9'; ++digit)
            keys.push_back(Sha1Line(digit));
    const std::vector<int> half{1, 2, 3, 4, 5, 6, 7, 8, 9, 9};
    std::vector<int> expected = half;
    expected.insert(expected.end(), half.begin(), half.end());
    EXPECT_EQ(Colour(keys), expected);
}

TEST(Colouring, ErrorsGetZeroButKeepTheirNumberUsed)
{
    const Key a = Sha1Line('A');
    EXPECT_EQ(Colour({kError, kError, a, a}), (std::vector<int>{0, 0, 2, 2}));
    // A single error takes no number.
    EXPECT_EQ(Colour({kError, a, a}), (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(Colour({a, kError, a}), (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(Colour({kError}), (std::vector<int>{0}));
    EXPECT_EQ(Colour({Key("CRC32_FCS32：读取文件错误")}), (std::vector<int>{0}));
    // Only a key that ends with the word is an error.
    const Key notAnError = "SHA1：错误的";
    EXPECT_EQ(Colour({notAnError, notAnError}), (std::vector<int>{1, 1}));
}

TEST(Colouring, EntriesWithoutKeysStayUngrouped)
{
    const Key a = Sha1Line('A');
    // A missing file (root without lines) and entries the pass skipped (no root).
    EXPECT_EQ(Colour({a, "", std::nullopt, a}), (std::vector<int>{1, -1, -1, 1}));
    EXPECT_EQ(Colour({"", "", std::nullopt, std::nullopt}), (std::vector<int>{-1, -1, -1, -1}));

    // Delete empties the tree: every colour goes.
    Listing listing({a, a, kError});
    ColourDuplicates(listing.list, listing.tree);
    listing.tree.Clear();
    ColourDuplicates(listing.list, listing.tree);
    EXPECT_EQ(listing.Groups(), (std::vector<int>{-1, -1, -1}));
}

TEST(Colouring, OnlyRowsWhoseGroupChangesAreRepainted)
{
    const Key a = Sha1Line('A');
    Listing listing({Sha1Line('B'), a, a, std::nullopt});
    RowRecorder recorder;
    listing.list.SetObserver(&recorder);
    ColourDuplicates(listing.list, listing.tree);
    EXPECT_EQ(recorder.rows, (std::vector<size_t>{1, 2}));
    recorder.rows.clear();
    ColourDuplicates(listing.list, listing.tree);
    EXPECT_TRUE(recorder.rows.empty());
}

TEST(Colouring, AgreesWithThePairwiseColouringOnRandomLists)
{
    std::mt19937_64 rng(34);
    for (int trial = 0; trial < 3000; ++trial) {
        const size_t n = trial < 2900 ? rng() % 40 : 500 + rng() % 1500;
        const size_t kinds = 1 + rng() % (trial % 3 == 0 ? 4 : 40);
        std::vector<Key> keys;
        std::vector<std::string> expectedKeys;
        for (size_t i = 0; i < n; ++i) {
            const unsigned roll = rng() % 20;
            Key key;
            if (roll == 0)
                key = std::nullopt;
            else if (roll == 1)
                key = "";
            else if (roll == 2)
                key = kError;
            else if (roll == 3)
                key = "MD5：读取文件错误";
            else
                key = Sha1Line(static_cast<char>('0' + rng() % kinds));
            keys.push_back(key);
            expectedKeys.push_back(key.value_or(""));
        }
        Listing listing(keys);
        // Stale groups from an earlier run must all be replaced.
        for (size_t i = 0; i < n; ++i)
            listing.list.SetColourGroup(i, static_cast<int>(rng() % 11) - 1);
        ColourDuplicates(listing.list, listing.tree);
        ASSERT_EQ(listing.Groups(), QuadraticColourGroups(expectedKeys)) << "trial " << trial;
    }
}
