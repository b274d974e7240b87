// Sum-file lines that other tools read, each one complete with its line end, so a caller can
// write a file by streaming one line per file: the GNU and tagged lines byte for byte as
// coreutils writes them, SFV as rhash writes it, and CSV by RFC 4180.
#pragma once

#include "hashing/DigestAlgorithm.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How coreutils' options shape a line: "DIGEST *NAME" for --binary, and with --zero a NUL at the
// end in place of the line feed and the name as it stands, without escapes.
struct SumLineStyle {
    bool Binary = false;
    bool Zero = false;
};

// "DIGEST  NAME\n" with the digest in lower case. A name holding "\", LF or CR is written as
// coreutils writes it: the line starts with "\" and the name has "\\", "\n", "\r" for them.
std::string GnuSumLine(std::string_view hexDigest, std::string_view name, SumLineStyle style = {});

// A name as coreutils writes it after the leading "\" of a line: "\\", "\n", "\r" in place of
// backslash, LF and CR. The command line shows checked names this way too.
// b3sum leaves CR as it stands: escapeCarriageReturn false.
std::string EscapedSumName(std::string_view name, bool escapeCarriageReturn = true);

// "TAG (NAME) = DIGEST\n" as coreutils' --tag writes it (the same leading backslash and escapes),
// with the algorithm's BsdTag and the digest in lower case.
// Binary changes nothing in this form, as with coreutils.
std::string TaggedSumLine(DigestAlgorithm algorithm, std::string_view hexDigest, std::string_view name,
                          SumLineStyle style = {});

// The one-algorithm line as the tool that publishes the algorithm writes it (its row's
// Spelling): GnuSumLine for coreutils' algorithms; for xxhsum's, the name as it stands (a name
// with LF or CR, which that form cannot hold, is escaped as coreutils does), and XXH3 tagged.
std::string PublishedSumLine(DigestAlgorithm algorithm, std::string_view hexDigest, std::string_view name,
                             SumLineStyle style = {});

// "NAME CRC32\n" with the checksum as eight upper-case hex digits; SFV has no escapes, so a name
// with LF or CR has no SFV line: nullopt.
std::optional<std::string> SfvLine(std::string_view name, std::string_view crc32Hex);

// The CSV header row "path,size,<one column per algorithm>" (column names: the command line's
// names, e.g. "md5,sha256"), CR LF at the end as RFC 4180 has it.
std::string CsvHeaderRow(const std::vector<DigestAlgorithm>& columns);
// One row: the path (made valid UTF-8, see platform/TextEncoding.h), the size, then each column's
// lower-case digest, or an empty field where there is none. Fields are quoted where RFC 4180 says.
std::string CsvRow(std::string_view path, uint64_t size,
                   const std::vector<std::optional<std::string>>& digests);
// One field, quoted with doubled quotes when it holds a comma, a quote, CR or LF.
std::string CsvField(std::string_view text);

// The name a sum file in sumFolder gives to the file at path: the part below the folder where
// the file lies below it, the path as it stands otherwise. A sumFolder of "" lists paths as they are.
std::string NameInSumFile(std::string_view sumFolder, std::string_view path);
// The folder part of a path: up to, not including, the last "/" ("/" for "/x", "" for "x").
std::string FolderOfPath(std::string_view path);
