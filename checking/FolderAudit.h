// A folder against the sum file that lists it: which files below the sum file's folder the sum
// file does not list (new), and which listed files that are missing are there under another
// name (moved), judged by digest. Nothing is read here: the walk is the folder walk's, and the
// new files' digests come from whoever hashes them, the command line's engine or the window's pass.
#pragma once

#include "sums/SumVerdict.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The folder an audit walks: the sum file's ("." for a name without "/"; "/" for one just below
// the root).
std::string AuditFolder(const std::string& sumFile);

// A walked path as the audit shows it: the folder's path and the names below it, without the
// "./" that walking "." puts in front.
std::string AuditShownPath(const std::string& walkedPath);

// A path with the "." components, repeated "/" and the ".." that follow a name taken out, made
// absolute against currentFolder (itself absolute), so that "photos/a", "./photos//a" and
// "/home/u/photos/a" name the same listing. By the letters only: links are not looked at.
std::string AuditKey(const std::string& path, const std::string& currentFolder);

// The names a sum file lists, and the names it never counts as new: itself and its signatures
// (".asc", ".sig", ".sign", ".gpg" after its name).
class AuditNames {
public:
    // sumFile "" for a listing read from standard input: nothing is passed over then.
    AuditNames(const std::string& sumFile, std::string currentFolder);

    void Listed(const std::string& name);
    // A walked file that is neither listed nor the sum file or one of its signatures.
    bool IsNew(const std::string& walkedPath) const;

private:
    std::string currentFolder_;
    std::unordered_set<std::string> listed_;
    std::unordered_set<std::string> passedOver_;
};

// A listed file that is not there, with every expectation of it (one per line that lists it).
struct AuditMissing {
    std::string Name;
    std::vector<ExpectedDigest> Expected;
};

// The algorithms the new files must be hashed with for the moves to be found: those of the
// missing files' expectations. Empty when nothing is missing: the new files need not be read.
DigestSet MoveAlgorithms(const std::vector<AuditMissing>& missing);

// For each new file, in walk order, the missing file it was moved from, if any: the first
// missing one, in listing order, whose every expectation its digests match and that no earlier
// new file took. So of two new files with a missing file's digest, the first one walked is the
// move and the other one stays new; two missing copies are taken by two new files.
std::vector<std::optional<size_t>> MatchMoves(const std::vector<AuditMissing>& missing,
                                              const std::vector<ComputedDigests>& newFiles);

class CheckList;
class ResultTree;

// The window's audit after a pass, over the whole list: each unlisted entry the pass computed is
// judged against the listed entries found missing; the new ones say "新文件", a move says
// "已移动，原为 OLDNAME" (the listed name, from the audited folder) and its missing entry
// "已移动". Returns the totals for the status line.
struct AuditTotals {
    VerdictTotals Listed;  // the listed entries' verdicts, the moved ones not counted as missing
    size_t New = 0;
    size_t Moved = 0;
};
// computed keeps the unlisted entries' digests by path from pass to pass: a pass computes only the
// pending entries, while a move is judged over the whole list.
AuditTotals JudgeAudit(CheckList& list, const ResultTree& tree, const std::string& folder,
                       std::unordered_map<std::string, ComputedDigests>& computed);

// "审核完毕，匹配 3 个，不匹配 0 个，文件不存在 1 个，新文件 2 个，已移动 1 个", and the unreadable
// and uncomputed ones after it when there are any.
std::string AuditStatusText(const AuditTotals& totals);
