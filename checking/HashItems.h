// The eleven items of the algorithm menu, in menu order, and what each one selects.
#pragma once

#include "checking/EngineOrder.h"

#include <array>
#include <string>

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
};

struct HashItemInfo {
    HashItem Item;
    const char* ObjectName;     // the menu entry's name, e.g. "SHA1Hash"
    const char* Caption;        // e.g. "CRC32 / FCS32"
    DigestAlgorithm Algorithm;  // the digest the item marks for a pass
    int EngineIndex;            // position in the engine list, -1 for MD5 and CRC-32
    bool CheckedAtStart;
};

constexpr HashItemInfo MenuItem(HashItem item, const char* objectName, const char* caption,
                                DigestAlgorithm digest, bool checkedAtStart)
{
    return {item, objectName, caption, digest, EngineIndexOf(digest), checkedAtStart};
}

inline constexpr std::array<HashItemInfo, 11> kHashItems{{
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

// The menu item that selects an algorithm.
constexpr HashItem HashItemOf(DigestAlgorithm algorithm)
{
    for (const HashItemInfo& info : kHashItems)
        if (info.Algorithm == algorithm)
            return info.Item;
    return HashItem::MD5;
}
