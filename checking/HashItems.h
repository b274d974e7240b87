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
