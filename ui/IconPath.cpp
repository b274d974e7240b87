#include "ui/IconPath.h"

#include "platform/FileAccess.h"

#include <algorithm>

namespace {

// Blanks and control characters, as a trim of the platform's texts removes them. UTF-8 keeps
// every byte of a multi-byte character above 0x7F, so trimming bytes cannot cut one in half.
bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trim(const std::string& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsTrimmed(text[first]))
        ++first;
    while (last > first && IsTrimmed(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::string LowerAsciiLetters(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

std::string IconPathFromText(const std::string& text)
{
    const std::string trimmed = Trim(text);
    const std::string lower = LowerAsciiLetters(trimmed);

    if (!lower.empty() && lower.front() == '"') {
        const size_t closing = trimmed.find('"', 1);
        if (closing == std::string::npos)
            return {};
        return trimmed.substr(1, closing - 1);
    }

    // Positions from 1, 0 for "not found", so that "not found" gives the first three characters.
    const size_t dotIndex = lower.find('.');
    const size_t dot = dotIndex == std::string::npos ? 0 : dotIndex + 1;
    size_t length;
    if (lower.size() - dot > 3) {
        const size_t exeIndex = lower.find(".exe ");
        const size_t exe = exeIndex == std::string::npos ? 0 : exeIndex + 1;
        length = exe + 3;
    } else {
        length = dot + 3;
    }
    return trimmed.substr(0, std::min(length, trimmed.size()));
}

std::optional<std::string> SearchPathList(const std::string& name, const std::string& pathList,
                                          FileAccess& files)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return std::nullopt;
    size_t start = 0;
    while (true) {
        const size_t colon = pathList.find(':', start);
        std::string candidate =
            pathList.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (candidate.empty())
            candidate.push_back('.');
        if (candidate.back() != '/')
            candidate.push_back('/');
        candidate += name;
        if (files.FileExists(candidate))
            return candidate;
        if (colon == std::string::npos)
            return std::nullopt;
        start = colon + 1;
    }
}
