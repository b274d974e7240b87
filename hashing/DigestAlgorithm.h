// The digests the program computes, in the order a file's result lines show them (the MD5 path,
// the CRC-32 path, the engine list, then the further digests), with the names other tools know
// them by. One row per algorithm: the menu, the result lines, the sum files' tags and names, the
// command line's options and its help all read this table.
#pragma once

#include "engines/Blake2b.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
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
    // The digests other tools publish beside the eleven, in the menu's and the result lines' order.
    SHA224,
    SHA3_224,
    SHA3_256,
    SHA3_384,
    SHA3_512,
    Blake2b,
    Blake2s,
    Blake3,
    XXH64,
    XXH3,
    XXH128,
    SM3,
};

// How the tool that publishes an algorithm writes its one-algorithm sum lines: as coreutils
// (sha256sum, b2sum, b3sum: names with "\", LF or CR escaped after a leading "\"), or as
// xxhsum, which writes names as they stand, and XXH3 lines always tagged.
enum class SumLineSpelling {
    Coreutils,
    B3sum,  // as coreutils, but a carriage return stands as it is
    Xxhsum,
    XxhsumTagged,
};

struct DigestAlgorithmInfo {
    DigestAlgorithm Algorithm;
    std::string_view LineName;  // before "：" in a result line of the window
    std::string_view Option;    // the command line's name, e.g. "sha256"
    std::string_view BsdTag;    // the tag of a tagged sum line, as coreutils or rhash write it
    size_t DigestBytes;
    // Further names sum files and people give it, blank-separated, compared without letter case.
    std::string_view Aliases = {};
    // The words of sum-file names that tell it, beside its names: "b2" for "b2sums" and "x.b2".
    // A word may tell several algorithms ("sha3").
    std::string_view FileWords = {};
    // The GNU sum-file extension the save dialog offers for it; the option when empty.
    std::string_view Extension = {};
    SumLineSpelling Spelling = SumLineSpelling::Coreutils;
};

inline constexpr std::array<DigestAlgorithmInfo, 23> kDigestAlgorithms{{
    {DigestAlgorithm::MD5, "MD5", "md5", "MD5", 16},
    {DigestAlgorithm::CRC32, "CRC32_FCS32", "crc32", "CRC32", 4, "CRC-32"},
    {DigestAlgorithm::SHA1, "SHA1", "sha1", "SHA1", 20, "SHA-1"},
    {DigestAlgorithm::Haval256, "Haval256", "haval256", "HAVAL-256-5", 32, "HAVAL HAVAL-256"},
    {DigestAlgorithm::MD4, "MD4", "md4", "MD4", 16},
    {DigestAlgorithm::RipeMD128, "RipeMD-128", "ripemd128", "RIPEMD128", 16, "RMD128"},
    {DigestAlgorithm::RipeMD160, "RipeMD-160", "ripemd160", "RMD160", 20},
    {DigestAlgorithm::SHA256, "SHA256", "sha256", "SHA256", 32, "SHA-256"},
    {DigestAlgorithm::SHA384, "SHA384", "sha384", "SHA384", 48, "SHA-384"},
    {DigestAlgorithm::SHA512, "SHA512", "sha512", "SHA512", 64, "SHA-512"},
    {DigestAlgorithm::Tiger192, "Tiger192", "tiger", "TIGER", 24},
    {DigestAlgorithm::SHA224, "SHA224", "sha224", "SHA224", 28, "SHA-224", {}, "sha224"},
    {DigestAlgorithm::SHA3_224, "SHA3-224", "sha3-224", "SHA3-224", 28, "SHA3_224", "sha3", "sha3-224"},
    {DigestAlgorithm::SHA3_256, "SHA3-256", "sha3-256", "SHA3-256", 32, "SHA3_256", "sha3", "sha3-256"},
    {DigestAlgorithm::SHA3_384, "SHA3-384", "sha3-384", "SHA3-384", 48, "SHA3_384", "sha3", "sha3-384"},
    {DigestAlgorithm::SHA3_512, "SHA3-512", "sha3-512", "SHA3-512", 64, "SHA3_512", "sha3", "sha3-512"},
    {DigestAlgorithm::Blake2b, "BLAKE2b-512", "blake2b", "BLAKE2b", 64, "BLAKE2b512", "b2 blake2", "b2"},
    {DigestAlgorithm::Blake2s, "BLAKE2s-256", "blake2s", "BLAKE2s-256", 32, "BLAKE2s BLAKE2s256", "b2s",
     "b2s"},
    {DigestAlgorithm::Blake3, "BLAKE3", "blake3", "BLAKE3", 32, {}, "b3", "b3", SumLineSpelling::B3sum},
    {DigestAlgorithm::XXH64, "XXH64", "xxh64", "XXH64", 8, {}, "xxh", "xxh64", SumLineSpelling::Xxhsum},
    {DigestAlgorithm::XXH3, "XXH3", "xxh3", "XXH3", 8, "XXH3-64 XXH3_64", "xxh", "xxh3",
     SumLineSpelling::XxhsumTagged},
    {DigestAlgorithm::XXH128, "XXH128", "xxh128", "XXH128", 16, "XXH3-128", "xxh", "xxh128",
     SumLineSpelling::Xxhsum},
    {DigestAlgorithm::SM3, "SM3", "sm3", "SM3", 32, {}, {}, "sm3"},
}};

// The eleven the window was first built with: their menu items, their result lines and the
// "--all" of the command line. The rows after them are the further digests.
inline constexpr size_t kDescribedDigestCount = 11;

// BLAKE2b's digest may be any whole number of bytes up to its 64 ("b2sum -l").
inline constexpr size_t kBlake2bMaxBytes = Blake2b::kMaxDigestBytes;

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

// The name of a digest of this many bytes: the row's line name, but a BLAKE2b of another length
// is named by its bits as b2sum tags it ("BLAKE2b-256").
inline std::string LineNameOfLength(DigestAlgorithm algorithm, size_t digestBytes)
{
    if (algorithm == DigestAlgorithm::Blake2b && digestBytes != kBlake2bMaxBytes)
        return "BLAKE2b-" + std::to_string(digestBytes * 8);
    return std::string(Info(algorithm).LineName);
}

// Calls take with each word of a blank-separated list of a row (Aliases, FileWords).
template <class Take>
constexpr void ForEachWord(std::string_view words, Take take)
{
    while (!words.empty()) {
        const size_t blank = words.find(' ');
        take(words.substr(0, blank));
        words.remove_prefix(blank == std::string_view::npos ? words.size() : blank + 1);
    }
}

inline constexpr bool IsDescribed(DigestAlgorithm algorithm)
{
    return static_cast<size_t>(algorithm) < kDescribedDigestCount;
}

inline constexpr std::string_view SumFileExtension(const DigestAlgorithmInfo& info)
{
    return info.Extension.empty() ? info.Option : info.Extension;
}

// A set of algorithms, one bit per algorithm in the order above.
class DigestSet {
public:
    constexpr DigestSet() = default;
    constexpr bool Has(DigestAlgorithm a) const { return (bits_ >> Slot(a)) & 1u; }
    constexpr void Add(DigestAlgorithm a) { bits_ |= uint64_t{1} << Slot(a); }
    constexpr void Remove(DigestAlgorithm a) { bits_ &= ~(uint64_t{1} << Slot(a)); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool operator==(const DigestSet&) const = default;

private:
    static constexpr unsigned Slot(DigestAlgorithm a) { return static_cast<unsigned>(a); }
    uint64_t bits_ = 0;
};
static_assert(kDigestAlgorithms.size() <= 64, "DigestSet holds one bit per algorithm");
