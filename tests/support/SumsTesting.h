// Folders of awkward names, sum files made of them by the real tools, and digests of the files
// from libgcrypt, for the tests of the sum-file layer.
#pragma once

#include "hashing/DigestAlgorithm.h"
#include "sums/SumVerdict.h"

#include <string>
#include <vector>

// Runs a command with /bin/sh and returns its exit status (-1 when it did not exit).
int RunShell(const std::string& command);
// A single-quoted shell word for any bytes.
std::string ShellWord(const std::string& text);

// The digest of a file from libgcrypt, mhash (RIPEMD-128) or zlib (CRC-32); HAVAL has none: lower-case hex; "" when the file cannot be read.
std::string OracleFileHex(DigestAlgorithm algorithm, const std::string& path);
// What a pass of every algorithm the oracle knows would compute for the file.
// Only the given algorithms' digests are made: the tools that are the oracles of some cost a process.
ComputedDigests OracleDigests(const std::string& path, DigestSet only);

// Names that trip up sum files: a blank, a byte that is not UTF-8 and a name holding ") = ",
// and for coreutils also a backslash, LF, CR and a leading blank (rhash takes "\" for a folder
// separator and SFV has no escapes).
std::vector<std::string> AwkwardNames(bool forCoreutils);
