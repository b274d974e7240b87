// Reads a whole sum file line by line in bounded memory: a file of any size, with or without line
// ends, holds at most one line of kMaxSumLineBytes at a time. What is kept grows with the files
// listed, not with the sum file's size.
#pragma once

#include "sums/SumLine.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class FileAccess;

// Longer lines are not kept: they are counted as unreadable ("line too long") and skipped to
// their end. Far beyond any path the system allows, even escaped.
inline constexpr size_t kMaxSumLineBytes = 64 * 1024;

// A line that could not be read. Line numbers start at 1.
struct SumLineProblem {
    size_t LineNumber = 0;
    std::string Reason;
};

// A listed file as the reader hands it on.
struct SumListing {
    size_t LineNumber = 0;
    SumLine Line;
};

// Push parser: feed the bytes as they come (any chunking), then Finish. Each listing and each
// unreadable line goes to its callback at once, in file order. A UTF-8 byte-order mark at the
// very start is skipped; LF and CR LF both end a line; a NUL byte makes its line unreadable.
class SumFileParser {
public:
    using ListingSink = std::function<void(const SumListing&)>;
    using ProblemSink = std::function<void(const SumLineProblem&)>;

    SumFileParser(SumFileHint hint, ListingSink listings, ProblemSink problems);
    // Counts lines of blanks and ";" comments outside SFV files as unreadable, as coreutils'
    // checks do; the window passes over them.
    void CountRemarksAsProblems() { remarksAreProblems_ = true; }

    void Feed(std::string_view bytes);
    // Ends the last line, also when the file does not end with a line end.
    void Finish();

    size_t LinesSeen() const { return lineNumber_; }
    size_t ListingCount() const { return listingCount_; }
    size_t ProblemCount() const { return problemCount_; }

private:
    void EndLine();

    SumFileHint hint_;
    GnuSeparator separator_ = GnuSeparator::Undecided;
    ListingSink listingSink_;
    ProblemSink problemSink_;
    std::string line_;
    size_t lineNumber_ = 0;
    size_t listingCount_ = 0;
    size_t problemCount_ = 0;
    bool lineTooLong_ = false;
    bool lineHasNul_ = false;
    bool remarksAreProblems_ = false;
};

// A sum file read whole: every listing, and the unreadable lines.
struct SumFileContents {
    std::vector<SumListing> Listings;
    // Every unreadable line is counted; the first kKeptProblems are kept with their reasons,
    // so a gigabyte of garbage does not fill the memory with reports.
    size_t ProblemCount = 0;
    std::vector<SumLineProblem> Problems;
    static constexpr size_t kKeptProblems = 100;
};

// Reads a sum file through the file layer, with the hint from its name. Throws FileError when
// it cannot be opened or read (a folder: "Is a directory"; a FIFO or device is refused). An
// empty file, or one without a single listing, gives empty Listings: the caller reports
// "no properly formatted checksum lines found".
SumFileContents ReadSumFile(FileAccess& files, const std::string& sumFilePath);
// The same over bytes already read, e.g. standard input; hint as for a file of that name.
SumFileContents ParseSumText(std::string_view bytes, const SumFileHint& hint);
