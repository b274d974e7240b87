// The names of the local files in a drop's text/uri-list, as native bytes. The list is read
// directly rather than through QUrl, whose QString would lose the bytes of a name that is not
// valid UTF-8, so such a file is still found under its own name.
#pragma once

#include <QByteArray>

#include <string>
#include <vector>

// The paths of the file: URLs on this machine, in list order; comments, other schemes and
// other hosts are passed over.
std::vector<std::string> LocalFilesOfUriList(const QByteArray& uriList);
