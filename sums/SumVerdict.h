// Expected against computed: the verdict on one listed file, shared by the window and the
// command line.
#pragma once

#include "hashing/DigestAlgorithm.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

enum class SumVerdict {
    Matches,      // one candidate algorithm gave the expected digest
    Differs,      // every candidate was computed and none gave it
    Missing,      // the listed file does not exist
    Unreadable,   // the file exists but could not be read (or is not a regular file)
    NotComputed,  // the file was read, but none of the candidate algorithms was computed
};

// The digests computed for one file, by algorithm: lower-case hex, full length.
struct ComputedDigests {
    bool FileMissing = false;
    // The file could not be opened or read for these algorithms.
    DigestSet ReadFailed;
    // By algorithm, up to the last one computed only: a pass over a million files keeps one of
    // these per file, and most passes compute a few of the first algorithms.
    std::vector<std::optional<std::string>> Hex;

    void Set(DigestAlgorithm a, std::string hex)
    {
        const size_t at = static_cast<size_t>(a);
        if (Hex.size() <= at)
            Hex.resize(at + 1);
        Hex[at] = std::move(hex);
    }
    const std::optional<std::string>& Get(DigestAlgorithm a) const
    {
        static const std::optional<std::string> kNone;
        const size_t at = static_cast<size_t>(a);
        return at < Hex.size() ? Hex[at] : kNone;
    }
};

// Matches when any candidate's digest equals the expected one (both lower-case hex); else
// Unreadable when any candidate failed to read, Differs when every candidate was computed,
// NotComputed else.
SumVerdict Judge(std::string_view expectedHex, DigestSet candidates, const ComputedDigests& computed);

// Which candidate matched, when one did.
std::optional<DigestAlgorithm> MatchingAlgorithm(std::string_view expectedHex, DigestSet candidates,
                                                 const ComputedDigests& computed);

// One expectation of a listed file; a file listed several times (rhash --bsd lists it once per
// algorithm) has several.
struct ExpectedDigest {
    std::string Digest;  // lower-case hex
    DigestSet Candidates;
    bool operator==(const ExpectedDigest&) const = default;
};

// The verdict on every expectation of one file together: Missing, else Unreadable, else
// Differs, else NotComputed when any expectation is, else Matches. Missing for an empty list.
SumVerdict JudgeAll(const std::vector<ExpectedDigest>& expected, const ComputedDigests& computed);

// The window's word for a verdict: "匹配", "不匹配", "文件不存在", "无法读取", "未计算".
std::string_view VerdictText(SumVerdict verdict);

// Totals of a set of verdicts, for the status line after a pass.
struct VerdictTotals {
    size_t Matches = 0, Differs = 0, Missing = 0, Unreadable = 0, NotComputed = 0;
    void Count(SumVerdict verdict);
    size_t Total() const { return Matches + Differs + Missing + Unreadable + NotComputed; }
};
