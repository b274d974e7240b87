// The eleven items of the algorithm menu, in menu order, and what each one selects.
#pragma once

#include "hashing/DigestAlgorithm.h"

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
    const char* ObjectName;  // the menu entry's name, e.g. "SHA1Hash"
    const char* Caption;     // e.g. "CRC32 / FCS32"
    int EngineIndex;         // position in the engine list, -1 for MD5 and CRC-32
    bool CheckedAtStart;
    DigestAlgorithm Algorithm;  // the digest the item marks for a pass
};

inline constexpr std::array<HashItemInfo, 11> kHashItems{{
    {HashItem::CRC32_FCS32, "CRC32_FCS32Hash", "CRC32 / FCS32", -1, false, DigestAlgorithm::CRC32},
    {HashItem::Haval256, "Haval256Hash", "Haval256", 1, false, DigestAlgorithm::Haval256},
    {HashItem::MD4, "MD4Hash", "MD4", 2, false, DigestAlgorithm::MD4},
    {HashItem::MD5, "MD5Hash", "MD5", -1, true, DigestAlgorithm::MD5},
    {HashItem::RipeMD128, "RipeMD128Hash", "RipeMD128", 3, false, DigestAlgorithm::RipeMD128},
    {HashItem::RipeMD160, "RipeMD160Hash", "RipeMD160", 4, false, DigestAlgorithm::RipeMD160},
    {HashItem::SHA1, "SHA1Hash", "SHA1", 0, true, DigestAlgorithm::SHA1},
    {HashItem::SHA256, "SHA256Hash", "SHA256", 5, false, DigestAlgorithm::SHA256},
    {HashItem::SHA384, "SHA384Hash", "SHA384", 6, false, DigestAlgorithm::SHA384},
    {HashItem::SHA512, "SHA512Hash", "SHA512", 7, false, DigestAlgorithm::SHA512},
    {HashItem::Tiger192, "Tiger192Hash", "Tiger192", 8, false, DigestAlgorithm::Tiger192},
}};

// The menu item that selects an algorithm.
constexpr HashItem HashItemOf(DigestAlgorithm algorithm)
{
    switch (algorithm) {
    case DigestAlgorithm::MD5: return HashItem::MD5;
    case DigestAlgorithm::CRC32: return HashItem::CRC32_FCS32;
    case DigestAlgorithm::SHA1: return HashItem::SHA1;
    case DigestAlgorithm::Haval256: return HashItem::Haval256;
    case DigestAlgorithm::MD4: return HashItem::MD4;
    case DigestAlgorithm::RipeMD128: return HashItem::RipeMD128;
    case DigestAlgorithm::RipeMD160: return HashItem::RipeMD160;
    case DigestAlgorithm::SHA256: return HashItem::SHA256;
    case DigestAlgorithm::SHA384: return HashItem::SHA384;
    case DigestAlgorithm::SHA512: return HashItem::SHA512;
    case DigestAlgorithm::Tiger192: return HashItem::Tiger192;
    }
    return HashItem::MD5;
}
