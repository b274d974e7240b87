// The results of the last pass as files that other tools read: a GNU sum file of one algorithm,
// a tagged file of every algorithm, and CSV. Digests are written in full and in lower case,
// whatever form the window's lines show them in.
#pragma once

#include "checking/CheckList.h"
#include "checking/ResultTree.h"
#include "hashing/DigestAlgorithm.h"

#include <string>

enum class SumExportKind {
    Gnu,
    Tagged,
    Csv
};

// One GNU line per file that has a digest of the algorithm, named relative to sumFolder where
// the file lies below it and absolute otherwise; files whose line is a read error are left out.
std::string GnuSumFileText(const ResultTree& tree, const CheckList& list, DigestAlgorithm algorithm,
                           const std::string& sumFolder);
// For every file, one tagged line per digest, in result-line order.
std::string TaggedSumFileText(const ResultTree& tree, const CheckList& list, const std::string& sumFolder);
// The header row, then one row per file: full path, size in bytes, one column per algorithm of
// the pass (empty where the file has no digest of it).
std::string CsvFileText(const ResultTree& tree, const CheckList& list);

// Writes one of them to path as SaveResultFile writes the result file: complete or not at all;
// SaveError (checking/ResultExport.h) on failure. The folder of path is the sum file's folder.
void SaveSumFile(const ResultTree& tree, const CheckList& list, SumExportKind kind, DigestAlgorithm algorithm,
                 const std::string& path);
