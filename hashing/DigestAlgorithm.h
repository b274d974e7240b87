// The eleven digests the program computes, in the order a file's result lines show them (the MD5
// path, the CRC-32 path, then the engine list), with the names other tools know them by.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

enum class DigestAlgorithm {
    MD5,
    CRC32,
    SHA1,
    Haval256,
    MD4,
    RipeMD128,
    RipeMD160,
    SHA256,
    SHA384,
    SHA512,
    Tiger192,
};

struct DigestAlgorithmInfo {
    DigestAlgorithm Algorithm;
    std::string_view LineName;  // before "：" in a result line of the window
    std::string_view Option;    // the command line's name, e.g. "sha256"
    std::string_view BsdTag;    // the tag of a tagged sum line, as coreutils or rhash write it
    size_t DigestBytes;
};

inline constexpr std::array<DigestAlgorithmInfo, 11> kDigestAlgorithms{{
    {DigestAlgorithm::MD5, "MD5", "md5", "MD5", 16},
    {DigestAlgorithm::CRC32, "CRC32_FCS32", "crc32", "CRC32", 4},
    {DigestAlgorithm::SHA1, "SHA1", "sha1", "SHA1", 20},
    {DigestAlgorithm::Haval256, "Haval256", "haval256", "HAVAL-256-5", 32},
    {DigestAlgorithm::MD4, "MD4", "md4", "MD4", 16},
    {DigestAlgorithm::RipeMD128, "RipeMD-128", "ripemd128", "RIPEMD128", 16},
    {DigestAlgorithm::RipeMD160, "RipeMD-160", "ripemd160", "RMD160", 20},
    {DigestAlgorithm::SHA256, "SHA256", "sha256", "SHA256", 32},
    {DigestAlgorithm::SHA384, "SHA384", "sha384", "SHA384", 48},
    {DigestAlgorithm::SHA512, "SHA512", "sha512", "SHA512", 64},
    {DigestAlgorithm::Tiger192, "Tiger192", "tiger", "TIGER", 24},
}};

// Info reads the table by the enumerator's value: each row must stand at its own value.
constexpr bool RowsStandAtTheirAlgorithm()
{
    for (size_t i = 0; i < kDigestAlgorithms.size(); ++i)
        if (static_cast<size_t>(kDigestAlgorithms[i].Algorithm) != i)
            return false;
    return true;
}
static_assert(RowsStandAtTheirAlgorithm());

inline constexpr const DigestAlgorithmInfo& Info(DigestAlgorithm algorithm)
{
    return kDigestAlgorithms[static_cast<size_t>(algorithm)];
}

// A set of algorithms, one bit per algorithm in the order above.
class DigestSet {
public:
    constexpr DigestSet() = default;
    constexpr bool Has(DigestAlgorithm a) const { return (bits_ >> Slot(a)) & 1u; }
    constexpr void Add(DigestAlgorithm a) { bits_ |= 1u << Slot(a); }
    constexpr void Remove(DigestAlgorithm a) { bits_ &= ~(1u << Slot(a)); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool operator==(const DigestSet&) const = default;

private:
    static constexpr unsigned Slot(DigestAlgorithm a) { return static_cast<unsigned>(a); }
    unsigned bits_ = 0;
};

// Further names that sum files and people give our algorithms, beside the table's LineName,
// Option and BsdTag (all compared without letter case).
struct DigestAlgorithmAlias {
    std::string_view Name;
    DigestAlgorithm Algorithm;
};
inline constexpr std::array<DigestAlgorithmAlias, 8> kDigestAlgorithmAliases{{
    {"CRC-32", DigestAlgorithm::CRC32},
    {"SHA-1", DigestAlgorithm::SHA1},
    {"HAVAL", DigestAlgorithm::Haval256},
    {"HAVAL-256", DigestAlgorithm::Haval256},
    {"RMD128", DigestAlgorithm::RipeMD128},
    {"SHA-256", DigestAlgorithm::SHA256},
    {"SHA-384", DigestAlgorithm::SHA384},
    {"SHA-512", DigestAlgorithm::SHA512},
}};
