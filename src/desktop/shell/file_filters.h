#pragma once

#include <QString>
#include <QStringList>
#include <string>

namespace kivo::desktop {

// "desc|*.a;*.b|desc2|*.*" as Qt name filters "desc (*.a *.b)" and
// "desc2 (*)". Windows matches patterns without regard to case and "*.*"
// matches every name; here each pattern also gets its upper-case twin and
// "*.*" becomes "*". Empty patterns are dropped; a description without
// patterns matches every file.
QStringList QtNameFilters(const std::string& windows_filter);

// The index in filters of what a dialog reports as its selected filter,
// which may be the description alone when the dialog hides the patterns;
// -1 when none matches.
qsizetype NameFilterIndex(const QStringList& filters, const QString& selected);

// The extension (no dot) a name typed without one receives when the filter at
// index (0-based) is chosen: its first pattern's ("*.m3u" gives "m3u"), or
// default_extension when that pattern names no single extension ("*.*") or
// index names no filter. Empty default_extension: none at all.
std::string TypeExtension(const std::string& windows_filter, qsizetype index,
                          const std::string& default_extension);

// The file name with default_extension (no dot) appended when its last
// component has no extension; unchanged when default_extension is empty.
QString WithDefaultExtension(const QString& path,
                             const std::string& default_extension);

}  // namespace kivo::desktop
