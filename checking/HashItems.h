// The items of the algorithm menu, in menu order, and what each one selects: the eleven the
// window was built with, alphabetical, then one item per further digest of the algorithm table,
// in its order, after a separator.
#pragma once

#include "checking/EngineOrder.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>

enum class HashItem {
    CRC32_FCS32,
    Haval256,
    MD4,
    MD5,
    RipeMD128,
    RipeMD160,
    SHA1,
    SHA256,
    SHA384,
    SHA512,
    Tiger192,
    // The further digests' items follow, one per row of kDigestAlgorithms after its eleven, with
    // the values that come next; they have no names of their own.
};

struct HashItemInfo {
    HashItem Item;
    std::string_view ObjectName;  // the menu entry's name, e.g. "SHA1Hash", "SHA3-256Hash"
    std::string_view Caption;     // e.g. "CRC32 / FCS32"
    DigestAlgorithm Algorithm;    // the digest the item marks for a pass
    int EngineIndex;              // position in the engine list, -1 for MD5 and CRC-32
    bool CheckedAtStart;
};

constexpr HashItemInfo MenuItem(HashItem item, std::string_view objectName, std::string_view caption,
                                DigestAlgorithm digest, bool checkedAtStart)
{
    return {item, objectName, caption, digest, EngineIndexOf(digest), checkedAtStart};
}

inline constexpr std::array<HashItemInfo, kDescribedDigestCount> kDescribedHashItems{{
    MenuItem(HashItem::CRC32_FCS32, "CRC32_FCS32Hash", "CRC32 / FCS32", DigestAlgorithm::CRC32, false),
    MenuItem(HashItem::Haval256, "Haval256Hash", "Haval256", DigestAlgorithm::Haval256, false),
    MenuItem(HashItem::MD4, "MD4Hash", "MD4", DigestAlgorithm::MD4, false),
    MenuItem(HashItem::MD5, "MD5Hash", "MD5", DigestAlgorithm::MD5, true),
    MenuItem(HashItem::RipeMD128, "RipeMD128Hash", "RipeMD128", DigestAlgorithm::RipeMD128, false),
    MenuItem(HashItem::RipeMD160, "RipeMD160Hash", "RipeMD160", DigestAlgorithm::RipeMD160, false),
    MenuItem(HashItem::SHA1, "SHA1Hash", "SHA1", DigestAlgorithm::SHA1, true),
    MenuItem(HashItem::SHA256, "SHA256Hash", "SHA256", DigestAlgorithm::SHA256, false),
    MenuItem(HashItem::SHA384, "SHA384Hash", "SHA384", DigestAlgorithm::SHA384, false),
    MenuItem(HashItem::SHA512, "SHA512Hash", "SHA512", DigestAlgorithm::SHA512, false),
    MenuItem(HashItem::Tiger192, "Tiger192Hash", "Tiger192", DigestAlgorithm::Tiger192, false),
}};

// The further digests' object names: the line name and "Hash", as the eleven have theirs.
template <size_t Row>
struct FurtherObjectName {
    static constexpr std::string_view kLine = kDigestAlgorithms[Row].LineName;
    static constexpr auto kText = [] {
        std::array<char, kLine.size() + 5> text{};
        for (size_t i = 0; i < kLine.size(); ++i)
            text[i] = kLine[i];
        for (size_t i = 0; i < 4; ++i)
            text[kLine.size() + i] = "Hash"[i];
        return text;
    }();
    static constexpr std::string_view kName{kText.data(), kText.size() - 1};
};

template <size_t... Further>
constexpr std::array<HashItemInfo, kDescribedDigestCount + sizeof...(Further)>
AllHashItems(std::index_sequence<Further...>)
{
    return {kDescribedHashItems[0],
            kDescribedHashItems[1],
            kDescribedHashItems[2],
            kDescribedHashItems[3],
            kDescribedHashItems[4],
            kDescribedHashItems[5],
            kDescribedHashItems[6],
            kDescribedHashItems[7],
            kDescribedHashItems[8],
            kDescribedHashItems[9],
            kDescribedHashItems[10],
            MenuItem(static_cast<HashItem>(kDescribedDigestCount + Further),
                     FurtherObjectName<kDescribedDigestCount + Further>::kName,
                     kDigestAlgorithms[kDescribedDigestCount + Further].LineName,
                     kDigestAlgorithms[kDescribedDigestCount + Further].Algorithm, false)...};
}

inline constexpr auto kHashItems =
    AllHashItems(std::make_index_sequence<kDigestAlgorithms.size() - kDescribedDigestCount>());
static_assert(kDescribedHashItems.size() == 11);

// The first item after the menu's separator.
inline constexpr size_t kFirstFurtherHashItem = kDescribedDigestCount;

// The menu item that selects an algorithm.
constexpr HashItem HashItemOf(DigestAlgorithm algorithm)
{
    for (const HashItemInfo& info : kHashItems)
        if (info.Algorithm == algorithm)
            return info.Item;
    return HashItem::MD5;
}
