#include "checking/ResultExport.h"

#include "platform/SafeFileWriter.h"
#include "platform/TextEncoding.h"

namespace {

const std::string kCopyAllHeader = "Quorvex校验结果：";
const std::string kLineEnd = "\r\n";

void AppendOneLine(std::string& out, std::string_view text)
{
    // CR, LF and TAB are single bytes that never occur inside a UTF-8 character.
    for (;;) {
        const size_t special = text.find_first_of("\r\n\t");
        out.append(text.substr(0, special));
        if (special == std::string_view::npos)
            return;
        out += text[special] == '\r' ? "␍" : text[special] == '\n' ? "␊" : "␉";
        text.remove_prefix(special + 1);
    }
}

void AppendNode(std::string& out, std::string_view text)
{
    if (IsValidUtf8(text))
        AppendOneLine(out, text);
    else
        AppendOneLine(out, Utf8FromNative(text));
}

// Room for the nodes' texts with a little to spare, so a large tree is built without copying.
size_t EstimatedSize(const ResultTree& tree)
{
    size_t size = 0;
    tree.ForEachNode([&](const std::string& text, int) { size += text.size() + 4; });
    return size;
}

}  // namespace

std::string OneLineNodeText(std::string_view text)
{
    std::string line;
    AppendNode(line, text);
    return line;
}

std::string CopyAllText(const ResultTree& tree)
{
    std::string text = kCopyAllHeader + kLineEnd + kLineEnd;
    text.reserve(text.size() + EstimatedSize(tree));
    tree.ForEachNode([&](const std::string& node, int) {
        AppendNode(text, node);
        text += kLineEnd;
    });
    return text;
}

std::string ResultFileText(const ResultTree& tree)
{
    std::string text;
    text.reserve(EstimatedSize(tree));
    tree.ForEachNode([&](const std::string& node, int level) {
        text.append(static_cast<size_t>(level), '\t');
        AppendNode(text, node);
        text += kLineEnd;
    });
    return text;
}

void SaveResultFile(const ResultTree& tree, const std::string& path)
{
    const auto failure = [&](const std::exception& reason) {
        return SaveError("Cannot create file \"" + Utf8FromNative(path) + "\". " + reason.what());
    };
    try {
        WriteFileSafely(path, Gb18030FromUtf8(ResultFileText(tree)));
    } catch (const FileWriteError& error) {
        throw failure(error);
    } catch (const TextEncodingError& error) {
        throw failure(error);
    }
}
