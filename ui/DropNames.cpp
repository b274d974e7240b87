#include "ui/DropNames.h"

#include <QList>

namespace {

// "file:" followed by "//host/path" or by the path itself; the host may be empty or
// "localhost". Anything else is not a file of this machine.
bool LocalPathOfFileUrl(const QByteArray& url, QByteArray& path)
{
    static const QByteArray kScheme = "file:";
    if (url.size() < kScheme.size() || url.left(kScheme.size()).toLower() != kScheme)
        return false;
    QByteArray rest = url.mid(kScheme.size());
    if (rest.startsWith("//")) {
        const qsizetype slash = rest.indexOf('/', 2);
        if (slash < 0)
            return false;
        const QByteArray host = rest.mid(2, slash - 2).toLower();
        if (!host.isEmpty() && host != "localhost")
            return false;
        rest = rest.mid(slash);
    }
    if (!rest.startsWith('/'))
        return false;
    // A query or fragment is no part of a file name; "%23" and "%3F" stand for those characters.
    const qsizetype end = rest.indexOf('#') >= 0 ? rest.indexOf('#') : rest.size();
    rest.truncate(end);
    const qsizetype query = rest.indexOf('?');
    if (query >= 0)
        rest.truncate(query);
    path = QByteArray::fromPercentEncoding(rest);
    return !path.isEmpty() && !path.contains('\0');
}

}  // namespace

std::vector<std::string> LocalFilesOfUriList(const QByteArray& uriList)
{
    std::vector<std::string> paths;
    for (QByteArray line : uriList.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        QByteArray path;
        if (LocalPathOfFileUrl(line, path))
            paths.push_back(path.toStdString());
    }
    return paths;
}
