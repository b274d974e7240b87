// One line of a sum file, as the common tools write them: the GNU form ("DIGEST  NAME",
// "DIGEST *NAME", and the form that starts with a backslash for names holding "\", LF or CR),
// the BSD tagged form ("ALGO (NAME) = DIGEST", tags padded with blanks as rhash pads them) and
// SFV ("NAME CRC32"). Standard C++ only: the window and the command line read through it.
#pragma once

#include "hashing/DigestAlgorithm.h"

#include <cstddef>
#include <string>
#include <string_view>

enum class SumLineForm {
    Gnu,     // "DIGEST  NAME" or "DIGEST *NAME"
    Tagged,  // "ALGO (NAME) = DIGEST"
    Sfv,     // "NAME CRC32"
};

// What the sum file's own name tells about its GNU lines: "MD5SUMS", "*.sha256", "*.sfv", ...
// An empty set tells nothing; the digest's length then decides. Sfv is set for "*.sfv", whose
// lines are read as SFV before any other form.
struct SumFileHint {
    DigestSet Algorithms;
    bool Sfv = false;
};

// The hint from the last component of a sum file's path, letter case ignored: the extension
// ("x.md5", "x.sha256sum", "x.rmd160", "x.sfv") or the name itself ("SHA256SUMS",
// "md5sums.txt"). Unknown names give the empty hint.
SumFileHint HintFromSumFileName(std::string_view sumFilePath);

// A listed file with its expected digest.
struct SumLine {
    SumLineForm Form = SumLineForm::Gnu;
    std::string Name;    // the name as listed, escapes undone, bytes as they stand
    std::string Digest;  // lower-case hex
    // The algorithms the digest may be of: one when a tag, the sum file's name or SFV tells;
    // else every one of ours with the digest's length (32 hex digits: MD5, MD4, RIPEMD-128;
    // 40: SHA-1, RIPEMD-160; 64: SHA-256, HAVAL-256; 8: CRC-32; 48: Tiger; 96: SHA-384;
    // 128: SHA-512). Never empty for a line that was read.
    DigestSet Candidates;
    bool Binary = false;  // the GNU "*" flag; it changes nothing on this platform
};

enum class SumLineKind {
    Listing,    // a line naming a file: SumLine is filled
    Ignorable,  // empty, or a "#" comment
    // Blanks only, or a ";" comment (SFV's): the window passes over it, while coreutils counts
    // it as improperly formatted outside an SFV file.
    Remark,
    Unreadable,  // reason says why
};

// How a sum file's GNU lines separate digest and name, by coreutils' rule: the first GNU line
// decides for the whole file. One blank ("DIGEST NAME", as BSD's "md5 -r" writes) makes every
// later line one blank too, so a name may start with a blank or "*"; two blanks or " *" make a
// one-blank line unreadable afterwards.
enum class GnuSeparator {
    Undecided,
    OneBlank,
    Standard,
};

// Reads one line without its line end (a trailing CR is dropped here too). The hint decides
// for GNU lines; tagged lines name their algorithm themselves. For Unreadable, reason is a
// short English text, e.g. "improperly formatted checksum line". A file's lines are read with
// one separator state; without one, one-blank lines are refused.
SumLineKind ParseSumLine(std::string_view text, const SumFileHint& hint, SumLine& line, std::string& reason,
                         GnuSeparator* separator = nullptr);

// The tag of a tagged line, letter case ignored, rhash's and coreutils' spellings alike
// ("SHA256", "SHA-256", "RMD160", "RIPEMD160", "TIGER", "CRC32", ...); false when unknown.
bool AlgorithmFromTag(std::string_view tag, DigestAlgorithm& algorithm);

// The path a listed name stands for: an absolute name as it stands, any other one below the
// folder of the sum file (its path up to the last "/"; none gives the name itself). Bytes are
// kept as they are; "." and ".." are left to the file system.
std::string ListedPath(std::string_view sumFilePath, std::string_view name);
// True for a listed name that points outside the sum file's folder: an absolute one, or one
// whose ".." parts climb above the folder (judged by the name alone, as a reader of the sum
// file sees it).
bool NameLeavesSumFolder(std::string_view name);
