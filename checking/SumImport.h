// Taking the files a sum file lists into the check list, as the open-file intake takes files,
// each with what it should give.
#pragma once

#include "checking/CheckList.h"
#include "checking/Intake.h"
#include "hashing/DigestAlgorithm.h"
#include "sums/SumFileReader.h"
#include "sums/SumSignature.h"

#include <optional>
#include <string>
#include <vector>

class FileSystem;

struct SumImportReport {
    std::string SumFile;
    std::string OpenError;  // the sum file itself could not be read: "Cannot open file "%s". %s"
    size_t Listed = 0;      // listings read, one per line
    size_t Taken = 0;       // entries added to the list
    size_t Missing = 0;     // of those, files that are not there: shown with the verdict missing
    IntakeReport Refused;   // folders, FIFOs, devices, files whose size cannot be read
    // Listed files outside the sum file's folder (absolute names, names climbing out with ".."):
    // still checked, as the command-line tools check them, but told, so that a doctored sum
    // file cannot quietly point at other files. The first of them by name.
    size_t OutsideCount = 0;
    std::vector<std::string> Outside;
    size_t ProblemCount = 0;
    std::vector<SumLineProblem> Problems;  // the first of them
    DigestSet Needed;                      // the algorithms the listings need
    // The BLAKE2b length the listings need, in bytes, when any may be a BLAKE2b digest: a
    // BLAKE2b of another length is another digest, so the pass computes this one. The first
    // line that can only be BLAKE2b decides, else the first that may be one.
    std::optional<size_t> Blake2bBytes;
    bool Blake2bBytesSure = false;  // decided by a line that can only be BLAKE2b
    SignatureCheck Signature;       // after a BAD one nothing was taken in

    // The error box text, "" when there is nothing to tell: the sum file that could not be
    // read, or that lists nothing, the unreadable lines with their numbers, the files outside
    // its folder, the refused files.
    std::string ErrorText() const;
    // Adds what one listing needs of the pass: its candidate algorithms and BLAKE2b's length.
    void NoteNeeds(const ExpectedDigest& expected);
};

// Adds every listed file to the list: an existing one through the intake, a missing one as an
// entry of its own that already carries the verdict missing, a path already in the list (from
// an earlier intake or an earlier line) only once, with every expectation of it. Nothing
// changes the algorithm selection here: the caller ticks report.Needed.
void ImportSumListings(const SumFileContents& contents, const std::string& sumFile, CheckList& list,
                       Intake& intake, FileSystem& files, SumImportReport& report);
