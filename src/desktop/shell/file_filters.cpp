#include "desktop/shell/file_filters.h"

#include <QFileInfo>

#include "desktop/shell/display_text.h"

namespace kivo::desktop {
namespace {

QStringList QtPatterns(const QString& windows_patterns) {
  QStringList patterns;
  for (QString pattern : windows_patterns.split(QLatin1Char(';'))) {
    pattern = pattern.trimmed();
    if (pattern.isEmpty()) continue;
    if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
    if (!patterns.contains(pattern)) patterns.append(pattern);
    const QString upper = pattern.toUpper();
    if (!patterns.contains(upper)) patterns.append(upper);
  }
  if (patterns.isEmpty()) patterns.append(QStringLiteral("*"));
  return patterns;
}

// A name without wildcards or dots: what "*.m3u" says after its "*.".
bool IsPlainName(const QString& text) {
  if (text.isEmpty()) return false;
  for (const QChar c : text) {
    if (c == QLatin1Char('*') || c == QLatin1Char('?') ||
        c == QLatin1Char('.') || c == QLatin1Char('[')) {
      return false;
    }
  }
  return true;
}

}  // namespace

QStringList QtNameFilters(const std::string& windows_filter) {
  const QStringList parts = DisplayText(windows_filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    filters.append(parts[i] + QStringLiteral(" (") +
                   QtPatterns(parts[i + 1]).join(QLatin1Char(' ')) +
                   QLatin1Char(')'));
  }
  return filters;
}

qsizetype NameFilterIndex(const QStringList& filters, const QString& selected) {
  const qsizetype exact = filters.indexOf(selected);
  if (exact >= 0 || selected.isEmpty()) return exact;
  const QString described = selected + QStringLiteral(" (");
  for (qsizetype i = 0; i < filters.size(); ++i) {
    if (filters[i].startsWith(described) &&
        filters[i].indexOf(QLatin1Char('('), described.size()) < 0) {
      return i;
    }
  }
  return -1;
}

std::string TypeExtension(const std::string& windows_filter, qsizetype index,
                          const std::string& default_extension) {
  if (default_extension.empty() || index < 0) return default_extension;
  const QStringList parts = DisplayText(windows_filter).split(QLatin1Char('|'));
  const qsizetype patterns_at = 2 * index + 1;
  if (patterns_at >= parts.size()) return default_extension;
  for (const QString& pattern : parts[patterns_at].split(QLatin1Char(';'))) {
    const QString trimmed = pattern.trimmed();
    if (trimmed.isEmpty()) continue;
    const QString extension = trimmed.mid(2);
    return trimmed.startsWith(QStringLiteral("*.")) && IsPlainName(extension)
               ? CoreText(extension)
               : default_extension;
  }
  return default_extension;
}

QString WithDefaultExtension(const QString& path,
                             const std::string& default_extension) {
  if (default_extension.empty() || path.isEmpty()) return path;
  if (QFileInfo(path).fileName().contains(QLatin1Char('.'))) return path;
  return path + QLatin1Char('.') + DisplayText(default_extension);
}

}  // namespace kivo::desktop
