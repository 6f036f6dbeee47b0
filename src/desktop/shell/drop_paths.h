#pragma once

#include <QByteArray>
#include <string>
#include <vector>

class QMimeData;

namespace kivo::desktop {

// The local paths of a text/uri-list, as the bytes the file system stores:
// percent escapes decoded without any character-set conversion, so a
// Latin-1 file name arrives as it is on disk. Lines that are comments, not
// file URLs or name another host are skipped.
std::vector<std::string> LocalPathsOfUriList(const QByteArray& uri_list);

// The local files of a drop, in the order the source lists them.
std::vector<std::string> DroppedPaths(const QMimeData& mime);

}  // namespace kivo::desktop
