#include "sums/SumFileReader.h"

#include "platform/FileAccess.h"

#include <cstring>
#include <memory>
#include <utility>

SumFileParser::SumFileParser(SumFileHint hint, ListingSink listings, ProblemSink problems)
    : hint_(hint), listingSink_(std::move(listings)), problemSink_(std::move(problems))
{
}

void SumFileParser::Feed(std::string_view bytes)
{
    while (!bytes.empty()) {
        const void* end = std::memchr(bytes.data(), '\n', bytes.size());
        const size_t take =
            end ? static_cast<size_t>(static_cast<const char*>(end) - bytes.data()) : bytes.size();
        const std::string_view part = bytes.substr(0, take);
        if (!lineTooLong_) {
            if (line_.size() + part.size() > kMaxSumLineBytes) {
                // Dropped, not kept: a gigabyte without a line end must not be held.
                lineTooLong_ = true;
                std::string().swap(line_);
            } else {
                if (std::memchr(part.data(), '\0', part.size()))
                    lineHasNul_ = true;
                line_.append(part);
            }
        }
        if (!end)
            return;
        EndLine();
        bytes.remove_prefix(take + 1);
    }
}

void SumFileParser::Finish()
{
    if (!line_.empty() || lineTooLong_ || lineHasNul_)
        EndLine();
}

void SumFileParser::EndLine()
{
    ++lineNumber_;
    std::string_view text = line_;
    if (lineNumber_ == 1 && text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::string reason;
    SumListing listing;
    listing.LineNumber = lineNumber_;
    SumLineKind kind = SumLineKind::Unreadable;
    if (lineTooLong_)
        reason = "line too long";
    else if (lineHasNul_)
        reason = "line holds a NUL byte";
    else
        kind = ParseSumLine(text, hint_, listing.Line, reason, &separator_);
    if (kind == SumLineKind::Remark && remarksAreProblems_) {
        kind = SumLineKind::Unreadable;
        reason = "improperly formatted checksum line";
    }

    if (kind == SumLineKind::Listing) {
        ++listingCount_;
        if (listingSink_)
            listingSink_(listing);
    } else if (kind == SumLineKind::Unreadable) {
        ++problemCount_;
        if (problemSink_)
            problemSink_(SumLineProblem{lineNumber_, reason});
    }
    line_.clear();
    if (line_.capacity() > 4096)
        std::string().swap(line_);
    lineTooLong_ = false;
    lineHasNul_ = false;
}

namespace {

SumFileParser CollectingParser(const SumFileHint& hint, SumFileContents& contents)
{
    return SumFileParser(
        hint, [&contents](const SumListing& listing) { contents.Listings.push_back(listing); },
        [&contents](const SumLineProblem& problem) {
            ++contents.ProblemCount;
            if (contents.Problems.size() < SumFileContents::kKeptProblems)
                contents.Problems.push_back(problem);
        });
}

}  // namespace

SumFileContents ReadSumFile(FileAccess& files, const std::string& sumFilePath)
{
    SumFileContents contents;
    SumFileParser parser = CollectingParser(HintFromSumFileName(sumFilePath), contents);
    std::unique_ptr<InputFile> file = files.OpenForReading(sumFilePath);
    std::string block(64 * 1024, '\0');
    for (;;) {
        const size_t n = file->Read(block.data(), block.size());
        if (n == 0)
            break;
        parser.Feed(std::string_view(block.data(), n));
    }
    parser.Finish();
    return contents;
}

SumFileContents ParseSumText(std::string_view bytes, const SumFileHint& hint)
{
    SumFileContents contents;
    SumFileParser parser = CollectingParser(hint, contents);
    parser.Feed(bytes);
    parser.Finish();
    return contents;
}
